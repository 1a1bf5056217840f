// Whole-session payload rates from the session's byte counters: the change over
// about the last second of samples. (The per-torrent rates libtorrent reports lag
// and stay above zero after a transfer ends; counter deltas do not.)
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

class CRateMeter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    static constexpr std::chrono::milliseconds kWindow{1000};

    void Add(TimePoint at, std::int64_t received, std::int64_t sent);

    // Bytes per second; 0 until two samples exist.
    int DownloadRate() const { return m_downloadRate; }
    int UploadRate() const { return m_uploadRate; }
    // Whether the counters changed with the latest sample.
    bool Moved() const { return m_moved; }

private:
    struct TSample {
        TimePoint at;
        std::int64_t received;
        std::int64_t sent;
    };
    std::deque<TSample> m_samples;
    int m_downloadRate = 0;
    int m_uploadRate = 0;
    bool m_moved = false;
};
