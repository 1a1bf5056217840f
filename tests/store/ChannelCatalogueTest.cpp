#include "store/ChannelCatalogue.h"
#include "store/CatalogueFixture.h"

namespace {

const std::string kChannels = kDecl +
    "<TovixChannel>\n"
    "<Date value=\"20261201\" />\n"
    "<Channel1 ID=\"10001\" Name=\"News\">\n"
    "  <Channel2 ID=\"1\" Name=\"World\" Subscribe=\"1\" PreserveNum=\"3\" AD=\"w.flv\" ADTime=\"20261208\" />\n"
    "  <Channel2 ID=\"2\" Name=\"Local\" Subscribe=\"01\" PreserveNum=\"0\" AD=\"\" ADTime=\"20300101\" />\n"
    "</Channel1>\n"
    "<Channel1 ID=\"10002\" Name=\"\xCC\xE5\xD3\xFD\">\n"
    "  <Channel2 ID=\"3\" Name=\"Ball\" Subscribe=\"0\" PreserveNum=\"-2\" AD=\"b.flv\" ADTime=\"20261207\" />\n"
    "</Channel1>\n"
    "<Channel1 ID=\"10001\" Name=\"Duplicate\">\n"
    "  <Channel2 ID=\"4\" Name=\"Hidden\" Subscribe=\"0\" PreserveNum=\"9\" />\n"
    "</Channel1>\n"
    "</TovixChannel>\n";

class ChannelCatalogueTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        WriteFile(folder / "ChannelInfo.xml", kChannels);
        WriteConfigure();
        Load();
        store.DisableExitSave();
    }
    CChannelCatalogue channels{store};
};

} // namespace

TEST_F(ChannelCatalogueTest, LookupsTakeTheFirstMatchInDocumentOrder)
{
    EXPECT_EQ(3, channels.GetPreserveNum(1));
    EXPECT_EQ(-2, channels.GetPreserveNum(3));
    EXPECT_EQ(9, channels.GetPreserveNum(4));
    EXPECT_EQ(-1, channels.GetPreserveNum(99));
    EXPECT_EQ("News", channels.GetCategoryName(10001));
    EXPECT_EQ("\xCC\xE5\xD3\xFD", channels.GetCategoryName(10002));
    EXPECT_EQ("", channels.GetCategoryName(10009));
    EXPECT_EQ("Ball", channels.GetChannelName(3));
    EXPECT_EQ(10002, channels.GetCategoryOfChannel(3));
    // Channel 4 sits in the second category with ID 10001: reachable by channel lookups.
    EXPECT_EQ(10001, channels.GetCategoryOfChannel(4));
    EXPECT_EQ(-1, channels.GetCategoryOfChannel(42));
}

TEST_F(ChannelCatalogueTest, AdvertisementIsCurrentThroughItsLastDay)
{
    std::string ad;
    EXPECT_EQ(1, channels.GetChannelAd(1, &ad, 20261208));
    EXPECT_EQ("w.flv", ad);
    EXPECT_EQ(0, channels.GetChannelAd(1, &ad, 20261209));
    EXPECT_EQ(0, channels.GetChannelAd(3, nullptr, 20261208)); // yesterday's
    EXPECT_EQ(0, channels.GetChannelAd(2, nullptr, 20261208)); // empty AD
    EXPECT_EQ(0, channels.GetChannelAd(4, nullptr, 20261208)); // no AD at all
}

TEST_F(ChannelCatalogueTest, SubscribeChangesOnlyRealChangesAndSavesAtOnce)
{
    EXPECT_EQ(std::vector<int>{1}, channels.GetSubscribedChannels()); // "01" is left out
    EXPECT_EQ(0, channels.SetSubscribe(1, 10001, 1));                // already subscribed
    EXPECT_EQ(0, channels.SetSubscribe(2, 10001, 1));                // "01" counts as 1
    EXPECT_EQ(0, channels.SetSubscribe(3, 10002, 0));
    EXPECT_EQ(kChannels, ReadFile(folder / "ChannelInfo.xml"));
    EXPECT_EQ(0, channels.SetSubscribe(4, 10001, 1)); // only the first category 10001 is searched
    EXPECT_EQ(0, channels.SetSubscribe(3, 10001, 1)); // wrong category

    EXPECT_EQ(1, channels.SetSubscribe(3, 10002, 1));
    EXPECT_EQ((std::vector<int>{1, 3}), channels.GetSubscribedChannels());
    EXPECT_NE(std::string::npos, ReadFile(folder / "ChannelInfo.xml").find("ID=\"3\" Name=\"Ball\" Subscribe=\"1\""));
    EXPECT_EQ(1, channels.SetSubscribe(1, 10001, 0));
    EXPECT_EQ(std::vector<int>{3}, channels.GetSubscribedChannels());
}

TEST_F(ChannelCatalogueTest, SyncCarriesSubscriptionsThatStillExistAndReplacesTheCatalogue)
{
    TiXmlDocument fetched;
    fetched.Parse((kDecl + "<ServiceList>\n<Date value=\"20261208\" />\n"
                           "<Channel1 ID=\"10001\" Name=\"News2\">\n"
                           "  <Channel2 ID=\"2\" Name=\"Local\" Subscribe=\"0\" PreserveNum=\"5\" />\n"
                           "  <Channel2 ID=\"5\" Name=\"New\" Subscribe=\"1\" PreserveNum=\"5\" />\n"
                           "</Channel1>\n"
                           "<Channel1 ID=\"10002\" Name=\"Sport\">\n"
                           "  <Channel2 ID=\"1\" Name=\"World moved\" Subscribe=\"0\" PreserveNum=\"5\" />\n"
                           "</Channel1>\n</ServiceList>\n").c_str(),
                  nullptr, TIXML_DEFAULT_ENCODING);
    ASSERT_EQ(1, channels.CarrySubscriptions(fetched));
    ASSERT_TRUE(channels.ReplaceChannelCatalogue(fetched));
    // "01" on channel 2 carried over as 1; channel 1 moved category and lost its subscription;
    // the service's own mark on channel 5 stays.
    EXPECT_EQ((std::vector<int>{2, 5}), channels.GetSubscribedChannels());
    EXPECT_STREQ("ServiceList", store.ChannelDoc().RootElement()->Value());
    const std::string saved = ReadFile(folder / "ChannelInfo.xml");
    EXPECT_EQ(0u, saved.find(kDecl + "<ServiceList>\n    <Date value=\"20261208\" />"));
}

TEST_F(ChannelCatalogueTest, RootlessDocumentsChangeNothing)
{
    TiXmlDocument empty;
    EXPECT_FALSE(channels.ReplaceChannelCatalogue(empty));
    // A subscribed channel meets a fetched document without root.
    EXPECT_EQ(0, channels.CarrySubscriptions(empty));
    EXPECT_EQ(kChannels, ReadFile(folder / "ChannelInfo.xml"));

    store.ChannelDoc().Clear();
    EXPECT_EQ(0, channels.GetPreserveNum(1));
    EXPECT_TRUE(channels.GetSubscribedChannels().empty());
    EXPECT_EQ(0, channels.CarrySubscriptions(empty));
}
