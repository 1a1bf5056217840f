#include "EnginePeers.h"

#include "EngineSettings.h"

#include <libtorrent/add_torrent_params.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/create_torrent.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/torrent_handle.hpp>
#include <libtorrent/torrent_info.hpp>
#include <libtorrent/torrent_status.hpp>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lt = libtorrent;

TTestTorrent MakeTestTorrent(const std::string &folder, const std::string &name, long long size,
                             const std::string &announceUrl, unsigned seed)
{
    TTestTorrent torrent;
    torrent.contentPath = folder + "/" + name;
    torrent.torrentPath = torrent.contentPath + ".torrent";
    torrent.size = size;
    {
        std::ofstream out(torrent.contentPath, std::ios::binary | std::ios::trunc);
        std::mt19937_64 random(seed);
        std::vector<std::uint64_t> block(1 << 14);
        for (long long written = 0; written < size;) {
            for (auto &word : block)
                word = random();
            const long long chunk = std::min<long long>(size - written, static_cast<long long>(block.size() * 8));
            out.write(reinterpret_cast<const char *>(block.data()), chunk);
            written += chunk;
        }
    }
    lt::file_storage files;
    lt::add_files(files, torrent.contentPath);
    lt::create_torrent maker(files, 0, lt::create_torrent::v1_only);
    maker.add_tracker(announceUrl);
    lt::set_piece_hashes(maker, folder);
    std::vector<char> encoded;
    lt::bencode(std::back_inserter(encoded), maker.generate());
    std::ofstream(torrent.torrentPath, std::ios::binary).write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
    const lt::torrent_info info(torrent.torrentPath);
    const lt::sha1_hash hash = info.info_hashes().v1;
    torrent.infoHash.assign(hash.data(), hash.size());
    return torrent;
}

bool WaitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit, std::chrono::milliseconds step)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(step);
    }
    return true;
}

namespace {

lt::torrent_handle Find(const lt::session &session, const TTestTorrent &torrent)
{
    lt::sha1_hash hash;
    std::copy(torrent.infoHash.begin(), torrent.infoHash.end(), hash.begin());
    return session.find_torrent(hash);
}

} // namespace

CTestPeer::CTestPeer()
{
    lt::settings_pack pack = DefaultEngineOptions().settings;
    pack.set_str(lt::settings_pack::listen_interfaces, "127.0.0.1:0");
    pack.set_int(lt::settings_pack::alert_mask, 0);
    pack.set_int(lt::settings_pack::active_seeds, -1);
    pack.set_int(lt::settings_pack::active_downloads, -1);
    pack.set_int(lt::settings_pack::active_limit, -1);
    m_session = std::make_unique<lt::session>(pack);
}

CTestPeer::~CTestPeer() = default;

void CTestPeer::Seed(const TTestTorrent &torrent)
{
    lt::add_torrent_params params;
    params.ti = std::make_shared<lt::torrent_info>(torrent.torrentPath);
    params.save_path = torrent.contentPath.substr(0, torrent.contentPath.find_last_of('/'));
    params.flags = lt::torrent_flags::seed_mode;
    m_session->add_torrent(std::move(params));
}

void CTestPeer::Download(const TTestTorrent &torrent, const std::string &folder)
{
    lt::add_torrent_params params;
    params.ti = std::make_shared<lt::torrent_info>(torrent.torrentPath);
    params.save_path = folder;
    params.flags = {};
    m_session->add_torrent(std::move(params));
}

long long CTestPeer::Uploaded(const TTestTorrent &torrent) const
{
    const lt::torrent_handle handle = Find(*m_session, torrent);
    return handle.is_valid() ? handle.status().total_payload_upload : 0;
}

long long CTestPeer::Downloaded(const TTestTorrent &torrent) const
{
    const lt::torrent_handle handle = Find(*m_session, torrent);
    return handle.is_valid() ? handle.status().total_wanted_done : 0;
}

bool CTestPeer::IsFinished(const TTestTorrent &torrent) const
{
    const lt::torrent_handle handle = Find(*m_session, torrent);
    return handle.is_valid() && handle.status().is_finished;
}

CChildProcess::~CChildProcess()
{
    if (m_pid > 0) {
        Kill(SIGKILL);
        Wait(std::chrono::seconds(5));
    }
    if (m_output >= 0)
        close(m_output);
}

bool CChildProcess::Start(const std::vector<std::string> &argv, bool quiet)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    m_output = pipeFds[0];
    return m_pid > 0;
}

bool CChildProcess::ReadLine(std::string &line, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto newline = m_buffer.find('\n');
        if (newline != std::string::npos) {
            line = m_buffer.substr(0, newline);
            m_buffer.erase(0, newline + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_output < 0)
            return false;
        pollfd poller{m_output, POLLIN, 0};
        if (poll(&poller, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = read(m_output, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        m_buffer.append(chunk, static_cast<size_t>(got));
    }
}

void CChildProcess::Kill(int signal)
{
    if (m_pid > 0)
        kill(m_pid, signal);
}

int CChildProcess::Wait(std::chrono::milliseconds limit)
{
    if (m_pid <= 0)
        return -1;
    int status = 0;
    const bool exited = WaitUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit);
    if (!exited) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    return exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Aria2LoopbackOptions()
{
    return {"--interface=127.0.0.1", "--disable-ipv6=true", "--enable-dht=false", "--enable-dht6=false",
            "--bt-enable-lpd=false", "--enable-peer-exchange=false", "--summary-interval=0",
            "--console-log-level=warn", "--check-certificate=false"};
}

bool HaveProgram(const std::string &name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

int FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}
