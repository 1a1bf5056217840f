// The minimal HTTP tracker: an announce in, a bencoded compact peer list out.
// It knows nothing of HTTP servers (TrackerServer.h puts it on one), so the
// announce rules are tested without a socket.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>

struct TAnnounce {
    std::string infoHash; // 20 raw bytes
    std::string peerId;   // raw bytes as the client sent them
    std::string ip;       // the announcing peer's IPv4 address, dotted
    int port = 0;
    long long left = -1;  // bytes the peer still needs; 0 for a seed
    std::string event;    // "", "started", "completed" or "stopped"
    int numWant = 50;
};

class CTracker {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int kMaxNumWant = 200;
    // libtorrent announces no more often than every 300 s whatever a tracker asks, and
    // peers are forgotten after two missed intervals: asking for less would drop them.
    static constexpr int kDefaultInterval = 300;

    explicit CTracker(int intervalSeconds = kDefaultInterval, Clock clock = std::chrono::steady_clock::now);

    // The raw query of "GET /announce?<query>" and the requester's address, answered
    // with a bencoded dictionary (a "failure reason" one for a malformed announce).
    std::string AnnounceQuery(const std::string &query, const std::string &remoteAddress);
    std::string Announce(const TAnnounce &announce);

    // Peers currently known for a torrent (20 raw bytes).
    int PeerCount(const std::string &infoHash) const;

    static std::string Failure(const std::string &reason);

private:
    struct TPeer {
        uint32_t address = 0; // host order
        uint16_t port = 0;
        bool seed = false;
        std::chrono::steady_clock::time_point lastSeen;
    };
    using TSwarm = std::map<std::string, TPeer>; // by peer id

    void ExpireLocked(TSwarm &swarm, std::chrono::steady_clock::time_point now);

    const int m_intervalSeconds;
    const Clock m_clock;
    mutable std::mutex m_mutex; // the server answers announces on several threads
    std::map<std::string, TSwarm> m_swarms; // by info hash
};

// Parses an announce query ("info_hash=...&peer_id=...&port=..."); the requester's
// address becomes the peer's address. Returns an empty string or what is wrong.
std::string ParseAnnounce(const std::string &query, const std::string &remoteAddress, TAnnounce &announce);
