// The service's message server on 127.0.0.1: reads each client request, answers
// it from the service catalogue and closes. One thread serves every connection
// with poll, so a slow or silent client never holds up the others.
#pragma once

#include "ServiceCatalogue.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct TServiceRequest;

class CMessageServer {
public:
    // updaterUrl is the full address announced in version replies; every request
    // received is recorded as one line in recordPath.
    CMessageServer(CServiceCatalogue &catalogue, std::string updaterUrl, std::string recordPath);
    ~CMessageServer();

    // Listens on 127.0.0.1:port (0 picks a free port) and starts serving.
    bool Start(uint16_t port);
    void Stop();
    uint16_t Port() const { return m_port; }

    // The reply to one request; what the server sends.
    std::string Answer(const TServiceRequest &request);

private:
    void Run();
    void Record(const std::string &line);

    CServiceCatalogue &m_catalogue;
    std::string m_updaterUrl;
    std::string m_recordPath;
    std::mutex m_recordMutex;
    int m_listener = -1;
    int m_wake = -1; // an eventfd that ends the loop
    uint16_t m_port = 0;
    std::thread m_thread;
};
