#include "app/SingleInstance.h"

#include "base/DebugLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
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

// Empty when folder belongs to this user alone: made 0700 when missing, and
// otherwise a real folder (not a link) of this user that nobody else can enter.
// Anything else could be another user's, who could then keep us from starting
// or answer in our place.
std::string FolderProblem(const std::string &folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::strerror(errno);
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return "a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return "not a folder";
    if (info.st_uid != ::geteuid())
        return "owned by another user";
    if (info.st_mode & 077)
        return "open to other users";
    return {};
}

} // namespace

CSingleInstance::CSingleInstance(std::string runtimeFolder, std::string privateBase)
    : m_runtimeFolder(std::move(runtimeFolder)), m_privateFolder(privateBase + "/tovix-" + std::to_string(::geteuid()))
{
}

CSingleInstance::~CSingleInstance() { Release(); }

std::string CSingleInstance::RuntimeFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? std::string(runtime) + "/tovix" : std::string();
}

std::string CSingleInstance::PrivateBase()
{
    const char *temp = std::getenv("TMPDIR");
    return temp && *temp == '/' ? std::string(temp) : std::string("/tmp");
}

CSingleInstance::TAcquire CSingleInstance::Acquire()
{
    if (m_lock >= 0)
        return TAcquire::Acquired;
    m_problem.clear();
    TAcquire result = TAcquire::Failed;
    for (const std::string *folder : {&m_runtimeFolder, &m_privateFolder})
        if (!folder->empty() && TryFolder(*folder, result))
            return result;
    m_folder.clear();
    return TAcquire::Failed;
}

bool CSingleInstance::TryFolder(const std::string &folder, TAcquire &result)
{
    const std::string unusable = FolderProblem(folder);
    if (!unusable.empty()) {
        m_problem += (m_problem.empty() ? "" : "; ") + folder + ": " + unusable;
        return false;
    }
    const int fd = ::open((folder + "/tovix.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lock = fd;
        result = TAcquire::Acquired;
    } else if (fd >= 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        result = TAcquire::Running;
    } else {
        m_problem += (m_problem.empty() ? "" : "; ") + folder + "/tovix.lock: " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_folder = folder;
    return true;
}

bool CSingleInstance::WaitForLock(std::chrono::milliseconds limit, const std::function<bool()> &giveUp)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const TAcquire result = Acquire();
        if (result != TAcquire::Running)
            return result == TAcquire::Acquired;
        if (std::chrono::steady_clock::now() >= deadline || (giveUp && giveUp()))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool CSingleInstance::Listen(std::function<void()> onRestore)
{
    sockaddr_un address;
    const std::string path = m_folder + "/tovix.sock";
    if (m_lock < 0 || m_listener >= 0)
        return false;
    if (!SocketAddress(path, address)) {
        DebugLog("Listen %s error[%d]", path.c_str(), ENAMETOOLONG);
        return false;
    }
    // Holding the lock makes any socket file left behind a stale one.
    ::unlink(path.c_str());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 8) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        DebugLog("Listen %s error[%d]", path.c_str(), errno);
        StopListening();
        return false;
    }
    try {
        m_thread = std::thread([this, onRestore = std::move(onRestore)] { Serve(onRestore); });
    } catch (const std::system_error &error) {
        DebugLog("Listen %s error[%d]", path.c_str(), error.code().value());
        StopListening();
        return false;
    }
    return true;
}

void CSingleInstance::Serve(const std::function<void()> &onRestore)
{
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
}

bool CSingleInstance::AskToRestore(int timeoutMilliseconds)
{
    // Without an Acquire first, the folder a running instance would use first.
    const std::string &folder = !m_folder.empty() ? m_folder : !m_runtimeFolder.empty() ? m_runtimeFolder : m_privateFolder;
    sockaddr_un address;
    if (!SocketAddress(folder + "/tovix.sock", address))
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

void CSingleInstance::StopListening()
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
}

void CSingleInstance::Release()
{
    StopListening();
    if (m_lock >= 0) {
        // Holding the lock makes the socket file ours to remove.
        ::unlink((m_folder + "/tovix.sock").c_str());
        ::close(m_lock);
        m_lock = -1;
    }
}
