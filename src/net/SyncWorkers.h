// The work a catalogue reply starts: the fetcher threads and the
// subscribed-download start.
#pragma once

#include "net/MainWindowLink.h"
#include "net/WorkerThreads.h"
#include "store/CatalogueStore.h"

class CSyncWorkers : public ISyncWorkers {
public:
    // All three outlive every worker (they live as long as the process).
    CSyncWorkers(CCatalogueStore &store, CMainWindowLink &link, CWorkerThreads &threads)
        : m_store(store), m_link(link), m_threads(threads)
    {
    }

    void StartPictureFetcher() override;
    void StartAdFetcher() override;
    void StartUpdateFetcher(const std::string &address) override;
    void RunSubscribedDownloadStart() override;

private:
    CCatalogueStore &m_store;
    CMainWindowLink &m_link;
    CWorkerThreads &m_threads;
};
