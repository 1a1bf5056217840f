#include "app/UpdateHandoff.h"
#include "base/FileSystem.h"
#include "net/HttpTestServer.h"
#include "net/NetFixture.h"
#include "net/SyncWorkers.h"
#include "net/UpdateFetcher.h"
#include "support/TestFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string Updater() { return "#!/bin/sh\n" + std::string(40000, '#') + "\nexit 0\n"; }

std::vector<std::string> SortedFolder()
{
    auto names = ListFolder(".");
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(UpdateFetcher, A200WritesTheExecutableUpdaterThenTheEmptyMarker)
{
    CTestFolder folder;
    CHttpTestServer server;
    server.Serve("up.exe", Updater());
    EXPECT_EQ(1, GetUpdateFile(server.Base() + "up.exe"));

    EXPECT_TRUE(ReadFile(kUpdaterFile) == Updater());
    EXPECT_EQ("", ReadFile(kUpdateMarkerFile));
    struct stat info;
    ASSERT_EQ(0, stat(kUpdaterFile, &info));
    EXPECT_EQ(0111u, info.st_mode & 0111u);
    // Nothing but the two hand-off files (and the log): no temporary file stays behind.
    EXPECT_EQ((std::vector<std::string>{"TovixUpdate.exe", "TovixUpdate.txt", "skininfo.txt"}), SortedFolder());
}

TEST(UpdateFetcher, AFailedDownloadLeavesEarlierFilesAndAddsNoMarker)
{
    CTestFolder folder;
    CHttpTestServer server;
    server.ServeCutOff("cut.exe", Updater());
    WriteFile(kUpdaterFile, "earlier updater");
    WriteFile(kUpdateMarkerFile, "");

    EXPECT_EQ(0, GetUpdateFile(server.Base() + "missing.exe"));
    EXPECT_EQ("earlier updater", ReadFile(kUpdaterFile));
    EXPECT_TRUE(Exists(kUpdateMarkerFile));

    // A transfer cut off mid-body, with no earlier files.
    std::remove(kUpdaterFile);
    std::remove(kUpdateMarkerFile);
    EXPECT_EQ(0, GetUpdateFile(server.Base() + "cut.exe"));
    EXPECT_FALSE(Exists(kUpdaterFile));
    EXPECT_FALSE(Exists(kUpdateMarkerFile));

    EXPECT_EQ((std::vector<std::string>{"GetUpdateFile " + server.Base() + "missing.exe error[0][404]",
                                        "GetUpdateFile " + server.Base() + "cut.exe error[18][200]"}),
              folder.LogLines());
}

TEST(UpdateFetcher, AMarkerThatCannotBeWrittenIsOneLineAndTheUpdaterStaysWhole)
{
    CTestFolder folder;
    CHttpTestServer server;
    server.Serve("up.exe", Updater());
    // The marker's name is taken by a non-empty directory.
    MakeFolder(kUpdateMarkerFile);
    WriteFile(std::string(kUpdateMarkerFile) + "/x", "x");

    EXPECT_EQ(0, GetUpdateFile(server.Base() + "up.exe"));
    EXPECT_TRUE(ReadFile(kUpdaterFile) == Updater());
    const auto lines = folder.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find("Create file TovixUpdate.exe or TovixUpdate.txt error["));
}

using UpdateFetcherThread = NetTest;

TEST_F(UpdateFetcherThread, TheWorkerOwnsItsCopyOfTheAddress)
{
    Prepare("", "");
    server.Serve("up.exe", Updater());
    {
        std::string address = server.Base() + "up.exe";
        CSyncWorkers(store, link, workers).StartUpdateFetcher(address);
        address.assign(address.size(), 'x');
    }
    ASSERT_TRUE(workers.WaitAll());
    EXPECT_TRUE(ReadFile(kUpdaterFile) == Updater());
    EXPECT_TRUE(Exists(kUpdateMarkerFile));
}
