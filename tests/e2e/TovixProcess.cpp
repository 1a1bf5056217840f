#include "TovixProcess.h"

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t StartTovix(const std::string &clientFolder, const std::string &userRoot,
                 const std::vector<std::pair<std::string, std::string>> &environment)
{
    const std::string program = BinaryDir() + "/tovix";
    const std::string runtime = userRoot + "/runtime";
    mkdir(runtime.c_str(), 0700);
    const pid_t pid = fork();
    if (pid == 0) {
        // A test that dies on the spot must not leave the program running.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setenv("XDG_CONFIG_HOME", (userRoot + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (userRoot + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        for (const auto &variable : environment) {
            if (variable.second.empty())
                unsetenv(variable.first.c_str());
            else
                setenv(variable.first.c_str(), variable.second.c_str(), 1);
        }
        if (chdir(clientFolder.c_str()) != 0)
            _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

int ExitCode(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit))
        return -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void KillTovix(pid_t pid)
{
    if (pid > 0 && kill(pid, 0) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}
