#include "Seeder.h"

#include "EngineSettings.h"
#include "ServiceCatalogue.h"
#include "base/GbkText.h"
#include "store/XmlNumber.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <libtorrent/create_torrent.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/settings_pack.hpp>
#include <libtorrent/torrent_info.hpp>

namespace fs = std::filesystem;
namespace lt = libtorrent;

CSeeder::CSeeder() = default;
CSeeder::~CSeeder() = default;

namespace {

bool MakeTorrent(const fs::path &video, const fs::path &torrent, const std::string &announceUrl)
{
    lt::file_storage files;
    lt::add_files(files, video.string());
    lt::create_torrent maker(files, 0, lt::create_torrent::v1_only);
    maker.add_tracker(announceUrl);
    maker.set_creator("tovix-service");
    lt::error_code error;
    lt::set_piece_hashes(maker, video.parent_path().string(), error);
    if (error)
        return false;
    std::vector<char> bytes;
    lt::bencode(std::back_inserter(bytes), maker.generate());
    std::ofstream out(torrent, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

bool CSeeder::Start(CServiceCatalogue &catalogue, const std::string &dataFolder, const std::string &announceUrl,
                    uint16_t port, int uploadLimit)
{
    lt::settings_pack settings;
    settings.set_str(lt::settings_pack::listen_interfaces, "127.0.0.1:" + std::to_string(port));
    settings.set_bool(lt::settings_pack::enable_dht, false);
    settings.set_bool(lt::settings_pack::enable_lsd, false);
    settings.set_bool(lt::settings_pack::enable_upnp, false);
    settings.set_bool(lt::settings_pack::enable_natpmp, false);
    // Every peer on loopback shares one address.
    settings.set_bool(lt::settings_pack::allow_multiple_connections_per_ip, true);
    // uTP crawls on loopback; TCP is what makes the demo's downloads quick.
    settings.set_bool(lt::settings_pack::enable_outgoing_utp, false);
    settings.set_bool(lt::settings_pack::enable_incoming_utp, false);
    settings.set_int(lt::settings_pack::alert_mask, lt::alert_category::error);
    settings.set_int(lt::settings_pack::active_seeds, -1);
    settings.set_int(lt::settings_pack::active_limit, -1);
    settings.set_int(lt::settings_pack::send_buffer_watermark, 8 * 1024 * 1024);
    settings.set_int(lt::settings_pack::upload_rate_limit, uploadLimit > 0 ? uploadLimit * 1024 : 0);
    settings.set_int(lt::settings_pack::max_allowed_in_request_queue, 2000);
    m_session = std::make_unique<lt::session>(settings);
    // The limit holds for loopback peers too, which libtorrent would otherwise exempt.
    m_session->set_peer_class_filter(EveryAddressRateLimited());

    const fs::path data = fs::absolute(dataFolder);
    bool ok = true;
    catalogue.ForEachFile([&](const TiXmlElement &file) {
        const fs::path video = data / "videos" / GbkToUtf8(TextAttribute(&file, "Location"));
        const fs::path torrent = data / "web/torrents" / TextAttribute(&file, "Torrent");
        if (!MakeTorrent(video, torrent, announceUrl)) {
            std::cerr << "tovix-service: cannot make a torrent of " << video << "\n";
            ok = false;
            return;
        }
        lt::add_torrent_params params;
        params.ti = std::make_shared<lt::torrent_info>(torrent.string());
        params.save_path = video.parent_path().string();
        // Started at once and never queued: the default flags would add it paused and auto-managed.
        params.flags = lt::torrent_flags::seed_mode;
        m_session->add_torrent(params);
        ++m_count;
    });
    return ok;
}
