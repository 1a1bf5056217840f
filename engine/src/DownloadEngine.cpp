#include "DownloadEngine.h"

#include "PieceRecheck.h"

#include "base/DebugLog.h"
#include "base/GbkText.h"

#include <libtorrent/alert_types.hpp>
#include <libtorrent/posix_disk_io.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/session_stats.hpp>
#include <libtorrent/torrent_info.hpp>

#include <unistd.h>

namespace lt = libtorrent;
using std::chrono::steady_clock;

namespace {

std::string CurrentFolder()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

// The save path names the video itself: a single-file torrent is stored under that
// name whatever name it carries; a multi-file torrent's top folder takes that name.
bool MakeParams(const std::string &torrentPath, const std::string &savePath, lt::add_torrent_params &params,
                std::string &problem)
{
    lt::error_code ec;
    auto info = std::make_shared<lt::torrent_info>(FsPath(torrentPath), ec);
    if (ec) {
        problem = ec.message();
        return false;
    }
    std::string target = FsPath(savePath);
    if (!target.empty() && target[0] != '/')
        target = CurrentFolder() + "/" + target;
    const std::string::size_type slash = target.find_last_of('/');
    const std::string name = target.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        problem = "invalid save path";
        return false;
    }
    params.save_path = slash == 0 ? std::string("/") : target.substr(0, slash);
    const lt::file_storage &files = info->files();
    if (files.num_files() == 1) {
        params.renamed_files[lt::file_index_t{0}] = name;
    } else {
        for (const lt::file_index_t index : files.file_range()) {
            const std::string path = files.file_path(index);
            const std::string::size_type cut = path.find('/');
            params.renamed_files[index] = name + (cut == std::string::npos ? "/" + path : path.substr(cut));
        }
    }
    params.ti = std::move(info);
    return true;
}

} // namespace

std::unique_ptr<CDownloadEngine> CDownloadEngine::Start(const std::string &stateFolder)
{
    CStateFolder folder(stateFolder);
    if (!folder.Prepare())
        return nullptr;
    TEngineOptions options = DefaultEngineOptions();
    ReadSettingsFile(folder.SettingsPath(), options);
    // The caller's last limits hold before any download is restored.
    auto limits = std::make_unique<CEngineLimits>(folder.LimitsPath(),
                                                  options.settings.get_int(lt::settings_pack::tick_interval));
    limits->AddTo(options.settings);
    lt::session_params params(std::move(options.settings));
    if (options.posixDiskIo)
        params.disk_io_constructor = lt::posix_disk_io_constructor;

    std::unique_ptr<lt::session> session;
    try {
        session = std::make_unique<lt::session>(std::move(params));
    } catch (const std::exception &error) {
        DebugLog("InitDownloader error[%s]", error.what());
        return nullptr;
    }
    session->set_peer_class_filter(EveryAddressRateLimited());

    std::unique_ptr<CDownloadEngine> engine(new CDownloadEngine(stateFolder, std::move(session), std::move(limits)));
    engine->Restore();
    engine->m_thread = std::thread(&CDownloadEngine::Run, engine.get());
    return engine;
}

CDownloadEngine::CDownloadEngine(const std::string &stateFolder, std::unique_ptr<lt::session> session,
                                 std::unique_ptr<CEngineLimits> limits)
    : m_stateFolder(stateFolder), m_session(std::move(session)), m_limits(std::move(limits)),
      m_counterIndex{lt::find_metric_idx("net.recv_payload_bytes"), lt::find_metric_idx("net.sent_payload_bytes")}
{
}

CDownloadEngine::~CDownloadEngine()
{
    m_stop = true;
    // An alert ends the thread's wait for alerts now rather than at its timeout.
    m_session->post_session_stats();
    if (m_thread.joinable())
        m_thread.join();
    WriteStateJobs();
    SaveAllBeforeStop();
    WriteStateJobs();
    m_session.reset();
}

