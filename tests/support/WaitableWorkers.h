// Worker threads a test can wait for with a deadline. Like the product's they
// are detached; each reports its end through a future.
#pragma once

#include "net/WorkerThreads.h"

#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

class CWaitableWorkers : public CWorkerThreads {
public:
    void Start(std::function<void()> work) override
    {
        auto done = std::make_shared<std::promise<void>>();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done.push_back(done->get_future());
        }
        std::thread([work = std::move(work), done]() mutable {
            work();
            work = nullptr; // its copies go before the test may tear down
            done->set_value();
        }).detach();
    }

    // True when every worker started so far, also those started by workers,
    // ended within the deadline.
    bool WaitAll(std::chrono::milliseconds deadline = std::chrono::seconds(20))
    {
        const auto until = std::chrono::steady_clock::now() + deadline;
        for (size_t i = 0;; ++i) {
            std::future<void> *next;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (i == m_done.size())
                    return true;
                next = &m_done[i]; // a deque keeps references valid as it grows
            }
            if (next->wait_until(until) != std::future_status::ready)
                return false;
        }
    }

    size_t Started()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_done.size();
    }

private:
    std::mutex m_mutex;
    std::deque<std::future<void>> m_done;
};
