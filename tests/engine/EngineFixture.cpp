#include "EngineBinding.h"
#include "EngineFixture.h"

#include "base/GbkText.h"

#include <tovixsock.h>


void TNotifications::Post(void *context, unsigned message)
{
    auto *self = static_cast<TNotifications *>(context);
    self->count++;
    if (message != TOVIX_WM_DOWNLOAD_CHANGED)
        self->wrongMessages++;
    if (std::this_thread::get_id() == self->callerThread)
        self->fromCallerThread++;
}

void EngineFixture::SetUp()
{
    ASSERT_TRUE(m_tracker.Start());
    MakeFolder(m_folder / "seed");
    MakeFolder(m_folder / "videos");
    // Tests listen on loopback only, on any free port.
    MakeFolder(m_folder / "EngineState");
    WriteFile(m_folder / "EngineState/settings.txt", "listen_interfaces = 127.0.0.1:0\n");
    BindTovixSock();
    StartEngine();
}

void EngineFixture::TearDown()
{
    StopEngine();
    UnbindEngine();
}

void EngineFixture::StartEngine()
{
    ASSERT_EQ(1, Engine().InitDownloader());
    m_running = true;
    Engine().SetWndHandle(&m_notes.handle);
    Engine().SetMaxDownload(10);
    Engine().SetMaxDLSpeed(0);
    Engine().SetMaxULSpeed(0);
}

void EngineFixture::StopEngine()
{
    if (m_running)
        Engine().CleanUp();
    m_running = false;
}

TTestTorrent EngineFixture::SeededTorrent(const std::string &name, long long size, unsigned seed)
{
    TTestTorrent torrent = MakeTestTorrent(m_folder / "seed", name, size, m_tracker.AnnounceUrl(), seed);
    m_seeder.Seed(torrent);
    EXPECT_TRUE(WaitUntil([&] { return m_tracker.Tracker().PeerCount(torrent.infoHash) > 0; },
                          std::chrono::seconds(10)));
    return torrent;
}

std::string EngineFixture::VideoPath(const std::string &gbkName) const { return m_folder / ("videos/" + gbkName); }

std::string EngineFixture::OnDisk(const std::string &gbkPath) { return FsPath(gbkPath); }

bool EngineFixture::WaitFinished(const TTestTorrent &torrent, std::chrono::seconds limit)
{
    return WaitUntil([&] { return Engine().IsFinished(Pos(torrent)) != 0; }, limit);
}
