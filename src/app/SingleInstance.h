// Keeps Tovix to one running instance per user: a lock file held for the life of
// the process, and a local socket on which the running instance accepts "restore"
// from a second start, which then leaves.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class CSingleInstance {
public:
    // folder holds "tovix.lock" and "tovix.sock".
    explicit CSingleInstance(std::string folder = DefaultFolder());
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance &) = delete;
    CSingleInstance &operator=(const CSingleInstance &) = delete;

    // $XDG_RUNTIME_DIR/tovix, or /tmp/tovix-<uid> without one.
    static std::string DefaultFolder();

    // True when this process now holds the lock, i.e. is the first instance. A
    // lock left by a killed process does not count: the system drops it with the process.
    bool Acquire();

    // The first instance: answers "restore" requests on a thread of its own, calling
    // onRestore there for each (the window side queues the actual restore).
    bool Listen(std::function<void()> onRestore);

    // A second instance: asks the first to restore its window. True when it answered.
    bool AskToRestore(int timeoutMilliseconds = 2000);

    // Stops listening and drops the lock.
    void Release();

private:
    std::string m_folder;
    int m_lock = -1;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
