// The service's own catalogue: categories, channels and every file it publishes,
// loaded from the data folder's "catalogue.xml". It answers the client's reports
// with catalogue fragments and publishes held-back files over time.
#pragma once

#include <mutex>
#include <string>
#include <tinyxml.h>

class CServiceCatalogue {
public:
    static constexpr const char *kFileName = "catalogue.xml";

    bool Load(const std::string &path);

    int Date() const { return m_date; }
    int NewestVersion() const { return m_version; }
    // The updater's path on the web server, as "update/TovixUpdate.sh".
    const std::string &UpdaterPath() const { return m_updater; }
    int MaxPublishedId();

    // A FileInfo-style document of the published files newer than afterId, with
    // its MaxID element; count is the number of files in it.
    std::string FileFragment(int afterId, int &count);
    // A ChannelInfo-style document with the Date element; advertisement dates are
    // made relative to today (the ADDays attribute), so a clip stays current.
    std::string ChannelFragment();

    // Publishes the next held-back file; its ID, or 0 when none is left.
    int PublishNext();

    // Every published and held-back file: (channel, location) pairs for the seeder.
    template <typename Visit> void ForEachFile(Visit visit)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (TiXmlElement *file = Root()->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
            visit(*file);
    }

private:
    TiXmlElement *Root() { return m_document.RootElement(); }

    std::mutex m_mutex; // the publisher thread and the message server share the document
    TiXmlDocument m_document;
    int m_date = 0;
    int m_version = 0;
    std::string m_updater;
};

// YYYYMMDD of today plus days, in local time.
int DateNumber(int daysFromToday);
