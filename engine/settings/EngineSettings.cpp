#include "EngineSettings.h"

#include "base/DebugLog.h"

#include <libtorrent/alert.hpp>
#include <libtorrent/session_handle.hpp>

#include <algorithm>
#include <fstream>
#include <thread>

namespace lt = libtorrent;

namespace {

std::string Trim(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ApplySetting(const std::string &name, const std::string &value, TEngineOptions &options)
{
    if (name == "disk_io") {
        if (value != "posix" && value != "mmap")
            return false;
        options.posixDiskIo = value == "posix";
        return true;
    }
    const int setting = lt::setting_by_name(name);
    if (setting < 0)
        return false;
    try {
        switch (setting & lt::settings_pack::type_mask) {
        case lt::settings_pack::string_type_base:
            options.settings.set_str(setting, value);
            return true;
        case lt::settings_pack::int_type_base:
            options.settings.set_int(setting, std::stoi(value));
            return true;
        case lt::settings_pack::bool_type_base:
            if (value != "true" && value != "false" && value != "1" && value != "0")
                return false;
            options.settings.set_bool(setting, value == "true" || value == "1");
            return true;
        }
    } catch (const std::exception &) {
    }
    return false;
}

} // namespace

TEngineOptions DefaultEngineOptions()
{
    TEngineOptions options;
    lt::settings_pack &pack = options.settings;
    pack.set_int(lt::settings_pack::alert_mask, lt::alert_category::status | lt::alert_category::error |
                                                    lt::alert_category::storage);
    // The service's torrents name its tracker; no other peer discovery unless a settings file asks.
    pack.set_bool(lt::settings_pack::enable_dht, false);
    pack.set_bool(lt::settings_pack::enable_lsd, false);
    pack.set_bool(lt::settings_pack::enable_upnp, false);
    pack.set_bool(lt::settings_pack::enable_natpmp, false);
    // uTP reaches a tenth of TCP's rate on a LAN; peers may still reach us over it.
    pack.set_bool(lt::settings_pack::enable_outgoing_utp, false);
    pack.set_bool(lt::settings_pack::enable_incoming_utp, true);
    // Several clients behind one address (a LAN behind NAT, or one machine) are separate peers.
    pack.set_bool(lt::settings_pack::allow_multiple_connections_per_ip, true);
    // Deep send buffers, request queues and disk queue keep a fast link busy.
    pack.set_int(lt::settings_pack::send_buffer_watermark, 8 << 20);
    pack.set_int(lt::settings_pack::send_buffer_low_watermark, 1 << 20);
    pack.set_int(lt::settings_pack::max_queued_disk_bytes, 32 << 20);
    pack.set_int(lt::settings_pack::max_out_request_queue, 1500);
    pack.set_int(lt::settings_pack::max_allowed_in_request_queue, 2000);
    // libtorrent's ten disk threads wait out slow disks; here they write into the page
    // cache and hash pieces, work for a core each, and more of them than cores only
    // queue on the file's lock: a 1 GiB download took about a tenth less time on 2 cores.
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    pack.set_int(lt::settings_pack::aio_threads, std::clamp(cores, 2, 10));
    // libtorrent connects to the peers a tracker names on its next tick: at the default
    // 500 ms that tick was most of the wait for a new download's first byte. A 100 ms
    // tick halves that wait and costs nothing measurable with 1,000 idle downloads.
    pack.set_int(lt::settings_pack::tick_interval, 100);
    return options;
}

void ReadNameValueFile(const std::string &path, const NameValueApply &apply)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string content = Trim(line.substr(0, line.find('#')));
        if (content.empty())
            continue;
        const auto equals = content.find('=');
        const std::string name = equals == std::string::npos ? content : Trim(content.substr(0, equals));
        const std::string value = equals == std::string::npos ? std::string() : Trim(content.substr(equals + 1));
        if (equals == std::string::npos || !apply(name, value))
            DebugLog("Engine setting %s error[%s]", path.c_str(), content.c_str());
    }
}

void ReadSettingsFile(const std::string &path, TEngineOptions &options)
{
    ReadNameValueFile(path, [&options](const std::string &name, const std::string &value) {
        return ApplySetting(name, value, options);
    });
}

lt::ip_filter EveryAddressRateLimited()
{
    lt::ip_filter filter;
    const std::uint32_t global = 1u << static_cast<std::uint32_t>(lt::session_handle::global_peer_class_id);
    filter.add_rule(lt::make_address("0.0.0.0"), lt::make_address("255.255.255.255"), global);
    filter.add_rule(lt::make_address("::"), lt::make_address("ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"), global);
    return filter;
}
