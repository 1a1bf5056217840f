#include "EngineFixture.h"
#include "SpaceGuard.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace {

using std::chrono::seconds;
constexpr long long kMiB = 1 << 20;

// A small tmpfs mounted for one test (as root; otherwise the test says why it skips).
class CTmpfs {
public:
    CTmpfs(const std::string &path, long long bytes) : m_path(path)
    {
        MakeFolder(path);
        const std::string options = "size=" + std::to_string(bytes);
        m_error = ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0 ? 0 : errno;
    }
    ~CTmpfs()
    {
        if (m_error == 0)
            ::umount2(m_path.c_str(), MNT_DETACH);
    }
    int Error() const { return m_error; }

private:
    std::string m_path;
    int m_error = 0;
};

} // namespace

TEST(SpaceGuard, WaitsBelowTheReserveAndResumesWithAMargin)
{
    long long free = 0;
    int asked = 0;
    CSpaceGuard guard([&](const std::string &) {
        ++asked;
        return free;
    });
    const long long reserve = CSpaceGuard::kReserve;

    guard.BeginRound();
    free = reserve + 1;
    EXPECT_FALSE(guard.MustWait("/a", false));
    free = reserve - 1; // same round: the first answer holds
    EXPECT_FALSE(guard.MustWait("/a", false));
    EXPECT_EQ(1, asked);

    guard.BeginRound();
    EXPECT_TRUE(guard.MustWait("/a", false));
    guard.BeginRound();
    free = reserve + 1;
    EXPECT_TRUE(guard.MustWait("/a", true)) << "resuming needs the margin too";
    guard.BeginRound();
    free = reserve + CSpaceGuard::kResumeMargin;
    EXPECT_FALSE(guard.MustWait("/a", true));

    guard.BeginRound();
    free = -1;
    EXPECT_FALSE(guard.MustWait("/a", true)) << "unknown free space holds nothing up";
}

TEST(SpaceGuard, FreeSpaceOfAMissingFolderIsItsParents)
{
    CTestFolder folder;
    EXPECT_GT(FolderFreeSpace(folder / "not/yet/there"), 0);
    EXPECT_EQ(FolderFreeSpace(folder.Path()), FolderFreeSpace(folder / "not/yet/there"));
}

using SpaceGuardEngine = EngineFixture;

TEST_F(SpaceGuardEngine, DownloadOntoAFillingDiskWaitsAndFinishesWhenSpaceReturns)
{
    CTmpfs disk(m_folder / "disk", 128 * kMiB);
    if (disk.Error() != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(disk.Error()) << "); needs root";
    // 72 MiB free: the download reaches the 64 MiB reserve a quarter of the way in;
    // what was asked for before the hold still arrives (the queues are deep).
    const std::string filler = m_folder / "disk/filler";
    WriteFile(filler, std::string(56 * kMiB, 'x'));
    const TTestTorrent torrent = SeededTorrent("big.bin", 32 * kMiB, 21);
    const std::string save = m_folder / "disk/video.avi";
    Engine().SetMaxDLSpeed(8000);
    ASSERT_EQ(1, Engine().AddDownload(torrent.torrentPath.c_str(), save.c_str()));
    const int pos = Pos(torrent);

    ASSERT_TRUE(WaitUntil([&] { return Engine().IsPending(pos) && Engine().GetProgress(pos) > 10.0; }, seconds(30)))
        << "progress " << Engine().GetProgress(pos);
    EXPECT_EQ(1, Engine().GetPendingNum());
    EXPECT_EQ(0, Engine().GetDownloadingNum());
    const double held = Engine().GetProgress(pos);
    EXPECT_LT(held, 100.0);
    // It keeps waiting, and keeps what it has, while the disk stays full.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(1, Engine().IsPending(pos));
    EXPECT_GE(Engine().GetProgress(pos), held);

    ASSERT_EQ(0, std::remove(filler.c_str()));
    ASSERT_TRUE(WaitFinished(torrent, seconds(30)))
        << "downloading " << Engine().IsDownloading(pos) << " waiting " << Engine().IsPending(pos) << " progress "
        << Engine().GetProgress(pos);
    EXPECT_TRUE(ReadFile(save) == ReadFile(torrent.contentPath));
    Engine().DelDownload(torrent.torrentPath.c_str(), save.c_str());
    StopEngine(); // before the tmpfs goes
}
