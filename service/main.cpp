// tovix-service: the bundled demo service (message server, web server, tracker
// and seeder on 127.0.0.1), its sample data and client folders.
#include "MessageServer.h"
#include "SampleData.h"
#include "Seeder.h"
#include "ServiceCatalogue.h"
#include "WebServer.h"
#include "TrackerServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const char *kUsage = R"(Usage:
  tovix-service generate DATA [--clip-seconds N] [--held-back N] [--version N]
      Makes the sample catalogue in the folder DATA: 3 categories, 8 channels,
      about 40 short clips with pictures (ffmpeg), advertisement clips, pages
      and an updater. --clip-seconds: length of each clip (6); --held-back:
      files published later, one per interval (4); --version: the version
      announced to clients (2).
  tovix-service client FOLDER [--port-base N] [--skins DIR]
      Makes a client working folder: Configure.xml pointing at a service on
      --port-base, its folders, and the skin images copied from DIR.
  tovix-service serve DATA [--port-base N] [--publish-every SECONDS] [--seed-rate KB]
      Serves DATA on 127.0.0.1: message server on N, web server on N+1,
      tracker on N+2, seeder on N+3 (N defaults to 18600). Every SECONDS
      (0: never; default 60) one held-back file is published. Requests are
      recorded in DATA/requests.log and DATA/web-requests.log. --seed-rate:
      the seeder's upload limit in KB/s (0, the default: none). SIGUSR1
      publishes the next held-back file at once. Runs until SIGINT or SIGTERM.
  tovix-service --help
)";

struct TArguments {
    std::string command;
    std::string folder;
    uint16_t portBase = 18600;
    int publishEvery = 60;
    int seedRate = 0;
    std::string skins = "Skins";
    TSampleOptions sample;
};

bool ParseNumber(const char *text, int low, int high, int &value)
{
    char *end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (!*text || *end || number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool Parse(int argc, char **argv, TArguments &args)
{
    if (argc < 3)
        return false;
    args.command = argv[1];
    args.folder = argv[2];
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc)
            return false;
        const std::string flag = argv[i];
        int number = 0;
        if (flag == "--skins") {
            args.skins = argv[i + 1];
            continue;
        }
        if (!ParseNumber(argv[i + 1], 0, 65535, number))
            return false;
        if (flag == "--port-base" && number >= 1024 && number <= 65532)
            args.portBase = static_cast<uint16_t>(number);
        else if (flag == "--publish-every")
            args.publishEvery = number;
        else if (flag == "--seed-rate")
            args.seedRate = number;
        else if (flag == "--clip-seconds" && number >= 1 && number <= 600)
            args.sample.clipSeconds = number;
        else if (flag == "--held-back" && number <= 100)
            args.sample.heldBack = number;
        else if (flag == "--version" && number >= 1)
            args.sample.version = number;
        else
            return false;
    }
    return args.command == "generate" || args.command == "client" || args.command == "serve";
}

int Serve(const TArguments &args)
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr); // every thread started below inherits the mask

    const std::string data = std::filesystem::absolute(args.folder).string();
    CServiceCatalogue catalogue;
    if (!catalogue.Load(data + "/" + CServiceCatalogue::kFileName)) {
        std::fprintf(stderr, "tovix-service: no catalogue in %s (run 'tovix-service generate %s' first)\n",
                     data.c_str(), args.folder.c_str());
        return 1;
    }
    const TServicePorts ports = TServicePorts::FromBase(args.portBase);
    const std::string web = "http://127.0.0.1:" + std::to_string(ports.web);

    CWebServer webServer;
    CTrackerServer tracker;
    CSeeder seeder;
    CMessageServer messages(catalogue, web + "/" + catalogue.UpdaterPath(), data + "/requests.log");
    if (!webServer.Start(data + "/web", ports.web, data + "/web-requests.log") || !tracker.Start("127.0.0.1", ports.tracker) ||
        !seeder.Start(catalogue, data, "http://127.0.0.1:" + std::to_string(ports.tracker) + "/announce",
                      ports.seeder, args.seedRate) ||
        !messages.Start(ports.message)) {
        std::fprintf(stderr, "tovix-service: cannot start on ports %u-%u (in use?)\n", ports.message, ports.seeder);
        return 1;
    }
    std::printf("tovix-service: serving %s: messages 127.0.0.1:%u, web %s, tracker %u, seeding %d torrents\n",
                data.c_str(), ports.message, web.c_str(), ports.tracker, seeder.TorrentCount());
    std::fflush(stdout);

    for (;;) {
        timespec wait{args.publishEvery > 0 ? args.publishEvery : 3600, 0};
        const int signal = sigtimedwait(&signals, nullptr, &wait);
        if (signal == SIGINT || signal == SIGTERM)
            break;
        if (signal == SIGUSR1 || (signal < 0 && args.publishEvery > 0)) {
            if (const int id = catalogue.PublishNext())
                std::printf("tovix-service: published file %d\n", id);
            else if (signal == SIGUSR1)
                std::printf("tovix-service: nothing left to publish\n");
            std::fflush(stdout);
        }
    }
    messages.Stop();
    webServer.Stop();
    tracker.Stop();
    std::printf("tovix-service: stopped\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    TArguments args;
    if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!Parse(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (args.command == "generate")
        return GenerateSampleData(args.folder, args.sample) ? 0 : 1;
    if (args.command == "client")
        return MakeClientFolder(args.folder, TServicePorts::FromBase(args.portBase), args.skins) ? 0 : 1;
    return Serve(args);
}
