// Makes a torrent for every video of the service catalogue (naming the service's
// tracker) and seeds them all from one libtorrent session on 127.0.0.1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace libtorrent { class session; }

class CServiceCatalogue;

class CSeeder {
public:
    CSeeder();
    ~CSeeder();

    // Writes web/torrents/<ID>.torrent for each file and starts seeding, sending at
    // most uploadLimit KB/s in all (0: as fast as it can).
    bool Start(CServiceCatalogue &catalogue, const std::string &dataFolder, const std::string &announceUrl,
               uint16_t port, int uploadLimit = 0);
    int TorrentCount() const { return m_count; }

private:
    std::unique_ptr<libtorrent::session> m_session;
    int m_count = 0;
};
