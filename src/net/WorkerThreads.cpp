#include "net/WorkerThreads.h"

#include <condition_variable>
#include <mutex>
#include <thread>

struct CWorkerThreads::TState {
    std::mutex mutex;
    std::condition_variable idle;
    size_t running = 0;
    size_t started = 0;
};

CWorkerThreads::CWorkerThreads() : m_state(std::make_shared<TState>()) {}

CWorkerThreads::~CWorkerThreads() = default;

void CWorkerThreads::Start(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        ++m_state->running;
        ++m_state->started;
    }
    std::thread([work = std::move(work), state = m_state]() mutable {
        work();
        work = nullptr; // its copies go before a waiter may tear down what they point at
        std::lock_guard<std::mutex> lock(state->mutex);
        if (--state->running == 0)
            state->idle.notify_all();
    }).detach();
}

bool CWorkerThreads::WaitAll(std::chrono::milliseconds deadline)
{
    std::unique_lock<std::mutex> lock(m_state->mutex);
    return m_state->idle.wait_for(lock, deadline, [this] { return m_state->running == 0; });
}

size_t CWorkerThreads::Started() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->started;
}
