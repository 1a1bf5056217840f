// Whether this run has reached the service yet. Until the first login reply it
// keeps what stands in the way (told to the main window link whenever that
// changes) and says when the login report is due again.
#pragma once

#include "net/MainWindowLink.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class CServiceWatch {
public:
    // Seconds since 1970: the channel's clock.
    using TClock = std::function<int64_t()>;

    static constexpr int kLoginRetrySeconds = 30;

    // The first login report goes out when the watch is made.
    CServiceWatch(CMainWindowLink &link, TClock clock);

    // A message was not delivered: connection is the Connection item, error the
    // system's error number when there is one. Ignored after a login reply.
    void OnDeliveryFailed(EServiceProblem problem, const std::string &connection, int error);
    // The service answered a login report: the problem is gone for this run.
    void OnLoginReply();

    bool LoginReplied() const;
    EServiceProblem Problem() const;
    // True once every 30 s after the last login report until a login reply; the
    // caller sends the report again when it is.
    bool LoginRetryDue();

private:
    CMainWindowLink &m_link;
    TClock m_clock;
    mutable std::mutex m_mutex;
    EServiceProblem m_problem = EServiceProblem::None;
    bool m_replied = false;
    int64_t m_lastLogin;
};
