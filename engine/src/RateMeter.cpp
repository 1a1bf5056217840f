#include "RateMeter.h"

#include <algorithm>
#include <limits>

namespace {

int PerSecond(std::int64_t bytes, double seconds)
{
    if (seconds <= 0 || bytes <= 0)
        return 0;
    return static_cast<int>(std::min<double>(bytes / seconds, std::numeric_limits<int>::max()));
}

} // namespace

void CRateMeter::Add(TimePoint at, std::int64_t received, std::int64_t sent)
{
    m_moved = !m_samples.empty() && (received != m_samples.back().received || sent != m_samples.back().sent);
    m_samples.push_back({at, received, sent});
    // Keep one sample at least a window old as the base of the rate.
    while (m_samples.size() > 2 && at - m_samples[1].at >= kWindow)
        m_samples.pop_front();
    const TSample &base = m_samples.front();
    const double seconds = std::chrono::duration<double>(at - base.at).count();
    m_downloadRate = PerSecond(received - base.received, seconds);
    m_uploadRate = PerSecond(sent - base.sent, seconds);
}
