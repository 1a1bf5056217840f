#include "EngineBinding.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"

#include <cstdlib>
#include <string>

namespace {

// Runs in the program: the engine's lines join the program's own log.
void WriteToProgramLog(const char *message, unsigned long length)
{
    CDebugLog::Instance().Write(std::string(message, length));
}

} // namespace

void BindTovixSock()
{
    // An engine never cleaned up stops at exit, after the program's statics: the log
    // must not be gone by then. Registered once the log exists, the handler runs
    // before the log is destroyed and sends the engine's last lines to its own log.
    CDebugLog::Instance();
    static const bool unhookAtExit = std::atexit([] { SetLogWriter(nullptr); }) == 0;
    (void)unhookAtExit;
    SetLogWriter(WriteToProgramLog);
    BindEngine({InitDownloader, SetWndHandle, SetMaxDownload, SetMaxDLSpeed, SetMaxULSpeed, AddDownload, DelDownload,
                GetPosByTorrent, IsFinished, IsDownloading, IsPending, GetProgress, GetDLSpeed, GetULSpeed,
                GetDownloadingNum, GetPendingNum, CleanUp});
}
