// The short-lived threads of the fetchers and torrent fetch workers.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Tells the work of a worker pool that the program is ending.
class CStopSignal {
public:
    bool Stopped() const { return m_stopped.load(); }
    // Runs step unless the stop has come; Stop waits for a step under way, so
    // once it returns no step runs any more. False when step did not run.
    bool RunUnlessStopped(const std::function<void()> &step) const;
    void Stop();

private:
    mutable std::mutex m_mutex;
    std::atomic<bool> m_stopped{false};
};

// The stop signal of the worker pool that runs the calling thread; outside a
// worker, one that never comes.
const CStopSignal &CurrentStopSignal();

class CWorkerThreads {
public:
    // Starts body on a thread nobody joins; throws what std::thread throws.
    using TThreadStart = std::function<void(std::function<void()> body)>;
    // Keyed jobs that run at once; the others wait in order.
    static constexpr size_t kMaxKeyed = 4;

    // threadStart replaces std::thread (tests make it fail).
    explicit CWorkerThreads(TThreadStart threadStart = nullptr);
    ~CWorkerThreads();
    CWorkerThreads(const CWorkerThreads &) = delete;
    CWorkerThreads &operator=(const CWorkerThreads &) = delete;

    // Runs work once on a new thread that nobody joins. Work owns copies of
    // everything it uses except the process-wide objects (catalogue store,
    // main-window link), which must outlive it: see WaitAll. A thread that
    // cannot start is logged and its work dropped.
    void Start(std::function<void()> work);
    // Runs work on a worker unless a job with the same key is queued or running;
    // at most kMaxKeyed run at once, later ones queue. Never waits.
    void StartKeyed(std::string key, std::function<void()> work);

    // The program is ending: queued jobs are dropped, nothing new starts, and the
    // running work sees StopSignal() (transfers on its threads end at once).
    void Stop();
    const CStopSignal &StopSignal() const;

    // True when every worker started so far, also those started by workers, has
    // ended within the deadline. The exit waits here before the catalogue store goes.
    bool WaitAll(std::chrono::milliseconds deadline);
    // How many jobs were ever taken (started or queued).
    size_t Started() const;

private:
    struct TState;
    bool Launch(std::function<void()> body);

    TThreadStart m_threadStart;
    // Shared with the threads: one still running after the owner is gone must not
    // touch freed memory when it ends.
    std::shared_ptr<TState> m_state;
};
