#include "net/DownloadRefresh.h"

#include "store/CatalogueFixture.h"
#include "store/FileCatalogue.h"

#include <mutex>

#include <tinyxml.h>

namespace {

class DownloadRefreshTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        WriteConfigure();
        WriteFile(folder / "FileInfo.xml", kDecl + "<FileInfo>\n"
                                                   "<Channel ID=\"7\">\n"
                                                   "<File ID=\"1\" Torrent=\"a.torrent\" Location=\"a.rmvb\" Progress=\"40\" />\n"
                                                   "<File ID=\"2\" Torrent=\"b.torrent\" Location=\"b.rmvb\" Progress=\"-1\" />\n"
                                                   "<File ID=\"3\" Torrent=\"c.torrent\" Location=\"c.rmvb\" Progress=\"90\" />\n"
                                                   "</Channel>\n"
                                                   "</FileInfo>\n");
        Load();
    }

    // Progress of a file as FileInfo.xml on disk has it.
    int ProgressOnDisk(int file)
    {
        TiXmlDocument document;
        if (!document.LoadFile(CCatalogueStore::kFileInfo))
            return -999;
        const TiXmlElement *element = document.RootElement()->FirstChildElement("Channel")->FirstChildElement("File");
        for (; element; element = element->NextSiblingElement("File"))
            if (std::string(element->Attribute("ID")) == std::to_string(file))
                return std::stoi(element->Attribute("Progress"));
        return -999;
    }
};

} // namespace

TEST(DownloadRefreshRule, WritesFinishedFirstAndLargeStepsOnly)
{
    EXPECT_EQ(-1, CDownloadRefresh::ProgressToWrite(43, 40)); // 3 above: shown, not written
    EXPECT_EQ(45, CDownloadRefresh::ProgressToWrite(45, 40)); // 5 above: written
    EXPECT_EQ(100, CDownloadRefresh::ProgressToWrite(130, 40)); // over 100 written as 100
    EXPECT_EQ(100, CDownloadRefresh::ProgressToWrite(100, 98));  // finished, whatever the step
    EXPECT_EQ(-1, CDownloadRefresh::ProgressToWrite(100, 100)); // already recorded
    EXPECT_EQ(0, CDownloadRefresh::ProgressToWrite(0, -1));     // a negative value gives way to the first
    EXPECT_EQ(-1, CDownloadRefresh::ProgressToWrite(30, 40));   // the engine behind the catalogue
}

TEST_F(DownloadRefreshTest, FindsRootedPathsAndStoredProgress)
{
    TListedFile listed;
    ASSERT_TRUE(CDownloadRefresh(store).Find(7, 1, &listed));
    EXPECT_EQ("torrents/a.torrent", listed.torrentPath);
    EXPECT_EQ("videos/a.rmvb", listed.locationPath);
    EXPECT_EQ(40, listed.storedProgress);
    EXPECT_FALSE(CDownloadRefresh(store).Find(7, 9, &listed));
    EXPECT_TRUE(listed.torrentPath.empty());
    EXPECT_FALSE(CDownloadRefresh(store).Find(8, 1, &listed));
}

TEST_F(DownloadRefreshTest, OnePassSavesOnceAndOnlyWhenSomethingWasWritten)
{
    CDownloadRefresh quiet(store);
    EXPECT_FALSE(quiet.Record(7, 1, 43));
    EXPECT_FALSE(quiet.Record(7, 9, 100)); // not in the catalogue
    EXPECT_FALSE(quiet.Finish());
    EXPECT_EQ(40, ProgressOnDisk(1));

    CDownloadRefresh pass(store);
    EXPECT_TRUE(pass.Record(7, 1, 45));
    EXPECT_TRUE(pass.Record(7, 2, 0));
    EXPECT_TRUE(pass.Record(7, 3, 101));
    EXPECT_EQ(40, ProgressOnDisk(1)); // saved at the end of the pass, not per file
    EXPECT_TRUE(pass.Finish());
    EXPECT_EQ(45, ProgressOnDisk(1));
    EXPECT_EQ(0, ProgressOnDisk(2));
    EXPECT_EQ(100, ProgressOnDisk(3));
    EXPECT_FALSE(pass.Finish()); // saved once
    // The next step is measured from what was written, not from the first value.
    EXPECT_FALSE(CDownloadRefresh(store).Record(7, 1, 48));
}

TEST_F(DownloadRefreshTest, APassNoticesEntriesRemovedOrAddedBetweenItsCalls)
{
    CDownloadRefresh pass(store);
    TListedFile listed;
    ASSERT_TRUE(pass.Find(7, 2, &listed));
    {
        // The user deletes a file while the pass goes on (the lock is free between calls).
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        ASSERT_EQ(1, CFileCatalogue(store).DelFileInfo(7, 3));
    }
    EXPECT_FALSE(pass.Find(7, 3, &listed));
    EXPECT_FALSE(pass.Record(7, 3, 100));
    {
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        TiXmlElement added("File");
        added.SetAttribute("ID", 4);
        added.SetAttribute("Progress", -1);
        store.FileDoc().RootElement()->FirstChildElement("Channel")->InsertEndChild(added);
        store.SaveFileDoc();
    }
    EXPECT_TRUE(pass.Record(7, 4, 10));
    EXPECT_TRUE(pass.Finish());
    EXPECT_EQ(10, ProgressOnDisk(4));
}
