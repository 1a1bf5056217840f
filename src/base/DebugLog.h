// The process-wide diagnostic log: "skininfo.txt", one "Debug: " line per call.
#pragma once

#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

class CDebugLog {
public:
    using LocalTime = std::function<std::tm()>;

    static constexpr const char *kFileName = "skininfo.txt";
    static constexpr long long kRotateSize = 20LL * 1024 * 1024;
    static constexpr int kLinesPerSizeCheck = 1000;

    explicit CDebugLog(std::string path = kFileName);
    ~CDebugLog();
    CDebugLog(const CDebugLog &) = delete;
    CDebugLog &operator=(const CDebugLog &) = delete;

    // The log every DebugLog call writes to, opened in the current directory at first use.
    static CDebugLog &Instance();

    // Closes the current file and starts appending to another (tests and start-up use it).
    void Reopen(const std::string &path);
    // Replaces the local-time source used for the rotated file's name.
    void SetLocalTime(LocalTime localTime);

    void Write(const std::string &message);
    const std::string &Path() const { return m_path; }

private:
    void WriteLocked(const std::string &message);
    void OpenLocked();
    void RotateLocked();
    std::string DatedNameLocked() const;

    std::mutex m_mutex; // calls come from every thread; each line is written whole
    std::string m_path;
    FILE *m_file = nullptr;
    bool m_failed = false;
    int m_lineCounter = 0;
    LocalTime m_localTime;
};

void DebugLog(const char *format, ...) __attribute__((format(printf, 1, 2)));

// A library linked into a program that has a log of its own writes through the
// program's log, so that the process has one file, one lock and one rotation.
// Set before the first DebugLog call of the library; null writes to its own log.
using DebugLogWriter = void (*)(const char *message, unsigned long length);
void SetDebugLogWriter(DebugLogWriter writer);
