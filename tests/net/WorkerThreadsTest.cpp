#include "net/WorkerThreads.h"
#include "support/TestFolder.h"

#include <algorithm>
#include <cerrno>
#include <future>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(WorkerThreads, WaitAllCoversWorkersStartedByWorkersAndEndsAtItsDeadline)
{
    auto threads = std::make_unique<CWorkerThreads>();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    CWorkerThreads *owner = threads.get();
    threads->Start([owner, released] { owner->Start([released] { released.wait(); }); });

    EXPECT_FALSE(threads->WaitAll(50ms)); // the inner worker still waits
    EXPECT_EQ(2u, threads->Started());
    release.set_value();
    EXPECT_TRUE(threads->WaitAll(10s));

    // A worker that outlives its owner ends without touching it.
    std::promise<void> later;
    std::shared_future<void> go = later.get_future().share();
    auto ended = std::make_shared<std::promise<void>>();
    std::future<void> done = ended->get_future();
    threads->Start([go, ended] {
        go.wait();
        ended->set_value();
    });
    threads.reset();
    later.set_value();
    EXPECT_EQ(std::future_status::ready, done.wait_for(10s));
}

TEST(WorkerThreads, KeyedJobsRunFourAtOnceNeverTwiceForOneKeyAndStopDropsTheQueue)
{
    CWorkerThreads threads;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::mutex mutex;
    std::vector<std::string> ran;
    int running = 0;
    int most = 0;
    auto job = [&, released](const std::string &key) {
        return [&, released, key] {
            {
                std::lock_guard<std::mutex> lock(mutex);
                ran.push_back(key);
                most = std::max(most, ++running);
            }
            released.wait();
            std::lock_guard<std::mutex> lock(mutex);
            --running;
        };
    };
    // Queuing returns at once even with every keyed worker busy.
    for (const char *key : {"a", "b", "a", "c", "d", "e", "f", "e"})
        threads.StartKeyed(key, job(key));
    EXPECT_EQ(6u, threads.Started());
    const auto until = std::chrono::steady_clock::now() + 20s;
    auto started = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return ran.size();
    };
    while (started() < 4 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(100ms); // room for a fifth to start, were it allowed
    EXPECT_EQ(4u, started());
    release.set_value();
    ASSERT_TRUE(threads.WaitAll(20s));
    std::sort(ran.begin(), ran.end());
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e", "f"}), ran);
    EXPECT_EQ(4, most);
    threads.StartKeyed("a", [] {}); // a key is free again once its job has ended
    EXPECT_EQ(7u, threads.Started());
    ASSERT_TRUE(threads.WaitAll(20s));

    // At the stop the queued jobs go, the running ones see the signal, nothing new starts.
    CWorkerThreads stopping;
    std::promise<void> go;
    std::shared_future<void> gone = go.get_future().share();
    std::atomic<int> count{0};
    std::atomic<int> sawStop{0};
    for (int i = 0; i < 6; ++i)
        stopping.StartKeyed(std::to_string(i), [&, gone] {
            ++count;
            gone.wait();
            if (CurrentStopSignal().Stopped())
                ++sawStop;
        });
    stopping.Stop();
    go.set_value();
    stopping.Start([&count] { ++count; });
    ASSERT_TRUE(stopping.WaitAll(20s));
    EXPECT_LE(count.load(), 4);
    EXPECT_EQ(count.load(), sawStop.load());
    EXPECT_FALSE(stopping.StopSignal().RunUnlessStopped([] {}));
    EXPECT_FALSE(CurrentStopSignal().Stopped()); // outside a worker the stop never comes
}

TEST(WorkerThreads, AThreadThatCannotStartIsLoggedAndDropsOnlyItsJob)
{
    CTestFolder folder;
    int attempts = 0;
    CWorkerThreads threads([&attempts](std::function<void()> body) {
        if (++attempts <= 2)
            throw std::system_error(EAGAIN, std::generic_category());
        std::thread(std::move(body)).detach();
    });
    std::atomic<int> ran{0};
    threads.Start([&ran] { ++ran; });
    threads.StartKeyed("t", [&ran] { ++ran; });
    EXPECT_TRUE(threads.WaitAll(0ms)); // nothing counted as running
    threads.StartKeyed("t", [&ran] { ran += 10; }); // the key was freed
    ASSERT_TRUE(threads.WaitAll(20s));
    EXPECT_EQ(10, ran.load());
    const std::string line = "Start worker thread error[" + std::to_string(EAGAIN) + "]";
    EXPECT_EQ((std::vector<std::string>{line, line}), folder.LogLines());
}
