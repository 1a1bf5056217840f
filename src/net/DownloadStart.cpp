#include "net/DownloadStart.h"

#include "base/EngineApi.h"
#include "base/FileSystem.h"
#include "base/SafeName.h"
#include "net/TorrentWorker.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <algorithm>
#include <mutex>
#include <vector>

CDownloadStart::TRoots CDownloadStart::ReadRoots() const
{
    return {m_store.GetConfigValue(CFG_TORRENTROOT), m_store.GetConfigValue(CFG_FILEROOT)};
}

void CDownloadStart::StartOne(const TRoots &roots, const TNames &names, const std::string &failureText)
{
    std::string torrent;
    std::string destination;
    if (!MakeLocalPath("AddDownload", roots.torrent, names.torrent, CFileCatalogue::kMaxPath, torrent) ||
        !MakeLocalPath("AddDownload", roots.file, names.location, CFileCatalogue::kMaxPath, destination))
        return;
    if (FileExists(torrent)) {
        Engine().AddDownload(torrent.c_str(), destination.c_str());
        return;
    }
    // Keyed by the torrent: overlapping passes (start-up, every merge, every
    // subscription) must not fetch the same one twice at once.
    CCatalogueStore &store = m_store;
    m_threads.StartKeyed(torrent, [&store, job = TTorrentJob{names.torrent, names.location, failureText}] {
        RunTorrentFetch(store, job);
    });
}

void CDownloadStart::Start(const std::string &torrent, const std::string &location, const std::string &failureText)
{
    StartOne(ReadRoots(), TNames{torrent, location}, failureText);
}

int CDownloadStart::StartSubscribed()
{
    const TRoots roots = ReadRoots();
    std::vector<int> subscribed;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
        subscribed = CChannelCatalogue(m_store).GetSubscribedChannels();
    }
    // The names are copied under the lock; the engine and the workers are called after it.
    std::vector<TNames> unfinished;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        const TiXmlElement *root = m_store.FileDoc().RootElement();
        if (!root)
            return 0;
        for (const TiXmlElement *channel = root->FirstChildElement("Channel"); channel;
             channel = channel->NextSiblingElement("Channel")) {
            if (std::find(subscribed.begin(), subscribed.end(), IdOf(channel)) == subscribed.end())
                continue;
            for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
                 file = file->NextSiblingElement("File"))
                if (IntAttribute(file, "Progress") < 100)
                    unfinished.push_back({TextAttribute(file, "Torrent"), TextAttribute(file, "Location")});
        }
    }
    for (const TNames &names : unfinished)
        StartOne(roots, names, kSubscribedFetchFailure);
    return 1;
}