void CDownloadEngine::Restore()
{
    int restored = 0;
    for (TSavedDownload &saved : m_stateFolder.Load()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_byPath.count(saved.torrentPath))
                continue;
        }
        RecheckBeforeRestore(saved);
        // The queue decides what runs; a hold for disk space is decided afresh.
        saved.params.flags |= lt::torrent_flags::auto_managed | lt::torrent_flags::paused;
        saved.params.flags &= ~lt::torrent_flags::upload_mode;
        const auto hash = saved.params.ti->info_hashes();
        lt::error_code ec;
        lt::torrent_handle handle = m_session->add_torrent(saved.params, ec);
        if (ec) {
            DebugLog("Restore download %s error[%s]", saved.torrentPath.c_str(), ec.message().c_str());
            continue;
        }
        TDownload download;
        download.torrentPath = saved.torrentPath;
        download.savePath = saved.savePath;
        download.folder = saved.params.save_path;
        download.order = saved.order;
        download.handle = handle;
        download.hash = hash;
        download.lastSave = steady_clock::now();
        // What the record says holds until libtorrent has read it back, so a finished
        // file reads as finished from the first call on.
        const int pieces = saved.params.ti->num_pieces();
        const int have = saved.params.have_pieces.count();
        download.state = pieces > 0 && have == pieces ? EDownloadState::Finished : EDownloadState::Waiting;
        download.progress = pieces > 0 ? 100.0 * have / pieces : 0.0;
        download.recordFinished = download.state == EDownloadState::Finished;
        download.uploaded = download.recordUploaded = saved.params.total_uploaded;
        m_nextOrder = std::max(m_nextOrder, saved.order + 1);
        std::lock_guard<std::mutex> lock(m_mutex);
        InsertLocked(std::move(download));
        ++restored;
    }
    DebugLog("Restored %d downloads", restored);
    m_session->post_torrent_updates();
}

void CDownloadEngine::RecheckBeforeRestore(TSavedDownload &saved)
{
    const TRecheck recheck = RecheckWrittenPieces(saved.params);
    if (recheck.hashed == 0)
        return;
    DebugLog("Recheck %d pieces of %s: %d complete", recheck.hashed, saved.torrentPath.c_str(), recheck.found);
    // Recorded at once, so that the next start reads none of them again.
    if (recheck.found > 0)
        m_stateFolder.Write(saved.params.ti->info_hashes(), CStateFolder::Encode(saved));
}

int CDownloadEngine::Add(const std::string &torrentPath, const std::string &savePath)
{
    std::lock_guard<std::mutex> adding(m_addMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_byPath.count(torrentPath))
            return 1;
    }
    lt::add_torrent_params params;
    std::string problem;
    if (!MakeParams(torrentPath, savePath, params, problem)) {
        DebugLog("AddDownload %s error[%s]", torrentPath.c_str(), problem.c_str());
        return 0;
    }
    // libtorrent starts a queued download on its next queue round, a tick or more away;
    // one the queue has room for needs no such round.
    if (QueueHasRoom())
        params.flags &= ~lt::torrent_flags::paused;
    lt::error_code ec;
    const lt::torrent_handle handle = m_session->add_torrent(params, ec);
    if (ec) {
        // duplicate_torrent: the same torrent is downloading under another torrent path.
        DebugLog("AddDownload %s error[%s]", torrentPath.c_str(), ec.message().c_str());
        return 0;
    }

    TDownload download;
    download.torrentPath = torrentPath;
    download.savePath = savePath;
    download.folder = params.save_path;
    download.order = m_nextOrder++;
    download.handle = handle;
    download.hash = params.ti->info_hashes();
    download.lastSave = steady_clock::now();
    const lt::torrent_status status = handle.status();
    download.state = ClassifyDownload(status, false);
    download.progress = ProgressPercent(status);
    // The first record lets a restart know the download before any resume data exists.
    const std::string record = CStateFolder::Encode({torrentPath, savePath, download.order, params});

    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back({download.hash, record});
    InsertLocked(std::move(download));
    m_notifier.StateChanged();
    return 1;
}

