// The seventeen C functions: a thin layer over the one CDownloadEngine of the
// process. Nothing thrown inside the engine reaches a C caller.
#include <tovixsock.h>

#include "DownloadEngine.h"

#include "base/DebugLog.h"

#include <memory>
#include <shared_mutex>
#include <unistd.h>

namespace {

std::shared_mutex g_lock; // shared by the calls, exclusive for start and clean-up
std::unique_ptr<CDownloadEngine> g_engine;

template <typename Result, typename Body> Result WithEngine(const char *name, Result fallback, Body body)
{
    std::shared_lock<std::shared_mutex> lock(g_lock);
    if (!g_engine)
        return fallback;
    try {
        return body(*g_engine);
    } catch (const std::exception &error) {
        DebugLog("%s error[%s]", name, error.what());
        return fallback;
    }
}

int CountOf(EDownloadState state)
{
    return WithEngine("Count", 0, [state](CDownloadEngine &engine) { return engine.Count(state); });
}

int IsIn(int pos, EDownloadState state)
{
    return WithEngine("State", 0, [pos, state](CDownloadEngine &engine) { return engine.State(pos) == state ? 1 : 0; });
}

} // namespace

extern "C" {

int InitDownloader(void)
{
    std::unique_lock<std::shared_mutex> lock(g_lock);
    if (g_engine)
        return 1;
    char folder[4096];
    if (!::getcwd(folder, sizeof folder)) {
        DebugLog("InitDownloader error[no working directory]");
        return 0;
    }
    try {
        g_engine = CDownloadEngine::Start(std::string(folder) + "/" + CStateFolder::kDefaultName);
    } catch (const std::exception &error) {
        DebugLog("InitDownloader error[%s]", error.what());
    }
    return g_engine ? 1 : 0;
}

void SetWndHandle(TovixWndHandle *handle)
{
    WithEngine("SetWndHandle", 0, [handle](CDownloadEngine &engine) {
        engine.SetWindow(handle);
        return 0;
    });
}

void SetMaxDownload(int count)
{
    WithEngine("SetMaxDownload", 0, [count](CDownloadEngine &engine) {
        engine.SetLimit(EEngineLimit::MaxDownloads, count);
        return 0;
    });
}

void SetMaxDLSpeed(int kilobytesPerSecond)
{
    WithEngine("SetMaxDLSpeed", 0, [kilobytesPerSecond](CDownloadEngine &engine) {
        engine.SetLimit(EEngineLimit::DownloadRate, kilobytesPerSecond);
        return 0;
    });
}

void SetMaxULSpeed(int kilobytesPerSecond)
{
    WithEngine("SetMaxULSpeed", 0, [kilobytesPerSecond](CDownloadEngine &engine) {
        engine.SetLimit(EEngineLimit::UploadRate, kilobytesPerSecond);
        return 0;
    });
}

int AddDownload(const char *torrentPath, const char *savePath)
{
    if (!torrentPath || !savePath)
        return 0;
    return WithEngine("AddDownload", 0,
                      [&](CDownloadEngine &engine) { return engine.Add(torrentPath, savePath); });
}

int DelDownload(const char *torrentPath, const char *savePath)
{
    if (!torrentPath)
        return 0;
    return WithEngine("DelDownload", 0, [&](CDownloadEngine &engine) { return engine.Remove(torrentPath); });
}

int GetPosByTorrent(const char *torrentPath)
{
    if (!torrentPath)
        return -1;
    return WithEngine("GetPosByTorrent", -1, [&](CDownloadEngine &engine) { return engine.Position(torrentPath); });
}

int IsFinished(int pos) { return IsIn(pos, EDownloadState::Finished); }
int IsDownloading(int pos) { return IsIn(pos, EDownloadState::Downloading); }
int IsPending(int pos) { return IsIn(pos, EDownloadState::Waiting); }

double GetProgress(int pos)
{
    return WithEngine("GetProgress", 0.0, [pos](CDownloadEngine &engine) { return engine.Progress(pos); });
}

int GetDLSpeed(int pos)
{
    return WithEngine("GetDLSpeed", 0, [pos](CDownloadEngine &engine) { return engine.DownloadRate(pos); });
}

int GetULSpeed(int pos)
{
    return WithEngine("GetULSpeed", 0, [pos](CDownloadEngine &engine) { return engine.UploadRate(pos); });
}

int GetDownloadingNum(void) { return CountOf(EDownloadState::Downloading); }
int GetPendingNum(void) { return CountOf(EDownloadState::Waiting); }

void CleanUp(void)
{
    // Exclusive: calls still running finish first, later ones find no engine.
    std::unique_lock<std::shared_mutex> lock(g_lock);
    try {
        g_engine.reset();
    } catch (const std::exception &error) {
        DebugLog("CleanUp error[%s]", error.what());
    }
}

void SetLogWriter(TovixLogWriter write) { SetDebugLogWriter(write); }

} // extern "C"
