#include "base/DebugLog.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

std::tm FixedTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

void GrowTo(const std::string &path, off_t size) { ASSERT_EQ(0, truncate(path.c_str(), size)); }

} // namespace

TEST(DebugLog, WritesPrefixedLinesExactly)
{
    CTestFolder folder;
    DebugLog("Del file %s error[%d]", "a.avi", 2);
    DebugLog("%s", "");
    DebugLog("Bad Torrent Url %s\n", "x.torrent");
    DebugLog("two\nlines");
    EXPECT_EQ("Debug: Del file a.avi error[2]\nDebug: \nDebug: Bad Torrent Url x.torrent\n\nDebug: two\nlines\n",
              ReadFile(folder / "skininfo.txt"));
}

TEST(DebugLog, LongMessageIsNotTruncated)
{
    CTestFolder folder;
    const std::string big(100000, 'x');
    DebugLog("%s", big.c_str());
    EXPECT_EQ("Debug: " + big + "\n", ReadFile(folder / "skininfo.txt"));
}

TEST(DebugLog, RotatesOnlyAtTheNextThousandthLineAfterPassingTwentyMiB)
{
    CTestFolder folder;
    CDebugLog log(folder / "skininfo.txt");
    log.SetLocalTime([] { return FixedTime(2026, 11, 1, 9, 5, 7); });
    // An already large file is not rotated at start or at the first line.
    GrowTo(folder / "skininfo.txt", CDebugLog::kRotateSize);
    for (int i = 0; i < 999; ++i)
        log.Write("line");
    EXPECT_FALSE(Exists(folder / "skininfo2026111_090507.txt"));
    log.Write("the thousandth");
    ASSERT_TRUE(Exists(folder / "skininfo2026111_090507.txt"));
    EXPECT_EQ(CDebugLog::kRotateSize + 999 * 12 + 22, static_cast<long long>(ReadFile(folder / "skininfo2026111_090507.txt").size()));
    log.Write("fresh");
    EXPECT_EQ("Debug: fresh\n", ReadFile(folder / "skininfo.txt"));
}

TEST(DebugLog, SameSecondRotationLogsTheRenameFailureAndOverwritesNothing)
{
    CTestFolder folder;
    CDebugLog log(folder / "skininfo.txt");
    // 1 November and 11 January give the same dated name.
    bool first = true;
    log.SetLocalTime([&first] {
        std::tm t = first ? FixedTime(2026, 11, 1, 0, 0, 0) : FixedTime(2026, 1, 11, 0, 0, 0);
        first = false;
        return t;
    });
    GrowTo(folder / "skininfo.txt", CDebugLog::kRotateSize);
    for (int i = 0; i < 1000; ++i)
        log.Write("a");
    const std::string rotated = ReadFile(folder / "skininfo2026111_000000.txt");
    ASSERT_FALSE(rotated.empty());

    GrowTo(folder / "skininfo.txt", CDebugLog::kRotateSize);
    for (int i = 0; i < 1000; ++i)
        log.Write("b");
    EXPECT_EQ(rotated, ReadFile(folder / "skininfo2026111_000000.txt"));
    const std::string current = ReadFile(folder / "skininfo.txt");
    const std::string expected = "Debug: Rename file skininfo.txt to " + folder.Path() +
                                 "/skininfo2026111_000000.txt error [17]\n";
    ASSERT_GE(current.size(), expected.size());
    EXPECT_EQ(expected, current.substr(current.size() - expected.size()));
}

TEST(DebugLog, LinesFromManyThreadsNeverInterleave)
{
    CTestFolder folder;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i)
                DebugLog("thread %d line %d %s", t, i, std::string(200, static_cast<char>('a' + t)).c_str());
        });
    for (auto &thread : threads)
        thread.join();
    const auto lines = folder.LogLines();
    ASSERT_EQ(4000u, lines.size());
    for (const auto &line : lines) {
        int t = -1, i = -1;
        ASSERT_EQ(2, sscanf(line.c_str(), "thread %d line %d", &t, &i)) << line;
        EXPECT_EQ(line.substr(line.size() - 200), std::string(200, static_cast<char>('a' + t)));
    }
}

TEST(DebugLog, UnopenableFileDropsLinesQuietly)
{
    CTestFolder folder;
    CDebugLog log(folder / "missing-folder/skininfo.txt");
    log.Write("nowhere");
    EXPECT_FALSE(Exists(folder / "missing-folder"));
}
