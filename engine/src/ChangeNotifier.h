// Tells the client's window that download state changed: at once after a state
// change, and at most every kProgressGap while data only moves, so a busy
// transfer does not flood the window's event queue.
#pragma once

#include <tovixsock.h>

#include <chrono>
#include <functional>
#include <mutex>

class CChangeNotifier {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::milliseconds kProgressGap{500};

    explicit CChangeNotifier(Clock clock = std::chrono::steady_clock::now);

    // The record stays owned by the caller, which keeps it alive while the engine runs.
    void SetTarget(const TovixWndHandle *handle);

    void StateChanged();
    void DataMoved();

    // Posts TOVIX_WM_DOWNLOAD_CHANGED once when a state changed, or when data moved and
    // the last post is at least kProgressGap old. Returns whether it posted.
    bool Flush();

private:
    const Clock m_clock;
    std::mutex m_mutex; // SetTarget comes from any thread, Flush from the engine's
    const TovixWndHandle *m_target = nullptr;
    bool m_stateChanged = false;
    bool m_dataMoved = false;
    std::chrono::steady_clock::time_point m_lastPost;
};
