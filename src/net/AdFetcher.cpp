#include "net/AdFetcher.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"
#include "base/SafeName.h"
#include "net/HttpFetch.h"
#include "net/WorkerThreads.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>

namespace {

// Paths and addresses of the advertisement fetcher are held in 260-byte buffers.
constexpr size_t kMaxAdPath = 259;

bool Contains(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::string AdFolder(const std::string &fileRoot) { return fileRoot + "ADs/"; }

void GetADThread(CCatalogueStore &store, int today)
{
    const std::string url = store.GetConfigValue(CFG_ADURL);
    const std::string folder = AdFolder(store.GetConfigValue(CFG_FILEROOT));
    // Nothing else creates the folder; without it no clip could ever be stored.
    ::mkdir(FsPath(folder).c_str(), 0777);

    // The listing comes back as GBK, so Chinese clip names compare equal to their AD values.
    const std::vector<std::string> present = ListFolder(folder);
    std::vector<std::string> wanted;
    {
        std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
        wanted = CChannelCatalogue(store).GetCurrentAds(today);
    }

    for (const std::string &name : present) {
        if (Contains(wanted, name))
            continue;
        const std::string path = folder + name;
        if (int error = DeleteFileError(path))
            DebugLog("GetADThread del file %s error[%d]", path.c_str(), FileErrorCause(error));
    }

    CHttpHandle handle;
    for (const std::string &name : wanted) {
        if (CurrentStopSignal().Stopped())
            return;
        std::string path;
        if (!Contains(present, name) && MakeLocalPath("GetADThread", folder, name, kMaxAdPath, path))
            GetHttpData(handle.Get(), url + name, path);
    }
}
