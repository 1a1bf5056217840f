// One seeded torrent with its tracker on 127.0.0.1, for the engine benchmarks.
#pragma once

#include "EnginePeers.h"
#include "TrackerServer.h"

#include <string>

class CBenchSwarm {
public:
    // Makes a torrent of size bytes in folder/seed and seeds it; false unless the
    // tracker lists the seeder within 10 s.
    bool Start(const std::string &folder, long long size);
    const TTestTorrent &Torrent() const { return m_torrent; }

private:
    CTrackerServer m_tracker{60};
    CTestPeer m_seeder;
    TTestTorrent m_torrent;
};
