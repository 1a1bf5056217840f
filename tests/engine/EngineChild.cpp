// The engine in a process of its own, for tests that kill it: works in <folder>,
// limits downloads to <limitKB>, adds each <torrent> <save> pair and prints one
// line every 50 ms: for each download "<finished> <progress>".
#include <tovixsock.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 5 || (argc - 3) % 2 != 0 || chdir(argv[1]) != 0)
        return 2;
    if (InitDownloader() != 1)
        return 3;
    SetMaxDownload(10);
    SetMaxDLSpeed(std::atoi(argv[2]));
    std::vector<const char *> torrents;
    for (int i = 3; i < argc; i += 2) {
        if (AddDownload(argv[i], argv[i + 1]) != 1)
            return 4;
        torrents.push_back(argv[i]);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const char *torrent : torrents) {
            const int pos = GetPosByTorrent(torrent);
            std::printf("%d %.2f ", IsFinished(pos), GetProgress(pos));
        }
        std::printf("\n");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    CleanUp();
    return 5;
}
