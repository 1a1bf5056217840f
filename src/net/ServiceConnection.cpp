#include "net/ServiceConnection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

bool ParseServiceAddress(const std::string &connection, sockaddr_in &address)
{
    const size_t run = connection.find_first_not_of("0123456789,.");
    if (run == 0 || run == std::string::npos || run >= CServiceConnection::kAddressField || connection[run] != ':')
        return false;
    const std::string host = connection.substr(0, run);
    const char *portText = connection.c_str() + run + 1;
    char *end = nullptr;
    errno = 0;
    const long port = std::strtol(portText, &end, 10);
    if (end == portText || errno != 0 || port < 1 || port > 65535)
        return false;

    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    return inet_aton(host.c_str(), &address.sin_addr) != 0;
}

CServiceConnection::~CServiceConnection()
{
    if (socket >= 0)
        ::close(socket);
}

bool CServiceConnection::Connect(const sockaddr_in &address)
{
    socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        state = CONN_CONNECTED;
        return true;
    }
    if (errno == EINPROGRESS || errno == EWOULDBLOCK) {
        state = CONN_CONNECTING;
        return true;
    }
    error = errno;
    return false;
}

void CServiceConnection::SendAttempt()
{
    int sent = 0;
    while (sent < send.Length()) {
        // MSG_NOSIGNAL: a server that has gone away must not raise SIGPIPE.
        const ssize_t count =
            ::send(socket, send.Data() + sent, static_cast<size_t>(send.Length() - sent), MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<int>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            state = CONN_CLOSING;
        break;
    }
    send.Consume(sent);
}

void CServiceConnection::ReceiveAttempt()
{
    int read = 0;
    while (read < receive.FreeSize()) {
        const ssize_t count =
            ::recv(socket, receive.FreeRoom() + read, static_cast<size_t>(receive.FreeSize() - read), 0);
        if (count > 0) {
            read += static_cast<int>(count);
        } else if (count == 0) {
            peerClosed = true;
            break;
        } else if (errno == EINTR) {
            continue;
        } else {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                state = CONN_CLOSING;
            break;
        }
    }
    receive.Commit(read);
}

void CServiceConnection::FinishConnect()
{
    socklen_t size = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        state = CONN_CLOSING;
        return;
    }
    state = CONN_CONNECTED;
    if (send.Length() > 0)
        SendAttempt();
}
