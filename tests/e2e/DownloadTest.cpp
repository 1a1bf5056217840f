// The whole system downloading on its own: the program and the demo service as
// separate processes, with no clicks.
#include "WholeSystem.h"

#include <algorithm>

using namespace std::chrono_literals;

namespace {

bool HasFile(const std::vector<TClientFile> &files, int id)
{
    return std::any_of(files.begin(), files.end(), [id](const TClientFile &file) { return file.id == id; });
}

using WholeSystem = CWholeSystemTest;

} // namespace

TEST_F(WholeSystem, TheSubscribedChannelDownloadsWithNoClicksAndExitSavesIt)
{
    const pid_t tovix = Start();
    EXPECT_TRUE(WaitDownloaded(1, 5, 180s));
    for (const TClientFile &file : Files(1))
        EXPECT_TRUE(SameAsServed(file)) << file.location;
    // Unsubscribed channels are listed but not downloaded.
    EXPECT_EQ(5u, Files(3).size());
    for (const TClientFile &file : Files(3))
        EXPECT_FALSE(Exists(ClientPath("videos", file.location)));
    // The current advertisement clip came with the catalogue, the expired one did not.
    EXPECT_TRUE(WaitFor([&] { return Exists(client + "/videos/ADs/ad-news.mp4"); }, 30s));
    EXPECT_FALSE(Exists(client + "/videos/ADs/ad-sport.mp4"));
    EXPECT_EQ(0, Stop(tovix));
}

TEST_F(WholeSystem, AFilePublishedLaterArrivesAtTheNextLoginAndRetentionPrunesFromDisk)
{
    pid_t tovix = Start();
    ASSERT_TRUE(WaitDownloaded(1, 5, 180s));
    // Channel 2 keeps 3 files; the first catalogue came before the channel list, so
    // nothing was pruned yet. Its pictures are on disk.
    ASSERT_EQ(5u, Files(2).size());
    const std::vector<TClientFile> before = Files(2);
    ASSERT_TRUE(WaitFor([&] { return Exists(ClientPath("pics", before[0].picture)); }, 30s));
    EXPECT_EQ(0, Stop(tovix));

    const int forChannel1 = service.PublishNext();
    const int forChannel2 = service.PublishNext();
    ASSERT_GT(forChannel1, 0);
    ASSERT_GT(forChannel2, 0);

    tovix = Start();
    // The subscribed channel's new file arrives and is downloaded.
    ASSERT_TRUE(WaitDownloaded(1, 6, 180s));
    EXPECT_TRUE(HasFile(Files(1), forChannel1));
    for (const TClientFile &file : Files(1))
        EXPECT_TRUE(SameAsServed(file)) << file.location;
    // Channel 2 keeps its newest three; the dropped entries' pictures are gone from disk.
    const std::vector<TClientFile> after = Files(2);
    ASSERT_EQ(3u, after.size());
    EXPECT_TRUE(HasFile(after, forChannel2));
    for (const TClientFile &file : before) {
        if (HasFile(after, file.id))
            continue;
        EXPECT_FALSE(Exists(ClientPath("pics", file.picture))) << file.picture;
        EXPECT_LT(file.id, after.front().id);
    }
    EXPECT_EQ(0, Stop(tovix));
}

TEST_F(WholeSystem, ANewerVersionFetchesTheUpdaterWhichTheNextStartRuns)
{
    pid_t tovix = Start();
    // The service announces version 2 to this version-1 client.
    ASSERT_TRUE(WaitFor([&] { return Exists(client + "/TovixUpdate.txt"); }, 60s));
    ASSERT_TRUE(Exists(client + "/TovixUpdate.exe"));
    EXPECT_FALSE(Exists(client + "/updater-ran.txt"));
    EXPECT_EQ(0, Stop(tovix));

    tovix = Start();
    EXPECT_TRUE(WaitFor([&] { return Exists(client + "/updater-ran.txt"); }, 30s));
    EXPECT_TRUE(WaitFor([&] { return !Exists(client + "/TovixUpdate.txt"); }, 30s));
    EXPECT_EQ(0, Stop(tovix));
}
