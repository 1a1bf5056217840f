// Handles the service's replies on the network thread: file news, version and
// login replies start merges and workers; play and text replies just end.
#pragma once

#include "net/CatalogueMerge.h"

#include <cstddef>

class CKeyStore;
class CReplyReader;
class CServiceWatch;

enum class EReplyResult {
    Wait,   // incomplete: keep the connection and dispatch again when more arrives
    Closed, // malformed or refused: end the connection
    Done,   // handled: end the connection
};

class CReplyDispatch {
public:
    // The watch, when given, hears of every login reply.
    CReplyDispatch(CCatalogueStore &store, CKeyStore &keys, CMainWindowLink &link, ISyncWorkers &workers,
                   CServiceWatch *watch = nullptr)
        : m_store(store), m_keys(keys), m_link(link), m_workers(workers), m_watch(watch), m_merge(store, link, workers)
    {
    }

    // Every call reads the reply again from its first byte: the same reply is
    // dispatched once per read while it arrives in pieces.
    EReplyResult Dispatch(const char *data, size_t length);

private:
    EReplyResult OnFileNews(CReplyReader &reader);
    EReplyResult OnVersion(CReplyReader &reader);
    EReplyResult OnLogin(CReplyReader &reader);
    void StartPictureFetcher();
    void HeardLogin();

    CCatalogueStore &m_store;
    CKeyStore &m_keys;
    CMainWindowLink &m_link;
    ISyncWorkers &m_workers;
    CServiceWatch *m_watch;
    CCatalogueMerge m_merge;
};
