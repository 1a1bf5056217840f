// Crash safety: the program killed outright (SIGKILL) at random moments while
// it downloads and saves its catalogue, then started again, many times over.
// After every kill the three catalogue files must load, no file the engine had
// recorded as finished may be fetched again and no download may lose what it had;
// at the end every file is complete and identical to the served one. Run it with
// scripts/crash-safety.
#include "WholeSystem.h"

#include "StateFolder.h"
#include "base/FileSystem.h"
#include "support/TestFolder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <tinyxml.h>

using namespace std::chrono_literals;

namespace {

constexpr int kChannels = 8;
constexpr int kFiles = 40;
constexpr int kSeedRate = 40; // KB/s: the sample files take some 260 s in all
constexpr const char *kCatalogueFiles[] = {"FileInfo.xml", "ChannelInfo.xml", "Configure.xml"};

struct TOnDisk {
    int pieces = 0;        // how many the engine's record has
    bool complete = false; // identical to the served file
    bool recorded = false; // the engine's record says finished
    ino_t inode = 0;
    long long modified = 0; // ns
};

class CrashSafety : public CWholeSystemTest {
protected:
    // The service seeds slowly, so that downloads span many kills.
    void SetUp() override { Prepare(kSeedRate); }

    // Every file of every channel, with how its video stands on disk.
    std::map<int, TOnDisk> Snapshot() const
    {
        std::map<std::string, const lt::typed_bitfield<lt::piece_index_t> *> records; // by torrent path
        const std::vector<TSavedDownload> saved = CStateFolder(client + "/EngineState").Load();
        for (const TSavedDownload &download : saved)
            records[download.torrentPath] = &download.params.have_pieces;
        std::map<int, TOnDisk> files;
        for (int channel = 1; channel <= kChannels; ++channel)
            for (const TClientFile &file : Files(channel)) {
                TOnDisk state;
                state.complete = SameAsServed(file);
                const auto record = records.find(client + "/torrents/" + file.torrent);
                if (record != records.end()) {
                    state.pieces = record->second->count();
                    state.recorded = record->second->size() > 0 && record->second->all_set();
                }
                struct stat info {};
                if (stat(ClientPath("videos", file.location).c_str(), &info) == 0) {
                    state.inode = info.st_ino;
                    state.modified = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
                }
                files[file.id] = state;
            }
        return files;
    }

    // Temporary files of interrupted saves ("FileInfo.xml.a1B2c3").
    int SaveLeftovers() const
    {
        int count = 0;
        for (const std::string &name : ListFolder(client))
            for (const char *file : kCatalogueFiles)
                count += name.size() == std::strlen(file) + 7 && name.rfind(std::string(file) + ".", 0) == 0;
        return count;
    }
};

bool Loads(const std::string &path)
{
    TiXmlDocument document;
    return document.LoadFile(path.c_str(), TIXML_DEFAULT_ENCODING) && document.RootElement();
}

int Complete(const std::map<int, TOnDisk> &files)
{
    int count = 0;
    for (const auto &entry : files)
        count += entry.second.complete;
    return count;
}

} // namespace

TEST_F(CrashSafety, KilledAtRandomItLosesNothingAndFinishesEverything)
{
    const char *roundsText = std::getenv("TOVIX_CRASH_ROUNDS");
    const int rounds = roundsText ? std::atoi(roundsText) : 100;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(300, 5000); // ms after the start

    // First start: the catalogue arrives; then every channel is subscribed, as the
    // detail pane does.
    pid_t tovix = Start();
    ASSERT_TRUE(WaitFor([&] { return Snapshot().size() == kFiles; }, 120s));
    ASSERT_EQ(0, Stop(tovix));
    std::string channels = ReadFile(client + "/ChannelInfo.xml");
    for (size_t at; (at = channels.find("Subscribe=\"0\"")) != std::string::npos;)
        channels[at + 11] = '1';
    WriteFile(client + "/ChannelInfo.xml", channels);

    int unreadable = 0, fetchedAgain = 0, tailFetchedAgain = 0, progressLost = 0, midSave = 0, peakLeftovers = 0;
    std::map<int, TOnDisk> before = Snapshot();
    for (int round = 1; round <= rounds; ++round) {
        tovix = Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        KillTovix(tovix);

        for (const char *file : kCatalogueFiles)
            if (!Loads(client + "/" + file)) {
                ++unreadable;
                std::printf("round %d: %s does not load\n", round, file);
            }
        const int leftovers = SaveLeftovers();
        midSave += leftovers > peakLeftovers;
        peakLeftovers = std::max(peakLeftovers, leftovers);

        const std::map<int, TOnDisk> after = Snapshot();
        for (const auto &[id, was] : before) {
            const auto now = after.find(id);
            if (now == after.end())
                continue; // only the service's retention removes entries
            if (now->second.pieces < was.pieces) {
                ++progressLost;
                std::printf("round %d: file %d went back from %d to %d pieces\n", round, id, was.pieces,
                            now->second.pieces);
            }
            const bool written = !now->second.complete || now->second.inode != was.inode ||
                                 now->second.modified != was.modified;
            if (was.complete && was.recorded && written) {
                ++fetchedAgain;
                std::printf("round %d: finished file %d was written again\n", round, id);
            }
            // Killed after the last piece came but before the engine recorded it: what
            // came since its last record (at most about two seconds' worth) comes again.
            tailFetchedAgain += was.complete && !was.recorded && written;
        }
        before = after;
    }
    const int unfinished = kFiles - Complete(before);

    // To the end: every download resumes and completes.
    tovix = Start();
    const bool complete = WaitFor([&] { return Complete(Snapshot()) == kFiles; }, 900s);
    EXPECT_EQ(0, Stop(tovix));
    const int identical = Complete(Snapshot());

    std::printf("crash safety: %d kills (seed %u)\n"
                "  catalogue files that did not load after a kill: %d\n"
                "  files the engine had recorded as finished that were written again: %d\n"
                "  files killed before their finish was recorded, whose last pieces came again: %d\n"
                "  downloads whose engine record lost pieces: %d\n"
                "  kills that left a new temporary save file: %d (%d left at the end)\n"
                "  files unfinished after the last kill: %d; at the end %d of %d complete and identical\n",
                rounds, seed, unreadable, fetchedAgain, tailFetchedAgain, progressLost, midSave, SaveLeftovers(), unfinished,
                identical, kFiles);
    EXPECT_TRUE(complete);
    EXPECT_EQ(0, unreadable);
    EXPECT_EQ(0, fetchedAgain);
    EXPECT_EQ(0, progressLost);
    EXPECT_EQ(kFiles, identical);
}
