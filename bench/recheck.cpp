// The cost of an exact resume: a 1 GiB download killed (SIGKILL) at 10 %, then
// started again. The restart hashes the pieces written after the download's last
// record; the figure is how long InitDownloader takes, with the engine's own
// account of the pieces it read ("Recheck n pieces of ...").
#include "BenchSupport.h"
#include "BenchSwarm.h"

#include <tovixsock.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr long long kSize = 1LL << 30;
constexpr double kKillAt = 10.0; // percent
constexpr int kRuns = 3;

// The engine's last "Recheck" line.
std::string g_recheck;

void KeepRecheckLine(const char *message, unsigned long length)
{
    const std::string line(message, length);
    if (line.rfind("Recheck ", 0) == 0)
        g_recheck = line;
}

// The engine downloads in a child process until it passes kKillAt, then is killed.
bool DownloadAndKill(const std::string &folder, const TTestTorrent &torrent, double &progress)
{
    CChildProcess child;
    if (!child.Start({ENGINE_CHILD_PATH, folder, "0", torrent.torrentPath, folder + "/video.avi"}))
        return false;
    std::string line;
    progress = 0;
    while (progress < kKillAt && child.ReadLine(line, std::chrono::seconds(60)))
        std::sscanf(line.c_str(), "%*d %lf", &progress);
    child.Kill(SIGKILL);
    child.Wait(std::chrono::seconds(10));
    return progress >= kKillAt;
}

} // namespace

int main()
{
    SetLogWriter(KeepRecheckLine);
    const std::string scratch = EnterScratchFolder("tovix-bench-recheck");
    CBenchSwarm swarm;
    if (!swarm.Start(scratch, kSize))
        return 1;
    const TTestTorrent &torrent = swarm.Torrent();
    std::printf("a %lld MiB download from one seeder on 127.0.0.1, killed at %.0f %%, then started again\n",
                kSize >> 20, kKillAt);

    for (int run = 1; run <= kRuns; ++run) {
        const std::string folder = scratch + "/run" + std::to_string(run);
        std::filesystem::create_directories(folder + "/EngineState");
        std::ofstream(folder + "/EngineState/settings.txt") << "listen_interfaces = 127.0.0.1:0\n";
        double killedAt = 0;
        if (!DownloadAndKill(folder, torrent, killedAt)) {
            std::printf("run %d: the download did not reach %.0f %%\n", run, kKillAt);
            return 1;
        }
        std::filesystem::current_path(folder);
        g_recheck = "no recheck";
        const auto start = std::chrono::steady_clock::now();
        const int started = InitDownloader();
        const double seconds = SecondsSince(start);
        const double progress = started == 1 ? GetProgress(GetPosByTorrent(torrent.torrentPath.c_str())) : 0;
        CleanUp();
        std::printf("run %d: killed at %.1f %%; InitDownloader %.3f s, then at %.1f %%; %s\n", run, killedAt, seconds,
                    progress, g_recheck.c_str());
        std::fflush(stdout);
        std::filesystem::current_path(scratch);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
