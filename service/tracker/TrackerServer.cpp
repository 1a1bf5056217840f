#include "TrackerServer.h"

#include <chrono>

void AttachTracker(httplib::Server &server, CTracker &tracker)
{
    server.Get("/announce", [&tracker](const httplib::Request &request, httplib::Response &response) {
        // The raw query, not httplib's decoded parameters: info hashes are binary.
        const size_t mark = request.target.find('?');
        const std::string query = mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
        response.set_content(tracker.AnnounceQuery(query, request.remote_addr), "text/plain");
    });
}

CTrackerServer::CTrackerServer(int intervalSeconds) : m_tracker(intervalSeconds) { AttachTracker(m_server, m_tracker); }

CTrackerServer::~CTrackerServer() { Stop(); }

bool CTrackerServer::Start(const std::string &host, int port)
{
    m_host = host;
    m_port = port == 0 ? m_server.bind_to_any_port(host) : (m_server.bind_to_port(host, port) ? port : -1);
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_server.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return m_server.is_running();
}

void CTrackerServer::Stop()
{
    if (!m_thread.joinable())
        return;
    m_server.stop();
    m_thread.join();
}

std::string CTrackerServer::AnnounceUrl() const { return "http://" + m_host + ":" + std::to_string(m_port) + "/announce"; }
