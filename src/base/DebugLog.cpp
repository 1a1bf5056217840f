#include "base/DebugLog.h"

#include "base/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <vector>

namespace {

std::atomic<DebugLogWriter> g_writer{nullptr};

std::tm SystemLocalTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string DirectoryOf(const std::string &path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

CDebugLog::CDebugLog(std::string path) : m_path(std::move(path)), m_localTime(SystemLocalTime)
{
    OpenLocked();
}

CDebugLog::~CDebugLog()
{
    if (m_file)
        std::fclose(m_file);
}

CDebugLog &CDebugLog::Instance()
{
    static CDebugLog log;
    return log;
}

void CDebugLog::Reopen(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_path = path;
    m_lineCounter = 0;
    OpenLocked();
}

void CDebugLog::SetLocalTime(LocalTime localTime)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_localTime = std::move(localTime);
}

void CDebugLog::OpenLocked()
{
    m_file = std::fopen(m_path.c_str(), "ab");
    m_failed = (m_file == nullptr);
}

void CDebugLog::Write(const std::string &message)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLocked(message);
}

void CDebugLog::WriteLocked(const std::string &message)
{
    if (!m_failed) {
        std::fputs("Debug: ", m_file);
        std::fwrite(message.data(), 1, message.size(), m_file);
        std::fputc('\n', m_file);
        if (std::fflush(m_file) != 0 || std::ferror(m_file))
            m_failed = true;
    }

    if (++m_lineCounter < kLinesPerSizeCheck)
        return;
    m_lineCounter = 0;
    if (m_failed)
        return;
    if (ftello(m_file) < kRotateSize)
        return;
    RotateLocked();
}

std::string CDebugLog::DatedNameLocked() const
{
    std::tm t = m_localTime();
    char name[260];
    std::snprintf(name, sizeof name, "skininfo%d%d%d_%02d%02d%02d.txt", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return DirectoryOf(m_path) + name;
}

void CDebugLog::RotateLocked()
{
    if (std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;

    const std::string dated = DatedNameLocked();
    // A same-second rotation must fail rather than overwrite the earlier rotated log.
    const int renameError = SystemPath::RenameNoReplace(m_path, dated);

    OpenLocked();
    if (renameError != 0) {
        char line[600];
        std::snprintf(line, sizeof line, "Rename file %s to %s error [%d]", kFileName, dated.c_str(), renameError);
        WriteLocked(line);
    }
}

void DebugLog(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);

    std::string message;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        message.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    if (const DebugLogWriter writer = g_writer.load())
        writer(message.data(), message.size());
    else
        CDebugLog::Instance().Write(message);
}

void SetDebugLogWriter(DebugLogWriter writer) { g_writer = writer; }
