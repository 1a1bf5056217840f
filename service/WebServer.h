// The service's web server on 127.0.0.1: serves the data folder's web tree
// (torrents, pictures, advertisement clips, the updater, the pages).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace httplib { class Server; }

class CWebServer {
public:
    CWebServer();
    ~CWebServer();

    // Serves root at "/", records "GET <path> <status>" lines in recordPath.
    bool Start(const std::string &root, uint16_t port, const std::string &recordPath);
    void Stop();
    uint16_t Port() const { return m_port; }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    uint16_t m_port = 0;
};
