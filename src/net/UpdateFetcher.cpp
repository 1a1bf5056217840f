#include "net/UpdateFetcher.h"

#include "app/UpdateHandoff.h"
#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "net/HttpFetch.h"

#include <sys/stat.h>

namespace {

bool WriteUpdater(const std::string &body, int &error)
{
    return WriteFileAtomic(
        kUpdaterFile,
        [&body](FILE *file) {
            // Executable for whoever may read it, as the user's umask left the read bits.
            struct stat info;
            return ::fstat(fileno(file), &info) == 0 &&
                   ::fchmod(fileno(file), (info.st_mode & 07777) | ((info.st_mode & 0444) >> 2)) == 0 &&
                   (body.empty() || std::fwrite(body.data(), 1, body.size(), file) == body.size());
        },
        &error);
}

} // namespace

int GetUpdateFile(std::string address)
{
    std::string body;
    long code = 0;
    {
        CHttpHandle handle;
        const CURLcode result = FetchToMemory(handle.Get(), address, body, code);
        if (result != CURLE_OK || code != 200) {
            DebugLog("GetUpdateFile %s error[%d][%d]", address.c_str(), static_cast<int>(result),
                     static_cast<int>(code));
            return 0;
        }
    }
    // The marker follows an updater that is already whole on disk, so a crash in
    // between never makes the next start run a truncated program.
    int error = 0;
    if (!WriteUpdater(body, error) || !WriteFileAtomic(kUpdateMarkerFile, std::string(), &error)) {
        DebugLog("Create file %s or %s error[%d]", kUpdaterFile, kUpdateMarkerFile, error);
        return 0;
    }
    return 1;
}
