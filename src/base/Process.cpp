#include "base/Process.h"

#include "base/GbkText.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

[[noreturn]] void ReportAndExit(int fd, int error)
{
    ssize_t ignored = ::write(fd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

// A bare name is looked up in PATH, as a shell would; a path stays as it is.
std::string ResolveProgram(const std::string &program)
{
    if (program.find('/') != std::string::npos)
        return program;
    const char *path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return program;
}

} // namespace

int StartDetached(const std::vector<std::string> &arguments)
{
    if (arguments.empty())
        return EINVAL;
    // Everything the child needs is prepared here: after fork only async-signal-safe calls.
    std::vector<std::string> converted;
    converted.push_back(ResolveProgram(FsPath(arguments[0])));
    for (size_t i = 1; i < arguments.size(); ++i)
        converted.push_back(FsPath(arguments[i]));
    std::vector<char *> argv;
    for (std::string &argument : converted)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
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
        ::execve(argv[0], argv.data(), environ);
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

