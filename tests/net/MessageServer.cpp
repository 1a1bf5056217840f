#include "MessageServer.h"

#include "net/ReplyReader.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBoundMilliseconds = 10000;

// Whether the bytes hold a whole request: the type, then its fields.
bool RequestComplete(const std::string &bytes)
{
    CReplyReader reader(bytes.data(), bytes.size());
    int64_t number = 0;
    const char *text = nullptr;
    size_t length = 0;
    if (reader.ReadInt(number) != ETokenResult::Ok)
        return false;
    static const char *const kFields[] = {"", "iss", "i", "ssiiii", "sii", "sss"};
    if (number < 1 || number > 5)
        return true; // not a request this server knows: take what came
    for (const char *field = kFields[number]; *field; ++field) {
        const ETokenResult result = *field == 'i' ? reader.ReadInt(number) : reader.ReadString(text, length);
        if (result == ETokenResult::Short)
            return false;
        if (result == ETokenResult::Bad)
            return true;
    }
    return true;
}

} // namespace

CServerPeer::~CServerPeer() { close(m_socket); }

bool CServerPeer::WaitReadable()
{
    pollfd watched{m_socket, POLLIN, 0};
    return poll(&watched, 1, kBoundMilliseconds) > 0;
}

std::string CServerPeer::ReadRequest()
{
    std::string bytes;
    char buffer[4096];
    while (!RequestComplete(bytes) && WaitReadable()) {
        const ssize_t count = recv(m_socket, buffer, sizeof buffer, 0);
        if (count <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(count));
    }
    m_record(bytes);
    return bytes;
}

bool CServerPeer::Send(const std::string &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

bool CServerPeer::SendInPieces(const std::string &bytes, size_t pieceSize)
{
    const int on = 1;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    for (size_t at = 0; at < bytes.size(); at += pieceSize) {
        if (!Send(bytes.substr(at, pieceSize)))
            return false;
        // Lets the client read each piece on its own most of the time.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool CServerPeer::WaitForClientClose()
{
    char buffer[4096];
    while (WaitReadable()) {
        const ssize_t count = recv(m_socket, buffer, sizeof buffer, 0);
        if (count <= 0)
            return true;
    }
    return false;
}

CMessageServer::CMessageServer()
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(m_listener, 64) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

CMessageServer::~CMessageServer()
{
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread &peer : m_peers)
        peer.join();
    close(m_listener);
}

std::string CMessageServer::Address() const { return "127.0.0.1:" + std::to_string(m_port); }

void CMessageServer::SetScript(TScript script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_script = std::move(script);
}

std::vector<std::string> CMessageServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void CMessageServer::AcceptLoop()
{
    while (!m_stop) {
        pollfd watched{m_listener, POLLIN, 0};
        if (poll(&watched, 1, 20) <= 0)
            continue;
        const int peerSocket = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (peerSocket < 0)
            continue;
        ++m_accepted;
        TScript script;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            script = m_script;
        }
        m_peers.emplace_back([this, peerSocket, script] {
            CServerPeer peer(peerSocket, [this](const std::string &request) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request);
            });
            if (script)
                script(peer);
        });
    }
}

bool WaitUntil(const std::function<bool()> &condition, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
