// The engine's state folder: one record per download, holding the caller's two
// paths, its place in the list and libtorrent's resume data with the torrent's
// info dictionary, so a restart needs neither the torrent file nor a full check.
#pragma once

#include <libtorrent/add_torrent_params.hpp>

#include <string>
#include <vector>

struct TSavedDownload {
    std::string torrentPath; // GBK, as the caller gave it
    std::string savePath;    // GBK
    long long order = 0;     // the download's place in the list
    libtorrent::add_torrent_params params;
};

class CStateFolder {
public:
    static constexpr const char *kDefaultName = "EngineState";
    static constexpr const char *kSettingsName = "settings.txt";
    static constexpr const char *kLimitsName = "limits.txt";

    // path comes from the system (the working folder): it is used as it is, never converted from GBK.
    explicit CStateFolder(std::string path);

    // Creates the folder when it is missing; false (one log line) when it cannot.
    bool Prepare() const;
    const std::string &Path() const { return m_path; }
    std::string SettingsPath() const { return m_path + "/" + kSettingsName; }
    std::string LimitsPath() const { return m_path + "/" + kLimitsName; }

    // Every readable record, in list order; a record that cannot be read is logged and skipped.
    std::vector<TSavedDownload> Load() const;

    // Encodes a record; Write stores it under the torrent's name, replacing the old one whole.
    static std::string Encode(const TSavedDownload &download);
    bool Write(const libtorrent::info_hash_t &hash, const std::string &record) const;
    void Forget(const libtorrent::info_hash_t &hash) const;

private:
    std::string RecordPath(const libtorrent::info_hash_t &hash) const;

    std::string m_path;
};
