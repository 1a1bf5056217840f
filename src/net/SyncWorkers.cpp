#include "net/SyncWorkers.h"

#include "net/AdFetcher.h"
#include "net/DownloadStart.h"
#include "net/PictureFetcher.h"
#include "net/UpdateFetcher.h"

void CSyncWorkers::StartPictureFetcher()
{
    CCatalogueStore &store = m_store;
    CMainWindowLink &link = m_link;
    m_threads.Start([&store, &link] { CPictureFetcher(store, link).Run(); });
}

void CSyncWorkers::StartAdFetcher()
{
    CCatalogueStore &store = m_store;
    m_threads.Start([&store] { GetADThread(store); });
}

void CSyncWorkers::StartUpdateFetcher(const std::string &address)
{
    m_threads.Start([address] { GetUpdateFile(address); });
}

void CSyncWorkers::RunSubscribedDownloadStart() { CDownloadStart(m_store, m_threads).StartSubscribed(); }
