#include "base/EngineApi.h"

#include "base/DebugLog.h"

namespace {

template <const char *Name, typename Result, Result Answer, typename... Args> Result Unbound(Args...)
{
    DebugLog("Download engine not loaded: %s", Name);
    return Answer;
}

template <const char *Name, typename... Args> void UnboundVoid(Args...)
{
    DebugLog("Download engine not loaded: %s", Name);
}

template <const char *Name, typename... Args> double UnboundDouble(Args...)
{
    DebugLog("Download engine not loaded: %s", Name);
    return 0.0;
}

#define TOVIX_NAME(fn) constexpr char k##fn[] = #fn;
TOVIX_NAME(InitDownloader)
TOVIX_NAME(SetWndHandle)
TOVIX_NAME(SetMaxDownload)
TOVIX_NAME(SetMaxDLSpeed)
TOVIX_NAME(SetMaxULSpeed)
TOVIX_NAME(AddDownload)
TOVIX_NAME(DelDownload)
TOVIX_NAME(GetPosByTorrent)
TOVIX_NAME(IsFinished)
TOVIX_NAME(IsDownloading)
TOVIX_NAME(IsPending)
TOVIX_NAME(GetProgress)
TOVIX_NAME(GetDLSpeed)
TOVIX_NAME(GetULSpeed)
TOVIX_NAME(GetDownloadingNum)
TOVIX_NAME(GetPendingNum)
TOVIX_NAME(CleanUp)
#undef TOVIX_NAME

const TEngineApi kUnbound = {
    Unbound<kInitDownloader, int, 0>,
    UnboundVoid<kSetWndHandle, TovixWndHandle *>,
    UnboundVoid<kSetMaxDownload, int>,
    UnboundVoid<kSetMaxDLSpeed, int>,
    UnboundVoid<kSetMaxULSpeed, int>,
    Unbound<kAddDownload, int, 0, const char *, const char *>,
    Unbound<kDelDownload, int, 0, const char *, const char *>,
    Unbound<kGetPosByTorrent, int, -1, const char *>,
    Unbound<kIsFinished, int, 0, int>,
    Unbound<kIsDownloading, int, 0, int>,
    Unbound<kIsPending, int, 0, int>,
    UnboundDouble<kGetProgress, int>,
    Unbound<kGetDLSpeed, int, 0, int>,
    Unbound<kGetULSpeed, int, 0, int>,
    Unbound<kGetDownloadingNum, int, 0>,
    Unbound<kGetPendingNum, int, 0>,
    UnboundVoid<kCleanUp>,
};

TEngineApi g_engine = kUnbound;

} // namespace

const TEngineApi &Engine() { return g_engine; }
void BindEngine(const TEngineApi &api) { g_engine = api; }
void UnbindEngine() { g_engine = kUnbound; }
const TEngineApi &UnboundEngine() { return kUnbound; }
