#include "support/TestFolder.h"

#include "base/DebugLog.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

CTestFolder::CTestFolder()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        m_previous = cwd;
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tovix-test-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    chmod(m_path.c_str(), 0755); // tests that drop privileges still reach it
    if (chdir(m_path.c_str()) != 0)
        throw std::runtime_error("chdir failed");
    CDebugLog::Instance().Reopen(m_path + "/" + CDebugLog::kFileName);
}

CTestFolder::~CTestFolder()
{
    CDebugLog::Instance().Reopen("/dev/null");
    if (!m_previous.empty() && chdir(m_previous.c_str()) != 0)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> CTestFolder::LogLines() const
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(m_path + "/" + CDebugLog::kFileName));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line.compare(0, 7, "Debug: ") == 0 ? line.substr(7) : line);
    return lines;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool Exists(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void MakeFolder(const std::string &path) { mkdir(path.c_str(), 0755); }

int RunUnprivileged(const std::function<int()> &body)
{
    pid_t child = fork();
    if (child == 0) {
        // Root ignores permission bits; an unprivileged user meets them as users do.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
