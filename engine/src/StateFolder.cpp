#include "StateFolder.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"

#include <libtorrent/bdecode.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/read_resume_data.hpp>
#include <libtorrent/torrent_info.hpp>
#include <libtorrent/write_resume_data.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

namespace lt = libtorrent;

namespace {

constexpr const char *kRecordSuffix = ".resume";
constexpr const char *kTorrentKey = "tovix-torrent";
constexpr const char *kSaveKey = "tovix-save";
constexpr const char *kOrderKey = "tovix-order";

std::string Hex(const lt::sha1_hash &hash)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const char byte : hash) {
        text += digits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
        text += digits[static_cast<unsigned char>(byte) & 0xF];
    }
    return text;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ReadRecord(const std::string &file, TSavedDownload &download, std::string &problem)
{
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    lt::error_code ec;
    const lt::bdecode_node node = lt::bdecode(data, ec);
    if (ec || node.type() != lt::bdecode_node::dict_t) {
        problem = ec ? ec.message() : "not a dictionary";
        return false;
    }
    download.torrentPath = std::string(node.dict_find_string_value(kTorrentKey));
    download.savePath = std::string(node.dict_find_string_value(kSaveKey));
    download.order = node.dict_find_int_value(kOrderKey, 0);
    download.params = lt::read_resume_data(node, ec);
    if (ec)
        problem = ec.message();
    else if (download.torrentPath.empty() || download.savePath.empty())
        problem = "no paths";
    else if (!download.params.ti)
        problem = "no torrent";
    return problem.empty();
}

} // namespace

CStateFolder::CStateFolder(std::string path) : m_path(std::move(path)) {}

bool CStateFolder::Prepare() const
{
    if (::mkdir(m_path.c_str(), 0755) == 0 || errno == EEXIST)
        return true;
    DebugLog("Create folder %s error[%d]", m_path.c_str(), errno);
    return false;
}

std::vector<TSavedDownload> CStateFolder::Load() const
{
    std::vector<TSavedDownload> downloads;
    for (const std::string &name : SystemPath::ListFolder(m_path)) {
        if (!EndsWith(name, kRecordSuffix))
            continue;
        TSavedDownload download;
        std::string problem;
        if (ReadRecord(m_path + "/" + name, download, problem))
            downloads.push_back(std::move(download));
        else
            DebugLog("Load download %s error[%s]", name.c_str(), problem.c_str());
    }
    std::sort(downloads.begin(), downloads.end(),
              [](const TSavedDownload &a, const TSavedDownload &b) { return a.order < b.order; });
    return downloads;
}

std::string CStateFolder::Encode(const TSavedDownload &download)
{
    // A torrent's trackers live outside its info dictionary: parameters made from a
    // torrent file carry them only in ti. A record without them would restore a
    // download that never finds a peer.
    lt::add_torrent_params params = download.params;
    if (params.trackers.empty() && params.ti)
        for (const lt::announce_entry &tracker : params.ti->trackers()) {
            params.trackers.push_back(tracker.url);
            params.tracker_tiers.push_back(tracker.tier);
        }
    lt::entry record = lt::write_resume_data(params);
    record[kTorrentKey] = download.torrentPath;
    record[kSaveKey] = download.savePath;
    record[kOrderKey] = download.order;
    std::string data;
    lt::bencode(std::back_inserter(data), record);
    return data;
}

bool CStateFolder::Write(const lt::info_hash_t &hash, const std::string &record) const
{
    int error = 0;
    const std::string path = RecordPath(hash);
    if (SystemPath::WriteFileAtomic(path, record, &error))
        return true;
    DebugLog("Save download state %s error[%d]", path.c_str(), error);
    return false;
}

void CStateFolder::Forget(const lt::info_hash_t &hash) const
{
    const std::string path = RecordPath(hash);
    const int error = SystemPath::DeleteFileError(path);
    if (error != 0 && error != ENOENT)
        DebugLog("Del file %s error[%d]", path.c_str(), error);
}

std::string CStateFolder::RecordPath(const lt::info_hash_t &hash) const
{
    return m_path + "/" + Hex(hash.get_best()) + kRecordSuffix;
}
