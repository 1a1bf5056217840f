#include "net/TorrentWorker.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/SafeName.h"
#include "net/HttpFetch.h"
#include "net/WorkerThreads.h"
#include "store/FileCatalogue.h"

void RunTorrentFetch(CCatalogueStore &store, const TTorrentJob &job)
{
    std::string torrent;
    std::string destination;
    if (!MakeLocalPath("GetTorrent", store.GetConfigValue(CFG_TORRENTROOT), job.torrent, CFileCatalogue::kMaxPath,
                       torrent) ||
        !MakeLocalPath("GetTorrent", store.GetConfigValue(CFG_FILEROOT), job.location, CFileCatalogue::kMaxPath,
                       destination))
        return;
    const std::string url = store.GetConfigValue(CFG_TORRENTURL) + job.torrent;
    int fetched;
    {
        CHttpHandle handle;
        fetched = GetHttpData(handle.Get(), url, torrent);
    }
    const CStopSignal &stop = CurrentStopSignal();
    if (!fetched) {
        if (!stop.Stopped()) // a fetch the exit cut off is no bad address
            DebugLog("%s%s\n", job.failureText.c_str(), url.c_str());
        return;
    }
    // The exit cleans the engine up once the workers are stopped: a worker that
    // comes too late hands nothing over.
    if (stop.RunUnlessStopped([&] { Engine().AddDownload(torrent.c_str(), destination.c_str()); }))
        DebugLog("Add download %s", torrent.c_str());
}
