// A fresh working folder per test: the test runs inside it (the catalogue files
// and the log resolve against the current directory) and it is removed afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder &) = delete;
    CTestFolder &operator=(const CTestFolder &) = delete;

    const std::string &Path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "/" + name; }

    // The log lines ("Debug: " removed) written since the folder was made.
    std::vector<std::string> LogLines() const;

private:
    std::string m_path;
    std::string m_previous;
};

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &content);
bool Exists(const std::string &path);
void MakeFolder(const std::string &path);

// Runs body in a child process as an unprivileged user (when the tests run as
// root) and returns its exit code: how a test meets a read-only folder as root.
int RunUnprivileged(const std::function<int()> &body);
