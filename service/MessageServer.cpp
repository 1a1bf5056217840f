#include "MessageServer.h"

#include "RequestParser.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kMaxRequest = 16 * 1024;
constexpr auto kIdleLimit = std::chrono::seconds(30);

std::string IntToken(long long value) { return "i" + std::to_string(value) + "e"; }
std::string StringToken(const std::string &text) { return std::to_string(text.size()) + ":" + text; }

struct TConnection {
    int fd;
    std::string in;
    std::string out;
    bool answered = false;
    std::chrono::steady_clock::time_point deadline;
};

} // namespace

CMessageServer::CMessageServer(CServiceCatalogue &catalogue, std::string updaterUrl, std::string recordPath)
    : m_catalogue(catalogue), m_updaterUrl(std::move(updaterUrl)), m_recordPath(std::move(recordPath))
{
}

CMessageServer::~CMessageServer() { Stop(); }

bool CMessageServer::Start(uint16_t port)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        return false;
    int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(m_listener, 512) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        close(m_listener);
        m_listener = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CMessageServer::Stop()
{
    if (!m_thread.joinable())
        return;
    uint64_t one = 1;
    if (write(m_wake, &one, sizeof one) != sizeof one)
        return;
    m_thread.join();
    close(m_wake);
    close(m_listener);
    m_listener = m_wake = -1;
}

void CMessageServer::Record(const std::string &line)
{
    std::lock_guard<std::mutex> lock(m_recordMutex);
    if (FILE *file = std::fopen(m_recordPath.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string CMessageServer::Answer(const TServiceRequest &request)
{
    switch (request.type) {
    case 1: {
        int count = 0;
        const std::string fragment = m_catalogue.FileFragment(static_cast<int>(request.numbers[0]), count);
        return IntToken(1) + IntToken(count) + (count > 0 ? StringToken(fragment) : std::string());
    }
    case 2: {
        const int newest = m_catalogue.NewestVersion();
        return IntToken(2) + IntToken(newest) + StringToken(m_updaterUrl);
    }
    case 3: {
        // Tokens: local, hardware, Version, install state, MaxID, ChannelDate.
        int count = 0;
        const std::string files = m_catalogue.FileFragment(static_cast<int>(request.numbers[2]), count);
        const bool channels = request.numbers[3] != m_catalogue.Date();
        const int flags = (count > 0 ? 1 : 0) | (channels ? 2 : 0);
        std::string reply = IntToken(3) + IntToken(flags);
        if (count > 0)
            reply += StringToken(files);
        if (channels)
            reply += StringToken(m_catalogue.ChannelFragment());
        return reply;
    }
    default:
        return IntToken(request.type);
    }
}

void CMessageServer::Run()
{
    std::vector<TConnection> connections;
    for (;;) {
        std::vector<pollfd> polls = {{m_wake, POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const TConnection &c : connections)
            polls.push_back({c.fd, static_cast<short>(c.answered ? POLLOUT : POLLIN), 0});
        if (poll(polls.data(), polls.size(), 1000) < 0)
            continue;
        if (polls[0].revents)
            break;

        const auto now = std::chrono::steady_clock::now();
        if (polls[1].revents & POLLIN)
            for (int fd; (fd = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;)
                connections.push_back({fd, {}, {}, false, now + kIdleLimit});

        for (size_t i = 0; i < connections.size(); ++i) {
            TConnection &c = connections[i];
            const short events = i + 2 < polls.size() && polls[i + 2].fd == c.fd ? polls[i + 2].revents : 0;
            bool finished = now > c.deadline;
            if (!finished && !c.answered && (events & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[4096];
                ssize_t got = recv(c.fd, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    finished = true;
                    if (!c.in.empty())
                        Record("cut short " + EscapeBytes(c.in));
                } else {
                    c.in.append(buffer, static_cast<size_t>(got));
                    TServiceRequest request;
                    size_t consumed = 0;
                    const EParse result = ParseServiceRequest(c.in, request, consumed);
                    if (result == EParse::Complete) {
                        Record(EscapeBytes(c.in.substr(0, consumed)));
                        c.out = Answer(request);
                        c.answered = true;
                    } else if (result == EParse::Malformed || c.in.size() > kMaxRequest) {
                        Record("malformed " + EscapeBytes(c.in.substr(0, 256)));
                        finished = true;
                    }
                }
            }
            if (!finished && c.answered && !c.out.empty()) {
                ssize_t sent = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
                if (sent > 0)
                    c.out.erase(0, static_cast<size_t>(sent));
                else if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                    finished = true;
            }
            if (c.answered && c.out.empty())
                finished = true;
            if (finished) {
                close(c.fd);
                connections.erase(connections.begin() + static_cast<long>(i));
                polls.erase(polls.begin() + static_cast<long>(i) + 2);
                --i;
            }
        }
    }
    for (const TConnection &c : connections)
        close(c.fd);
}
