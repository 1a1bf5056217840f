#include "net/WorkerThreads.h"

#include <future>
#include <memory>
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
