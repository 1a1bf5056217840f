// Handing files to the download engine: one file on the user's request, or
// every unfinished file of the subscribed channels.
#pragma once

#include "net/WorkerThreads.h"
#include "store/CatalogueStore.h"

#include <string>

class CDownloadStart {
public:
    CDownloadStart(CCatalogueStore &store, CWorkerThreads &threads) : m_store(store), m_threads(threads) {}

    // Adds the download at once when TorrentRoot + torrent is on disk; otherwise a
    // torrent fetch worker fetches it first and logs failureText on failure.
    void Start(const std::string &torrent, const std::string &location, const std::string &failureText);

    // Starts every file whose Progress is below 100 in the channels subscribed in
    // the channel catalogue. 1, or 0 with nothing done when the file catalogue has
    // no root element.
    int StartSubscribed();

private:
    struct TRoots {
        std::string torrent;
        std::string file;
    };
    struct TNames {
        std::string torrent;
        std::string location;
    };

    TRoots ReadRoots() const;
    void StartOne(const TRoots &roots, const TNames &names, const std::string &failureText);

    CCatalogueStore &m_store;
    CWorkerThreads &m_threads;
};
