// Peers for the engine's tests and benchmark, all on 127.0.0.1: generated
// torrents, a libtorrent seeding session, aria2c, and child processes.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace libtorrent { class session; }

struct TTestTorrent {
    std::string contentPath; // the original file
    std::string torrentPath;
    std::string infoHash; // 20 raw bytes, as the tracker keys it
    long long size = 0;
};

// Writes size pseudo-random bytes (from seed) to folder/name and a plain v1 torrent
// announcing to announceUrl as folder/name.torrent.
TTestTorrent MakeTestTorrent(const std::string &folder, const std::string &name, long long size,
                             const std::string &announceUrl, unsigned seed);

// Polls until done() holds or the limit passes; returns done()'s last answer.
bool WaitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit,
               std::chrono::milliseconds step = std::chrono::milliseconds(20));

// A libtorrent session on 127.0.0.1 with the engine's settings, seeding generated torrents
// in place (no check) or downloading them.
class CTestPeer {
public:
    CTestPeer();
    ~CTestPeer();
    CTestPeer(const CTestPeer &) = delete;
    CTestPeer &operator=(const CTestPeer &) = delete;

    void Seed(const TTestTorrent &torrent);
    void Download(const TTestTorrent &torrent, const std::string &folder);
    // Payload bytes sent / received for a torrent so far.
    long long Uploaded(const TTestTorrent &torrent) const;
    long long Downloaded(const TTestTorrent &torrent) const;
    bool IsFinished(const TTestTorrent &torrent) const;

private:
    std::unique_ptr<libtorrent::session> m_session;
};

// A child process with its standard output on a pipe.
class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess &) = delete;
    CChildProcess &operator=(const CChildProcess &) = delete;

    bool Start(const std::vector<std::string> &argv, bool quiet = false);
    // One line of output, or false at the end of output or when the limit passes.
    bool ReadLine(std::string &line, std::chrono::milliseconds limit);
    void Kill(int signal);
    // The exit code, or -1 when it did not exit within the limit (it is killed then) or died of a signal.
    int Wait(std::chrono::milliseconds limit);
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_buffer;
};

// aria2c's options for a loopback-only peer: no DHT, no local discovery, no exchange.
std::vector<std::string> Aria2LoopbackOptions();
bool HaveProgram(const std::string &name);
// A TCP port free on 127.0.0.1 at the time of asking.
int FreeLoopbackPort();
