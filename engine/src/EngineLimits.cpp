#include "EngineLimits.h"

#include "EngineSettings.h"
#include "base/DebugLog.h"
#include "base/FileSystem.h"

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

} // namespace

CEngineLimits::CEngineLimits(std::string path) : m_path(std::move(path))
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
