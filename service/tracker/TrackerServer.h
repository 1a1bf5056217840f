// The tracker on an HTTP server: "GET /announce" answered by a CTracker. The demo
// service mounts it on its web server; tests run it alone on 127.0.0.1.
#pragma once

#include "Tracker.h"

#include <httplib.h>

#include <string>
#include <thread>

// Serves GET /announce on an existing server.
void AttachTracker(httplib::Server &server, CTracker &tracker);

class CTrackerServer {
public:
    explicit CTrackerServer(int intervalSeconds = CTracker::kDefaultInterval);
    ~CTrackerServer();
    CTrackerServer(const CTrackerServer &) = delete;
    CTrackerServer &operator=(const CTrackerServer &) = delete;

    // Listens on host:port (port 0: any free port) and serves on its own thread.
    bool Start(const std::string &host = "127.0.0.1", int port = 0);
    void Stop();

    int Port() const { return m_port; }
    std::string AnnounceUrl() const;
    CTracker &Tracker() { return m_tracker; }

private:
    CTracker m_tracker;
    httplib::Server m_server;
    std::thread m_thread;
    std::string m_host;
    int m_port = 0;
};
