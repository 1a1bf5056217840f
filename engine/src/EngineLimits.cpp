#include "EngineLimits.h"

#include "EngineSettings.h"
#include "base/DebugLog.h"
#include "base/FileSystem.h"

#include <algorithm>
#include <climits>

namespace lt = libtorrent;

namespace {

struct TLimitName {
    EEngineLimit limit;
    const char *name;
};
constexpr TLimitName kNames[] = {{EEngineLimit::MaxDownloads, "max_downloads"},
                                 {EEngineLimit::DownloadRate, "download_rate_kb"},
                                 {EEngineLimit::UploadRate, "upload_rate_kb"}};

int BytesPerSecond(int kilobytesPerSecond)
{
    if (kilobytesPerSecond <= 0)
        return 0; // unlimited
    return kilobytesPerSecond > INT_MAX / 1024 ? INT_MAX : kilobytesPerSecond * 1024;
}

// libtorrent's rate limiter fills a peer's request for quota a tick at a time and
// hands the quota over once the request is filled or 20 ticks old; the bytes it
// covers, already waiting in the socket, are then read at once. At a 100 ms tick
// that is up to two seconds' quota in one read: single seconds ran at twice the
// limit, from the first second on (the socket buffer is not the cause: a small one
// changed nothing). A tick at which 20 ticks hold half a block keeps every second
// within a block of the limit. Below 5 ms the tick costs more than it gains: at 5 ms,
// 1,000 idle downloads cost about 1 % of a core, against 0.1 % at 100 ms.
constexpr long long kRequestTicks = 20;
constexpr long long kBurstBytes = 8 * 1024;
constexpr int kShortestTick = 5;

int TickFor(int bytesPerSecond, int sessionTick)
{
    if (bytesPerSecond <= 0)
        return sessionTick;
    const long long tick = kBurstBytes * 1000 / (kRequestTicks * bytesPerSecond);
    return static_cast<int>(std::min<long long>(sessionTick, std::max<long long>(kShortestTick, tick)));
}

} // namespace

CEngineLimits::CEngineLimits(std::string path, int sessionTick) : m_path(std::move(path)), m_sessionTick(sessionTick)
{
    ReadNameValueFile(m_path, [this](const std::string &name, const std::string &value) {
        for (const TLimitName &known : kNames)
            if (name == known.name) {
                try {
                    m_kept[known.limit] = std::stoi(value);
                    return true;
                } catch (const std::exception &) {
                    return false;
                }
            }
        return false;
    });
}

void CEngineLimits::AddTo(lt::settings_pack &pack) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &[limit, value] : m_kept)
        AddLimit(limit, value, pack);
    AddTickLocked(pack);
}

void CEngineLimits::Keep(EEngineLimit limit, int value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto kept = m_kept.find(limit);
    if (kept != m_kept.end() && kept->second == value)
        return;
    m_kept[limit] = value;
    SaveLocked();
}

void CEngineLimits::Apply(EEngineLimit limit, int value, lt::settings_pack &pack)
{
    Keep(limit, value);
    AddLimit(limit, value, pack);
    if (limit != EEngineLimit::MaxDownloads) {
        std::lock_guard<std::mutex> lock(m_mutex);
        AddTickLocked(pack);
    }
}

void CEngineLimits::AddLimit(EEngineLimit limit, int value, lt::settings_pack &pack)
{
    switch (limit) {
    case EEngineLimit::MaxDownloads:
        pack.set_int(lt::settings_pack::active_downloads, value > 0 ? value : -1);
        // Finished files seed in slots of their own, so they never keep a download waiting.
        pack.set_int(lt::settings_pack::active_limit, value > 0 ? value + kActiveSeeds : -1);
        pack.set_int(lt::settings_pack::active_seeds, kActiveSeeds);
        break;
    case EEngineLimit::DownloadRate:
        pack.set_int(lt::settings_pack::download_rate_limit, BytesPerSecond(value));
        break;
    case EEngineLimit::UploadRate:
        pack.set_int(lt::settings_pack::upload_rate_limit, BytesPerSecond(value));
        break;
    }
}

void CEngineLimits::AddTickLocked(lt::settings_pack &pack) const
{
    auto rate = [this](EEngineLimit limit) {
        const auto kept = m_kept.find(limit);
        return kept == m_kept.end() ? 0 : BytesPerSecond(kept->second);
    };
    pack.set_int(lt::settings_pack::tick_interval, std::min(TickFor(rate(EEngineLimit::DownloadRate), m_sessionTick),
                                                            TickFor(rate(EEngineLimit::UploadRate), m_sessionTick)));
}

void CEngineLimits::SaveLocked() const
{
    std::string text;
    for (const TLimitName &known : kNames) {
        const auto kept = m_kept.find(known.limit);
        if (kept != m_kept.end())
            text += std::string(known.name) + " = " + std::to_string(kept->second) + "\n";
    }
    int error = 0;
    if (!WriteFileAtomic(m_path, text, &error))
        DebugLog("Save engine limits %s error[%d]", m_path.c_str(), error);
}