int CDownloadEngine::Remove(const std::string &torrentPath)
{
    lt::torrent_handle handle;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_byPath.find(torrentPath);
        if (found == m_byPath.end())
            return 0;
        const auto download = m_downloads.find(found->second);
        handle = download->second.handle;
        m_jobs.push_back({download->second.hash, std::string()});
        m_byHandle.erase(handle);
        m_downloads.erase(download);
        m_byPath.erase(found);
    }
    m_session->remove_torrent(handle); // the files stay: the caller decides about them
    m_notifier.StateChanged();
    return 1;
}

bool CDownloadEngine::QueueHasRoom() const
{
    const int limit = m_session->get_settings().get_int(lt::settings_pack::active_downloads);
    if (limit < 0)
        return true;
    // Every unfinished download counts, the waiting ones too: those go first.
    std::lock_guard<std::mutex> lock(m_mutex);
    int unfinished = 0;
    for (const auto &entry : m_downloads)
        unfinished += entry.second.state != EDownloadState::Finished;
    return unfinished < limit;
}

int CDownloadEngine::InsertLocked(TDownload download)
{
    const int pos = m_nextPos++;
    m_byPath[download.torrentPath] = pos;
    m_byHandle[download.handle] = pos;
    m_downloads.emplace(pos, std::move(download));
    return pos;
}

bool CDownloadEngine::RecordIsCurrent(const TDownload &download)
{
    // libtorrent marks every restored download as changed once it has read it back;
    // rewriting a thousand finished files' records for that would only cost fsyncs.
    return download.recordFinished && download.uploaded == download.recordUploaded;
}

const CDownloadEngine::TDownload *CDownloadEngine::FindLocked(int pos) const
{
    const auto found = m_downloads.find(pos);
    return found == m_downloads.end() ? nullptr : &found->second;
}

CDownloadEngine::TDownload *CDownloadEngine::FindLocked(const lt::torrent_handle &handle)
{
    const auto found = m_byHandle.find(handle);
    return found == m_byHandle.end() ? nullptr : &m_downloads.at(found->second);
}

int CDownloadEngine::Position(const std::string &torrentPath) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_byPath.find(torrentPath);
    return found == m_byPath.end() ? -1 : found->second;
}

EDownloadState CDownloadEngine::State(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const TDownload *download = FindLocked(pos);
    return download ? download->state : EDownloadState::None;
}

double CDownloadEngine::Progress(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const TDownload *download = FindLocked(pos);
    return download ? download->progress : 0.0;
}

int CDownloadEngine::DownloadRate(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (pos == -1)
        return m_downloadRate;
    const TDownload *download = FindLocked(pos);
    return download ? download->downloadRate : 0;
}

int CDownloadEngine::UploadRate(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (pos == -1)
        return m_uploadRate;
    const TDownload *download = FindLocked(pos);
    return download ? download->uploadRate : 0;
}

long long CDownloadEngine::Received(int pos) const
{
    lt::torrent_handle handle;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const TDownload *download = FindLocked(pos);
        if (!download)
            return 0;
        handle = download->handle;
    }
    return handle.status().total_payload_download;
}

int CDownloadEngine::Count(EDownloadState state) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const auto &entry : m_downloads)
        count += entry.second.state == state;
    return count;
}

void CDownloadEngine::SetLimit(EEngineLimit limit, int value)
{
    // One change at a time: the tick applied last follows the limits kept last.
    std::lock_guard<std::mutex> lock(m_limitMutex);
    lt::settings_pack pack;
    m_limits->Apply(limit, value, pack);
    m_session->apply_settings(std::move(pack));
}

void CDownloadEngine::Run()
{
    auto nextTick = steady_clock::now();
    std::vector<lt::alert *> alerts;
    while (!m_stop) {
        // Records queued by the calls go first, so resume data saved later is never overwritten by them.
        WriteStateJobs();
        m_session->wait_for_alert(lt::milliseconds(100));
        m_session->pop_alerts(&alerts);
        for (lt::alert *alert : alerts)
            HandleAlert(alert);
        const auto now = steady_clock::now();
        if (now >= nextTick) {
            Tick();
            nextTick = now + kTick;
        }
        if (m_wantStatus) {
            m_wantStatus = false;
            m_session->post_torrent_updates();
        }
        m_notifier.Flush();
    }
}

