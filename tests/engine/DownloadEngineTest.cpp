#include "EngineFixture.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"

#include <tovixsock.h>

#include <cstdio>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

// 测试视频.avi in GBK.
const std::string kChineseVideo = "\xB2\xE2\xCA\xD4\xCA\xD3\xC6\xB5.avi";

using std::chrono::seconds;

} // namespace

using DownloadEngine = EngineFixture;

TEST_F(DownloadEngine, DownloadsToTheRenamedGbkSavePathByteIdentical)
{
    const TTestTorrent torrent = SeededTorrent("content.bin", 32 * kMiB, 1);
    const std::string save = VideoPath(kChineseVideo);

    // The subscribed-download start and the detail pane may add the same file at once.
    std::vector<std::thread> adders;
    std::atomic<int> added{0};
    for (int i = 0; i < 4; ++i)
        adders.emplace_back([&] { added += Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()); });
    for (std::thread &adder : adders)
        adder.join();
    EXPECT_EQ(4, added.load());

    const int pos = Pos(torrent);
    ASSERT_GE(pos, 0);
    EXPECT_LT(Engine().GetPosByTorrent((m_folder / "seed/other.torrent").c_str()), 0);
    EXPECT_EQ(1, Engine().GetDownloadingNum() + Engine().GetPendingNum() + Engine().IsFinished(pos));

    ASSERT_TRUE(WaitFinished(torrent, seconds(60)));
    EXPECT_EQ(pos, Pos(torrent));
    EXPECT_EQ(100.0, Engine().GetProgress(pos));
    EXPECT_EQ(0, Engine().IsDownloading(pos));
    EXPECT_EQ(0, Engine().IsPending(pos));
    EXPECT_EQ(0, Engine().GetDownloadingNum());
    EXPECT_EQ(0, Engine().GetPendingNum());

    // Saved under the caller's name, never under the name the torrent carries.
    EXPECT_TRUE(ReadFile(OnDisk(save)) == ReadFile(torrent.contentPath));
    EXPECT_FALSE(Exists(m_folder / "videos/content.bin"));

    // Adding it again changes nothing.
    EXPECT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()));
    EXPECT_EQ(pos, Pos(torrent));

    EXPECT_GT(m_notes.count.load(), 0);
    EXPECT_EQ(0, m_notes.wrongMessages.load());
    EXPECT_EQ(0, m_notes.fromCallerThread.load()) << "posts come from the engine's own thread";
    StopEngine();
    const int afterCleanUp = m_notes.count.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(afterCleanUp, m_notes.count.load());
}

TEST_F(DownloadEngine, MaxDownloadOneKeepsTheSecondWaitingUntilTheFirstFinishes)
{
    const TTestTorrent first = SeededTorrent("first.bin", 8 * kMiB, 2);
    const TTestTorrent second = SeededTorrent("second.bin", 8 * kMiB, 3);
    Engine().SetMaxDownload(1);
    Engine().SetMaxDLSpeed(4000); // about two seconds each
    ASSERT_EQ(1, Engine().AddDownload(first.torrentPath.c_str(), VideoPath("first.avi").c_str()));
    ASSERT_EQ(1, Engine().AddDownload(second.torrentPath.c_str(), VideoPath("second.avi").c_str()));
    const int a = Pos(first);
    const int b = Pos(second);
    ASSERT_NE(a, b);
    // The first had room and starts at once; the second waits without starting first.
    EXPECT_EQ(1, Engine().IsDownloading(a));
    EXPECT_EQ(1, Engine().IsPending(b));

    ASSERT_TRUE(WaitUntil([&] { return Engine().GetDownloadingNum() == 1 && Engine().GetPendingNum() == 1; },
                          seconds(10)));
    const int running = Engine().IsDownloading(a) ? a : b;
    const int waiting = running == a ? b : a;
    EXPECT_EQ(1, Engine().IsDownloading(running));
    EXPECT_EQ(1, Engine().IsPending(waiting));
    EXPECT_EQ(0, Engine().IsDownloading(waiting));
    EXPECT_EQ(0, Engine().IsFinished(waiting));
    EXPECT_EQ(0.0, Engine().GetProgress(waiting));

    ASSERT_TRUE(WaitUntil([&] { return Engine().IsFinished(running) != 0; }, seconds(30)));
    EXPECT_EQ(1, Engine().IsPending(waiting) + Engine().IsDownloading(waiting) + Engine().IsFinished(waiting));
    ASSERT_TRUE(WaitUntil([&] { return Engine().IsFinished(waiting) != 0; }, seconds(30)));
    EXPECT_EQ(0, Engine().GetDownloadingNum());
    EXPECT_EQ(0, Engine().GetPendingNum());
}

