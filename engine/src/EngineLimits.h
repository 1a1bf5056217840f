// The last limits the caller gave the engine (most downloads at once, download and
// upload rate), kept in the state folder: a restart puts them into the session's
// first settings, so restored downloads never run unthrottled until the caller
// repeats them.
#pragma once

#include <libtorrent/settings_pack.hpp>

#include <map>
#include <mutex>
#include <string>

enum class EEngineLimit { MaxDownloads, DownloadRate, UploadRate };

class CEngineLimits {
public:
    static constexpr int kActiveSeeds = 5;

    // Reads the limits kept in the file at path (missing: none kept). sessionTick is
    // the session's tick (ms) while no rate is limited.
    CEngineLimits(std::string path, int sessionTick);

    // The kept limits, as settings.
    void AddTo(libtorrent::settings_pack &pack) const;
    // Keeps a limit the caller gave; the file is rewritten when it changes.
    void Keep(EEngineLimit limit, int value);
    // Keeps a limit and adds the settings it changes (counts and rates as the caller
    // gives them: 0 or less is no limit, rates in KB/s).
    void Apply(EEngineLimit limit, int value, libtorrent::settings_pack &pack);

private:
    static void AddLimit(EEngineLimit limit, int value, libtorrent::settings_pack &pack);
    void AddTickLocked(libtorrent::settings_pack &pack) const;
    void SaveLocked() const;

    const std::string m_path;
    const int m_sessionTick;
    mutable std::mutex m_mutex; // the caller's calls come from any thread
    std::map<EEngineLimit, int> m_kept;
};
