#include "WebServer.h"

#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <mutex>

CWebServer::CWebServer() : m_server(std::make_unique<httplib::Server>()) {}

CWebServer::~CWebServer() { Stop(); }

bool CWebServer::Start(const std::string &root, uint16_t port, const std::string &recordPath)
{
    if (!m_server->set_mount_point("/", root))
        return false;
    m_server->set_logger([recordPath](const httplib::Request &request, const httplib::Response &response) {
        static std::mutex mutex;
        std::lock_guard<std::mutex> lock(mutex);
        if (FILE *file = std::fopen(recordPath.c_str(), "ab")) {
            std::fprintf(file, "%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
            std::fclose(file);
        }
    });
    const int bound = port ? (m_server->bind_to_port("127.0.0.1", port) ? port : -1)
                           : m_server->bind_to_any_port("127.0.0.1");
    if (bound <= 0)
        return false;
    m_port = static_cast<uint16_t>(bound);
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    for (int i = 0; i < 500 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_server->is_running();
}

void CWebServer::Stop()
{
    if (!m_thread.joinable())
        return;
    m_server->stop();
    m_thread.join();
}
