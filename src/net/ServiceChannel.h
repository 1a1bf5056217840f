// The service message channel: every message gets its own non-blocking TCP
// connection to the message server named by the Connection item; one network
// thread serves them all and hands each reply to the reply dispatch.
#pragma once

#include "net/ReplyDispatch.h"
#include "net/ServiceWatch.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CServiceConnection;

class CServiceChannel {
public:
    // Seconds since 1970; tests replace it to pass the time limit without waiting.
    using TClock = std::function<int64_t()>;

    static constexpr int kTimeLimitSeconds = 60;
    static constexpr int kWaitMilliseconds = 1000;

    CServiceChannel(CCatalogueStore &store, CKeyStore &keys, CMainWindowLink &link, ISyncWorkers &workers,
                    TClock clock = nullptr);
    // Stops the network thread; open connections are closed.
    ~CServiceChannel();
    CServiceChannel(const CServiceChannel &) = delete;
    CServiceChannel &operator=(const CServiceChannel &) = delete;

    // Starts the network thread; the program never stops it.
    void Start();
    // Ends the network thread after its current pass and waits for it.
    void Stop();

    // Queues one message on a new connection; a message whose connection cannot
    // be started is lost, and the watch is told why. Safe from any thread.
    void SendServiceMessage(const char *text);

    // Whether the service has answered a login report yet, and what stands in the way.
    CServiceWatch &Watch() { return m_watch; }
    // What the network thread runs every 30 s until a login reply arrives
    // (sending the login report again); empty stops it.
    void SetLoginRetry(std::function<void()> retry);

    // Records the channel still works on: listed, or taken off the list and not yet
    // told about (an undelivered one's problem goes to the watch after the list).
    size_t ConnectionCount() const;
    // Passes of the network thread completed so far.
    uint64_t Passes() const { return m_passes.load(); }

private:
    using TList = std::list<std::unique_ptr<CServiceConnection>>;

    void Run();
    void RunPass();
    void Serve(CServiceConnection &connection, int64_t now);
    // A record that ends without a byte from the server was not delivered.
    void NoteUndelivered(const CServiceConnection &connection);
    void RetryLoginIfDue();
    std::vector<CServiceConnection *> Snapshot() const;

    CCatalogueStore &m_store;
    TClock m_clock;
    CServiceWatch m_watch;
    CReplyDispatch m_dispatch;
    std::mutex m_retryMutex;
    std::function<void()> m_loginRetry;

    // Appended by the sending threads, unlinked by the network thread: the links
    // change only under the mutex. A record's fields belong to the sending thread
    // until it is appended and to the network thread afterwards.
    mutable std::mutex m_listMutex;
    size_t m_ending = 0; // records taken off the list whose end is being told; under m_listMutex
    TList m_list;

    // Wakes the network thread out of its wait when it is told to stop.
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_passes{0};
    std::thread m_thread;
};
