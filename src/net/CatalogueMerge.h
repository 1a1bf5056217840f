// Merges the catalogue fragments of the service's replies into the local
// catalogue files, then tells the main window and starts the follow-up work.
#pragma once

#include <tinyxml.h>

class CCatalogueStore;
class CMainWindowLink;
class ISyncWorkers;

class CCatalogueMerge {
public:
    CCatalogueMerge(CCatalogueStore &store, CMainWindowLink &link, ISyncWorkers &workers)
        : m_store(store), m_link(link), m_workers(workers)
    {
    }

    // New channels are appended whole, known channels gain the files with new IDs;
    // local entries are never changed. Then prunes, and stores the fragment's MaxID.
    void MergeFileFragment(const TiXmlDocument &fragment);
    // Replaces the channel catalogue, keeping the subscriptions, and stores its Date.
    void MergeChannelFragment(TiXmlDocument &fragment);

private:
    void AppendNewEntries(TiXmlElement &localRoot, const TiXmlElement &fragmentRoot);
    // Stores the value of the fragment root's child element as a configuration item.
    void StorePosition(const TiXmlElement &fragmentRoot, const char *element, const char *item);

    CCatalogueStore &m_store;
    CMainWindowLink &m_link;
    ISyncWorkers &m_workers;
};
