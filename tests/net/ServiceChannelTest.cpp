#include "net/ServiceChannel.h"
#include "HttpTestServer.h"
#include "MessageServer.h"
#include "SyncFixture.h"
#include "app/MachineIdentity.h"
#include "net/ByteBuffer.h"
#include "net/ServiceReports.h"

#include <atomic>
#include <future>

namespace {

class ServiceChannelTest : public SyncTest {
protected:
    void SetUp() override
    {
        WriteCatalogue(server.Address());
        channel.Start();
    }

    // Waits for the reply handling to end the exchange.
    bool Ended()
    {
        return WaitUntil([this] { return channel.ConnectionCount() == 0; });
    }
    // Two whole passes of the network thread from now.
    void PassTwice()
    {
        const uint64_t start = channel.Passes();
        WaitUntil([&] { return channel.Passes() >= start + 2; });
    }
    // A script that reads the request and answers with these bytes.
    void Answer(const std::string &reply, size_t pieceSize = 0)
    {
        server.SetScript([reply, pieceSize](CServerPeer &peer) {
            peer.ReadRequest();
            pieceSize ? peer.SendInPieces(reply, pieceSize) : peer.Send(reply);
            peer.WaitForClientClose();
        });
    }

    CMessageServer server;
    std::atomic<int64_t> now{1700000000};
    CServiceChannel channel{store, keys, recorder, recorder, [this] { return now.load(); }};
    CServiceReports messages{channel, store, keys};
};

TEST_F(ServiceChannelTest, RequestsCarryTheirFieldsExactly)
{
    // The server is on the loopback, so that is the address the connection uses.
    const std::string local = Str("127.0.0.1");
    const std::string identity = local + Str(GetHardwareAddress());
    const std::string text500(500, '7');
    std::vector<std::string> expected;
    auto exchange = [&](const std::string &reply, const std::function<void()> &send, const std::string &request) {
        Answer(reply);
        send();
        expected.push_back(request);
        EXPECT_TRUE(WaitUntil([&] { return server.Requests().size() == expected.size(); }));
        EXPECT_TRUE(Ended());
    };
    exchange(
        "i1ei0e", [&] { messages.SendCatalogueReport(); }, "i1ei7e" + identity);
    exchange(
        "i2ei12e0:", [&] { messages.SendVersionReport(); }, "i2ei12e");
    exchange(
        "i3ei0e", [&] { messages.SendLoginReport(nullptr); }, "i3e" + identity + "i12ei1ei7ei20260101e");
    // The login reply recorded this version: the next login reports it as known.
    exchange(
        "i3ei0e", [&] { messages.SendLoginReport(nullptr); }, "i3e" + identity + "i12ei0ei7ei20260101e");
    exchange(
        "i4e", [&] { messages.SendPlayReport(1234, 100); }, "i4e" + local + "i1234ei100e");
    exchange(
        "i5e", [&] { messages.SendTextReport("1,2,", ""); }, "i5e" + local + "4:1,2,0:");
    exchange(
        "i5e", [&] { messages.SendTextReport(text500, "3,"); }, "i5e" + local + Str(text500) + "2:3,");
    EXPECT_EQ(expected, server.Requests());

    // A text over 500 bytes is not sent at all.
    const size_t accepted = server.Accepted();
    messages.SendTextReport(text500 + "7", "");
    messages.SendTextReport("", text500 + "7");
    PassTwice();
    EXPECT_EQ(accepted, server.Accepted());
    EXPECT_EQ(0u, channel.ConnectionCount());
}

TEST_F(ServiceChannelTest, FileNewsInOnePieceIsMerged)
{
    Answer("i1ei2e" + Str(FileFragment({{1, {12}}}, "12")));
    messages.SendCatalogueReport();
    ASSERT_TRUE(WaitUntil([this] { return store.GetConfigValue(CFG_MAXID) == "12"; }));
    EXPECT_TRUE(Ended());
    EXPECT_EQ("1: 10/50 11/-1 12/0", FileCatalogue()[0]);
    EXPECT_EQ((std::vector<std::string>{"ShowChannel 0", "DownloadStart", "PictureFetcher"}), recorder.Calls());
}

TEST_F(ServiceChannelTest, ReplyInManySmallPiecesIsHandledOnceWhole)
{
    Answer("i3ei3e" + Str(FileFragment({{1, {12}}, {2, {21}}}, "21")) + Str(ChannelFragment()), 7);
    messages.SendLoginReport(nullptr);
    ASSERT_TRUE(WaitUntil([this] { return InstallRecord() == "12"; }));
    EXPECT_TRUE(Ended());
    EXPECT_EQ((std::vector<std::string>{"1: 10/50 11/-1 12/0", "2: 20/-1 21/0"}), FileCatalogue());
    EXPECT_EQ("21", store.GetConfigValue(CFG_MAXID));
    EXPECT_EQ("20270101", store.GetConfigValue(CFG_CHANNELDATE));
    EXPECT_EQ(
        (std::vector<std::string>{"ShowChannel 0", "DownloadStart", "DownloadStart", "AdFetcher", "PictureFetcher"}),
        recorder.Calls());
}

TEST_F(ServiceChannelTest, LateReplyWithinTheLimitIsHandled)
{
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    server.SetScript([released](CServerPeer &peer) {
        peer.ReadRequest();
        released.wait_for(std::chrono::seconds(10));
        peer.Send("i2ei13e" + Str("http://h/u.exe"));
        peer.WaitForClientClose();
    });
    messages.SendVersionReport();
    ASSERT_TRUE(WaitUntil([this] { return server.Requests().size() == 1; }));
    now += CServiceChannel::kTimeLimitSeconds;
    PassTwice();
    EXPECT_EQ(1u, channel.ConnectionCount());
    go.set_value();
    EXPECT_TRUE(Ended());
    EXPECT_EQ(std::vector<std::string>{"UpdateFetcher http://h/u.exe"}, recorder.Calls());
}

TEST_F(ServiceChannelTest, SilentServerIsLeftAfterTheTimeLimit)
{
    std::promise<bool> closed;
    server.SetScript([&closed](CServerPeer &peer) {
        peer.ReadRequest();
        closed.set_value(peer.WaitForClientClose());
    });
    messages.SendCatalogueReport();
    ASSERT_TRUE(WaitUntil([this] { return server.Requests().size() == 1; }));
    now += CServiceChannel::kTimeLimitSeconds;
    PassTwice();
    EXPECT_EQ(1u, channel.ConnectionCount());
    now += 1;
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(closed.get_future().get());
    // No login reply has come yet: the unanswered message tells the window.
    EXPECT_EQ(std::vector<std::string>{"ServiceProblem 3"}, recorder.Calls());
}

TEST_F(ServiceChannelTest, MalformedReplyIsClosedAtOnce)
{
    std::promise<bool> closed;
    server.SetScript([&closed](CServerPeer &peer) {
        peer.ReadRequest();
        peer.Send("i1ei1eXYZ");
        closed.set_value(peer.WaitForClientClose());
    });
    messages.SendCatalogueReport();
    EXPECT_TRUE(closed.get_future().get());
    EXPECT_TRUE(Ended());
    EXPECT_EQ("7", store.GetConfigValue(CFG_MAXID));
}

TEST_F(ServiceChannelTest, GarbageWaitsUntilTheServerCloses)
{
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    server.SetScript([released](CServerPeer &peer) {
        peer.ReadRequest();
        peer.Send("garbage that is no reply");
        released.wait_for(std::chrono::seconds(10));
    });
    messages.SendCatalogueReport();
    ASSERT_TRUE(WaitUntil([this] { return server.Requests().size() == 1; }));
    PassTwice();
    EXPECT_EQ(1u, channel.ConnectionCount());
    go.set_value();
    // No more bytes can come: the record goes without waiting for the time limit.
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_TRUE(folder.LogLines().empty());
}

TEST_F(ServiceChannelTest, PrematureCloseMergesNothing)
{
    const std::string reply = "i1ei1e" + Str(FileFragment({{1, {12}}}, "12"));
    for (const std::string &part : {std::string(), reply.substr(0, reply.size() / 2)}) {
        server.SetScript([part](CServerPeer &peer) {
            peer.ReadRequest();
            peer.Send(part);
        });
        messages.SendCatalogueReport();
        EXPECT_TRUE(Ended());
    }
    EXPECT_EQ("1: 10/50 11/-1", FileCatalogue()[0]);
    // The close without a byte counts as no answer; the half reply as an answer.
    EXPECT_EQ(std::vector<std::string>{"ServiceProblem 3"}, recorder.Calls());
    EXPECT_EQ(std::vector<std::string>{"Connect " + server.Address() + " error[0]"}, folder.LogLines());
}

TEST_F(ServiceChannelTest, ReplyBeyondTheCapIsDropped)
{
    std::string body = FileFragment({{1, {12}}}, "12");
    body.resize(CByteBuffer::kCap + 76000, ' ');
    Answer("i1ei1e" + Str(body));
    messages.SendCatalogueReport();
    ASSERT_TRUE(WaitUntil([this] { return server.Accepted() == 1; }));
    EXPECT_TRUE(Ended());
    EXPECT_EQ("1: 10/50 11/-1", FileCatalogue()[0]);
    EXPECT_EQ("7", store.GetConfigValue(CFG_MAXID));
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ServiceChannelTest, AddressWithoutListenerOrUnreadableLeavesNoRecord)
{
    store.SetConfigValue("Connection", "127.0.0.1:" + std::to_string(UnusedPort()));
    messages.SendVersionReport();
    EXPECT_TRUE(Ended());

    // Refused before any socket is made: too long for the 16-byte field, no address
    // characters, not dotted-decimal, no port.
    for (const char *connection : {"127.000.000.0001:80", "localhost:80", "1,2,3:80", "127.0.0.1", "127.0.0.1:x"}) {
        store.SetConfigValue("Connection", connection);
        messages.SendVersionReport();
        EXPECT_EQ(0u, channel.ConnectionCount()) << connection;
    }
    channel.SendServiceMessage(nullptr);
    EXPECT_EQ(0u, channel.ConnectionCount());
    EXPECT_EQ(0u, server.Accepted());
}

TEST_F(ServiceChannelTest, UntilTheFirstLoginReplyProblemsReachTheWindowAndTheLoginIsRepeated)
{
    // Each kind of problem is told once, and logged once, however many messages meet it.
    const std::string closed = "127.0.0.1:" + std::to_string(UnusedPort());
    for (const std::string &connection : {std::string(), std::string("localhost:80"), closed}) {
        store.SetConfigValue("Connection", connection);
        messages.SendVersionReport();
        messages.SendVersionReport();
        EXPECT_TRUE(Ended());
    }
    EXPECT_EQ((std::vector<std::string>{"ServiceProblem 1", "ServiceProblem 2", "ServiceProblem 3"}),
              recorder.Calls());
    const std::vector<std::string> log = folder.LogLines();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ("Connection not configured", log[0]);
    EXPECT_EQ("Bad Connection localhost:80", log[1]);
    EXPECT_EQ("Connect " + closed + " error[" + std::to_string(ECONNREFUSED) + "]", log[2]);

    // The service takes the login report and drops it twice, then answers.
    recorder.Clear();
    store.SetConfigValue("Connection", server.Address());
    std::atomic<int> logins{0};
    server.SetScript([&logins](CServerPeer &peer) {
        if (peer.ReadRequest().rfind("i3e", 0) == 0 && ++logins >= 3)
            peer.Send("i3ei0e");
    });
    channel.SetLoginRetry([this] { messages.SendLoginReport(nullptr); });
    const int64_t start = now;
    now = start + CServiceWatch::kLoginRetrySeconds - 1;
    PassTwice();
    EXPECT_EQ(0, logins.load());
    now = start + CServiceWatch::kLoginRetrySeconds;
    ASSERT_TRUE(WaitUntil([&] { return logins.load() == 1; }));
    EXPECT_TRUE(Ended());
    now += CServiceWatch::kLoginRetrySeconds;
    ASSERT_TRUE(WaitUntil([&] { return logins.load() == 2; }));
    EXPECT_TRUE(Ended());
    now += CServiceWatch::kLoginRetrySeconds;
    ASSERT_TRUE(WaitUntil([&] { return channel.Watch().LoginReplied(); }));
    EXPECT_TRUE(Ended());
    EXPECT_EQ(EServiceProblem::None, channel.Watch().Problem());
    EXPECT_EQ("12", InstallRecord());

    // Answered: no more repeats, and later failures no longer reach the window.
    now += 10 * CServiceWatch::kLoginRetrySeconds;
    PassTwice();
    EXPECT_EQ(3, logins.load());
    store.SetConfigValue("Connection", "");
    messages.SendVersionReport();
    EXPECT_EQ((std::vector<std::string>{"ServiceProblem 0", "PictureFetcher"}), recorder.Calls());
    EXPECT_EQ(3u, folder.LogLines().size());
    channel.SetLoginRetry(nullptr);
}

TEST_F(ServiceChannelTest, ConcurrentSendersKeepTheListWhole)
{
    Answer("i4e");
    constexpr int kThreads = 4;
    constexpr int kEach = 25;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t)
        senders.emplace_back([this] {
            for (int i = 0; i < kEach; ++i)
                messages.SendPlayReport(i, 100);
        });
    for (std::thread &sender : senders)
        sender.join();
    EXPECT_TRUE(WaitUntil([this] { return server.Requests().size() == kThreads * kEach; }));
    EXPECT_TRUE(Ended());
}

} // namespace
