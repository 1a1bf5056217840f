// The download engine's seventeen functions, reached through one table so that
// start-up can bind the real library and tests can bind recorders or the engine.
#pragma once

#include <tovixsock.h>

struct TEngineApi {
    int (*InitDownloader)();
    void (*SetWndHandle)(TovixWndHandle *handle);
    void (*SetMaxDownload)(int count);
    void (*SetMaxDLSpeed)(int kilobytesPerSecond);
    void (*SetMaxULSpeed)(int kilobytesPerSecond);
    int (*AddDownload)(const char *torrentPath, const char *savePath);
    int (*DelDownload)(const char *torrentPath, const char *savePath);
    int (*GetPosByTorrent)(const char *torrentPath);
    int (*IsFinished)(int pos);
    int (*IsDownloading)(int pos);
    int (*IsPending)(int pos);
    double (*GetProgress)(int pos);
    int (*GetDLSpeed)(int pos);
    int (*GetULSpeed)(int pos);
    int (*GetDownloadingNum)();
    int (*GetPendingNum)();
    void (*CleanUp)();
};

// The table in force. Until something is bound every call does nothing, logs one
// line and answers "unknown" (a negative position, zero otherwise).
const TEngineApi &Engine();

// Binding happens before other threads call the engine (start-up, a test's set-up).
void BindEngine(const TEngineApi &api);
void UnbindEngine();
const TEngineApi &UnboundEngine();
