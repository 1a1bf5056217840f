#include "net/HttpFetch.h"
#include "net/HttpTestServer.h"
#include "net/WorkerThreads.h"
#include "support/TestFolder.h"

#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

std::string AllByteValues(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 256);
    return bytes;
}

class HttpFetch : public ::testing::Test {
protected:
    CTestFolder folder;
    CHttpTestServer server;
    CHttpHandle handle; // one handle for the run of fetches
};

} // namespace

TEST_F(HttpFetch, A200BodyIsWrittenByteExactAndReplacesTheOldFile)
{
    const std::string big = AllByteValues(300 * 1024); // many write-function calls
    server.Serve("big.bin", big);
    server.Serve("small.bin", std::string("\0\x5C\xFF", 3));
    WriteFile("small.bin", "an older, longer file");

    EXPECT_EQ(1, GetHttpData(handle.Get(), server.Base() + "big.bin", "big.bin"));
    EXPECT_EQ(1, GetHttpData(handle.Get(), server.Base() + "small.bin", "small.bin"));
    EXPECT_TRUE(ReadFile("big.bin") == big);
    EXPECT_EQ(std::string("\0\x5C\xFF", 3), ReadFile("small.bin"));
    EXPECT_TRUE(folder.LogLines().empty());
}

TEST_F(HttpFetch, FailedAnswersLeaveTheLocalFileAsItWas)
{
    server.ServeCutOff("cut.bin", AllByteValues(64 * 1024));
    WriteFile("kept.bin", "old");
    WriteFile("cut.bin", "old");

    EXPECT_EQ(0, GetHttpData(handle.Get(), server.Base() + "missing", "kept.bin"));
    EXPECT_EQ(0, GetHttpData(handle.Get(), "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x", "new.bin"));
    EXPECT_EQ(0, GetHttpData(handle.Get(), server.Base() + "cut.bin", "cut.bin"));

    EXPECT_EQ("old", ReadFile("kept.bin"));
    EXPECT_EQ("old", ReadFile("cut.bin"));
    EXPECT_FALSE(Exists("new.bin"));
    EXPECT_EQ((std::vector<std::string>{"GetHttpData kept.bin error[0][404]", "GetHttpData new.bin error[7][0]",
                                        "GetHttpData cut.bin error[18][200]"}),
              folder.LogLines());
}

TEST_F(HttpFetch, AnEmptyBodyCreatesAnEmptyFile)
{
    server.Serve("empty", "");
    EXPECT_EQ(1, GetHttpData(handle.Get(), server.Base() + "empty", "empty.jpg"));
    EXPECT_TRUE(Exists("empty.jpg"));
    EXPECT_EQ("", ReadFile("empty.jpg"));
}

TEST_F(HttpFetch, AMissingFolderLogsCreateFileWithPathNotFound)
{
    server.Serve("a.jpg", "picture");
    EXPECT_EQ(0, GetHttpData(handle.Get(), server.Base() + "a.jpg", "nowhere/a.jpg"));
    EXPECT_EQ(std::vector<std::string>{"Create file nowhere/a.jpg error[" + std::to_string(ENOENT) + "]"},
              folder.LogLines());
}

TEST_F(HttpFetch, AStalledTransferEndsWithATimeOutButASlowOneFinishes)
{
    const THttpLimits quick{1000, 2};
    CHttpHandle limited(quick);
    CSilentListener full(true);
    CSilentListener silent(false);
    server.ServeTrickle("slow.bin", "0123456789", std::chrono::milliseconds(300)); // 3 s in all

    EXPECT_EQ(0, GetHttpData(limited.Get(), full.Base() + "a", "connect.bin"));
    EXPECT_EQ(0, GetHttpData(limited.Get(), silent.Base() + "a", "silent.bin"));
    EXPECT_EQ(1, GetHttpData(limited.Get(), server.Base() + "slow.bin", "slow.bin"));
    EXPECT_EQ("0123456789", ReadFile("slow.bin"));
    EXPECT_FALSE(Exists("connect.bin") || Exists("silent.bin"));
    EXPECT_EQ((std::vector<std::string>{"GetHttpData connect.bin error[28][0]", "GetHttpData silent.bin error[28][0]"}),
              folder.LogLines());
}

TEST_F(HttpFetch, TheStopOfAWorkerPoolEndsItsTransfersAtOnce)
{
    CSilentListener silent(false);
    CWorkerThreads threads;
    std::atomic<int> result{-1};
    threads.Start([&] {
        CHttpHandle own; // the usual limits: only the stop can end this one soon
        result = GetHttpData(own.Get(), silent.Base() + "a", "never.bin");
    });
    EXPECT_FALSE(threads.WaitAll(std::chrono::milliseconds(300)));
    threads.Stop();
    ASSERT_TRUE(threads.WaitAll(std::chrono::seconds(20)));
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(std::vector<std::string>{"GetHttpData never.bin error[42][0]"}, folder.LogLines());
}
