// Rate limits second by second: two libtorrent sessions on 127.0.0.1, one with the
// engine's settings and a rate limit (download, then upload), the other unlimited.
// The limited session's payload counter is sampled every 50 ms with libtorrent's own
// timestamps; the bench prints the most bytes in any one second from the first byte,
// and the average, at the tick the engine's limits choose and at the session's own
// tick (what ran before the limits chose one).
//   build/bench/bench_limit [KiB/s] [seconds]
#include "BenchSupport.h"
#include "EngineLimits.h"
#include "EnginePeers.h"
#include "EngineSettings.h"

#include <libtorrent/add_torrent_params.hpp>
#include <libtorrent/alert_types.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/session_stats.hpp>
#include <libtorrent/torrent_info.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace lt = libtorrent;

namespace {

struct TSample {
    lt::time_point at;
    std::int64_t bytes;
};

struct TFigures {
    double worstSecond = 0; // bytes
    double average = 0;     // bytes per second
};

lt::settings_pack PeerSettings()
{
    lt::settings_pack pack = DefaultEngineOptions().settings;
    pack.set_str(lt::settings_pack::listen_interfaces, "127.0.0.1:0");
    return pack;
}

// The most bytes between two samples at most a second apart, from the last sample
// before the first byte; and the average from there to the end.
TFigures Judge(const std::vector<TSample> &samples)
{
    TFigures figures;
    size_t first = 0;
    while (first + 1 < samples.size() && samples[first + 1].bytes == samples.front().bytes)
        ++first;
    for (size_t i = first; i < samples.size(); ++i)
        for (size_t j = i + 1; j < samples.size() && samples[j].at - samples[i].at <= std::chrono::seconds(1); ++j)
            figures.worstSecond = std::max(figures.worstSecond, static_cast<double>(samples[j].bytes - samples[i].bytes));
    const double span = std::chrono::duration<double>(samples.back().at - samples[first].at).count();
    if (span > 0)
        figures.average = static_cast<double>(samples.back().bytes - samples[first].bytes) / span;
    return figures;
}

// One transfer of torrent between a limited and an unlimited session, for seconds.
TFigures Measure(const TTestTorrent &torrent, EEngineLimit limit, int kilobytesPerSecond, bool ownTick,
                 const std::string &folder, int seconds)
{
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    lt::settings_pack limited = PeerSettings();
    CEngineLimits limits(folder + "/limits.txt", limited.get_int(lt::settings_pack::tick_interval));
    limits.Apply(limit, kilobytesPerSecond, limited);
    if (ownTick)
        limited.set_int(lt::settings_pack::tick_interval, PeerSettings().get_int(lt::settings_pack::tick_interval));
    lt::session limitedSession(limited);
    limitedSession.set_peer_class_filter(EveryAddressRateLimited());
    lt::session otherSession(PeerSettings());

    const bool download = limit == EEngineLimit::DownloadRate;
    lt::session &seeder = download ? otherSession : limitedSession;
    lt::session &receiver = download ? limitedSession : otherSession;
    lt::add_torrent_params seed;
    seed.ti = std::make_shared<lt::torrent_info>(torrent.torrentPath);
    seed.save_path = std::filesystem::path(torrent.contentPath).parent_path();
    seed.flags = lt::torrent_flags::seed_mode;
    seeder.add_torrent(seed);
    lt::add_torrent_params fetch;
    fetch.ti = seed.ti;
    fetch.save_path = folder;
    fetch.flags = {};
    lt::torrent_handle fetching = receiver.add_torrent(fetch);
    fetching.connect_peer({lt::make_address("127.0.0.1"), seeder.listen_port()});

    const int counter = lt::find_metric_idx(download ? "net.recv_payload_bytes" : "net.sent_payload_bytes");
    std::vector<TSample> samples;
    std::vector<lt::alert *> alerts;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        limitedSession.post_session_stats();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        limitedSession.pop_alerts(&alerts);
        for (lt::alert *alert : alerts)
            if (const auto *stats = lt::alert_cast<lt::session_stats_alert>(alert))
                samples.push_back({stats->timestamp(), stats->counters()[counter]});
    }
    return samples.size() > 1 ? Judge(samples) : TFigures{};
}

} // namespace

int main(int argc, char **argv)
{
    const int kilobytesPerSecond = argc > 1 ? std::atoi(argv[1]) : 100;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 8;
    const std::string scratch = EnterScratchFolder("tovix-bench-limit");
    std::filesystem::create_directories(scratch + "/seed");
    const TTestTorrent torrent =
        MakeTestTorrent(scratch + "/seed", "movie.bin", 64LL << 20, "http://127.0.0.1:1/announce", 1);
    const double limit = kilobytesPerSecond * 1024.0;
    std::printf("limit %d KiB/s, %d s per run; most bytes in one second from the first byte, and the average\n",
                kilobytesPerSecond, seconds);
    for (const EEngineLimit direction : {EEngineLimit::DownloadRate, EEngineLimit::UploadRate})
        for (const bool ownTick : {false, true}) {
            const TFigures figures = Measure(torrent, direction, kilobytesPerSecond, ownTick, scratch + "/run", seconds);
            std::printf("%-8s %-22s worst second %7.0f B (%.2f x limit), average %7.0f B/s (%.2f x limit)\n",
                        direction == EEngineLimit::DownloadRate ? "download" : "upload",
                        ownTick ? "session's own tick:" : "tick of the limits:", figures.worstSecond,
                        figures.worstSecond / limit, figures.average, figures.average / limit);
            std::fflush(stdout);
        }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
