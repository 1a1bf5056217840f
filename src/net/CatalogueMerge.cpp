#include "net/CatalogueMerge.h"

#include "net/MainWindowLink.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kAllChannelsCommand = 1000;
constexpr int kSubscribedChannelsCommand = 1002;

using TIdSet = std::unordered_set<int>;

TIdSet FileIdsOf(const TiXmlElement &channel)
{
    TIdSet ids;
    for (const TiXmlElement *file = channel.FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
        ids.insert(IdOf(file));
    return ids;
}

} // namespace

// Local channels are looked up by ID (first in document order) and their file IDs
// are collected once, so a large fragment costs one pass over each document.
void CCatalogueMerge::AppendNewEntries(TiXmlElement &localRoot, const TiXmlElement &fragmentRoot)
{
    std::unordered_map<int, TiXmlElement *> channels;
    for (TiXmlElement *channel = localRoot.FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel"))
        channels.emplace(IdOf(channel), channel);
    std::unordered_map<const TiXmlElement *, TIdSet> filesOf;

    for (const TiXmlElement *incoming = fragmentRoot.FirstChildElement("Channel"); incoming;
         incoming = incoming->NextSiblingElement("Channel")) {
        const auto known = channels.find(IdOf(incoming));
        if (known == channels.end()) {
            TiXmlNode *added = localRoot.InsertEndChild(*incoming);
            if (added && added->ToElement())
                channels.emplace(IdOf(incoming), added->ToElement());
            continue;
        }
        TiXmlElement &local = *known->second;
        auto files = filesOf.find(&local);
        if (files == filesOf.end())
            files = filesOf.emplace(&local, FileIdsOf(local)).first;
        // The IDs are those the channel had before this fragment channel: two new
        // files with one ID both arrive, as they would with a fresh walk per channel.
        std::vector<int> added;
        for (const TiXmlElement *file = incoming->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File")) {
            const int id = IdOf(file);
            if (files->second.count(id))
                continue;
            local.InsertEndChild(*file);
            added.push_back(id);
        }
        files->second.insert(added.begin(), added.end());
    }
}

void CCatalogueMerge::MergeFileFragment(const TiXmlDocument &fragment)
{
    const TiXmlElement *fragmentRoot = fragment.RootElement();
    {
        std::lock_guard<std::recursive_mutex> files(m_store.FileLock());
        TiXmlElement *localRoot = m_store.FileDoc().RootElement();
        if (!localRoot || !fragmentRoot)
            return;
        AppendNewEntries(*localRoot, *fragmentRoot);
        m_store.SaveFileDoc();
        std::lock_guard<std::recursive_mutex> channels(m_store.ChannelLock());
        CFileCatalogue(m_store).CheckFileList();
    }
    if (m_link.MainWindowExists()) {
        m_link.PostShowChannel(0);
        m_workers.RunSubscribedDownloadStart();
    }
    StorePosition(*fragmentRoot, "MaxID", "MaxID");
}

void CCatalogueMerge::MergeChannelFragment(TiXmlDocument &fragment)
{
    {
        std::lock_guard<std::recursive_mutex> channels(m_store.ChannelLock());
        if (!m_store.ChannelDoc().RootElement() || !fragment.RootElement())
            return;
        CChannelCatalogue catalogue(m_store);
        if (catalogue.CarrySubscriptions(fragment) != 1 || !catalogue.ReplaceChannelCatalogue(fragment))
            return;
    }
    const bool mainWindow = m_link.MainWindowExists();
    if (mainWindow) {
        if (m_link.IsButtonDisabled(kAllChannelsCommand))
            m_link.PostCommand(kAllChannelsCommand);
        else if (m_link.IsButtonDisabled(kSubscribedChannelsCommand))
            m_link.PostCommand(kSubscribedChannelsCommand);
    }
    StorePosition(*fragment.RootElement(), "Date", "ChannelDate");
    // The file fragment of a login reply is merged before the channels that say
    // which are subscribed: start their downloads now that the marks are known.
    if (mainWindow)
        m_workers.RunSubscribedDownloadStart();
}

void CCatalogueMerge::StorePosition(const TiXmlElement &fragmentRoot, const char *element, const char *item)
{
    const TiXmlElement *position = fragmentRoot.FirstChildElement(element);
    const char *value = position ? position->Attribute("value") : nullptr;
    if (value)
        m_store.SetConfigValue(item, value);
}
