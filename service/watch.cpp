// tovix-watch: shows in a terminal what a client working folder holds while the
// client runs: the synced catalogue, each subscribed file's download as a
// progress bar, the finished files. Reads only the files the client saves.
#include "base/GbkText.h"
#include "store/XmlNumber.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tinyxml.h>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

struct TFile {
    std::string channel;
    std::string title;
    int progress = -1;
};

struct TSnapshot {
    int categories = 0;
    int channels = 0;
    int files = 0;
    std::vector<TFile> subscribed; // files of subscribed channels, in catalogue order
};

TSnapshot Read(const std::string &folder)
{
    TSnapshot snapshot;
    std::map<int, std::string> subscribedNames;
    TiXmlDocument channels;
    if (channels.LoadFile((folder + "/ChannelInfo.xml").c_str(), TIXML_DEFAULT_ENCODING) && channels.RootElement())
        for (const TiXmlElement *category = channels.RootElement()->FirstChildElement("Channel1"); category;
             category = category->NextSiblingElement("Channel1")) {
            ++snapshot.categories;
            for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
                 channel = channel->NextSiblingElement("Channel2")) {
                ++snapshot.channels;
                if (TextAttribute(channel, "Subscribe") == "1")
                    subscribedNames[IdOf(channel)] = GbkToUtf8(TextAttribute(channel, "Name"));
            }
        }
    TiXmlDocument files;
    if (files.LoadFile((folder + "/FileInfo.xml").c_str(), TIXML_DEFAULT_ENCODING) && files.RootElement())
        for (const TiXmlElement *channel = files.RootElement()->FirstChildElement("Channel"); channel;
             channel = channel->NextSiblingElement("Channel"))
            for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
                 file = file->NextSiblingElement("File")) {
                ++snapshot.files;
                auto name = subscribedNames.find(IdOf(channel));
                if (name != subscribedNames.end())
                    snapshot.subscribed.push_back(
                        {name->second, GbkToUtf8(TextAttribute(file, "Title")), IntAttribute(file, "Progress")});
            }
    return snapshot;
}

std::string Bar(int progress)
{
    const int width = 30;
    const int filled = progress <= 0 ? 0 : progress >= 100 ? width : progress * width / 100;
    return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(width - filled), '.') + "]";
}

std::string Render(const TSnapshot &s)
{
    std::string out = "Catalogue: " + std::to_string(s.categories) + " categories, " + std::to_string(s.channels) +
                      " channels, " + std::to_string(s.files) + " files\n";
    int finished = 0;
    for (const TFile &file : s.subscribed)
        finished += file.progress >= 100;
    out += "Subscribed downloads: " + std::to_string(finished) + " of " + std::to_string(s.subscribed.size()) +
           " finished\n";
    for (const TFile &file : s.subscribed) {
        char line[512];
        std::snprintf(line, sizeof line, "  %s %3d%%  %s / %s%s\n", Bar(file.progress).c_str(),
                      file.progress < 0 ? 0 : file.progress, file.channel.c_str(), file.title.c_str(),
                      file.progress >= 100 ? "  (finished)" : "");
        out += line;
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help")) {
        std::printf("Usage: tovix-watch FOLDER [--timeout SECONDS]\n"
                    "Shows the catalogue and the subscribed downloads of a client working folder, once a\n"
                    "second, until every subscribed file has finished (exit 0), the time-out passes\n"
                    "(exit 3) or SIGINT/SIGTERM (exit 130).\n");
        return argc < 2 ? 2 : 0;
    }
    const std::string folder = argv[1];
    const int timeout = argc >= 4 && !std::strcmp(argv[2], "--timeout") ? std::atoi(argv[3]) : 0;
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    const bool terminal = isatty(STDOUT_FILENO);
    const auto start = std::chrono::steady_clock::now();
    std::string last;
    for (;;) {
        const TSnapshot snapshot = Read(folder);
        const std::string frame = Render(snapshot);
        if (frame != last) {
            // A terminal gets a redrawn screen; a log gets each change once.
            std::fputs(terminal ? ("\033[H\033[2J" + frame).c_str() : (frame + "\n").c_str(), stdout);
            std::fflush(stdout);
            last = frame;
        }
        bool done = !snapshot.subscribed.empty();
        for (const TFile &file : snapshot.subscribed)
            done = done && file.progress >= 100;
        if (done)
            return 0;
        if (g_stop)
            return 130;
        if (timeout > 0 && std::chrono::steady_clock::now() - start > std::chrono::seconds(timeout))
            return 3;
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}
