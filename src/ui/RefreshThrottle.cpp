#include "ui/RefreshThrottle.h"

#include <ctime>

CRefreshThrottle::CRefreshThrottle(TClock clock)
    : m_clock(clock ? std::move(clock) : TClock([] { return int64_t(std::time(nullptr)); }))
{
}

bool CRefreshThrottle::OnNotification()
{
    const int64_t now = m_clock();
    if (m_last != 0 && m_last == now)
        return false;
    m_last = now;
    return true;
}

void CRefreshThrottle::OnTimer() { m_last = m_clock(); }
