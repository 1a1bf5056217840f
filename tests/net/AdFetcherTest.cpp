#include "net/AdFetcher.h"
#include "net/NetFixture.h"
#include "net/SyncWorkers.h"

#include "base/FileSystem.h"

#include <algorithm>

namespace {

constexpr int kToday = 20240315;
const std::string kGbkClip = "\xD6\xD0\xCE\xC4.flv";  // GBK, as the catalogue holds it
const std::string kUtf8Clip = "\xE4\xB8\xAD\xE6\x96\x87.flv"; // the same name on disk

std::string Channel(int id, const std::string &ad, const std::string &time)
{
    return "<Channel2 ID=\"" + std::to_string(id) + "\" Name=\"c\" AD=\"" + ad + "\" ADTime=\"" + time + "\" />\n";
}

const std::string kChannels = "<Channel1 ID=\"10001\" Name=\"n\">\n" + Channel(1, "today.flv", "20240315") +
                              Channel(2, "old.flv", "20240314") + Channel(3, kGbkClip, "20240401") +
                              "</Channel1>\n<Channel1 ID=\"10002\" Name=\"m\">\n" + Channel(4, "today.flv", "20991231") +
                              Channel(5, "../escape.flv", "20240315") + Channel(6, "notime.flv", "") + "</Channel1>\n";

class AdFetcherTest : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        Prepare("", kChannels);
        server.Serve("a/today.flv", "clip");
    }
    std::vector<std::string> Clips() { return ListFolder(folder / "videos/ADs"); }
};

} // namespace

TEST_F(AdFetcherTest, KeepsAndFetchesCurrentClipsAndDeletesTheRest)
{
    MakeFolder(folder / "videos/ADs");
    WriteFile(folder / "videos/ADs/old.flv", "yesterday's");
    WriteFile(folder / "videos/ADs/stray.txt", "no channel names it");
    WriteFile(folder / ("videos/ADs/" + kUtf8Clip), "chinese");
    WriteFile(folder / "videos/ADs/Today.flv", "case matters");

    GetADThread(store, kToday);

    // today.flv is named by two channels and fetched once; the Chinese clip is recognised as present.
    EXPECT_EQ(std::vector<std::string>{"a/today.flv"}, server.Requests());
    EXPECT_EQ("clip", ReadFile(folder / "videos/ADs/today.flv"));
    EXPECT_EQ("chinese", ReadFile(folder / ("videos/ADs/" + kUtf8Clip)));
    auto clips = Clips();
    std::sort(clips.begin(), clips.end());
    EXPECT_EQ((std::vector<std::string>{"today.flv", kGbkClip}), clips);
    EXPECT_FALSE(Exists(folder / "videos/escape.flv"));
    EXPECT_EQ(std::vector<std::string>{"GetADThread refused unsafe name [../escape.flv]"}, folder.LogLines());

    // A second pass keeps everything and fetches nothing.
    GetADThread(store, kToday);
    EXPECT_EQ(1u, server.Requests().size());
    EXPECT_EQ(2u, Clips().size());

    // The next day today.flv is still current for channel 4 only; the day after 2024-04-01 the Chinese clip goes.
    GetADThread(store, 20240402);
    EXPECT_EQ(std::vector<std::string>{"today.flv"}, Clips());
}

TEST_F(AdFetcherTest, AMissingFolderIsCreatedAndAStuckEntryIsLoggedOnce)
{
    CSyncWorkers(store, link, workers).StartAdFetcher();
    ASSERT_TRUE(workers.WaitAll());
    EXPECT_EQ("clip", ReadFile(folder / "videos/ADs/today.flv"));

    // A non-empty directory cannot be deleted like a file.
    MakeFolder(folder / "videos/ADs/stuck");
    WriteFile(folder / "videos/ADs/stuck/x", "x");
    GetADThread(store, kToday);
    const auto lines = folder.LogLines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "GetADThread del file videos/ADs/stuck error[5]"));
    EXPECT_EQ("clip", ReadFile(folder / "videos/ADs/today.flv"));
}
