#include "ChangeNotifier.h"

CChangeNotifier::CChangeNotifier(Clock clock) : m_clock(std::move(clock)) {}

void CChangeNotifier::SetTarget(const TovixWndHandle *handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_target = handle;
}

void CChangeNotifier::StateChanged()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stateChanged = true;
}

void CChangeNotifier::DataMoved()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dataMoved = true;
}

bool CChangeNotifier::Flush()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = m_clock();
    const bool due = m_stateChanged || (m_dataMoved && now - m_lastPost >= kProgressGap);
    if (!due)
        return false;
    m_stateChanged = false;
    m_dataMoved = false;
    m_lastPost = now;
    if (!m_target || !m_target->post)
        return false;
    m_target->post(m_target->context, TOVIX_WM_DOWNLOAD_CHANGED);
    return true;
}
