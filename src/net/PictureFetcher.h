// The picture fetcher: one pass over the file catalogue that brings every
// missing picture (PicURL + Pic into PicRoot + Pic) and tells the file list.
#pragma once

#include "net/MainWindowLink.h"
#include "store/CatalogueStore.h"

class CPictureFetcher {
public:
    CPictureFetcher(CCatalogueStore &store, CMainWindowLink &link) : m_store(store), m_link(link) {}

    void Run();

private:
    struct TPicture {
        int channel;
        int file;
        std::string pic;
    };

    std::vector<TPicture> Snapshot();
    bool StillListed(const TPicture &picture);

    CCatalogueStore &m_store;
    CMainWindowLink &m_link;
};
