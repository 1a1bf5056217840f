#include "store/CatalogueFixture.h"
#include "store/FileCatalogue.h"
#include "store/PlayPositions.h"

namespace {

class PlayPositionsTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        WriteConfigure();
        WriteFile(folder / "ChannelInfo.xml", kDecl + "<TovixChannel>\n<Channel1 ID=\"10001\">\n"
                                                      "<Channel2 ID=\"1\" PreserveNum=\"1\" />\n"
                                                      "</Channel1>\n</TovixChannel>\n");
        std::string files = "<Channel ID=\"1\">\n";
        for (int id : {3, 4, 5})
            files += "<File ID=\"" + std::to_string(id) + "\" Title=\"T\" Location=\"v" + std::to_string(id) +
                     ".mp4\" Torrent=\"t\" Pic=\"p\" Progress=\"100\" />\n";
        files += "</Channel>\n<Channel ID=\"2\">\n<File ID=\"5\" Title=\"T\" Location=\"w5.mp4\" />\n</Channel>\n";
        WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + files + "</TovixFile>\n");
        Load();
        store.DisableExitSave();
        positions().SetClock([this] { return now; });
    }

    CPlayPositions &positions() { return store.Positions(); }
    std::string onDisk() { return Exists(folder / CPlayPositions::kFile) ? ReadFile(folder / CPlayPositions::kFile) : ""; }

    long long now = 100000;
};

} // namespace

TEST_F(PlayPositionsTest, PlayingWritesAtMostEveryFiveSecondsAndLeavingWritesAtOnce)
{
    positions().Playing(4, 20000, 60000);
    EXPECT_EQ("4 20000\n", onDisk());
    now += 4999;
    positions().Playing(4, 24999, 60000);
    EXPECT_EQ("4 20000\n", onDisk());
    now += 1;
    positions().Playing(4, 25000, 60000);
    EXPECT_EQ("4 25000\n", onDisk());
    now += 1000;
    positions().Left(4, 26000, 60000);
    EXPECT_EQ("4 26000\n", onDisk());

    // a restart reads the record back, 5 s earlier, never below 0
    positions().Left(3, 3000, 60000);
    CCatalogueStore restarted;
    restarted.Load(nullptr);
    restarted.DisableExitSave();
    EXPECT_EQ(21000, restarted.Positions().StartPosition(4));
    EXPECT_EQ(0, restarted.Positions().StartPosition(3));
    EXPECT_EQ(0, restarted.Positions().StartPosition(5));
}

TEST_F(PlayPositionsTest, WatchedToWithinTenSecondsOfTheEndStartsAtZero)
{
    positions().Left(4, 49999, 60000);
    EXPECT_EQ(44999, positions().StartPosition(4));
    positions().Left(4, 50000, 60000);
    EXPECT_FALSE(positions().Remembered(4, nullptr));
    EXPECT_EQ("", onDisk());
    // an unknown length never counts as the end
    positions().Left(4, 50000, 0);
    EXPECT_EQ(45000, positions().StartPosition(4));
}

TEST_F(PlayPositionsTest, RecordsGoWithTheirFileAndAreNeverWrittenForAFileThatLeft)
{
    positions().Left(3, 20000, 60000);
    positions().Left(4, 20000, 60000);
    positions().Left(5, 20000, 60000);
    {
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        CFileCatalogue files(store);
        EXPECT_EQ(1, files.DelFileInfo(1, 4));
        files.CheckFileList(); // channel 1 keeps the newest of 3 and 5: 3 goes
        // file 5 also lives in channel 2: its record stays
        EXPECT_EQ(1, files.DelFileInfo(1, 5));
    }
    EXPECT_EQ("5 20000\n", onDisk());

    // the video of a pruned file may still be playing
    now += 60000;
    positions().Playing(3, 30000, 60000);
    positions().Left(4, 30000, 60000);
    EXPECT_FALSE(positions().Remembered(3, nullptr));
    EXPECT_FALSE(positions().Remembered(4, nullptr));
    EXPECT_EQ("5 20000\n", onDisk());
}

TEST_F(PlayPositionsTest, DamagedLinesAreSkippedWithALogLine)
{
    WriteFile(folder / CPlayPositions::kFile, "4 20000\ngarbage\n5 -3\n3 9000 extra\n5 8000\n");
    Load();
    EXPECT_EQ(15000, positions().StartPosition(4));
    EXPECT_EQ(3000, positions().StartPosition(5));
    EXPECT_FALSE(positions().Remembered(3, nullptr));
    EXPECT_EQ(3u, folder.LogLines().size());
}
