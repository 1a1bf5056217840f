#include "DemoService.h"

#include "ServiceCatalogue.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string BinaryDir()
{
    const char *dir = std::getenv("TOVIX_BINARY_DIR");
    return dir ? dir : TOVIX_BINARY_DIR_DEFAULT;
}

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

bool CDemoService::Start(int seedRate)
{
    const std::string data = DemoData();
    if (data.empty())
        return false;
    std::string folder = (fs::temp_directory_path() / "tovix-service-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return false;
    m_folder = folder;
    // The sample data is shared read-only; the request logs and the torrents, which
    // name this service's tracker, are written here.
    for (const char *entry : {CServiceCatalogue::kFileName, "videos"})
        fs::create_symlink(data + "/" + entry, m_folder + "/" + entry);
    fs::create_directories(m_folder + "/web/torrents");
    for (const fs::directory_entry &entry : fs::directory_iterator(data + "/web"))
        if (entry.path().filename() != "torrents")
            fs::create_symlink(entry.path(), fs::path(m_folder) / "web" / entry.path().filename());
    // Four ports in a row; a base taken from the process id keeps parallel tests apart.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const uint16_t base = uint16_t(21000 + ((getpid() + attempt * 97) % 2000) * 4);
        if (StartOn(base, seedRate))
            return true;
    }
    Stop();
    return false;
}

bool CDemoService::StartOn(uint16_t portBase, int seedRate)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const std::string program = BinaryDir() + "/tovix-service";
    const std::string base = std::to_string(portBase);
    const std::string rate = std::to_string(seedRate);
    m_child = fork();
    if (m_child == 0) {
        // A test that dies on the spot must not leave the service running.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(pipeFds[1], STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "serve", m_folder.c_str(), "--port-base", base.c_str(),
              "--publish-every", "0", "--seed-rate", rate.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    m_output = pipeFds[0];
    if (m_child <= 0 || ReadUntil({"serving"}, 30).empty()) {
        StopChild();
        return false;
    }
    m_ports = TServicePorts::FromBase(portBase);
    return true;
}

std::string CDemoService::ReadUntil(std::initializer_list<const char *> words, int seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        for (size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
            const std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            for (const char *word : words)
                if (line.find(word) != std::string::npos)
                    return line;
        }
        if (std::chrono::steady_clock::now() >= until)
            return "";
        pollfd ready{m_output, POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0)
            continue;
        char buffer[512];
        const ssize_t got = read(m_output, buffer, sizeof buffer);
        if (got <= 0)
            return "";
        m_pending.append(buffer, size_t(got));
    }
}

int CDemoService::PublishNext()
{
    if (m_child <= 0 || kill(m_child, SIGUSR1) != 0)
        return 0;
    const std::string line = ReadUntil({"published file", "nothing left"}, 30);
    const size_t number = line.find("published file ");
    return number == std::string::npos ? 0 : std::atoi(line.c_str() + number + 15);
}

std::string CDemoService::Requests() const
{
    std::ifstream log(m_folder + "/requests.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
}

void CDemoService::StopChild()
{
    if (m_output >= 0)
        close(m_output);
    m_output = -1;
    m_pending.clear();
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

void CDemoService::Stop()
{
    StopChild();
    if (!m_folder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
        m_folder.clear();
    }
}
