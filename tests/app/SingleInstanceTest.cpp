#include "app/SingleInstance.h"
#include "support/TestFolder.h"

#include <atomic>
#include <future>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SingleInstance, SecondStartAsksTheFirstToRestore)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_EQ(CSingleInstance::TAcquire::Acquired, first.Acquire());
    std::atomic<int> restores{0};
    ASSERT_TRUE(first.Listen([&restores] { ++restores; }));

    CSingleInstance second(folder / "run");
    EXPECT_EQ(CSingleInstance::TAcquire::Running, second.Acquire());
    EXPECT_TRUE(second.AskToRestore());
    EXPECT_TRUE(second.AskToRestore());
    EXPECT_EQ(2, restores.load());

    first.Release();
    EXPECT_FALSE(second.AskToRestore(200));
    EXPECT_EQ(CSingleInstance::TAcquire::Acquired, second.Acquire());
}

TEST(SingleInstance, AKilledFirstInstanceLeavesNothingThatBlocksTheNextStart)
{
    CTestFolder folder;
    const std::string run = folder / "run";
    int ready[2];
    ASSERT_EQ(0, pipe(ready));
    pid_t child = fork();
    if (child == 0) {
        CSingleInstance instance(run);
        const bool ok = instance.Acquire() == CSingleInstance::TAcquire::Acquired && instance.Listen([] {});
        ssize_t written = write(ready[1], ok ? "1" : "0", 1);
        (void)written;
        pause();
        _exit(0);
    }
    char state = 0;
    ASSERT_EQ(1, read(ready[0], &state, 1));
    ASSERT_EQ('1', state);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    EXPECT_TRUE(Exists(run + "/tovix.sock")); // left behind by the killed process
    CSingleInstance next(run);
    EXPECT_FALSE(next.AskToRestore(200));
    ASSERT_EQ(CSingleInstance::TAcquire::Acquired, next.Acquire());
    std::atomic<int> restores{0};
    ASSERT_TRUE(next.Listen([&restores] { ++restores; }));
    EXPECT_TRUE(CSingleInstance(run).AskToRestore());
    EXPECT_EQ(1, restores.load());
}

TEST(SingleInstance, ASilentOrWrongClientGetsNoRestore)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_EQ(CSingleInstance::TAcquire::Acquired, first.Acquire());
    std::atomic<int> restores{0};
    ASSERT_TRUE(first.Listen([&restores] { ++restores; }));
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (folder / "run/tovix.sock").c_str());
    ASSERT_EQ(0, connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address));
    send(fd, "hello!!\n", 8, MSG_NOSIGNAL);
    close(fd);
    EXPECT_TRUE(CSingleInstance(folder / "run").AskToRestore());
    EXPECT_EQ(1, restores.load());
}

namespace {

using TAcquire = CSingleInstance::TAcquire;

std::string PrivateFolder(const std::string &base) { return base + "/tovix-" + std::to_string(geteuid()); }

mode_t ModeOf(const std::string &path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(SingleInstance, AnUnusableRuntimeFolderFallsBackToThePrivateFolderAndStillFindsTheFirst)
{
    CTestFolder folder;
    const std::string base = folder / "tmp";
    MakeFolder(base);
    const std::string runtime = folder / "missing/tovix";
    CSingleInstance first(runtime, base);
    ASSERT_EQ(TAcquire::Acquired, first.Acquire());
    EXPECT_EQ(PrivateFolder(base), first.Folder());
    EXPECT_EQ(0700u, ModeOf(first.Folder()));
    std::atomic<int> restores{0};
    ASSERT_TRUE(first.Listen([&restores] { ++restores; }));

    CSingleInstance second(runtime, base);
    EXPECT_EQ(TAcquire::Running, second.Acquire());
    EXPECT_TRUE(second.AskToRestore());
    EXPECT_EQ(1, restores.load());
}

TEST(SingleInstance, APrivateFolderThatIsNotOursAloneIsRefused)
{
    CTestFolder folder;
    const std::string base = folder / "tmp";
    MakeFolder(base);
    const std::string mine = PrivateFolder(base);
    const std::string elsewhere = folder / "elsewhere";
    MakeFolder(elsewhere);
    chmod(elsewhere.c_str(), 0700);

    const std::vector<std::pair<std::string, std::function<void()>>> traps = {
        {"a symbolic link", [&] { ASSERT_EQ(0, symlink(elsewhere.c_str(), mine.c_str())); }},
        {"open to other users", [&] { ASSERT_EQ(0, mkdir(mine.c_str(), 0700)); chmod(mine.c_str(), 0755); }},
        {"owned by another user", [&] { ASSERT_EQ(0, mkdir(mine.c_str(), 0700)); ASSERT_EQ(0, chown(mine.c_str(), 65534, 65534)); }},
        {"not a folder", [&] { WriteFile(mine, ""); }},
    };
    for (const auto &trap : traps) {
        trap.second();
        CSingleInstance instance("", base);
        EXPECT_EQ(TAcquire::Failed, instance.Acquire()) << trap.first;
        EXPECT_EQ(mine + ": " + trap.first, instance.Problem());
        EXPECT_FALSE(Exists(elsewhere + "/tovix.lock"));
        ASSERT_EQ(0, std::remove(mine.c_str()));
    }
    // Neither folder usable: both are named.
    CSingleInstance nowhere(folder / "missing/tovix", folder / "missing");
    EXPECT_EQ(TAcquire::Failed, nowhere.Acquire());
    EXPECT_EQ(folder / "missing/tovix: No such file or directory; " + PrivateFolder(folder / "missing") +
                  ": No such file or directory",
              nowhere.Problem());
}

TEST(SingleInstance, AListenerFailureIsLoggedAndKeepsTheLock)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_EQ(TAcquire::Acquired, first.Acquire());
    // A socket path that can be neither removed nor bound.
    MakeFolder(folder / "run/tovix.sock");
    WriteFile(folder / "run/tovix.sock/x", "");
    EXPECT_FALSE(first.Listen([] {}));
    EXPECT_EQ(std::vector<std::string>{"Listen " + folder / "run/tovix.sock" + " error[" + std::to_string(EADDRINUSE) +
                                       "]"},
              folder.LogLines());
    EXPECT_EQ(TAcquire::Running, CSingleInstance(folder / "run").Acquire());
}

TEST(SingleInstance, ASecondStartWaitsForTheLockOfAnInstanceThatNoLongerAnswers)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_EQ(TAcquire::Acquired, first.Acquire());
    ASSERT_TRUE(first.Listen([] {}));
    first.StopListening(); // on its way out: saving, the lock still held

    CSingleInstance second(folder / "run");
    EXPECT_EQ(TAcquire::Running, second.Acquire());
    EXPECT_FALSE(second.AskToRestore(200));
    EXPECT_FALSE(second.WaitForLock(std::chrono::seconds(30), [] { return true; }));
    EXPECT_FALSE(second.WaitForLock(std::chrono::milliseconds(300)));
    std::future<void> released = std::async(std::launch::async, [&first] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        first.Release();
    });
    EXPECT_TRUE(second.WaitForLock(std::chrono::seconds(30)));
    released.wait();
}
