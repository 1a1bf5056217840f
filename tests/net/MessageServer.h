// A message server on 127.0.0.1 for the tests: reads each request whole (its
// tokens say where it ends) and answers as the test's script says.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One accepted connection, as the script sees it. Every wait is bounded.
class CServerPeer {
public:
    using TRecord = std::function<void(const std::string &request)>;

    CServerPeer(int socket, TRecord record) : m_socket(socket), m_record(std::move(record)) {}
    ~CServerPeer();

    // The request's bytes, once its last token has arrived; empty on a time-out.
    std::string ReadRequest();
    // False when the client has gone.
    bool Send(const std::string &bytes);
    // One send per piece, each pushed out on its own.
    bool SendInPieces(const std::string &bytes, size_t pieceSize);
    // True when the client closed its end within the bound.
    bool WaitForClientClose();

private:
    // Waits until the socket is readable; false after the bound.
    bool WaitReadable();

    int m_socket;
    TRecord m_record;
};

class CMessageServer {
public:
    using TScript = std::function<void(CServerPeer &peer)>;

    CMessageServer();
    // Waits for every script to finish, then closes.
    ~CMessageServer();

    // "127.0.0.1:<port>", as the Connection item names it.
    std::string Address() const;
    // The script for the connections accepted from now on.
    void SetScript(TScript script);
    // Every request read so far, in the order they were read.
    std::vector<std::string> Requests() const;
    size_t Accepted() const { return m_accepted.load(); }

private:
    void AcceptLoop();

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_accepted{0};
    mutable std::mutex m_mutex;
    TScript m_script;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_peers;
    std::thread m_acceptor;
};

// Polls a condition every few milliseconds, for at most the given time.
bool WaitUntil(const std::function<bool()> &condition, double seconds = 10);
