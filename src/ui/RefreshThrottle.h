// At most one download-state refresh per second after the engine's
// notifications, and never losing the last one: a notification within the
// second of the last refresh only (re)arms a one-second timer, whose firing
// refreshes.
#pragma once

#include <cstdint>
#include <functional>

class CRefreshThrottle {
public:
    // Seconds since 1970.
    using TClock = std::function<int64_t()>;

    explicit CRefreshThrottle(TClock clock);

    // A notification arrived: true to refresh now, false when the caller is to
    // (re)start the one-second timer instead.
    bool OnNotification();
    // The one-second timer fired (the caller stops it): the refresh runs now.
    void OnTimer();

    // 0 until the first refresh.
    int64_t LastRefresh() const { return m_last; }

private:
    TClock m_clock;
    int64_t m_last = 0;
};
