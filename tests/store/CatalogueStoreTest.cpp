#include "store/CatalogueFixture.h"
#include "store/XmlNumber.h"

#include <sys/stat.h>

TEST_F(CatalogueTest, MissingFilesReportInOrderAndAreWrittenOnlyAtExit)
{
    Load();
    EXPECT_EQ((std::vector<std::string>{"LoadFile FileInfo.xml error!!", "LoadFile ChannelInfo.xml error!!",
                                        "LoadFile Configure.xml error!!"}),
              reports);
    EXPECT_FALSE(Exists(folder / "FileInfo.xml"));
    EXPECT_EQ("", store.GetConfigValue(CFG_FILEROOT));
    store.ExitSave();
    EXPECT_EQ(kDecl + "<TovixFile />\n", ReadFile(folder / "FileInfo.xml"));
    EXPECT_EQ(kDecl + "<TovixChannel />\n", ReadFile(folder / "ChannelInfo.xml"));
    EXPECT_EQ(kDecl + "<TovixConfig />\n", ReadFile(folder / "Configure.xml"));
}

TEST_F(CatalogueTest, MalformedTruncatedAndRootlessFilesFallBackToEmptyDocuments)
{
    // Truncated mid-way: the parser keeps a partial tree that must not survive.
    WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n<Channel ID=\"1\">\n<File ID=\"5\" Title=\"x\" />\n<Fi");
    WriteFile(folder / "ChannelInfo.xml", kDecl);
    WriteConfigure();
    Load();
    EXPECT_EQ((std::vector<std::string>{"LoadFile FileInfo.xml error!!", "LoadFile ChannelInfo.xml error!!"}),
              reports);
    TiXmlElement *root = store.FileDoc().RootElement();
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ("TovixFile", root->Value());
    EXPECT_EQ(nullptr, root->FirstChildElement());
    EXPECT_EQ(nullptr, root->NextSiblingElement());
    EXPECT_STREQ("TovixChannel", store.ChannelDoc().RootElement()->Value());
    EXPECT_EQ("videos/", store.GetConfigValue(CFG_FILEROOT));
}

TEST_F(CatalogueTest, ConfigurationReadsAndWritesTheFirstElementOnly)
{
    WriteConfigure("<MaxID value=\"77\" />\n<MaxID value=\"88\" />\n<ThreadNum />\n<Intervel value=\"301abc\" />\n");
    Load();
    EXPECT_EQ(2u, reports.size()); // only the two catalogues are missing
    EXPECT_EQ("77", store.GetConfigValue(CFG_MAXID));
    EXPECT_EQ("", store.GetConfigValue(CFG_THREADNUM));
    EXPECT_EQ(301, store.GetConfigInt(CFG_INTERVEL));
    EXPECT_EQ("", store.GetConfigValue(CFG_CHANNELDATE));

    store.SetConfigValue("MaxID", "99");
    store.SetConfigValue("ThreadNum", "5");
    store.SetConfigValue("ChannelDate", "20261208"); // no such element: nothing created
    const std::string saved = ReadFile(folder / "Configure.xml");
    EXPECT_NE(std::string::npos, saved.find("<MaxID value=\"99\" />\n    <MaxID value=\"88\" />"));
    EXPECT_NE(std::string::npos, saved.find("<ThreadNum value=\"5\" />"));
    EXPECT_EQ(std::string::npos, saved.find("ChannelDate"));
}

TEST_F(CatalogueTest, SettingAnItemInAnEmptyConfigurationSavesNothing)
{
    Load();
    store.DisableExitSave();
    store.SetConfigValue("FileRoot", "x/");
    EXPECT_FALSE(Exists(folder / "Configure.xml"));
    EXPECT_EQ("", store.GetConfigValue(CFG_FILEROOT));
}

TEST_F(CatalogueTest, SavedFilesKeepGbkBytesUnknownContentAndPrintedForm)
{
    const std::string gbkRoot = "D:\\\xCA\xD3\xC6\xB5\\"; // D:\视频\ with trail byte 0x5C nowhere near
    const std::string text = kDecl + "<TovixConfig>\n    <FileRoot value=\"" + gbkRoot + "\" extra=\"kept\" />\n"
                             "    <Unknown a=\"1\" b=\"\x81\x5C\" />\n</TovixConfig>\n";
    WriteFile(folder / "Configure.xml", text);
    Load();
    EXPECT_EQ(gbkRoot, store.GetConfigValue(CFG_FILEROOT));
    store.SetConfigValue("FileRoot", gbkRoot);
    EXPECT_EQ(text, ReadFile(folder / "Configure.xml"));
}

TEST_F(CatalogueTest, ExitSaveCanBeTurnedOffForASecondInstance)
{
    WriteConfigure();
    const std::string before = ReadFile(folder / "Configure.xml");
    {
        CCatalogueStore second;
        second.Load(nullptr);
        second.DisableExitSave();
    }
    EXPECT_EQ(before, ReadFile(folder / "Configure.xml"));
    EXPECT_FALSE(Exists(folder / "FileInfo.xml"));
    {
        CCatalogueStore normal;
        normal.Load(nullptr);
    }
    EXPECT_TRUE(Exists(folder / "FileInfo.xml"));
}

TEST_F(CatalogueTest, SaveIntoAReadOnlyFolderKeepsTheOldFileAndLogs)
{
    WriteConfigure("<MaxID value=\"1\" />\n");
    Load();
    store.DisableExitSave();
    const std::string before = ReadFile(folder / "Configure.xml");
    chmod(folder.Path().c_str(), 0555);
    EXPECT_EQ(0, RunUnprivileged([this] {
                  store.SetConfigValue("MaxID", "2");
                  return 0;
              }));
    chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(before, ReadFile(folder / "Configure.xml"));
    const auto lines = folder.LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("Save file Configure.xml error[13]", lines.back());
}

TEST_F(CatalogueTest, ReadOnlyCatalogueFileIsNotReplacedAndOthersKeepTheirMode)
{
    WriteConfigure("<MaxID value=\"1\" />\n");
    WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n</TovixFile>\n");
    Load();
    store.DisableExitSave();
    // Root ignores permission bits: the save itself must honour them.
    chmod((folder / "Configure.xml").c_str(), 0444);
    chmod((folder / "FileInfo.xml").c_str(), 0640);
    const std::string before = ReadFile(folder / "Configure.xml");
    store.SetConfigValue("MaxID", "2");
    EXPECT_EQ(before, ReadFile(folder / "Configure.xml"));
    EXPECT_EQ("2", store.GetConfigValue(CFG_MAXID));
    const auto lines = folder.LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("Save file Configure.xml error[13]", lines.back());

    EXPECT_TRUE(store.SaveFileDoc());
    struct stat info;
    ASSERT_EQ(0, stat((folder / "FileInfo.xml").c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777);
    ASSERT_EQ(0, stat((folder / "Configure.xml").c_str(), &info));
    EXPECT_EQ(0444u, info.st_mode & 0777);
}

TEST(XmlNumber, ReadsLikeAtoi)
{
    EXPECT_EQ(0, AtoI(""));
    EXPECT_EQ(0, AtoI(nullptr));
    EXPECT_EQ(0, AtoI("abc"));
    EXPECT_EQ(12, AtoI("  12abc"));
    EXPECT_EQ(-3, AtoI("-3"));
    EXPECT_EQ(1, AtoI("01"));
}
