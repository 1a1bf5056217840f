// The download engine: one libtorrent session and the caller's downloads, known
// by torrent path. A thread of its own handles the session's alerts: it keeps the
// status the calls read, writes the state folder, guards free space and tells
// the window about changes. Every public member may be called from any thread.
#pragma once

#include "ChangeNotifier.h"
#include "DownloadState.h"
#include "EngineLimits.h"
#include "EngineSettings.h"
#include "RateMeter.h"
#include "SpaceGuard.h"
#include "StateFolder.h"

#include <libtorrent/fwd.hpp>
#include <libtorrent/torrent_handle.hpp>

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CDownloadEngine {
public:
    // How often the resume data of a download that moved is saved: what a crash can cost.
    static constexpr std::chrono::seconds kResumeSaveGap{2};
    static constexpr std::chrono::seconds kSeedResumeSaveGap{60};
    static constexpr std::chrono::milliseconds kTick{250};
    // The program's exit has 15 s in all: 5 s for its workers, this for the resume
    // saves, up to 1 s for the trackers' "stopped" announces, and the catalogue save.
    static constexpr std::chrono::seconds kShutdownSaveLimit{8};

    // Starts a session keeping its state in stateFolder (its settings file included)
    // and restores the downloads saved there. Null (one log line) when it cannot start.
    static std::unique_ptr<CDownloadEngine> Start(const std::string &stateFolder);
    // Saves every download's resume data, then stops the session.
    ~CDownloadEngine();
    CDownloadEngine(const CDownloadEngine &) = delete;
    CDownloadEngine &operator=(const CDownloadEngine &) = delete;

    void SetWindow(const TovixWndHandle *handle) { m_notifier.SetTarget(handle); }
    // Applies a limit at once and keeps it for the next start.
    void SetLimit(EEngineLimit limit, int value);

    // Paths are GBK. Adding a torrent path the engine has already is harmless (1).
    int Add(const std::string &torrentPath, const std::string &savePath);
    // Forgets the download; its files stay where they are.
    int Remove(const std::string &torrentPath);

    int Position(const std::string &torrentPath) const;
    EDownloadState State(int pos) const;
    double Progress(int pos) const;
    // pos -1: the whole session's payload rate.
    int DownloadRate(int pos) const;
    int UploadRate(int pos) const;
    // Payload bytes the download has received since the engine started, as libtorrent
    // counts them at the call (which waits for libtorrent's network thread).
    long long Received(int pos) const;
    int Count(EDownloadState state) const;

private:
    struct TDownload {
        std::string torrentPath;
        std::string savePath;
        std::string folder; // where the file lands, for the space guard
        long long order = 0;
        libtorrent::torrent_handle handle;
        libtorrent::info_hash_t hash;
        EDownloadState state = EDownloadState::Waiting;
        double progress = 0;
        int downloadRate = 0;
        int uploadRate = 0;
        bool waitingForSpace = false;
        bool needSave = false;
        bool recordFinished = false; // the state folder already holds every piece
        long long uploaded = 0;       // all time, as libtorrent last said
        long long recordUploaded = 0; // all time, as the record says
        std::chrono::steady_clock::time_point lastSave;
    };
    struct TStateJob {
        libtorrent::info_hash_t hash;
        std::string record; // empty: forget the download
    };

    CDownloadEngine(const std::string &stateFolder, std::unique_ptr<libtorrent::session> session,
                    std::unique_ptr<CEngineLimits> limits);

    void Restore();
    // Verifies from disk the pieces written after the download's last record.
    void RecheckBeforeRestore(TSavedDownload &saved);
    // Whether a download added now may start at once: fewer unfinished downloads than the limit.
    bool QueueHasRoom() const;
    // Registers a download the session has accepted; returns its position.
    int InsertLocked(TDownload download);
    const TDownload *FindLocked(int pos) const;
    // A finished download whose record holds all it has: nothing to save.
    static bool RecordIsCurrent(const TDownload &download);
    TDownload *FindLocked(const libtorrent::torrent_handle &handle);

    void Run();
    void HandleAlert(libtorrent::alert *alert);
    void UpdateStatuses(const std::vector<libtorrent::torrent_status> &statuses);
    void SaveResumeData(const libtorrent::torrent_handle &handle, const libtorrent::add_torrent_params &params);
    void HoldForSpace(const libtorrent::torrent_handle &handle);
    void ReleaseForSpace(const libtorrent::torrent_handle &handle);
    void Tick();
    void GuardSpace();
    void RequestResumeSaves();
    void WriteStateJobs();
    void SaveAllBeforeStop();

    CStateFolder m_stateFolder;
    std::unique_ptr<libtorrent::session> m_session;
    std::unique_ptr<CEngineLimits> m_limits;
    CChangeNotifier m_notifier;
    CSpaceGuard m_guard;
    CRateMeter m_rates;                        // engine thread only
    std::vector<int> m_counterIndex;           // received, sent payload counters
    bool m_wantStatus = false;                 // engine thread only
    std::unordered_set<libtorrent::torrent_handle> m_awaitingSave; // at shutdown

    std::mutex m_limitMutex; // one limit change at a time
    std::mutex m_addMutex; // one add at a time, so two threads adding one torrent cannot race
    mutable std::mutex m_mutex;
    std::map<int, TDownload> m_downloads;
    std::unordered_map<std::string, int> m_byPath;
    std::unordered_map<libtorrent::torrent_handle, int> m_byHandle;
    std::deque<TStateJob> m_jobs;
    int m_nextPos = 0;
    long long m_nextOrder = 0;
    int m_downloadRate = 0;
    int m_uploadRate = 0;

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
