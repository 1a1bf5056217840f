#include "net/ReplyDispatch.h"
#include "SyncFixture.h"
#include "net/XmlFragment.h"

namespace {

using R = EReplyResult;

class ReplyDispatchTest : public SyncTest {
protected:
    void SetUp() override { WriteCatalogue(); }

    R Dispatch(const std::string &reply) { return dispatch.Dispatch(reply.data(), reply.size()); }

    CReplyDispatch dispatch{store, keys, recorder, recorder};
};

TEST_F(ReplyDispatchTest, TypeTokenDecidesWhetherToWait)
{
    EXPECT_EQ(R::Wait, Dispatch(""));
    EXPECT_EQ(R::Wait, Dispatch("i4"));    // two bytes: not looked at
    EXPECT_EQ(R::Wait, Dispatch("i12"));   // type cut short
    EXPECT_EQ(R::Wait, Dispatch("i9e"));   // unknown type
    EXPECT_EQ(R::Wait, Dispatch("hello")); // malformed type: waits too
    EXPECT_EQ(R::Done, Dispatch("i4e"));
    EXPECT_EQ(R::Done, Dispatch("i5eanything"));
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ReplyDispatchTest, TokensCutShortWaitAndMalformedOnesClose)
{
    EXPECT_EQ(R::Wait, Dispatch("i1ei"));
    EXPECT_EQ(R::Wait, Dispatch("i1ei3e"));
    EXPECT_EQ(R::Wait, Dispatch("i1ei3e12"));
    EXPECT_EQ(R::Wait, Dispatch("i1ei3e5:<a/>"));
    EXPECT_EQ(R::Closed, Dispatch("i1eie"));      // no digits
    EXPECT_EQ(R::Closed, Dispatch("i1ei-3e"));    // no sign accepted
    EXPECT_EQ(R::Closed, Dispatch("i1ei3ex:"));   // string without a length
    EXPECT_EQ(R::Closed, Dispatch("i1e3:abc"));   // string where the count belongs
    EXPECT_EQ(R::Closed, Dispatch("i3ei1e:abc")); // empty length
    EXPECT_EQ(R::Done, Dispatch("i1ei" + std::string(64, '0') + "e"));
    EXPECT_EQ(R::Closed, Dispatch("i1ei" + std::string(65, '0') + "e"));
    // A declared length far beyond the bytes received only waits; nothing is read past them.
    EXPECT_EQ(R::Wait, Dispatch("i1ei1e" + std::string(64, '9') + ":<a/>"));
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ("7", store.GetConfigValue(CFG_MAXID));
}

TEST_F(ReplyDispatchTest, EveryPrefixOfALoginReplyWaitsAndTheWholeOneIsHandled)
{
    const std::string reply = "i3ei3e" + Str(FileFragment({{1, {12}}}, "12")) + Str(ChannelFragment());
    const auto before = FileCatalogue();
    for (size_t length = 0; length < reply.size(); ++length)
        ASSERT_EQ(R::Wait, dispatch.Dispatch(reply.data(), length)) << length;
    EXPECT_EQ(before, FileCatalogue());
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ("(none)", InstallRecord());

    EXPECT_EQ(R::Done, Dispatch(reply));
    EXPECT_EQ("1: 10/50 11/-1 12/0", FileCatalogue()[0]);
    EXPECT_EQ("12", InstallRecord());
}

TEST_F(ReplyDispatchTest, FileNewsWithCountZeroChangesNothing)
{
    const std::string before = ReadFile(folder / "FileInfo.xml");
    EXPECT_EQ(R::Done, Dispatch("i1ei0e"));
    EXPECT_EQ(before, ReadFile(folder / "FileInfo.xml"));
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ("7", store.GetConfigValue(CFG_MAXID));
}

TEST_F(ReplyDispatchTest, BrokenFileNewsIsLoggedAndMergesNothing)
{
    const auto before = FileCatalogue();
    EXPECT_EQ(R::Closed, Dispatch("i1ei1e" + Str("<TovixFile><Channel ID=\"1\">")));
    EXPECT_EQ(before, FileCatalogue());
    ASSERT_EQ(1u, folder.LogLines().size());
    EXPECT_EQ(0u, folder.LogLines()[0].find("GetFileInfo error "));
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ReplyDispatchTest, FragmentsTooDeepOrWithTooManyAttributesAreRefusedBeforeParsing)
{
    // Deep enough to overflow the stack of a recursive parse; attributes enough to
    // keep a quadratic one busy.
    std::string deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    std::string wide = "<a";
    for (int i = 0; i < 100000; ++i)
        wide += " b" + std::to_string(i) + "=''";
    EXPECT_EQ(R::Closed, Dispatch("i1ei1e" + Str(deep)));
    EXPECT_EQ(R::Closed, Dispatch("i3ei1e" + Str(wide + "/>")));
    const auto lines = folder.LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("GetFileInfo error Element nesting too deep.", lines[0]);
    EXPECT_EQ("LogIn process error FileInfo:Too many attributes in one element.", lines[1]);
}

TEST(XmlShape, FollowsTheParserOverTrickyText)
{
    auto shape = [](std::string text) {
        text.append(kXmlPadding, '\0');
        const TXmlShape found = XmlShapeOf(text.c_str(), 1000, 1000);
        return std::to_string(found.depth) + "/" + std::to_string(found.attributes);
    };
    EXPECT_EQ("3/9", shape(FileFragment({{1, {1, 2}}}, "3")));
    EXPECT_EQ("3/2", shape("<?xml ?><!-- <x><x> --><r a='>' b=\"/>\"><![CDATA[<y><y>]]><c/><d><e></e></d></r>"));
    // A quoted declaration value swallows what looks like a start tag.
    EXPECT_EQ("1/0", shape("<?xml encoding=\"<a><a>\"?><b/>"));
    // Read as UTF-8 (no encoding named), a lead byte takes the next two bytes with it.
    EXPECT_EQ("1/1", shape("<?xml version='1'?><r a='\xE0'></r><r2><r3/></r2>'/>"));
    EXPECT_EQ("2/1", shape("<?xml encoding='GB2312'?><r a='\xE0'></r><r2><r3/></r2>'/>"));
    // A repeated attribute ends the parse.
    EXPECT_EQ("1/1", shape("<r a='1' a='2'><s/></r>"));
}

TEST_F(ReplyDispatchTest, VersionNotNewerIsRefusedAndStoresNothing)
{
    for (const std::string version : {"i12e", "i0e", "i11e"})
        EXPECT_EQ(R::Closed, Dispatch("i2e" + version + Str("http://h/u.exe"))) << version;
    EXPECT_EQ(R::Wait, Dispatch("i2ei13e14:http://h/u"));
    EXPECT_EQ("12", store.GetConfigValue(CFG_VERSION));
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ReplyDispatchTest, NewerVersionIsStoredBeforeTheUpdaterStarts)
{
    recorder.SetWitness([this] { return "Version " + store.GetConfigValue(CFG_VERSION); });
    EXPECT_EQ(R::Done, Dispatch("i2ei13e" + Str("http://h/u.exe")));
    EXPECT_EQ(std::vector<std::string>{"UpdateFetcher http://h/u.exe [Version 13]"}, recorder.Calls());
    EXPECT_NE(std::string::npos, ReadFile(folder / "Configure.xml").find("<Version value=\"13\" />"));
    // Only the low 32 bits of a larger number are stored.
    EXPECT_EQ(R::Done, Dispatch("i2ei4294967310e0:"));
    EXPECT_EQ("14", store.GetConfigValue(CFG_VERSION));
}

TEST_F(ReplyDispatchTest, LoginWithNothingStillFetchesPicturesAndRecordsTheInstall)
{
    EXPECT_EQ(R::Done, Dispatch("i3ei0e"));
    EXPECT_EQ(std::vector<std::string>{"PictureFetcher"}, recorder.Calls());
    EXPECT_EQ("12", InstallRecord());

    recorder.Clear();
    recorder.SetMainWindow(false);
    EXPECT_EQ(R::Done, Dispatch("i3ei0e"));
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ReplyDispatchTest, LoginFlagsAboveThreeEndTheExchange)
{
    const auto before = FileCatalogue();
    EXPECT_EQ(R::Done, Dispatch("i3ei4e" + Str(FileFragment({{9, {90}}}))));
    EXPECT_EQ(before, FileCatalogue());
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ("(none)", InstallRecord());
}

TEST_F(ReplyDispatchTest, LoginWithFilesOnlyMergesThem)
{
    EXPECT_EQ(R::Done, Dispatch("i3ei1e" + Str(FileFragment({{2, {21}}}, "21"))));
    EXPECT_EQ("2: 20/-1 21/0", FileCatalogue()[1]);
    EXPECT_EQ("21", store.GetConfigValue(CFG_MAXID));
    EXPECT_EQ((std::vector<std::string>{"ShowChannel 0", "DownloadStart", "PictureFetcher"}), recorder.Calls());
    EXPECT_EQ("12", InstallRecord());
}

TEST_F(ReplyDispatchTest, LoginWithChannelsReplacesThemAndStartsTheirWork)
{
    recorder.SetDisabledButton(1002);
    recorder.SetWitness([this] {
        std::string subscribed;
        for (int channel : Subscribed())
            subscribed += std::to_string(channel) + ",";
        return subscribed;
    });
    EXPECT_EQ(R::Done, Dispatch("i3ei2e" + Str(ChannelFragment())));
    // Channel 1 kept its category and stays subscribed; channel 3 moved and loses its mark.
    EXPECT_EQ(std::vector<int>{1}, Subscribed());
    EXPECT_EQ("20270101", store.GetConfigValue(CFG_CHANNELDATE));
    EXPECT_EQ(
        (std::vector<std::string>{"Command 1002 [1,]", "DownloadStart [1,]", "AdFetcher [1,]", "PictureFetcher [1,]"}),
        recorder.Calls());
    EXPECT_EQ("12", InstallRecord());
}

TEST_F(ReplyDispatchTest, ChannelMergePostsTheActiveViewOnly)
{
    recorder.SetDisabledButton(1000);
    Dispatch("i3ei2e" + Str(ChannelFragment("")));
    EXPECT_EQ("Command 1000", recorder.Calls().at(0));
    EXPECT_EQ("20260101", store.GetConfigValue(CFG_CHANNELDATE)); // no Date: kept

    recorder.Clear();
    recorder.SetDisabledButton(0);
    Dispatch("i3ei2e" + Str(ChannelFragment()));
    EXPECT_EQ((std::vector<std::string>{"DownloadStart", "AdFetcher", "PictureFetcher"}), recorder.Calls());

    recorder.Clear();
    recorder.SetMainWindow(false);
    Dispatch("i3ei2e" + Str(ChannelFragment()));
    EXPECT_EQ(std::vector<std::string>{"AdFetcher"}, recorder.Calls());
}

TEST_F(ReplyDispatchTest, BrokenChannelFragmentKeepsTheFilesMergedBeforeIt)
{
    EXPECT_EQ(R::Closed, Dispatch("i3ei3e" + Str(FileFragment({{1, {12}}}, "12")) + Str("<TovixChannel><Channel1>")));
    EXPECT_EQ("1: 10/50 11/-1 12/0", FileCatalogue()[0]);
    EXPECT_EQ("12", store.GetConfigValue(CFG_MAXID));
    EXPECT_EQ((std::vector<int>{1, 3}), Subscribed());
    EXPECT_EQ("20260101", store.GetConfigValue(CFG_CHANNELDATE));
    EXPECT_EQ((std::vector<std::string>{"ShowChannel 0", "DownloadStart", "PictureFetcher"}), recorder.Calls());
    ASSERT_EQ(1u, folder.LogLines().size());
    EXPECT_EQ(0u, folder.LogLines()[0].find("LogIn process error ChannelInfo:"));
    EXPECT_EQ("(none)", InstallRecord());
}

TEST_F(ReplyDispatchTest, BrokenFileFragmentOfALoginStopsBeforeTheChannels)
{
    EXPECT_EQ(R::Closed, Dispatch("i3ei3e" + Str("<TovixFile") + Str(ChannelFragment())));
    EXPECT_EQ((std::vector<int>{1, 3}), Subscribed());
    EXPECT_EQ(std::vector<std::string>{"PictureFetcher"}, recorder.Calls());
    ASSERT_EQ(1u, folder.LogLines().size());
    EXPECT_EQ(0u, folder.LogLines()[0].find("LogIn process error FileInfo:"));
}

} // namespace
