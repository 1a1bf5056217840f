#include "Tracker.h"
#include "TrackerServer.h"

#include <gtest/gtest.h>

#include <httplib.h>

namespace {

using namespace std::chrono_literals;

const std::string kHash(20, 'h');

std::string Query(const std::string &peerId, int port, long long left, const std::string &extra = "")
{
    // Binary info hash, percent-escaped, with a '+' that must stay a '+'.
    std::string hash;
    for (int i = 0; i < 19; ++i)
        hash += "%68";
    return "info_hash=" + hash + "%2B&peer_id=" + peerId + "&port=" + std::to_string(port) +
           "&left=" + std::to_string(left) + "&compact=1" + extra;
}

// The compact peer list of a reply, as "a.b.c.d:port" entries.
std::vector<std::string> Peers(const std::string &reply)
{
    const std::string key = "5:peers";
    const size_t at = reply.find(key);
    std::vector<std::string> peers;
    if (at == std::string::npos)
        return peers;
    size_t colon = reply.find(':', at + key.size());
    const size_t length = std::stoul(reply.substr(at + key.size(), colon - at - key.size()));
    const std::string compact = reply.substr(colon + 1, length);
    for (size_t i = 0; i + 6 <= compact.size(); i += 6) {
        const auto *b = reinterpret_cast<const unsigned char *>(compact.data() + i);
        peers.push_back(std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
                        std::to_string(b[3]) + ":" + std::to_string(b[4] * 256 + b[5]));
    }
    return peers;
}

} // namespace

TEST(Tracker, ListsOtherPeersSeedsFirstAndForgetsStoppedOnes)
{
    CTracker tracker(30);
    const std::string hash = std::string(19, 'h') + "+";
    EXPECT_TRUE(Peers(tracker.AnnounceQuery(Query("leecher1", 7001, 500), "127.0.0.1")).empty());
    EXPECT_EQ(1, tracker.PeerCount(hash));
    tracker.AnnounceQuery(Query("seed", 7002, 0), "::ffff:10.0.0.2");
    const std::string reply = tracker.AnnounceQuery(Query("leecher2", 7003, 100), "127.0.0.1");
    EXPECT_EQ((std::vector<std::string>{"10.0.0.2:7002", "127.0.0.1:7001"}), Peers(reply));
    EXPECT_NE(std::string::npos, reply.find("8:completei1e10:incompletei2e8:intervali30e"));

    tracker.AnnounceQuery(Query("leecher1", 7001, 500, "&event=stopped"), "127.0.0.1");
    EXPECT_EQ((std::vector<std::string>{"10.0.0.2:7002"}),
              Peers(tracker.AnnounceQuery(Query("leecher2", 7003, 100, "&numwant=5"), "127.0.0.1")));
    EXPECT_TRUE(Peers(tracker.AnnounceQuery(Query("leecher2", 7003, 100, "&numwant=0"), "127.0.0.1")).empty());
}

TEST(Tracker, PeersThatStopAnnouncingExpire)
{
    std::chrono::steady_clock::time_point now{};
    CTracker tracker(10, [&] { return now; });
    tracker.AnnounceQuery(Query("old", 7001, 0), "127.0.0.1");
    now += 45s;
    tracker.AnnounceQuery(Query("new", 7002, 0), "127.0.0.1");
    EXPECT_EQ(2, tracker.PeerCount(std::string(19, 'h') + "+"));
    now += 10s; // "old" missed two announces and the grace period
    EXPECT_EQ((std::vector<std::string>{"127.0.0.1:7002"}),
              Peers(tracker.AnnounceQuery(Query("third", 7003, 5), "127.0.0.1")));
}

TEST(Tracker, KeepsPeersThatAnnounceAtLibtorrentsOwnPace)
{
    std::chrono::steady_clock::time_point now{};
    CTracker tracker(CTracker::kDefaultInterval, [&] { return now; });
    tracker.AnnounceQuery(Query("seed", 7001, 0), "127.0.0.1");
    now += 301s; // libtorrent's next announce is due only now
    EXPECT_EQ((std::vector<std::string>{"127.0.0.1:7001"}),
              Peers(tracker.AnnounceQuery(Query("leecher", 7002, 5), "127.0.0.1")));
}

TEST(Tracker, RefusesMalformedAnnounces)
{
    CTracker tracker;
    EXPECT_EQ("d14:failure reason17:invalid info_hashe", tracker.AnnounceQuery("info_hash=abc&peer_id=x&port=1", "127.0.0.1"));
    EXPECT_EQ(CTracker::Failure("invalid port"), tracker.AnnounceQuery(Query("p", 0, 0), "127.0.0.1"));
    EXPECT_EQ(CTracker::Failure("invalid port"), tracker.AnnounceQuery(Query("p", 70000, 0), "127.0.0.1"));
    EXPECT_EQ(CTracker::Failure("missing port"),
              tracker.AnnounceQuery("info_hash=" + std::string(20, 'a') + "&peer_id=x", "127.0.0.1"));
    EXPECT_EQ(CTracker::Failure("invalid peer_id"),
              tracker.AnnounceQuery("info_hash=" + std::string(20, 'a') + "&port=5", "127.0.0.1"));
    // An IPv6 peer gets the list but cannot be listed in a compact IPv4 one.
    tracker.AnnounceQuery(Query("v6", 7001, 0), "2001:db8::1");
    EXPECT_EQ(0, tracker.PeerCount(std::string(19, 'h') + "+"));
}

TEST(TrackerServer, AnswersAnnouncesOverHttp)
{
    CTrackerServer server(30);
    ASSERT_TRUE(server.Start());
    EXPECT_EQ("http://127.0.0.1:" + std::to_string(server.Port()) + "/announce", server.AnnounceUrl());
    httplib::Client client("127.0.0.1", server.Port());
    auto first = client.Get(("/announce?" + Query("one", 7001, 0)).c_str());
    ASSERT_TRUE(first);
    EXPECT_EQ(200, first->status);
    auto second = client.Get(("/announce?" + Query("two", 7002, 9)).c_str());
    ASSERT_TRUE(second);
    EXPECT_EQ((std::vector<std::string>{"127.0.0.1:7001"}), Peers(second->body));
    server.Stop();
}