void CDownloadEngine::HandleAlert(lt::alert *alert)
{
    if (const auto *update = lt::alert_cast<lt::state_update_alert>(alert)) {
        UpdateStatuses(update->status);
    } else if (const auto *stats = lt::alert_cast<lt::session_stats_alert>(alert)) {
        const auto counters = stats->counters();
        m_rates.Add(steady_clock::now(), counters[m_counterIndex[0]], counters[m_counterIndex[1]]);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_downloadRate = m_rates.DownloadRate();
            m_uploadRate = m_rates.UploadRate();
        }
        if (m_rates.Moved())
            m_notifier.DataMoved();
    } else if (const auto *saved = lt::alert_cast<lt::save_resume_data_alert>(alert)) {
        m_awaitingSave.erase(saved->handle);
        SaveResumeData(saved->handle, saved->params);
    } else if (const auto *failed = lt::alert_cast<lt::save_resume_data_failed_alert>(alert)) {
        m_awaitingSave.erase(failed->handle);
    } else if (const auto *finished = lt::alert_cast<lt::torrent_finished_alert>(alert)) {
        // A finished file must never be checked again after a restart: record it at once,
        // unless its record says so already (every restored finished file reports it again).
        bool recorded = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (const TDownload *download = FindLocked(finished->handle))
                recorded = download->recordFinished;
        }
        if (!recorded)
            finished->handle.save_resume_data(lt::torrent_handle::flush_disk_cache |
                                              lt::torrent_handle::save_info_dict);
        m_wantStatus = true;
    } else if (const auto *fileError = lt::alert_cast<lt::file_error_alert>(alert)) {
        DebugLog("Download %s error[%s]", fileError->filename(), fileError->error.message().c_str());
        std::string folder;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (const TDownload *download = FindLocked(fileError->handle))
                folder = download->folder;
        }
        // A write that failed on a (nearly) full disk waits for space like the guard's holds.
        m_guard.BeginRound();
        if (fileError->error == boost::system::errc::no_space_on_device ||
            (!folder.empty() && m_guard.MustWait(folder, false)))
            HoldForSpace(fileError->handle);
        m_wantStatus = true;
    } else if (const auto *rejected = lt::alert_cast<lt::fastresume_rejected_alert>(alert)) {
        DebugLog("Resume download %s error[%s]", rejected->torrent_name(), rejected->error.message().c_str());
        m_wantStatus = true;
    } else if (alert->category() & lt::alert_category::status) {
        m_wantStatus = true; // added, removed, paused, resumed, state changed, checked
    }
}

void CDownloadEngine::UpdateStatuses(const std::vector<lt::torrent_status> &statuses)
{
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const lt::torrent_status &status : statuses) {
            TDownload *download = FindLocked(status.handle);
            if (!download || status.state == lt::torrent_status::checking_resume_data)
                continue; // a passing state that would read as "waiting" for a moment
            const EDownloadState state = ClassifyDownload(status, download->waitingForSpace);
            changed = changed || state != download->state;
            download->state = state;
            download->progress = ProgressPercent(status);
            download->downloadRate = status.download_payload_rate;
            download->uploadRate = status.upload_payload_rate;
            download->uploaded = status.all_time_upload;
            download->needSave = download->needSave || status.need_save_resume;
        }
    }
    if (changed)
        m_notifier.StateChanged();
}

void CDownloadEngine::SaveResumeData(const lt::torrent_handle &handle, const lt::add_torrent_params &params)
{
    TSavedDownload saved;
    lt::info_hash_t hash;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        TDownload *download = FindLocked(handle);
        if (!download)
            return; // removed meanwhile: its record is gone and stays gone
        download->recordFinished = params.have_pieces.size() > 0 && params.have_pieces.all_set();
        download->recordUploaded = params.total_uploaded;
        saved.torrentPath = download->torrentPath;
        saved.savePath = download->savePath;
        saved.order = download->order;
        hash = download->hash;
    }
    saved.params = params;
    m_stateFolder.Write(hash, CStateFolder::Encode(saved));
}

