// A web server on 127.0.0.1 for the fetch tests: serves named bodies, answers
// 404 for anything else, and records every name asked for.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class CHttpTestServer {
public:
    CHttpTestServer();
    ~CHttpTestServer();

    // "http://127.0.0.1:<port>/"
    std::string Base() const;

    void Serve(const std::string &name, const std::string &body);
    // Announces the whole body's length, sends only its first half, then drops the connection.
    void ServeCutOff(const std::string &name, const std::string &body);
    // Sends the body one byte at a time with a pause before each: slow, but moving.
    void ServeTrickle(const std::string &name, const std::string &body, std::chrono::milliseconds pause);
    // Runs on the server's thread before a served name is answered (call after Serve).
    void BeforeAnswer(const std::string &name, std::function<void()> hook);

    std::vector<std::string> Requests() const;
    int CountOf(const std::string &name) const;

private:
    struct TAnswer {
        std::string body;
        bool cutOff = false;
        std::chrono::milliseconds pause{0};
        std::function<void()> hook;
    };

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::map<std::string, TAnswer> m_answers;
    std::vector<std::string> m_requests;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

// A listener on 127.0.0.1 that never accepts: with backlog 0 and its queue
// filled, a new connection never completes; otherwise one completes and is
// never answered.
class CSilentListener {
public:
    explicit CSilentListener(bool fullBacklog);
    ~CSilentListener();
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

private:
    int m_listener = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
};
