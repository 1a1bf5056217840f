#include "net/WorkerThreads.h"

#include "base/DebugLog.h"

#include <condition_variable>
#include <deque>
#include <set>
#include <system_error>
#include <thread>

namespace {

thread_local const CStopSignal *t_stopSignal = nullptr;

} // namespace

bool CStopSignal::RunUnlessStopped(const std::function<void()> &step) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopped)
        return false;
    step();
    return true;
}

void CStopSignal::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = true;
}

const CStopSignal &CurrentStopSignal()
{
    static const CStopSignal never;
    return t_stopSignal ? *t_stopSignal : never;
}

struct CWorkerThreads::TState {
    std::mutex mutex;
    std::condition_variable idle;
    size_t running = 0; // threads
    size_t started = 0;
    bool stopped = false;
    // Keyed jobs: the keys queued or running, the queue, the threads serving it.
    std::set<std::string> keys;
    std::deque<std::pair<std::string, std::function<void()>>> queue;
    size_t keyedRunning = 0;
    CStopSignal stop;

    // A thread's last act: the waiter may tear down what the work used once it is told.
    void EndThreadLocked()
    {
        if (--running == 0)
            idle.notify_all();
    }
};

CWorkerThreads::CWorkerThreads(TThreadStart threadStart)
    : m_threadStart(threadStart ? std::move(threadStart)
                                : [](std::function<void()> body) { std::thread(std::move(body)).detach(); }),
      m_state(std::make_shared<TState>())
{
}

CWorkerThreads::~CWorkerThreads() = default;

bool CWorkerThreads::Launch(std::function<void()> body)
{
    try {
        m_threadStart(std::move(body));
        return true;
    } catch (const std::system_error &error) {
        DebugLog("Start worker thread error[%d]", error.code().value());
        return false;
    }
}

void CWorkerThreads::Start(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->stopped)
            return;
        ++m_state->running;
        ++m_state->started;
    }
    const bool launched = Launch([work = std::move(work), state = m_state]() mutable {
        t_stopSignal = &state->stop;
        work();
        work = nullptr; // its copies go before a waiter may tear down what they point at
        std::lock_guard<std::mutex> lock(state->mutex);
        state->EndThreadLocked();
    });
    if (!launched) {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->EndThreadLocked();
    }
}

void CWorkerThreads::StartKeyed(std::string key, std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->stopped || !m_state->keys.insert(key).second)
            return;
        ++m_state->started;
        if (m_state->keyedRunning == kMaxKeyed) {
            m_state->queue.emplace_back(std::move(key), std::move(work));
            return;
        }
        ++m_state->keyedRunning;
        ++m_state->running;
    }
    // One thread serves its job and then the queue, so no more than kMaxKeyed run.
    const std::string first = key;
    const bool launched = Launch([key = std::move(key), work = std::move(work), state = m_state]() mutable {
        t_stopSignal = &state->stop;
        for (;;) {
            work();
            work = nullptr;
            std::lock_guard<std::mutex> lock(state->mutex);
            state->keys.erase(key);
            if (state->queue.empty()) {
                --state->keyedRunning;
                state->EndThreadLocked();
                return;
            }
            key = std::move(state->queue.front().first);
            work = std::move(state->queue.front().second);
            state->queue.pop_front();
        }
    });
    if (!launched) {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->keys.erase(first);
        --m_state->keyedRunning;
        m_state->EndThreadLocked();
    }
}

void CWorkerThreads::Stop()
{
    std::deque<std::pair<std::string, std::function<void()>>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->stopped = true;
        for (const auto &job : m_state->queue)
            m_state->keys.erase(job.first);
        dropped.swap(m_state->queue);
    }
    m_state->stop.Stop();
}

const CStopSignal &CWorkerThreads::StopSignal() const { return m_state->stop; }

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