TEST_F(DownloadEngine, DownloadLimitHoldsForLoopbackPeers)
{
    const TTestTorrent torrent = SeededTorrent("limited.bin", 32 * kMiB, 4);
    Engine().SetMaxDLSpeed(2000);
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), VideoPath("limited.avi").c_str()));
    const int pos = Pos(torrent);
    ASSERT_TRUE(WaitUntil([&] { return Engine().GetProgress(pos) > 3.0; }, seconds(20)));

    const auto start = std::chrono::steady_clock::now();
    const double startProgress = Engine().GetProgress(pos);
    int sessionRate = 0;
    WaitUntil([&] {
        sessionRate = std::max(sessionRate, Engine().GetDLSpeed(-1));
        return false;
    }, std::chrono::milliseconds(4000), std::chrono::milliseconds(100));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double bytes = (Engine().GetProgress(pos) - startProgress) / 100.0 * static_cast<double>(torrent.size);
    const double rate = bytes / seconds;

    // Only the upper bound: a busy machine makes transfers slower, never faster.
    EXPECT_LT(rate, 2600.0 * 1024) << "measured " << rate / 1024 << " KB/s";
    EXPECT_GT(rate, 0.0);
    EXPECT_GT(sessionRate, 0) << "the session rate follows the transfer";
    EXPECT_EQ(0, Engine().IsFinished(pos));
}

TEST_F(DownloadEngine, UploadLimitHoldsForLoopbackPeers)
{
    // The engine seeds a file it already has, to a peer that has nothing.
    const TTestTorrent torrent = MakeTestTorrent(m_folder / "seed", "upload.bin", 16 * kMiB, m_tracker.AnnounceUrl(), 5);
    Engine().SetMaxULSpeed(2000);
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), torrent.contentPath.c_str()));
    ASSERT_TRUE(WaitFinished(torrent, seconds(20)));
    ASSERT_TRUE(WaitUntil([&] { return m_tracker.Tracker().PeerCount(torrent.infoHash) > 0; }, seconds(10)));

    CTestPeer downloader;
    MakeFolder(m_folder / "peer");
    downloader.Download(torrent, m_folder / "peer");
    ASSERT_TRUE(WaitUntil([&] { return downloader.Downloaded(torrent) > kMiB; }, seconds(30)));
    const auto start = std::chrono::steady_clock::now();
    const long long startBytes = downloader.Downloaded(torrent);
    std::this_thread::sleep_for(std::chrono::seconds(4));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double rate = static_cast<double>(downloader.Downloaded(torrent) - startBytes) / seconds;

    EXPECT_LT(rate, 2600.0 * 1024) << "measured " << rate / 1024 << " KB/s";
    EXPECT_GT(rate, 0.0);
    EXPECT_GT(Engine().GetULSpeed(-1), 0);
}

TEST_F(DownloadEngine, DelDownloadForgetsAndLeavesTheFile)
{
    const TTestTorrent torrent = SeededTorrent("forget.bin", 4 * kMiB, 6);
    const std::string save = VideoPath("forget.avi");
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()));
    const int pos = Pos(torrent);
    ASSERT_TRUE(WaitFinished(torrent, seconds(30)));

    EXPECT_EQ(1, Engine().DelDownload(torrent.torrentPath.c_str(), save.c_str()));
    EXPECT_LT(Pos(torrent), 0);
    EXPECT_EQ(0, Engine().IsFinished(pos));
    EXPECT_EQ(0.0, Engine().GetProgress(pos));
    EXPECT_EQ(0, Engine().DelDownload(torrent.torrentPath.c_str(), save.c_str()));
    EXPECT_TRUE(ReadFile(save) == ReadFile(torrent.contentPath)) << "the file is the caller's to delete";

    StopEngine();
    StartEngine();
    EXPECT_LT(Pos(torrent), 0) << "a forgotten download stays forgotten after a restart";

    // Added again, it gets a new handle and finds its file complete.
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()));
    EXPECT_GE(Pos(torrent), 0);
    EXPECT_TRUE(WaitFinished(torrent, seconds(30)));
}

TEST_F(DownloadEngine, UnknownHandlesAndBadInputAnswerNothing)
{
    EXPECT_EQ(0, Engine().IsFinished(12345));
    EXPECT_EQ(0, Engine().IsDownloading(-1));
    EXPECT_EQ(0, Engine().IsPending(7));
    EXPECT_EQ(0.0, Engine().GetProgress(3));
    EXPECT_EQ(0, Engine().GetDLSpeed(99));
    WriteFile(m_folder / "seed/broken.torrent", "d4:infoi1ee");
    EXPECT_EQ(0, Engine().AddDownload((m_folder / "seed/broken.torrent").c_str(), VideoPath("x.avi").c_str()));
    EXPECT_EQ(0, Engine().AddDownload((m_folder / "seed/missing.torrent").c_str(), VideoPath("x.avi").c_str()));
    const TTestTorrent torrent = MakeTestTorrent(m_folder / "seed", "bad.bin", 16 * 1024, m_tracker.AnnounceUrl(), 7);
    EXPECT_EQ(0, Engine().AddDownload(torrent.torrentPath.c_str(), (m_folder / "videos/").c_str()));
    EXPECT_EQ(0, Engine().AddDownload(nullptr, nullptr));
    EXPECT_LT(Engine().GetPosByTorrent(nullptr), 0);
    EXPECT_EQ(0, Engine().GetDownloadingNum() + Engine().GetPendingNum());
}

