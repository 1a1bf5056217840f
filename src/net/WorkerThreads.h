// The short-lived threads of the fetchers and torrent fetch workers.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

class CWorkerThreads {
public:
    CWorkerThreads();
    ~CWorkerThreads();
    CWorkerThreads(const CWorkerThreads &) = delete;
    CWorkerThreads &operator=(const CWorkerThreads &) = delete;

    // Runs work once on a new thread that nobody joins. Work owns copies of
    // everything it uses except the process-wide objects (catalogue store,
    // main-window link), which must outlive it: see WaitAll.
    void Start(std::function<void()> work);

    // True when every worker started so far, also those started by workers, has
    // ended within the deadline. The exit waits here before the catalogue store goes.
    bool WaitAll(std::chrono::milliseconds deadline);
    // How many workers were ever started.
    size_t Started() const;

private:
    struct TState;
    // Shared with the threads: one still running after the owner is gone must not
    // touch freed memory when it ends.
    std::shared_ptr<TState> m_state;
};