void CDownloadEngine::HoldForSpace(const lt::torrent_handle &handle)
{
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        TDownload *download = FindLocked(handle);
        if (!download)
            return;
        changed = !download->waitingForSpace;
        if (changed)
            DebugLog("Download %s waits for disk space", download->savePath.c_str());
        download->waitingForSpace = true;
        download->state = EDownloadState::Waiting;
    }
    // Upload mode, not a pause: the download writes nothing, keeps its queue place and
    // serves what it has; leaving it reconnects to peers at once. Asserted every round,
    // because libtorrent tries leaving the mode it set itself after a disk error.
    handle.set_flags(lt::torrent_flags::upload_mode);
    if (changed)
        m_notifier.StateChanged();
}

void CDownloadEngine::ReleaseForSpace(const lt::torrent_handle &handle)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        TDownload *download = FindLocked(handle);
        if (!download || !download->waitingForSpace)
            return;
        download->waitingForSpace = false;
    }
    handle.unset_flags(lt::torrent_flags::upload_mode);
    m_wantStatus = true;
}

void CDownloadEngine::Tick()
{
    m_session->post_torrent_updates();
    m_session->post_session_stats();
    GuardSpace();
    RequestResumeSaves();
}

void CDownloadEngine::GuardSpace()
{
    struct TCheck {
        lt::torrent_handle handle;
        std::string folder;
        bool waiting;
    };
    std::vector<TCheck> checks;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto &entry : m_downloads)
            if (entry.second.state != EDownloadState::Finished)
                checks.push_back({entry.second.handle, entry.second.folder, entry.second.waitingForSpace});
    }
    m_guard.BeginRound();
    for (const TCheck &check : checks) {
        if (m_guard.MustWait(check.folder, check.waiting))
            HoldForSpace(check.handle);
        else if (check.waiting)
            ReleaseForSpace(check.handle);
    }
}

void CDownloadEngine::RequestResumeSaves()
{
    const auto now = steady_clock::now();
    std::vector<lt::torrent_handle> due;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto &entry : m_downloads) {
            TDownload &download = entry.second;
            const auto gap = download.state == EDownloadState::Finished ? kSeedResumeSaveGap : kResumeSaveGap;
            if (!download.needSave || now - download.lastSave < gap)
                continue;
            download.needSave = false;
            if (RecordIsCurrent(download))
                continue;
            download.lastSave = now;
            due.push_back(download.handle);
        }
    }
    for (const lt::torrent_handle &handle : due)
        handle.save_resume_data(lt::torrent_handle::only_if_modified | lt::torrent_handle::save_info_dict);
}

void CDownloadEngine::WriteStateJobs()
{
    for (;;) {
        TStateJob job;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (job.record.empty())
            m_stateFolder.Forget(job.hash);
        else
            m_stateFolder.Write(job.hash, job.record);
    }
}

void CDownloadEngine::SaveAllBeforeStop()
{
    // Stop every transfer first, so the saved state is the last state.
    m_session->pause();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto &entry : m_downloads)
            if (!RecordIsCurrent(entry.second))
                m_awaitingSave.insert(entry.second.handle);
    }
    // Only what changed since its record: a record per download, each written with
    // an fsync, would keep the exit of a thousand finished files waiting for seconds
    // and let the time limit drop the records that matter.
    for (const lt::torrent_handle &handle : m_awaitingSave)
        handle.save_resume_data(lt::torrent_handle::flush_disk_cache | lt::torrent_handle::save_info_dict |
                                lt::torrent_handle::only_if_modified);

    const auto deadline = steady_clock::now() + kShutdownSaveLimit;
    std::vector<lt::alert *> alerts;
    while (!m_awaitingSave.empty() && steady_clock::now() < deadline) {
        m_session->wait_for_alert(lt::milliseconds(100));
        m_session->pop_alerts(&alerts);
        for (lt::alert *alert : alerts)
            HandleAlert(alert);
    }
    if (!m_awaitingSave.empty())
        DebugLog("CleanUp: resume data of %d downloads not saved", static_cast<int>(m_awaitingSave.size()));
}
