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

    // Reads the limits kept in the file at path (missing: none kept).
    explicit CEngineLimits(std::string path);

    // The kept limits, as settings.
    void AddTo(libtorrent::settings_pack &pack) const;
    // Keeps a limit the caller gave; the file is rewritten when it changes.
    void Keep(EEngineLimit limit, int value);

    // The settings one limit stands for (counts and rates as the caller gives them:
    // 0 or less is no limit, rates in KB/s).
    static void AddLimit(EEngineLimit limit, int value, libtorrent::settings_pack &pack);

private:
    void SaveLocked() const;

    const std::string m_path;
    mutable std::mutex m_mutex; // the caller's calls come from any thread
    std::map<EEngineLimit, int> m_kept;
};
