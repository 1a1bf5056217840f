#include "BenchSwarm.h"

#include <filesystem>

bool CBenchSwarm::Start(const std::string &folder, long long size)
{
    if (!m_tracker.Start())
        return false;
    std::filesystem::create_directories(folder + "/seed");
    m_torrent = MakeTestTorrent(folder + "/seed", "movie.bin", size, m_tracker.AnnounceUrl(), 1);
    m_seeder.Seed(m_torrent);
    return WaitUntil([&] { return m_tracker.Tracker().PeerCount(m_torrent.infoHash) > 0; }, std::chrono::seconds(10));
}
