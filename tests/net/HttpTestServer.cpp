#include "net/HttpTestServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <httplib.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

CHttpTestServer::CHttpTestServer() : m_server(std::make_unique<httplib::Server>())
{
    m_server->Get("/(.*)", [this](const httplib::Request &request, httplib::Response &response) {
        const std::string name = request.matches[1];
        TAnswer answer;
        bool known;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(name);
            auto found = m_answers.find(name);
            known = found != m_answers.end();
            if (known)
                answer = found->second;
        }
        if (answer.hook)
            answer.hook();
        if (!known) {
            response.status = 404;
            response.set_content("not found", "text/plain");
        } else if (answer.cutOff) {
            const std::string half = answer.body.substr(0, answer.body.size() / 2);
            response.set_content_provider(answer.body.size(), "application/octet-stream",
                                          [half](size_t offset, size_t, httplib::DataSink &sink) {
                                              if (offset == 0)
                                                  sink.write(half.data(), half.size());
                                              return offset == 0;
                                          });
        } else if (answer.pause.count() > 0) {
            response.set_content_provider(answer.body.size(), "application/octet-stream",
                                          [answer](size_t offset, size_t, httplib::DataSink &sink) {
                                              std::this_thread::sleep_for(answer.pause);
                                              sink.write(answer.body.data() + offset, 1);
                                              return true;
                                          });
        } else {
            response.set_content(answer.body, "application/octet-stream");
        }
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("test web server could not bind");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_server->is_running()) {
        if (std::chrono::steady_clock::now() > until)
            throw std::runtime_error("test web server did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

CHttpTestServer::~CHttpTestServer()
{
    m_server->stop();
    m_thread.join();
}

std::string CHttpTestServer::Base() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

void CHttpTestServer::Serve(const std::string &name, const std::string &body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[name].body = body;
}

void CHttpTestServer::ServeCutOff(const std::string &name, const std::string &body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[name].body = body;
    m_answers[name].cutOff = true;
}

void CHttpTestServer::ServeTrickle(const std::string &name, const std::string &body, std::chrono::milliseconds pause)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[name].body = body;
    m_answers[name].pause = pause;
}

void CHttpTestServer::BeforeAnswer(const std::string &name, std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[name].hook = std::move(hook);
}

std::vector<std::string> CHttpTestServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int CHttpTestServer::CountOf(const std::string &name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const std::string &request : m_requests)
        count += request == name;
    return count;
}

int UnusedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

CSilentListener::CSilentListener(bool fullBacklog)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(m_listener, fullBacklog ? 0 : 8) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("silent listener could not listen");
    m_port = ntohs(address.sin_port);
    if (!fullBacklog)
        return;
    // Backlog 0 queues one connection; the next ones wait for a SYN answer that never comes.
    for (int i = 0; i < 2; ++i) {
        const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        connect(filler, reinterpret_cast<sockaddr *>(&address), sizeof address);
        m_fillers.push_back(filler);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the first handshake completes
}

CSilentListener::~CSilentListener()
{
    for (int fd : m_fillers)
        close(fd);
    close(m_listener);
}
