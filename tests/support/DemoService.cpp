#include "DemoService.h"

#include "ServiceCatalogue.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string BinaryDir()
{
    const char *dir = std::getenv("TOVIX_BINARY_DIR");
    return dir ? dir : TOVIX_BINARY_DIR_DEFAULT;
}

// Reads the child's output until it says it serves, exits, or time runs out.
bool WaitServing(int output, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    std::string seen;
    while (std::chrono::steady_clock::now() < until) {
        pollfd ready{output, POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0)
            continue;
        char buffer[512];
        const ssize_t got = read(output, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        seen.append(buffer, size_t(got));
        if (seen.find("serving") != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

std::string DemoData()
{
    const std::string data = BinaryDir() + "/tests/demo-data";
    const std::string lockPath = BinaryDir() + "/tests/demo-data.lock";
    // Test programs may run side by side: one generates, the others wait for it.
    const int lock = open(lockPath.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock < 0)
        return "";
    flock(lock, LOCK_EX);
    if (!fs::exists(data + "/" + CServiceCatalogue::kFileName)) {
        const std::string scratch = data + ".new";
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
        TSampleOptions options;
        options.clipSeconds = 2;
        if (GenerateSampleData(scratch, options)) {
            fs::remove_all(data, ignored);
            fs::rename(scratch, data, ignored);
        }
    }
    const bool ready = fs::exists(data + "/" + CServiceCatalogue::kFileName);
    flock(lock, LOCK_UN);
    close(lock);
    return ready ? data : "";
}

bool CDemoService::Start()
{
    // Four ports in a row; a base taken from the process id keeps parallel tests apart.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const uint16_t base = uint16_t(21000 + ((getpid() + attempt * 97) % 2000) * 4);
        if (StartOn(base))
            return true;
    }
    return false;
}

bool CDemoService::StartOn(uint16_t portBase)
{
    const std::string data = DemoData();
    if (data.empty())
        return false;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const std::string program = BinaryDir() + "/tovix-service";
    const std::string base = std::to_string(portBase);
    m_child = fork();
    if (m_child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "serve", data.c_str(), "--port-base", base.c_str(),
              "--publish-every", "0", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    const bool serving = m_child > 0 && WaitServing(pipeFds[0], std::chrono::seconds(30));
    close(pipeFds[0]);
    if (!serving) {
        Stop();
        return false;
    }
    m_ports = TServicePorts::FromBase(portBase);
    return true;
}

void CDemoService::Stop()
{
    if (m_child <= 0)
        return;
    kill(m_child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(m_child, &status, WNOHANG) == 0; ++i)
        usleep(50 * 1000);
    if (waitpid(m_child, &status, WNOHANG) == 0) {
        kill(m_child, SIGKILL);
        waitpid(m_child, &status, 0);
    }
    m_child = -1;
}