TEST_F(DownloadEngine, DownloadsFromAria2ThroughTheSameTracker)
{
    if (!HaveProgram("aria2c"))
        GTEST_SKIP() << "aria2c is not installed";
    const TTestTorrent torrent = MakeTestTorrent(m_folder / "seed", "aria.bin", 16 * kMiB, m_tracker.AnnounceUrl(), 8);
    std::vector<std::string> command = {"aria2c",
                                        "--dir=" + m_folder / "seed",
                                        "--listen-port=" + std::to_string(FreeLoopbackPort()),
                                        "--check-integrity=false",
                                        "--bt-seed-unverified=true",
                                        "--seed-ratio=0.0",
                                        torrent.torrentPath};
    const auto options = Aria2LoopbackOptions();
    command.insert(command.begin() + 1, options.begin(), options.end());
    CChildProcess aria2;
    ASSERT_TRUE(aria2.Start(command, true));
    ASSERT_TRUE(WaitUntil([&] { return m_tracker.Tracker().PeerCount(torrent.infoHash) > 0; }, seconds(20)));

    const std::string save = VideoPath(kChineseVideo);
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()));
    ASSERT_TRUE(WaitFinished(torrent, seconds(60)));
    EXPECT_TRUE(ReadFile(OnDisk(save)) == ReadFile(torrent.contentPath));
}

TEST_F(DownloadEngine, LogsThroughTheProgramLogAcrossItsRotation)
{
    // The engine logs one line for each torrent it cannot read.
    const std::string missing = m_folder / "seed/missing.torrent";
    std::atomic<bool> stop{false};
    std::atomic<int> engineLines{0};
    std::thread engine([&] {
        while (!stop) {
            Engine().AddDownload(missing.c_str(), VideoPath("missing.avi").c_str());
            ++engineLines;
        }
    });
    // The program's log passes its rotation size; the thousandth line after that rotates it.
    const std::string log = m_folder / CDebugLog::kFileName;
    ASSERT_EQ(0, ::truncate(log.c_str(), CDebugLog::kRotateSize));
    for (int i = 0; i < CDebugLog::kLinesPerSizeCheck; ++i)
        DebugLog("program line %d", i);
    stop = true;
    engine.join();
    const std::string after = m_folder / "seed/after.torrent";
    ASSERT_EQ(0, Engine().AddDownload(after.c_str(), VideoPath("after.avi").c_str()));

    std::string rotated;
    for (const std::string &name : ListFolder(m_folder.Path()))
        if (name != CDebugLog::kFileName && name.rfind("skininfo", 0) == 0)
            rotated = ReadFile(m_folder / name);
    ASSERT_FALSE(rotated.empty()) << "the log was rotated";
    const std::string current = ReadFile(log);
    EXPECT_LT(current.size(), static_cast<size_t>(CDebugLog::kRotateSize));
    EXPECT_NE(std::string::npos, current.find("Debug: AddDownload " + after + " error["));
    EXPECT_EQ(std::string::npos, rotated.find(after));
    // Every engine line went whole into one of the two files.
    const std::string line = "Debug: AddDownload " + missing + " error[";
    auto count = [&line](const std::string &text) {
        int found = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++found;
        return found;
    };
    EXPECT_EQ(engineLines.load(), count(rotated) + count(current));
}

TEST(EngineLibrary, ExportsExactlyTheSeventeenFunctions)
{
    FILE *nm = popen("nm -D --defined-only " ENGINE_LIBRARY_PATH, "r");
    ASSERT_NE(nullptr, nm);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        char kind = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &kind, name) == 2)
            exported.insert(name);
    }
    ASSERT_EQ(0, pclose(nm));
    const std::set<std::string> expected = {
        "InitDownloader", "SetWndHandle",   "SetMaxDownload", "SetMaxDLSpeed",     "SetMaxULSpeed", "AddDownload",
        "DelDownload",    "GetPosByTorrent", "IsFinished",    "IsDownloading",     "IsPending",     "GetProgress",
        "GetDLSpeed",     "GetULSpeed",      "CleanUp",       "GetDownloadingNum", "GetPendingNum",
        "SetLogWriter"}; // the optional hook into the program's log
    EXPECT_EQ(expected, exported);
}
