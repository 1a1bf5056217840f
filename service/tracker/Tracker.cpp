#include "Tracker.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <vector>

namespace {

std::string BencodeString(const std::string &text) { return std::to_string(text.size()) + ":" + text; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Only %XX escapes are decoded: info hashes are raw bytes, and a '+' in them is
// a byte the client left unescaped, not a space.
std::string PercentDecode(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool ParseNumber(const std::string &text, long long &value)
{
    if (text.empty() || text.size() > 19)
        return false;
    char *end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return end && *end == '\0';
}

bool ParseIpv4(std::string address, uint32_t &result)
{
    const std::string mapped = "::ffff:";
    if (address.compare(0, mapped.size(), mapped) == 0)
        address = address.substr(mapped.size());
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1)
        return false;
    result = ntohl(parsed.s_addr);
    return true;
}

} // namespace

std::string ParseAnnounce(const std::string &query, const std::string &remoteAddress, TAnnounce &announce)
{
    announce = TAnnounce();
    announce.ip = remoteAddress;
    bool havePort = false;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        const std::string pair = query.substr(start, end - start);
        start = end + 1;
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = pair.substr(0, equals);
        const std::string value = PercentDecode(pair.substr(equals + 1));
        long long number = 0;
        if (key == "info_hash")
            announce.infoHash = value;
        else if (key == "peer_id")
            announce.peerId = value;
        else if (key == "event")
            announce.event = value;
        else if (key == "port") {
            if (!ParseNumber(value, number) || number < 1 || number > 65535)
                return "invalid port";
            announce.port = static_cast<int>(number);
            havePort = true;
        } else if (key == "left" && ParseNumber(value, number))
            announce.left = number;
        else if (key == "numwant" && ParseNumber(value, number) && number >= 0)
            announce.numWant = static_cast<int>(std::min<long long>(number, CTracker::kMaxNumWant));
    }
    if (announce.infoHash.size() != 20)
        return "invalid info_hash";
    if (announce.peerId.empty() || announce.peerId.size() > 20)
        return "invalid peer_id";
    if (!havePort)
        return "missing port";
    return std::string();
}

CTracker::CTracker(int intervalSeconds, Clock clock) : m_intervalSeconds(intervalSeconds), m_clock(std::move(clock)) {}

std::string CTracker::Failure(const std::string &reason) { return "d" + BencodeString("failure reason") + BencodeString(reason) + "e"; }

std::string CTracker::AnnounceQuery(const std::string &query, const std::string &remoteAddress)
{
    TAnnounce announce;
    const std::string error = ParseAnnounce(query, remoteAddress, announce);
    return error.empty() ? Announce(announce) : Failure(error);
}

void CTracker::ExpireLocked(TSwarm &swarm, std::chrono::steady_clock::time_point now)
{
    // A peer that missed two announces (and a grace period) is gone.
    const auto limit = std::chrono::seconds(2 * m_intervalSeconds + 30);
    for (auto it = swarm.begin(); it != swarm.end();)
        it = now - it->second.lastSeen > limit ? swarm.erase(it) : std::next(it);
}

std::string CTracker::Announce(const TAnnounce &announce)
{
    const auto now = m_clock();
    uint32_t address = 0;
    const bool listable = ParseIpv4(announce.ip, address);

    std::string peers;
    int complete = 0;
    int incomplete = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        TSwarm &swarm = m_swarms[announce.infoHash];
        ExpireLocked(swarm, now);
        if (announce.event == "stopped")
            swarm.erase(announce.peerId);
        else if (listable) {
            TPeer &peer = swarm[announce.peerId];
            peer.address = address;
            peer.port = static_cast<uint16_t>(announce.port);
            peer.seed = announce.left == 0;
            peer.lastSeen = now;
        }

        int listed = 0;
        const bool wantsSeeds = announce.left != 0;
        // Seeds first for a peer that still downloads: they are the ones that help it.
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto &[id, peer] : swarm) {
                if (pass == 0)
                    (peer.seed ? complete : incomplete) += 1;
                if (id == announce.peerId || listed >= announce.numWant)
                    continue;
                if (peer.seed != (pass == 0 ? wantsSeeds : !wantsSeeds))
                    continue;
                const unsigned char compact[6] = {
                    static_cast<unsigned char>(peer.address >> 24), static_cast<unsigned char>(peer.address >> 16),
                    static_cast<unsigned char>(peer.address >> 8),  static_cast<unsigned char>(peer.address),
                    static_cast<unsigned char>(peer.port >> 8),     static_cast<unsigned char>(peer.port)};
                peers.append(reinterpret_cast<const char *>(compact), sizeof compact);
                ++listed;
            }
        }
        if (swarm.empty())
            m_swarms.erase(announce.infoHash);
    }

    return "d" + BencodeString("complete") + "i" + std::to_string(complete) + "e" + BencodeString("incomplete") + "i" +
           std::to_string(incomplete) + "e" + BencodeString("interval") + "i" + std::to_string(m_intervalSeconds) +
           "e" + BencodeString("min interval") + "i" + std::to_string(std::max(1, m_intervalSeconds / 2)) + "e" +
           BencodeString("peers") + BencodeString(peers) + "e";
}

int CTracker::PeerCount(const std::string &infoHash) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_swarms.find(infoHash);
    return it == m_swarms.end() ? 0 : static_cast<int>(it->second.size());
}
