#include "net/ServiceWatch.h"

#include "base/DebugLog.h"

CServiceWatch::CServiceWatch(CMainWindowLink &link, TClock clock)
    : m_link(link), m_clock(std::move(clock)), m_lastLogin(m_clock())
{
}

void CServiceWatch::OnDeliveryFailed(EServiceProblem problem, const std::string &connection, int error)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_replied || problem == m_problem)
            return;
        m_problem = problem;
    }
    // One line when the problem appears or changes, not one per message.
    switch (problem) {
    case EServiceProblem::NotConfigured:
        DebugLog("Connection not configured");
        break;
    case EServiceProblem::BadAddress:
        DebugLog("Bad Connection %s", connection.c_str());
        break;
    default:
        DebugLog("Connect %s error[%d]", connection.c_str(), error);
        break;
    }
    m_link.PostServiceProblem(problem);
}

void CServiceWatch::OnLoginReply()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_replied)
            return;
        m_replied = true;
        if (m_problem == EServiceProblem::None)
            return;
        m_problem = EServiceProblem::None;
    }
    m_link.PostServiceProblem(EServiceProblem::None);
}

bool CServiceWatch::LoginReplied() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_replied;
}

EServiceProblem CServiceWatch::Problem() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_problem;
}

bool CServiceWatch::LoginRetryDue()
{
    const int64_t now = m_clock();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_replied || now - m_lastLogin < kLoginRetrySeconds)
        return false;
    m_lastLogin = now;
    return true;
}
