#include "EngineBinding.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"

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
    SetLogWriter(WriteToProgramLog);
    BindEngine({InitDownloader, SetWndHandle, SetMaxDownload, SetMaxDLSpeed, SetMaxULSpeed, AddDownload, DelDownload,
                GetPosByTorrent, IsFinished, IsDownloading, IsPending, GetProgress, GetDLSpeed, GetULSpeed,
                GetDownloadingNum, GetPendingNum, CleanUp});
}
