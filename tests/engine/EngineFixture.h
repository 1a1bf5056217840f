// A test working folder with a tracker and a seeding peer on 127.0.0.1, and the
// real engine bound to the client's function table and started in that folder.
#pragma once

#include "EnginePeers.h"
#include "TrackerServer.h"
#include "base/EngineApi.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// Counts the window notifications the engine posts.
struct TNotifications {
    std::atomic<int> count{0};
    std::atomic<int> wrongMessages{0};
    std::atomic<int> fromCallerThread{0};
    std::thread::id callerThread = std::this_thread::get_id();
    TovixWndHandle handle{&TNotifications::Post, this};

    static void Post(void *context, unsigned message);
};

class EngineFixture : public ::testing::Test {
protected:
    static constexpr long long kMiB = 1 << 20;

    void SetUp() override;
    void TearDown() override;

    // Makes a torrent in "seed/", seeds it from the test peer and waits until the tracker lists it.
    TTestTorrent SeededTorrent(const std::string &name, long long size, unsigned seed);
    // Starts the engine in the test folder, the way the client does at start-up.
    void StartEngine();
    void StopEngine();

    // "videos/<name>" under the test folder, as GBK bytes, and as the file system names it.
    std::string VideoPath(const std::string &gbkName) const;
    static std::string OnDisk(const std::string &gbkPath);

    bool WaitFinished(const TTestTorrent &torrent, std::chrono::seconds limit);
    int Pos(const TTestTorrent &torrent) const { return Engine().GetPosByTorrent(torrent.torrentPath.c_str()); }

    CTestFolder m_folder;
    CTrackerServer m_tracker{60};
    CTestPeer m_seeder;
    TNotifications m_notes;
    bool m_running = false;
};
