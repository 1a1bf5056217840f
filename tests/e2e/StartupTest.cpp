// The program as a user starts it: a separate process in a working folder,
// talking to a real message server on 127.0.0.1.
#include "Desktop.h"
#include "MessageServer.h"
#include "SampleData.h"
#include "support/TestFolder.h"
#include "TovixProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kCatalogue =
    "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n"
    "<TovixService Date=\"20261208\" Version=\"1\" Updater=\"update/TovixUpdate.sh\">\n"
    "<Channel1 ID=\"10001\" Name=\"News\">\n"
    "<Channel2 ID=\"1\" Name=\"World\" Subscribe=\"0\" PreserveNum=\"0\" AD=\"\" ADTime=\"\" />\n"
    "</Channel1>\n</TovixService>\n";

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(folder / "catalogue.xml", kCatalogue);
        ASSERT_TRUE(catalogue.Load(folder / "catalogue.xml"));
        ASSERT_TRUE(server.Start(0));
        client = folder / "client";
        TServicePorts ports;
        ports.message = server.Port();
        ports.web = 1; // nothing is fetched in these tests
        ASSERT_FALSE(BinaryDir().empty());
        ASSERT_TRUE(MakeClientFolder(client, ports, BinaryDir() + "/Skins"));
    }

    void TearDown() override
    {
        for (pid_t pid : started)
            KillTovix(pid);
    }

    pid_t Start(const std::vector<std::pair<std::string, std::string>> &environment = {})
    {
        started.push_back(StartTovix(client, folder.Path(), environment));
        return started.back();
    }

    bool ServiceGot(const std::string &request)
    {
        return WaitFor([&] { return ReadFile(folder / "requests.log").find(request) != std::string::npos; }, 30s);
    }

    CTestFolder folder;
    CServiceCatalogue catalogue;
    CMessageServer server{catalogue, "http://127.0.0.1:1/update/TovixUpdate.sh", folder / "requests.log"};
    std::string client;
    std::vector<pid_t> started;
};

// Whether a local socket at path takes a connection.
bool Answers(const std::string &path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const bool connected = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// Whether another process holds the lock file at path.
bool LockHeld(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    const bool held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (fd >= 0)
        close(fd);
    return held;
}

} // namespace

