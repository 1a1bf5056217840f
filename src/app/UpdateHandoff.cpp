#include "app/UpdateHandoff.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

void DeleteLogged(const char *path)
{
    if (int error = DeleteFileError(path))
        DebugLog("Del file %s error[%d]", path, FileErrorCause(error));
}

// Only async-signal-safe calls: the parent may already have other threads.
[[noreturn]] void ReportAndExit(int fd, int error)
{
    ssize_t ignored = ::write(fd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

} // namespace

int StartDetached(const std::string &path)
{
    const std::string program = FsPath(path);
    char *const argv[] = {const_cast<char *>(program.c_str()), nullptr};
    // The write end closes on a successful exec; before that it carries the error.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        // The intermediate process ends at once, so the program is nobody's child to wait for.
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            ReportAndExit(report[1], errno);
        if (grandchild > 0)
            ::_exit(0);
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0)
            ReportAndExit(report[1], errno);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (null > 2)
            ::close(null);
        ::execve(argv[0], argv, environ);
        ReportAndExit(report[1], errno);
    }
    ::close(report[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

void FinishPendingUpdate()
{
    if (FileExists(kUpdateLeftoverFile))
        DeleteLogged(kUpdateLeftoverFile);

    const bool updater = FileExists(kUpdaterFile);
    const bool marker = FileExists(kUpdateMarkerFile);
    if (updater && marker) {
        // The marker goes even when the start fails: an updater that cannot start
        // would otherwise be retried at every start; now the next start removes it.
        if (int error = StartDetached(kUpdaterFile))
            DebugLog("Start file %s error[%d]", kUpdaterFile, error);
        DeleteLogged(kUpdateMarkerFile);
    } else if (updater) {
        DeleteLogged(kUpdaterFile);
    } else if (marker) {
        DeleteLogged(kUpdateMarkerFile);
    }
}
