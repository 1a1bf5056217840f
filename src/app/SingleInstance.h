// Keeps Tovix to one running instance per user: a lock file held for the life of
// the process, and a local socket on which the running instance accepts "restore"
// from a second start, which then leaves.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

class CSingleInstance {
public:
    enum class TAcquire {
        Acquired, // this process holds the lock: the first instance
        Running,  // another process holds it
        Failed,   // no folder could hold the lock: Problem() says why
    };

    // runtimeFolder is the usual home of "tovix.lock" and "tovix.sock" (empty for
    // none); when it cannot hold them, privateBase + "/tovix-<uid>" does.
    explicit CSingleInstance(std::string runtimeFolder = RuntimeFolder(), std::string privateBase = PrivateBase());
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance &) = delete;
    CSingleInstance &operator=(const CSingleInstance &) = delete;

    // $XDG_RUNTIME_DIR/tovix; empty without $XDG_RUNTIME_DIR.
    static std::string RuntimeFolder();
    // $TMPDIR when it is an absolute path, otherwise /tmp.
    static std::string PrivateBase();

    // Tries the folders in turn. A lock left by a killed process does not count:
    // the system drops it with the process. Only a lock another process holds
    // means Running; any other failure moves on to the next folder.
    TAcquire Acquire();
    // Acquire again and again while another process holds the lock, for at most
    // limit or until giveUp() says so. True once this process holds it.
    bool WaitForLock(std::chrono::milliseconds limit, const std::function<bool()> &giveUp = nullptr);
    // The folder the last Acquire settled on; empty when it failed.
    const std::string &Folder() const { return m_folder; }
    // Why the last Acquire failed, one "folder: reason" per folder tried.
    const std::string &Problem() const { return m_problem; }

    // The first instance: answers "restore" requests on a thread of its own, calling
    // onRestore there for each (the window side queues the actual restore). A
    // failure is logged and keeps the lock: the instance stays single, only
    // unreachable for a second start.
    bool Listen(std::function<void()> onRestore);
    // Stops answering; the lock stays held.
    void StopListening();

    // A second instance: asks the first to restore its window. True when it answered.
    bool AskToRestore(int timeoutMilliseconds = 2000);

    // Stops listening and drops the lock.
    void Release();

private:
    bool TryFolder(const std::string &folder, TAcquire &result);
    // The listener thread: answers each "restore" until woken to stop.
    void Serve(const std::function<void()> &onRestore);

    std::string m_runtimeFolder;
    std::string m_privateFolder;
    std::string m_folder;
    std::string m_problem;
    int m_lock = -1;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