TEST_F(StartupTest, LoginAndVersionReportsReachTheServiceAndSigtermSavesAndExitsZero)
{
    const pid_t tovix = Start();
    // Login: local address, hardware address, Version 1, a new installation, MaxID 0, ChannelDate 0.
    ASSERT_TRUE(ServiceGot("i1ei1ei0ei0e"));
    EXPECT_EQ(0u, ReadFile(folder / "requests.log").find("i3e"));
    ASSERT_TRUE(ServiceGot("i2ei1e"));
    // The login reply brought the channel list, which the client saved.
    ASSERT_TRUE(WaitFor([&] { return ReadFile(client + "/ChannelInfo.xml").find("World") != std::string::npos; }, 30s));

    std::remove((client + "/FileInfo.xml").c_str());
    kill(tovix, SIGTERM);
    EXPECT_EQ(0, ExitCode(tovix, 30s));
    // The exit save wrote all three files again.
    EXPECT_NE(std::string::npos, ReadFile(client + "/FileInfo.xml").find("<TovixFile"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/ChannelInfo.xml").find("World"));
    EXPECT_NE(std::string::npos, ReadFile(client + "/Configure.xml").find("<ChannelDate value=\"20261208\" />"));
}

TEST_F(StartupTest, SecondStartRestoresTheFirstWindowAndLeavesEverythingUntouched)
{
    const pid_t first = Start();
    ASSERT_TRUE(ServiceGot("i2ei1e"));
    // The login reply is saved in two steps: the channel list, then the date it carries.
    ASSERT_TRUE(WaitFor([&] { return ReadFile(client + "/ChannelInfo.xml").find("World") != std::string::npos; }, 30s));
    ASSERT_TRUE(WaitFor(
        [&] { return ReadFile(client + "/Configure.xml").find("<ChannelDate value=\"20261208\" />") != std::string::npos; },
        30s));
    TXWindow window;
    ASSERT_TRUE(WaitFor([&] { return bool(window = MainWindow(first)); }, 30s));
    Minimize(window);
    ASSERT_TRUE(WaitFor([&] { return !MainWindow(first); }, 10s));
    WriteFile(client + "/TovixUpdate.txt", "");
    const std::string before = ReadFile(client + "/ChannelInfo.xml") + ReadFile(client + "/Configure.xml");
    const std::string requests = ReadFile(folder / "requests.log");

    const pid_t second = Start();
    EXPECT_EQ(0, ExitCode(second, 15s));
    EXPECT_TRUE(Exists(client + "/TovixUpdate.txt"));
    EXPECT_EQ(before, ReadFile(client + "/ChannelInfo.xml") + ReadFile(client + "/Configure.xml"));
    EXPECT_EQ(requests, ReadFile(folder / "requests.log")); // no reports from the second start
    // The first one came back on the screen.
    EXPECT_TRUE(WaitFor([&] { return bool(MainWindow(first)); }, 10s));

    kill(first, SIGTERM);
    EXPECT_EQ(0, ExitCode(first, 30s));
}

TEST_F(StartupTest, AnAnnouncedUpdaterRunsAtTheNextStart)
{
    WriteFile(client + "/TovixUpdate.exe", "#!/bin/sh\necho ran > updater-ran.txt\n");
    chmod((client + "/TovixUpdate.exe").c_str(), 0755);
    WriteFile(client + "/TovixUpdate.txt", "");
    WriteFile(client + "/Tovix.exe.0.tmp", "leftover");
    const pid_t tovix = Start();
    EXPECT_TRUE(WaitFor([&] { return Exists(client + "/updater-ran.txt"); }, 30s));
    // The marker goes just after the updater starts, which may already have run.
    EXPECT_TRUE(WaitFor([&] { return !Exists(client + "/TovixUpdate.txt"); }, 30s));
    EXPECT_TRUE(Exists(client + "/TovixUpdate.exe"));
    EXPECT_FALSE(Exists(client + "/Tovix.exe.0.tmp"));
    kill(tovix, SIGTERM);
    EXPECT_EQ(0, ExitCode(tovix, 30s));
}

TEST_F(StartupTest, WithoutARuntimeFolderItLocksInThePrivateFolderAndWithNoFolderAtAllItSaysWhy)
{
    // A runtime folder nobody can make (GTK would make a missing one for its own use).
    WriteFile(folder / "file", "");
    const std::string runtime = folder / "file/runtime";
    MakeFolder(folder / "tmp");
    const std::vector<std::pair<std::string, std::string>> noRuntime = {{"XDG_RUNTIME_DIR", runtime},
                                                                        {"TMPDIR", folder / "tmp"}};
    const pid_t first = Start(noRuntime);
    ASSERT_TRUE(ServiceGot("i2ei1e"));
    TXWindow window;
    ASSERT_TRUE(WaitFor([&] { return bool(window = MainWindow(first)); }, 30s));
    EXPECT_TRUE(LockHeld(folder / ("tmp/tovix-" + std::to_string(geteuid()) + "/tovix.lock")));
    EXPECT_EQ(0, ExitCode(Start(noRuntime), 15s)); // a second start finds it there
    kill(first, SIGTERM);
    ASSERT_EQ(0, ExitCode(first, 30s));

    const pid_t refused = Start({{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", folder / "file"}});
    CMessageBoxes boxes(refused, client);
    EXPECT_EQ("Tovix 无法启动：没有可以存放实例锁的文件夹。", boxes.DismissNext());
    EXPECT_EQ(1, ExitCode(refused, 30s));
    EXPECT_NE(std::string::npos, ReadFile(client + "/skininfo.txt")
                                     .find("Instance lock error: " + runtime + "/tovix: Not a directory; " +
                                           folder / "file/tovix-" + std::to_string(geteuid()) + ": Not a directory"));
}

TEST_F(StartupTest, AStartDuringTheExitWaitsForTheLockWhichGoesOnlyAfterTheExitSave)
{
    const std::string lock = folder / "runtime/tovix/tovix.lock";
    const std::string socket = folder / "runtime/tovix/tovix.sock";
    // The exit is caught between its first step (the listener goes) and its last
    // (the lock goes) by stopping the process; a run too quick to catch is tried again.
    bool caught = false;
    for (int attempt = 0; attempt < 3 && !caught; ++attempt) {
        const pid_t first = Start();
        ASSERT_TRUE(WaitFor([&] { return bool(MainWindow(first)) && Answers(socket); }, 30s));
        ASSERT_TRUE(WaitFor([&] { return ReadFile(client + "/ChannelInfo.xml").find("World") != std::string::npos; }, 30s));
        kill(first, SIGTERM);
        const auto until = std::chrono::steady_clock::now() + 30s;
        while (Answers(socket) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(1ms);
        kill(first, SIGSTOP);
        caught = LockHeld(lock) && ExitCode(first, 0ms) == -1;
        const pid_t second = Start();
        if (caught) {
            // Frozen with the lock: the second start neither leaves nor shows a window.
            EXPECT_FALSE(WaitFor([&] { return bool(MainWindow(second)); }, 3s));
            EXPECT_EQ(-1, ExitCode(second, 0ms));
        }
        kill(first, SIGCONT);
        EXPECT_EQ(0, ExitCode(first, 30s));
        EXPECT_TRUE(WaitFor([&] { return bool(MainWindow(second)); }, 30s));
        EXPECT_NE(std::string::npos, ReadFile(client + "/ChannelInfo.xml").find("World"));
        kill(second, SIGTERM);
        ASSERT_EQ(0, ExitCode(second, 30s));
    }
    EXPECT_TRUE(caught) << "the lock was gone with the listener every time";
}

TEST_F(StartupTest, AStopSignalWhileAMessageBoxIsOpenClosesItAndExitsThroughTheExitSave)
{
    const pid_t tovix = Start();
    TXWindow window;
    ASSERT_TRUE(WaitFor([&] { return bool(window = MainWindow(tovix)); }, 30s));
    ASSERT_TRUE(WaitFor([&] { return ReadFile(client + "/ChannelInfo.xml").find("World") != std::string::npos; }, 30s));
    // The caption's menu, then its about item: a message box over the main window.
    Click(window, 699, 15);
    ASSERT_TRUE(WaitFor([&] { return bool(MessageBoxWindow(tovix)); }, 10s));
    Click(window, 667, 94);
    ASSERT_TRUE(WaitFor(
        [&] {
            return ReadFile(client + "/skininfo.txt").find("Message box: Tovix 1.2 Beta") != std::string::npos &&
                   MessageBoxWindow(tovix);
        },
        30s));
    std::remove((client + "/FileInfo.xml").c_str());
    kill(tovix, SIGTERM);
    EXPECT_EQ(0, ExitCode(tovix, 30s));
    EXPECT_NE(std::string::npos, ReadFile(client + "/FileInfo.xml").find("<TovixFile"));
}
