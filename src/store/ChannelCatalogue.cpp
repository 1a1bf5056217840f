#include "store/ChannelCatalogue.h"

#include "store/XmlNumber.h"

#include <algorithm>
#include <ctime>

int TodayNumber()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

const TiXmlElement *CChannelCatalogue::FindChannel(int channel) const
{
    const TiXmlElement *root = m_store.ChannelDoc().RootElement();
    if (!root)
        return nullptr;
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1"))
        if (const TiXmlElement *found = FindChildById(category, "Channel2", channel))
            return found;
    return nullptr;
}

int CChannelCatalogue::GetPreserveNum(int channel) const
{
    if (!m_store.ChannelDoc().RootElement())
        return 0;
    const TiXmlElement *found = FindChannel(channel);
    return found ? IntAttribute(found, "PreserveNum") : -1;
}

namespace {

// A channel's advertisement is current when AD and ADTime are set and ADTime is today or later.
bool CurrentAd(const TiXmlElement *channel, int today, std::string &name)
{
    name = TextAttribute(channel, "AD");
    const std::string time = TextAttribute(channel, "ADTime");
    return !name.empty() && !time.empty() && AtoI(time) >= today;
}

} // namespace

int CChannelCatalogue::GetChannelAd(int channel, std::string *ad, int today) const
{
    const TiXmlElement *found = FindChannel(channel);
    std::string name;
    if (!found || !CurrentAd(found, today, name))
        return 0;
    if (ad)
        *ad = name;
    return 1;
}

std::vector<std::string> CChannelCatalogue::GetCurrentAds(int today) const
{
    std::vector<std::string> names;
    const TiXmlElement *root = m_store.ChannelDoc().RootElement();
    if (!root)
        return names;
    std::string name;
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1"))
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2"))
            if (CurrentAd(channel, today, name) && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    return names;
}

int CChannelCatalogue::SetSubscribe(int channel, int category, int flag)
{
    TiXmlElement *found = FindChildById(FindChildById(m_store.ChannelDoc().RootElement(), "Channel1", category),
                                        "Channel2", channel);
    if (!found || IntAttribute(found, "Subscribe") == flag)
        return 0;
    found->SetAttribute("Subscribe", flag);
    m_store.SaveChannelDoc();
    return 1;
}

std::vector<int> CChannelCatalogue::GetSubscribedChannels() const
{
    std::vector<int> channels;
    const TiXmlElement *root = m_store.ChannelDoc().RootElement();
    if (!root)
        return channels;
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1"))
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2"))
            if (TextAttribute(channel, "Subscribe") == "1")
                channels.push_back(IdOf(channel));
    return channels;
}

std::string CChannelCatalogue::GetCategoryName(int category) const
{
    return TextAttribute(FindChildById(m_store.ChannelDoc().RootElement(), "Channel1", category), "Name");
}

std::string CChannelCatalogue::GetChannelName(int channel) const
{
    return TextAttribute(FindChannel(channel), "Name");
}

int CChannelCatalogue::GetCategoryOfChannel(int channel) const
{
    const TiXmlElement *found = FindChannel(channel);
    return found ? IdOf(found->Parent()->ToElement()) : -1;
}

int CChannelCatalogue::CarrySubscriptions(TiXmlDocument &fetched) const
{
    const TiXmlElement *root = m_store.ChannelDoc().RootElement();
    if (!root)
        return 0;
    TiXmlElement *fetchedRoot = fetched.RootElement();
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1")) {
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2")) {
            if (IntAttribute(channel, "Subscribe") == 0)
                continue;
            if (!fetchedRoot)
                return 0;
            TiXmlElement *target =
                FindChildById(FindChildById(fetchedRoot, "Channel1", IdOf(category)), "Channel2", IdOf(channel));
            if (target)
                target->SetAttribute("Subscribe", 1);
        }
    }
    return 1;
}

bool CChannelCatalogue::ReplaceChannelCatalogue(const TiXmlDocument &fetched)
{
    const TiXmlElement *fetchedRoot = fetched.RootElement();
    if (!fetchedRoot)
        return false;
    TiXmlDocument &document = m_store.ChannelDoc();
    document.Clear();
    document.Parse("<?xml version=\"1.0\" encoding=\"GB2312\" ?>\r\n", nullptr, TIXML_DEFAULT_ENCODING);
    document.InsertEndChild(*fetchedRoot);
    return m_store.SaveChannelDoc();
}
