#include "EngineBinding.h"

#include "base/EngineApi.h"

void BindTovixSock()
{
    BindEngine({InitDownloader, SetWndHandle, SetMaxDownload, SetMaxDLSpeed, SetMaxULSpeed, AddDownload, DelDownload,
                GetPosByTorrent, IsFinished, IsDownloading, IsPending, GetProgress, GetDLSpeed, GetULSpeed,
                GetDownloadingNum, GetPendingNum, CleanUp});
}
