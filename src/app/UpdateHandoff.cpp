#include "app/UpdateHandoff.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/Process.h"


namespace {

void DeleteLogged(const char *path)
{
    if (int error = DeleteFileError(path))
        DebugLog("Del file %s error[%d]", path, FileErrorCause(error));
}

} // namespace

void FinishPendingUpdate()
{
    if (FileExists(kUpdateLeftoverFile))
        DeleteLogged(kUpdateLeftoverFile);

    const bool updater = FileExists(kUpdaterFile);
    const bool marker = FileExists(kUpdateMarkerFile);
    if (updater && marker) {
        // The marker goes even when the start fails: an updater that cannot start
        // would otherwise be retried at every start; now the next start removes it.
        if (int error = StartDetached({std::string("./") + kUpdaterFile}))
            DebugLog("Start file %s error[%d]", kUpdaterFile, error);
        DeleteLogged(kUpdateMarkerFile);
    } else if (updater) {
        DeleteLogged(kUpdaterFile);
    } else if (marker) {
        DeleteLogged(kUpdateMarkerFile);
    }
}
