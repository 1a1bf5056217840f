#include "app/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char kRestore[] = "restore\n";
constexpr char kAnswer[] = "ok\n";

bool SocketAddress(const std::string &path, sockaddr_un &address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

CSingleInstance::CSingleInstance(std::string folder) : m_folder(std::move(folder)) {}

CSingleInstance::~CSingleInstance() { Release(); }

std::string CSingleInstance::DefaultFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/tovix";
    return "/tmp/tovix-" + std::to_string(::getuid());
}

bool CSingleInstance::Acquire()
{
    if (m_lock >= 0)
        return true;
    ::mkdir(m_folder.c_str(), 0700);
    const int fd = ::open((m_folder + "/tovix.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lock = fd;
    return true;
}

bool CSingleInstance::Listen(std::function<void()> onRestore)
{
    sockaddr_un address;
    const std::string path = m_folder + "/tovix.sock";
    if (m_lock < 0 || m_listener >= 0 || !SocketAddress(path, address))
        return false;
    // Holding the lock makes any socket file left behind a stale one.
    ::unlink(path.c_str());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 8) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        Release();
        return false;
    }
    m_thread = std::thread([this, onRestore = std::move(onRestore)] {
        for (;;) {
            pollfd polls[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            if (::poll(polls, 2, -1) < 0 && errno != EINTR)
                return;
            if (polls[1].revents)
                return;
            if (!(polls[0].revents & POLLIN))
                continue;
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            // A silent client must not hold the listener: one second to say its word.
            timeval limit{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            char request[sizeof kRestore] = {};
            const ssize_t got = ::recv(client, request, sizeof kRestore - 1, MSG_WAITALL);
            if (got == static_cast<ssize_t>(sizeof kRestore - 1) && std::strcmp(request, kRestore) == 0) {
                onRestore();
                ssize_t sent = ::send(client, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
                (void)sent;
            }
            ::close(client);
        }
    });
    return true;
}

bool CSingleInstance::AskToRestore(int timeoutMilliseconds)
{
    sockaddr_un address;
    if (!SocketAddress(m_folder + "/tovix.sock", address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answered = false;
    timeval limit{timeoutMilliseconds / 1000, (timeoutMilliseconds % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::send(fd, kRestore, sizeof kRestore - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kRestore - 1)) {
        char reply[sizeof kAnswer] = {};
        answered = ::recv(fd, reply, sizeof kAnswer - 1, MSG_WAITALL) == static_cast<ssize_t>(sizeof kAnswer - 1) &&
                   std::strcmp(reply, kAnswer) == 0;
    }
    ::close(fd);
    return answered;
}

void CSingleInstance::Release()
{
    if (m_thread.joinable()) {
        ssize_t written = ::write(m_wake[1], "x", 1);
        (void)written;
        m_thread.join();
    }
    for (int *fd : {&m_wake[0], &m_wake[1], &m_listener}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (m_lock >= 0) {
        ::unlink((m_folder + "/tovix.sock").c_str());
        ::close(m_lock);
        m_lock = -1;
    }
}
