// The whole program with many downloads: a working folder whose catalogue lists
// 1,000 files in one channel and whose engine state holds a download for each
// (small generated torrents, one in twenty half written, the rest complete, a
// tracker on 127.0.0.1, no peer that could send data, every picture there).
// build/tovix starts in it twice; each time the bench measures the time from the start to the first
// refresh of the file list (the first save of FileInfo.xml, which writes the
// engine's progress back), checks what that save holds, the resident memory,
// the process's CPU over an idle minute, the user-interface thread's share of
// it (its refresh passes), and the time the exit takes.
// Run it from the build folder under a display (BENCH_KEEP=1 keeps the folder):
//   cd build && ../scripts/with-display bench/bench_scale [downloads] [idle seconds]
#include "BenchSupport.h"
#include "EnginePeers.h"
#include "TrackerServer.h"

#include "StateFolder.h"

#include <libtorrent/torrent_info.hpp>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr long long kFileSize = 512 << 10;
constexpr int kPartialEvery = 20;

bool IsPartial(int id) { return id % kPartialEvery == 0; }

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// user + system clock ticks of a process or one of its threads (/proc/.../stat).
long long CpuTicks(const std::string &statPath)
{
    const std::string stat = ReadText(statPath);
    const std::string::size_type close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            utime = std::atoll(field.c_str());
        if (index == 15) {
            stime = std::atoll(field.c_str());
            break;
        }
    }
    return utime + stime;
}

struct TThreadTicks {
    std::string name;
    long long ticks = 0;
};

std::map<std::string, TThreadTicks> ThreadTicks(pid_t pid)
{
    std::map<std::string, TThreadTicks> threads;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto &task : std::filesystem::directory_iterator(tasks, ec)) {
        std::string name = ReadText(task.path().string() + "/comm");
        name.erase(std::remove(name.begin(), name.end(), '\n'), name.end());
        threads[task.path().filename().string()] = {name, CpuTicks(task.path().string() + "/stat")};
    }
    return threads;
}

