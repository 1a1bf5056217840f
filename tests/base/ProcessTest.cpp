#include "base/Process.h"
#include "support/TestFolder.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

TEST(Process, StartsDetachedWithArgumentsAndReportsFailures)
{
    CTestFolder folder;
    WriteFile(folder / "tool.sh", "#!/bin/sh\necho \"$1 $2\" > started.txt\n");
    chmod((folder / "tool.sh").c_str(), 0755);
    EXPECT_EQ(0, StartDetached({"./tool.sh", "first", "second"}));
    // The program runs on its own; wait for its trace with a deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ReadFile(folder / "started.txt").empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ("first second\n", ReadFile(folder / "started.txt"));

    EXPECT_EQ(0, StartDetached({"true"})); // found in PATH
    EXPECT_EQ(ENOENT, StartDetached({"./missing-program"}));
    WriteFile(folder / "plain.txt", "not a program");
    EXPECT_EQ(EACCES, StartDetached({"./plain.txt"}));
}
