#include "app/SingleInstance.h"
#include "support/TestFolder.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SingleInstance, SecondStartAsksTheFirstToRestore)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_TRUE(first.Acquire());
    std::atomic<int> restores{0};
    ASSERT_TRUE(first.Listen([&restores] { ++restores; }));

    CSingleInstance second(folder / "run");
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.AskToRestore());
    EXPECT_TRUE(second.AskToRestore());
    EXPECT_EQ(2, restores.load());

    first.Release();
    EXPECT_FALSE(second.AskToRestore(200));
    EXPECT_TRUE(second.Acquire());
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
        const bool ok = instance.Acquire() && instance.Listen([] {});
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
    ASSERT_TRUE(next.Acquire());
    std::atomic<int> restores{0};
    ASSERT_TRUE(next.Listen([&restores] { ++restores; }));
    EXPECT_TRUE(CSingleInstance(run).AskToRestore());
    EXPECT_EQ(1, restores.load());
}

TEST(SingleInstance, ASilentOrWrongClientGetsNoRestore)
{
    CTestFolder folder;
    CSingleInstance first(folder / "run");
    ASSERT_TRUE(first.Acquire());
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
