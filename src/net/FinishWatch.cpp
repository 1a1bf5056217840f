#include "net/FinishWatch.h"

#include "base/EngineApi.h"
#include "base/KeyStore.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

const char *const kUserKey = "Software\\Tovix";
const char *const kNotifyValue = "Notify";

int64_t SteadySeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

CFinishWatch::CFinishWatch(CCatalogueStore &store, CKeyStore &keys, CMainWindowLink &link, TClock clock)
    : m_store(store), m_keys(keys), m_link(link), m_clock(clock ? std::move(clock) : SteadySeconds)
{
}

std::vector<std::pair<int, std::string>> CFinishWatch::UnfinishedFiles(const std::vector<int> &channels, bool all)
{
    const std::string torrentRoot = m_store.GetConfigValue(CFG_TORRENTROOT);
    std::vector<std::pair<int, std::string>> files;
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    const TiXmlElement *root = m_store.FileDoc().RootElement();
    for (const TiXmlElement *channel = root ? root->FirstChildElement("Channel") : nullptr; channel;
         channel = channel->NextSiblingElement("Channel")) {
        const int channelId = IdOf(channel);
        if (!all && std::find(channels.begin(), channels.end(), channelId) == channels.end())
            continue;
        for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File")) {
            const int entry = IdOf(file) * 1000 + channelId;
            if (IntAttribute(file, "Progress") < 100 || m_watched.count(entry))
                files.emplace_back(entry, torrentRoot + TextAttribute(file, "Torrent"));
        }
    }
    return files;
}

void CFinishWatch::Poll()
{
    const int64_t now = m_clock();
    if (m_groupCount > 0 && now - m_groupStart >= kGroupSeconds)
        Report();

    // The engine is asked only after the catalogue locks are left.
    auto finished = [](const std::string &torrent) {
        const int position = Engine().GetPosByTorrent(torrent.c_str());
        return position >= 0 && Engine().IsFinished(position) != 0;
    };
    if (!m_looked) {
        // Subscriptions may still change (the login reply), so every channel counts here.
        m_looked = true;
        for (const auto &[entry, torrent] : UnfinishedFiles({}, true))
            if (finished(torrent))
                m_restored.insert(entry);
    }

    std::vector<int> channels;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
        if (m_store.ChannelDoc().RootElement())
            channels = CChannelCatalogue(m_store).GetSubscribedChannels();
    }
    if (channels.empty())
        return;
    // A watched file stays watched when the list refresh writes its 100.
    std::vector<std::pair<int, std::string>> files = UnfinishedFiles(channels, false);
    for (const auto &[entry, torrent] : files)
        if (!m_restored.count(entry) && !m_reported.count(entry))
            m_watched.insert(entry);
    for (const auto &[entry, torrent] : files) {
        if (!m_watched.count(entry) || !finished(torrent))
            continue;
        m_watched.erase(entry);
        m_reported.insert(entry);
        if (m_groupCount++ == 0) {
            m_groupFirst = entry;
            m_groupStart = now;
        }
    }
}

void CFinishWatch::Report()
{

    if (NotificationsOn(m_keys))
        m_link.PostDownloadsFinished(m_groupCount, m_groupFirst);
    m_groupCount = 0;
}

bool CFinishWatch::NotificationsOn(CKeyStore &keys)
{
    std::string value;
    return !keys.ReadValue(EHive::CurrentUser, kUserKey, kNotifyValue, value) || value != "0";
}

bool CFinishWatch::SetNotificationsOn(CKeyStore &keys, bool on)
{
    return keys.WriteValue(EHive::CurrentUser, kUserKey, kNotifyValue, on ? "1" : "0");
}
