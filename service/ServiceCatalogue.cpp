#include "ServiceCatalogue.h"

#include "store/XmlNumber.h"

#include <ctime>

int DateNumber(int daysFromToday)
{
    std::time_t when = std::time(nullptr) + static_cast<std::time_t>(daysFromToday) * 86400;
    std::tm local{};
    localtime_r(&when, &local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

namespace {

std::string Print(const TiXmlDocument &document)
{
    TiXmlPrinter printer;
    document.Accept(&printer);
    return printer.Str();
}

TiXmlDocument NewFragment(const char *root)
{
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "GB2312", ""));
    document.LinkEndChild(new TiXmlElement(root));
    return document;
}

// File attributes the client keeps; the service's own bookkeeping stays here.
const char *const kFileAttributes[] = {"ID", "Title", "Pic", "Date", "Progress", "Torrent", "Location", "Desc", "KBytes"};

} // namespace

bool CServiceCatalogue::Load(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_document.LoadFile(path.c_str(), TIXML_DEFAULT_ENCODING) || !Root())
        return false;
    m_date = IntAttribute(Root(), "Date");
    m_version = IntAttribute(Root(), "Version");
    m_updater = TextAttribute(Root(), "Updater");
    return true;
}

int CServiceCatalogue::MaxPublishedId()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int maxId = 0;
    for (const TiXmlElement *file = Root()->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
        if (TextAttribute(file, "Held") != "1" && IdOf(file) > maxId)
            maxId = IdOf(file);
    return maxId;
}

std::string CServiceCatalogue::FileFragment(int afterId, int &count)
{
    const int maxId = MaxPublishedId();
    std::lock_guard<std::mutex> lock(m_mutex);
    TiXmlDocument fragment = NewFragment("TovixFile");
    TiXmlElement *root = fragment.RootElement();
    count = 0;
    for (const TiXmlElement *file = Root()->FirstChildElement("File"); file; file = file->NextSiblingElement("File")) {
        if (TextAttribute(file, "Held") == "1" || IdOf(file) <= afterId)
            continue;
        const int channelId = IntAttribute(file, "Channel");
        TiXmlElement *channel = FindChildById(root, "Channel", channelId);
        if (!channel) {
            TiXmlElement element("Channel");
            element.SetAttribute("ID", channelId);
            channel = root->InsertEndChild(element)->ToElement();
        }
        TiXmlElement copy("File");
        for (const char *name : kFileAttributes)
            copy.SetAttribute(name, TextAttribute(file, name).c_str());
        channel->InsertEndChild(copy);
        ++count;
    }
    TiXmlElement maxElement("MaxID");
    maxElement.SetAttribute("value", maxId);
    root->InsertEndChild(maxElement);
    return Print(fragment);
}

std::string CServiceCatalogue::ChannelFragment()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    TiXmlDocument fragment = NewFragment("TovixChannel");
    TiXmlElement *root = fragment.RootElement();
    TiXmlElement date("Date");
    date.SetAttribute("value", m_date);
    root->InsertEndChild(date);
    for (const TiXmlElement *category = Root()->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1")) {
        TiXmlElement *copy = root->InsertEndChild(*category)->ToElement();
        for (TiXmlElement *channel = copy->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2")) {
            if (channel->Attribute("ADDays")) {
                const int days = IntAttribute(channel, "ADDays");
                channel->RemoveAttribute("ADDays");
                // Today's date as an offset keeps "today" and "yesterday" clips meaningful on any day.
                channel->SetAttribute("ADTime", DateNumber(days));
            }
        }
    }
    return Print(fragment);
}

int CServiceCatalogue::PublishNext()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (TiXmlElement *file = Root()->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
        if (TextAttribute(file, "Held") == "1") {
            file->RemoveAttribute("Held");
            return IdOf(file);
        }
    return 0;
}
