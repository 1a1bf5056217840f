#include "SyncFixture.h"
#include "net/ReplyDispatch.h"

namespace {

class CatalogueMergeTest : public SyncTest {
protected:
    void SetUp() override { WriteCatalogue(); }

    EReplyResult FileNews(const std::string &fragment)
    {
        const std::string reply = "i1ei1e" + Str(fragment);
        return dispatch.Dispatch(reply.data(), reply.size());
    }

    CReplyDispatch dispatch{store, keys, recorder, recorder};
};

TEST_F(CatalogueMergeTest, NewChannelsArriveWholeAndKnownOnesGainOnlyNewFiles)
{
    // Channel 1 knows 10 and 11; the fragment's 10 carries another Progress.
    EXPECT_EQ(EReplyResult::Done, FileNews(FileFragment({{5, {50, 51}}, {1, {10, 13, 12}}}, "51")));
    EXPECT_EQ((std::vector<std::string>{"1: 10/50 11/-1 13/0 12/0", "2: 20/-1", "5: 50/0 51/0"}), FileCatalogue());
    EXPECT_EQ("51", store.GetConfigValue(CFG_MAXID));
    EXPECT_EQ((std::vector<std::string>{"ShowChannel 0", "DownloadStart", "PictureFetcher"}), recorder.Calls());

    // What was merged is on disk.
    const std::string saved = ReadFile(folder / "FileInfo.xml");
    EXPECT_LT(saved.find("<Channel ID=\"5\">"), saved.find("<File ID=\"51\""));
    EXPECT_NE(std::string::npos, saved.find("<File ID=\"13\""));
}

TEST_F(CatalogueMergeTest, RepeatedIdsMergeAsAFreshWalkPerChannelWould)
{
    // A new channel twice: the first copy arrives whole, the second adds only 62.
    // Two new files with one ID in one fragment channel both arrive.
    FileNews(FileFragment({{6, {60, 61}}, {6, {61, 62}}, {1, {13, 13}}}));
    EXPECT_EQ((std::vector<std::string>{"1: 10/50 11/-1 13/0 13/0", "2: 20/-1", "6: 60/0 61/0 62/0"}), FileCatalogue());
}

TEST_F(CatalogueMergeTest, MergedChannelIsPrunedToItsPreserveNum)
{
    // Channel 2 keeps two files: the oldest goes, with its files on disk.
    WriteFile(folder / "videos/v20.avi", "v");
    WriteFile(folder / "pics/p20.jpg", "p");
    FileNews(FileFragment({{2, {21, 22}}}));
    EXPECT_EQ("2: 21/0 22/0", FileCatalogue()[1]);
    EXPECT_FALSE(Exists(folder / "videos/v20.avi"));
    EXPECT_FALSE(Exists(folder / "pics/p20.jpg"));
}

TEST_F(CatalogueMergeTest, WithoutTheMainWindowNothingIsStartedOrPosted)
{
    recorder.SetMainWindow(false);
    FileNews(FileFragment({{1, {12}}}));
    EXPECT_EQ("1: 10/50 11/-1 12/0", FileCatalogue()[0]);
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ("7", store.GetConfigValue(CFG_MAXID)); // the fragment had no MaxID
}

TEST_F(CatalogueMergeTest, FragmentWithoutRootMergesNothing)
{
    const std::string before = ReadFile(folder / "FileInfo.xml");
    EXPECT_EQ(EReplyResult::Done, FileNews("<!-- nothing -->"));
    EXPECT_EQ(before, ReadFile(folder / "FileInfo.xml"));
    EXPECT_EQ(std::vector<std::string>{"PictureFetcher"}, recorder.Calls());
}

} // namespace
