#include "app/UpdateHandoff.h"
#include "support/TestFolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Records how it was started, then waits (bounded) until the test lets it finish.
const std::string kUpdater = "#!/bin/sh\n"
                             "fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
                             "echo \"$fds\" > started.tmp\n"
                             "ps -o sid= -p $$ >> started.tmp\n"
                             "echo $$ >> started.tmp\n"
                             "mv started.tmp started\n"
                             "i=0\n"
                             "while [ ! -e release ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
                             "touch done\n";

void WriteProgram(const std::string &path, const std::string &text)
{
    WriteFile(path, text);
    chmod(path.c_str(), 0755);
}

bool AppearsWithin(const std::string &path, std::chrono::seconds limit = std::chrono::seconds(10))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!Exists(path)) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void MakeUndeletable(const std::string &path)
{
    MakeFolder(path);
    WriteFile(path + "/x", "x");
}

} // namespace

TEST(UpdateHandoff, BothFilesStartTheUpdaterDetachedAndRemoveOnlyTheMarker)
{
    CTestFolder folder;
    WriteProgram(kUpdaterFile, kUpdater);
    WriteFile(kUpdateMarkerFile, "");

    FinishPendingUpdate();
    // Returned while the updater still runs: it was not waited for.
    ASSERT_TRUE(AppearsWithin("started"));
    EXPECT_FALSE(Exists("done"));
    EXPECT_TRUE(Exists(kUpdaterFile));
    EXPECT_FALSE(Exists(kUpdateMarkerFile));

    std::istringstream started(ReadFile("started"));
    std::string in, out, err;
    long session = 0, pid = 0;
    started >> in >> out >> err >> session >> pid;
    EXPECT_EQ("/dev/null", in);
    EXPECT_EQ("/dev/null", out);
    EXPECT_EQ("/dev/null", err);
    EXPECT_EQ(pid, session); // it leads a session of its own
    EXPECT_NE(getsid(0), session);

    WriteFile("release", "");
    EXPECT_TRUE(AppearsWithin("done"));
    EXPECT_TRUE(folder.LogLines().empty());
}

TEST(UpdateHandoff, AnIncompleteDownloadOrALoneMarkerIsDeletedAndNothingStarts)
{
    CTestFolder folder;
    WriteProgram(kUpdaterFile, "#!/bin/sh\ntouch started\n");
    FinishPendingUpdate();
    EXPECT_FALSE(Exists(kUpdaterFile));

    WriteFile(kUpdateMarkerFile, "");
    FinishPendingUpdate();
    EXPECT_FALSE(Exists(kUpdateMarkerFile));

    FinishPendingUpdate(); // neither file: nothing happens
    EXPECT_FALSE(Exists("started"));
    EXPECT_TRUE(folder.LogLines().empty());
}

TEST(UpdateHandoff, TheLeftoverIsDeletedAndOneThatCannotBeIsLoggedOnce)
{
    CTestFolder folder;
    WriteFile(kUpdateLeftoverFile, "old program");
    FinishPendingUpdate();
    EXPECT_FALSE(Exists(kUpdateLeftoverFile));

    // Deletion failures in every step are logged and start-up goes on.
    MakeUndeletable(kUpdateLeftoverFile);
    MakeUndeletable(kUpdaterFile);
    FinishPendingUpdate();
    EXPECT_EQ((std::vector<std::string>{"Del file Tovix.exe.0.tmp error[5]", "Del file TovixUpdate.exe error[5]"}),
              folder.LogLines());
}

TEST(UpdateHandoff, AnUpdaterThatCannotStartIsLoggedAndItsMarkerStillGoes)
{
    CTestFolder folder;
    WriteFile(kUpdaterFile, "not a program"); // not executable
    WriteFile(kUpdateMarkerFile, "");
    FinishPendingUpdate();
    EXPECT_FALSE(Exists(kUpdateMarkerFile));
    EXPECT_EQ(std::vector<std::string>{"Start file TovixUpdate.exe error[13]"}, folder.LogLines());
}
