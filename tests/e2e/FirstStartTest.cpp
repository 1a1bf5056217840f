// The very first start: a working folder with the skins but none of the three
// catalogue files.
#include "Desktop.h"
#include "SampleData.h"
#include "TovixProcess.h"
#include "support/TestFolder.h"

#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// A working folder with its skins but none of the three catalogue files, and
// a service that is nowhere.
bool MakeFirstStartFolder(const std::string &client)
{
    if (!MakeClientFolder(client, TServicePorts(), BinaryDir() + "/Skins"))
        return false;
    for (const char *name : {"FileInfo.xml", "ChannelInfo.xml", "Configure.xml"})
        if (std::remove((client + "/" + name).c_str()) != 0)
            return false;
    return true;
}

} // namespace

TEST(FirstStart, ReportsTheThreeMissingFilesInOrderAndWritesDefaultsAtExit)
{
    CTestFolder folder;
    const std::string client = folder / "client";
    ASSERT_TRUE(MakeFirstStartFolder(client));

    const pid_t tovix = StartTovix(client, folder.Path());
    CMessageBoxes boxes(tovix, client);
    EXPECT_EQ("LoadFile FileInfo.xml error!!", boxes.DismissNext());
    EXPECT_EQ("LoadFile ChannelInfo.xml error!!", boxes.DismissNext());
    EXPECT_EQ("LoadFile Configure.xml error!!", boxes.DismissNext());
    // With no configuration there is no service to reach; the window still comes up.
    TXWindow window;
    EXPECT_TRUE(WaitFor([&] { return bool(window = MainWindow(tovix)); }, 60s));
    Screenshot(window, "first-start");

    kill(tovix, SIGTERM);
    EXPECT_EQ(0, ExitCode(tovix, 60s));
    KillTovix(tovix);
    EXPECT_NE(std::string::npos, ReadFile(client + "/FileInfo.xml").find("<TovixFile"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/ChannelInfo.xml").find("<TovixChannel"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/Configure.xml").find("<TovixConfig"));
    // The missing service address is said in the log, once for both start-up reports.
    const std::string log = ReadFile(client + "/skininfo.txt");
    const std::string line = "Debug: Connection not configured\n";
    const size_t said = log.find(line);
    ASSERT_NE(std::string::npos, said) << log;
    EXPECT_EQ(std::string::npos, log.find(line, said + line.size())) << log;
}

TEST(FirstStart, AStopSignalWhileALoadReportIsOpenClosesItAndExitsThroughTheExitSave)
{
    CTestFolder folder;
    const std::string client = folder / "client";
    ASSERT_TRUE(MakeFirstStartFolder(client));

    const pid_t tovix = StartTovix(client, folder.Path());
    TXWindow box;
    ASSERT_TRUE(WaitFor([&] { return bool(box = MessageBoxWindow(tovix)); }, 60s));
    Screenshot(box, "stop-during-load-report");
    kill(tovix, SIGTERM);
    kill(tovix, SIGINT); // a second one during the exit changes nothing
    EXPECT_EQ(0, ExitCode(tovix, 30s));
    KillTovix(tovix);
    // The later reports were logged, not shown, and the defaults were saved.
    const std::string log = ReadFile(client + "/skininfo.txt");
    EXPECT_NE(std::string::npos, log.find("Message box: LoadFile Configure.xml error!!"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/FileInfo.xml").find("<TovixFile"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/ChannelInfo.xml").find("<TovixChannel"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/Configure.xml").find("<TovixConfig"));
}