double ResidentMiB(pid_t pid)
{
    std::istringstream status(ReadText("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

ino_t Inode(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Written afresh before each start, so that the first refresh has progress to save:
// half the complete files stored as finished, the other half as the service's
// catalogue brings them (the first refresh must find them finished), the others at 0.
void WriteClientCatalogue(const std::string &client, int count)
{
    if (chdir(client.c_str()) != 0)
        throw std::runtime_error("client folder");
    TGeneratedCatalogue shape;
    shape.channels = 1;
    shape.filesPerChannel = count;
    shape.preserveNum = count;
    shape.progress = [](int id) { return IsPartial(id) ? 0 : id % 2 == 0 ? 100 : -1; };
    WriteCatalogue(shape);
}

// The working folder: catalogue, torrents, videos (complete or half written).
void MakeClientFolder(const std::string &client, const std::string &build, int count, const std::string &announce)
{
    std::filesystem::create_directories(client);
    WriteClientCatalogue(client, count);
    symlink((build + "/Skins").c_str(), "Skins");
    const std::string made = client + "/../made";
    std::filesystem::create_directories(made);
    for (int id = 1; id <= count; ++id) {
        const std::string name = "v" + std::to_string(id) + ".avi";
        const TTestTorrent torrent = MakeTestTorrent(made, name, kFileSize, announce, static_cast<unsigned>(id));
        std::filesystem::rename(torrent.contentPath, "videos/" + name);
        std::filesystem::rename(torrent.torrentPath, "torrents/t" + std::to_string(id) + ".torrent");
        if (IsPartial(id))
            std::filesystem::resize_file("videos/" + name, kFileSize / 2);
    }
    std::filesystem::remove_all(made);
    // Every picture fetched long ago (one image, linked): a long-used folder fetches none.
    for (int id = 1; id <= count; ++id)
        link((build + "/Skins/ItemDefault.jpg").c_str(), ("pics/p" + std::to_string(id) + ".jpg").c_str());
}

// The engine's records as a long-used engine leaves them: each with its pieces
// (all of them, or those of the written half) and the torrent inside.
void MakeEngineState(const std::string &client, int count)
{
    CStateFolder folder(client + "/" + CStateFolder::kDefaultName);
    folder.Prepare();
    std::ofstream(folder.SettingsPath()) << "listen_interfaces = 127.0.0.1:0\n";
    for (int id = 1; id <= count; ++id) {
        TSavedDownload saved;
        saved.torrentPath = "torrents/t" + std::to_string(id) + ".torrent";
        saved.savePath = "videos/v" + std::to_string(id) + ".avi";
        saved.order = id;
        auto info = std::make_shared<libtorrent::torrent_info>(client + "/" + saved.torrentPath);
        const int pieces = info->num_pieces();
        const int have = IsPartial(id) ? static_cast<int>(kFileSize / 2 / info->piece_length()) : pieces;
        saved.params.save_path = client + "/videos";
        saved.params.renamed_files[libtorrent::file_index_t{0}] = "v" + std::to_string(id) + ".avi";
        saved.params.have_pieces.resize(pieces, false);
        for (libtorrent::piece_index_t piece{0}; piece < libtorrent::piece_index_t{have}; ++piece)
            saved.params.have_pieces.set_bit(piece);
        saved.params.ti = info;
        folder.Write(info->info_hashes(), CStateFolder::Encode(saved));
    }
}

pid_t StartProgram(const std::string &program, const std::string &client, const std::string &user)
{
    const std::string runtime = user + "/runtime";
    std::filesystem::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setenv("XDG_CONFIG_HOME", (user + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (user + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        if (chdir(client.c_str()) != 0)
            _exit(126);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

// What the first save of the catalogue says: complete files at 100, the others
// part way. Prints what does not hold; true when everything does.
bool CheckFirstSave(const std::string &catalogue, int count)
{
    const std::string text = ReadText(catalogue);
    const std::regex file("<File ID=\"(\\d+)\"[^>]* Progress=\"(-?\\d+)\"");
    int wrong = 0, seen = 0;
    for (std::sregex_iterator match(text.begin(), text.end(), file), end; match != end; ++match) {
        const int id = std::stoi((*match)[1]);
        const int progress = std::stoi((*match)[2]);
        ++seen;
        const bool right = IsPartial(id) ? progress > 0 && progress < 100 : progress == 100;
        if (!right && wrong++ < 5)
            std::printf("  file %d: Progress %d after the first refresh\n", id, progress);
    }
    if (seen != count)
        std::printf("  %d of %d files in the saved catalogue\n", seen, count);
    if (wrong)
        std::printf("  %d files with a wrong Progress after the first refresh\n", wrong);
    return wrong == 0 && seen == count;
}

bool MeasureStart(int round, const std::string &program, const std::string &client, const std::string &user,
                  int count, int idleSeconds)
{
    WriteClientCatalogue(client, count);
    const std::string catalogue = client + "/FileInfo.xml";
    const ino_t before = Inode(catalogue);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = StartProgram(program, client, user);
    const bool refreshed = WaitUntil([&] { return Inode(catalogue) != before && Inode(catalogue) != 0; },
                                     std::chrono::minutes(2), std::chrono::milliseconds(10));
    const double startSeconds = SecondsSince(start);
    std::printf("start %d:\n", round);
    if (!refreshed) {
        std::printf("  no refresh of the file list within 2 minutes\n");
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return false;
    }
    const bool right = CheckFirstSave(catalogue, count);
    std::printf("  start to the first refresh of the file list: %.2f s (%s)\n", startSeconds,
                right ? "every file's progress right" : "progress WRONG");
    // Once started, the next second or two still settles (the first status
    // round, the tracker's answers); then the idle minute.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double residentBefore = ResidentMiB(pid);
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    const auto threadsBefore = ThreadTicks(pid);
    const long long ticksBefore = CpuTicks(stat);
    const auto idleStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const long long ticks = CpuTicks(stat) - ticksBefore;
    const double seconds = SecondsSince(idleStart);
    const auto threadsAfter = ThreadTicks(pid);
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("  resident memory: %.0f MiB, %.0f MiB after the idle time\n", residentBefore, ResidentMiB(pid));
    std::printf("  idle CPU over %.0f s: %.2f s = %.2f %% of a core\n", seconds, ticks / tick,
                ticks / tick / seconds * 100);
    std::vector<std::pair<long long, std::string>> busiest;
    for (const auto &thread : threadsAfter) {
        const auto was = threadsBefore.find(thread.first);
        const long long used = thread.second.ticks - (was == threadsBefore.end() ? 0 : was->second.ticks);
        if (used > 0)
            busiest.emplace_back(used, thread.second.name + (thread.first == std::to_string(pid) ? " (UI)" : ""));
    }
    std::sort(busiest.rbegin(), busiest.rend());
    for (size_t i = 0; i < busiest.size() && i < 5; ++i)
        std::printf("    %-22s %.2f s\n", busiest[i].second.c_str(), busiest[i].first / tick);
    const auto ui = threadsAfter.find(std::to_string(pid));
    const auto uiBefore = threadsBefore.find(std::to_string(pid));
    if (ui != threadsAfter.end() && uiBefore != threadsBefore.end())
        std::printf("  UI thread per 3 s status tick (its refresh pass and the rest): %.1f ms\n",
                    (ui->second.ticks - uiBefore->second.ticks) / tick * 1000 / (seconds / 3));

    const auto exitStart = std::chrono::steady_clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::minutes(1));
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::printf("  exit: %.2f s%s\n", SecondsSince(exitStart), ended ? "" : " (did not end: killed)");
    std::fflush(stdout);
    return right && ended;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::max(kPartialEvery, std::atoi(argv[1])) : 1000;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    const std::string build = std::filesystem::current_path().string();
    const std::string program = build + "/tovix";
    if (access(program.c_str(), X_OK) != 0 || !std::getenv("DISPLAY")) {
        std::fprintf(stderr, "run bench_scale from the build folder under a display (scripts/with-display)\n");
        return 1;
    }
    const std::string scratch = EnterScratchFolder("tovix-bench-scale");
    CTrackerServer tracker(1800);
    if (!tracker.Start())
        return 1;
    const std::string client = scratch + "/client";
    const auto making = std::chrono::steady_clock::now();
    MakeClientFolder(client, build, count, tracker.AnnounceUrl());
    std::printf("%d downloads of %lld KiB in one channel, one in %d half written; made in %.1f s\n", count,
                kFileSize >> 10, kPartialEvery, SecondsSince(making));
    MakeEngineState(client, count);
    std::fflush(stdout);

    bool good = true;
    for (int round = 1; round <= 2; ++round)
        good = MeasureStart(round, program, client, scratch + "/user", count, idleSeconds) && good;
    std::filesystem::current_path("/");
    if (std::getenv("BENCH_KEEP"))
        std::printf("working folder kept: %s\n", client.c_str());
    else
        std::filesystem::remove_all(scratch);
    return good ? 0 : 1;
}
