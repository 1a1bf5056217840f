// The engine against aria2c: one libtorrent seeder and a tracker on 127.0.0.1, one
// 256 MiB torrent; three downloads each, alternating, medians. Extra arguments
// ("name = value") go into the engine's settings file, to compare settings.
// Last line: "ratio X" = aria2c median time / engine median time.
#include "BenchSupport.h"
#include "BenchSwarm.h"

#include <tovixsock.h>

#include <libtorrent/version.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr long long kSize = 256LL << 20;
constexpr int kRuns = 3;
const auto kLimit = std::chrono::minutes(5);

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// From InitDownloader to the file finished, in a fresh working folder.
double EngineRun(const std::string &folder, const TTestTorrent &torrent, const std::string &settings)
{
    std::filesystem::create_directories(folder + "/EngineState");
    std::ofstream(folder + "/EngineState/settings.txt") << "listen_interfaces = 127.0.0.1:0\n" << settings;
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const auto start = std::chrono::steady_clock::now();
    double seconds = -1;
    if (InitDownloader() == 1) {
        SetMaxDownload(10);
        if (AddDownload(torrent.torrentPath.c_str(), "video.avi") == 1 &&
            WaitUntil([&] { return IsFinished(GetPosByTorrent(torrent.torrentPath.c_str())) != 0; }, kLimit,
                      std::chrono::milliseconds(5)))
            seconds = SecondsSince(start);
        CleanUp();
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    return seconds;
}

// From starting aria2c to its exit after the download (it seeds for no time).
double Aria2Run(const std::string &folder, const TTestTorrent &torrent)
{
    std::vector<std::string> command = {"aria2c", "--dir=" + folder, "--seed-time=0", "--file-allocation=falloc",
                                        "--listen-port=" + std::to_string(FreeLoopbackPort()), torrent.torrentPath};
    const auto options = Aria2LoopbackOptions();
    command.insert(command.begin() + 1, options.begin(), options.end());
    const auto start = std::chrono::steady_clock::now();
    CChildProcess aria2;
    double seconds = -1;
    if (aria2.Start(command, true) && aria2.Wait(kLimit) == 0)
        seconds = SecondsSince(start);
    std::filesystem::remove_all(folder);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    std::string settings;
    for (int i = 1; i < argc; ++i)
        settings += std::string(argv[i]) + "\n";
    const std::string scratch = EnterScratchFolder("tovix-bench-engine");
    CBenchSwarm swarm;
    if (!swarm.Start(scratch, kSize))
        return 1;
    const TTestTorrent &torrent = swarm.Torrent();
    std::printf("one seeder (libtorrent %s), tracker and downloader on 127.0.0.1, %lld MiB torrent\n",
                libtorrent::version(), kSize >> 20);
    if (!settings.empty())
        std::printf("engine settings added:\n%s", settings.c_str());

    std::vector<double> engine;
    std::vector<double> aria2;
    for (int run = 1; run <= kRuns; ++run) {
        engine.push_back(EngineRun(scratch + "/engine" + std::to_string(run), torrent, settings));
        aria2.push_back(Aria2Run(scratch + "/aria2" + std::to_string(run), torrent));
        std::printf("run %d: engine %.2f s (%.0f MiB/s), aria2c %.2f s (%.0f MiB/s)\n", run, engine.back(),
                    (kSize >> 20) / engine.back(), aria2.back(), (kSize >> 20) / aria2.back());
        std::fflush(stdout);
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    if (*std::min_element(engine.begin(), engine.end()) < 0 || *std::min_element(aria2.begin(), aria2.end()) < 0) {
        std::printf("a download did not finish\n");
        return 1;
    }
    std::printf("median: engine %.2f s, aria2c %.2f s\n", Median(engine), Median(aria2));
    std::printf("ratio %.2f\n", Median(aria2) / Median(engine));
    return 0;
}
