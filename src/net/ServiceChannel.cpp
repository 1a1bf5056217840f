#include "net/ServiceChannel.h"

#include "net/ServiceConnection.h"
#include "store/CatalogueStore.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

CServiceChannel::CServiceChannel(CCatalogueStore &store, CKeyStore &keys, CMainWindowLink &link, ISyncWorkers &workers,
                                 TClock clock)
    : m_store(store), m_clock(clock ? std::move(clock) : [] { return static_cast<int64_t>(std::time(nullptr)); }),
      m_watch(link, m_clock), m_dispatch(store, keys, link, workers, &m_watch)
{
}

void CServiceChannel::SetLoginRetry(std::function<void()> retry)
{
    std::lock_guard<std::mutex> lock(m_retryMutex);
    m_loginRetry = std::move(retry);
}

void CServiceChannel::RetryLoginIfDue()
{
    std::lock_guard<std::mutex> lock(m_retryMutex);
    if (m_loginRetry && m_watch.LoginRetryDue())
        m_loginRetry();
}

void CServiceChannel::NoteUndelivered(const CServiceConnection &record)
{
    if (record.state == CONN_CLOSING && record.receive.Length() == 0)
        m_watch.OnDeliveryFailed(EServiceProblem::Unreachable, m_store.GetConfigValue(CFG_CONNECTION), record.error);
}

CServiceChannel::~CServiceChannel() { Stop(); }

void CServiceChannel::Start()
{
    if (m_thread.joinable() || pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
}

void CServiceChannel::Stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    const char byte = 0;
    (void)!write(m_wake[1], &byte, 1);
    m_thread.join();
    close(m_wake[0]);
    close(m_wake[1]);
    m_wake[0] = m_wake[1] = -1;
}

void CServiceChannel::SendServiceMessage(const char *text)
{
    if (!text)
        return;
    auto connection = std::make_unique<CServiceConnection>(m_clock());
    const std::string configured = m_store.GetConfigValue(CFG_CONNECTION);
    sockaddr_in address;
    if (configured.empty()) {
        m_watch.OnDeliveryFailed(EServiceProblem::NotConfigured, configured, 0);
        return;
    }
    if (!ParseServiceAddress(configured, address)) {
        m_watch.OnDeliveryFailed(EServiceProblem::BadAddress, configured, 0);
        return;
    }
    if (!connection->Connect(address)) {
        m_watch.OnDeliveryFailed(EServiceProblem::Unreachable, configured, connection->error);
        return;
    }
    if (connection->send.Append(text, static_cast<int>(std::strlen(text))) != 0)
        return;
    // The first send attempt happens before the record is listed, so that only
    // one thread ever works on a listed record.
    if (connection->state == CONN_CONNECTED)
        connection->SendAttempt();
    std::lock_guard<std::mutex> lock(m_listMutex);
    m_list.push_back(std::move(connection));
}

size_t CServiceChannel::ConnectionCount() const
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    return m_list.size() + m_ending;
}

std::vector<CServiceConnection *> CServiceChannel::Snapshot() const
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    std::vector<CServiceConnection *> records;
    records.reserve(m_list.size());
    for (const auto &record : m_list)
        records.push_back(record.get());
    return records;
}

void CServiceChannel::Run()
{
    while (!m_stop) {
        RunPass();
        RetryLoginIfDue();
        ++m_passes;
    }
}

void CServiceChannel::RunPass()
{
    // The wake pipe comes first; with no socket to watch the wait is the idle sleep.
    std::vector<pollfd> watched{{m_wake[0], POLLIN, 0}};
    std::vector<CServiceConnection *> polled;
    for (CServiceConnection *record : Snapshot()) {
        record->revents = 0;
        if (record->socket < 0 || (record->state != CONN_CONNECTED && record->state != CONN_CONNECTING))
            continue;
        watched.push_back({record->socket, static_cast<short>(record->state == CONN_CONNECTED ? POLLIN : POLLOUT), 0});
        polled.push_back(record);
    }
    if (poll(watched.data(), watched.size(), kWaitMilliseconds) < 0)
        return;
    if (m_stop)
        return;
    for (size_t i = 0; i < polled.size(); ++i)
        polled[i]->revents = watched[i + 1].revents;

    const int64_t now = m_clock();
    // Records appended during the wait are visited too; nothing was watched for them.
    for (CServiceConnection *record : Snapshot())
        Serve(*record, now);

    TList finished;
    {
        std::lock_guard<std::mutex> lock(m_listMutex);
        for (auto it = m_list.begin(); it != m_list.end();) {
            const auto next = std::next(it);
            if ((*it)->Finished())
                finished.splice(finished.end(), m_list, it);
            it = next;
        }
        m_ending = finished.size();
    }
    for (const auto &record : finished)
        NoteUndelivered(*record);
    std::lock_guard<std::mutex> lock(m_listMutex);
    m_ending = 0;
}

void CServiceChannel::Serve(CServiceConnection &record, int64_t now)
{
    const bool readable = record.revents & (POLLIN | POLLHUP | POLLERR);
    const bool writable = record.revents & (POLLOUT | POLLHUP | POLLERR);
    if (record.state == CONN_CONNECTED && record.send.Length() > 0)
        record.SendAttempt();

    if (readable && record.state == CONN_CONNECTED) {
        const bool room = !record.receive.Full() || record.receive.Grow();
        if (room)
            record.ReceiveAttempt();
        if (record.state == CONN_CONNECTED) {
            if (record.receive.Length() == 0) {
                record.state = CONN_CLOSING;
            } else {
                const EReplyResult result =
                    m_dispatch.Dispatch(record.receive.Data(), static_cast<size_t>(record.receive.Length()));
                if (result == EReplyResult::Done)
                    record.state = CONN_DONE;
                // A reply still incomplete when the server has closed, or when it
                // fills the whole buffer, can never complete.
                else if (result == EReplyResult::Closed || record.peerClosed || !room)
                    record.state = CONN_CLOSING;
            }
        }
    }

    if (writable && record.state == CONN_CONNECTING)
        record.FinishConnect();

    if (now - record.created > kTimeLimitSeconds) {
        if (record.state != CONN_DONE && record.error == 0)
            record.error = ETIMEDOUT;
        record.state = CONN_CLOSING;
    }
}
