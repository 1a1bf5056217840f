// Notices the files of subscribed channels that finish downloading during this
// run. It asks the engine about every unfinished file of those channels (not
// only the listed ones) and tells the main window link in groups: the files
// that finish within 5 s of the first of them make one report. What the engine
// held finished at the first look (restored from an earlier run) is not news.
#pragma once

#include "net/MainWindowLink.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
    // periodically on one thread, the first time before any download of this
    // run can have started, and before anything writes a finish into the catalogue.
    void Poll();

    // The user's switch (CurrentUser, Software\Tovix, Notify): on unless "0".
    static bool NotificationsOn(CKeyStore &keys);
    static bool SetNotificationsOn(CKeyStore &keys, bool on);

private:
    // Entry number and torrent path of the files with a Progress below 100 (or
    // watched), of the given channels or, when all, of every channel.
    std::vector<std::pair<int, std::string>> UnfinishedFiles(const std::vector<int> &channels, bool all);
    void Report();

    CCatalogueStore &m_store;
    CKeyStore &m_keys;
    CMainWindowLink &m_link;
    TClock m_clock;
    bool m_looked = false;
    std::set<int> m_restored;  // entry numbers the engine held finished at the first look
    std::set<int> m_watched;   // seen unfinished in the catalogue, not yet reported
    std::set<int> m_reported;
    int m_groupCount = 0;
    int m_groupFirst = 0;
    int64_t m_groupStart = 0;
};
