// Notices the files of subscribed channels that finish downloading during this
// run. It asks the engine about every unfinished file of those channels (not
// only the listed ones) and tells the main window link in groups: the files
// that finish within 5 s of the first of them make one report. A file that is
// already finished when first seen is never reported.
#pragma once

#include "net/MainWindowLink.h"

#include <cstdint>
#include <functional>
#include <set>

class CCatalogueStore;
class CKeyStore;

class CFinishWatch {
public:
    // Seconds; tests replace it to pass the grouping time without waiting.
    using TClock = std::function<int64_t()>;

    static constexpr int kGroupSeconds = 5;

    // All three outlive the watch.
    CFinishWatch(CCatalogueStore &store, CKeyStore &keys, CMainWindowLink &link, TClock clock = nullptr);

    // One look at the engine's state of the subscribed files; called
    // periodically on one thread.
    void Poll();

    // The user's switch (CurrentUser, Software\Tovix, Notify): on unless "0".
    static bool NotificationsOn(CKeyStore &keys);
    static bool SetNotificationsOn(CKeyStore &keys, bool on);

private:
    void Report();

    CCatalogueStore &m_store;
    CKeyStore &m_keys;
    CMainWindowLink &m_link;
    TClock m_clock;
    std::set<int> m_unfinished; // entry numbers seen unfinished in this run
    int m_groupCount = 0;
    int m_groupFirst = 0;
    int64_t m_groupStart = 0;
};
