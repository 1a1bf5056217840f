// Crash safety: the program killed outright (SIGKILL) at random moments while
// it downloads and saves its catalogue, then started again, many times over.
// After every kill the three catalogue files must load, no download may lose what
// it had, and no piece that was complete on disk at a kill may be fetched again,
// in finished and unfinished files alike (the next start must count it among the
// download's pieces before it asks peers for any); at the end every file is
// complete and identical to the served one. Run it with scripts/crash-safety.
#include "WholeSystem.h"

#include "StateFolder.h"
#include "base/FileSystem.h"
#include "support/TestFolder.h"

#include <libtorrent/hasher.hpp>
#include <libtorrent/torrent_info.hpp>

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
    bool hasRecord = false;
    std::vector<bool> inRecord; // by piece
    std::vector<bool> onDisk;   // by piece: the bytes on disk match the piece's hash
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
                state.onDisk = PiecesOnDisk(file);
                const auto record = records.find(client + "/torrents/" + file.torrent);
                if (record != records.end()) {
                    state.hasRecord = true;
                    state.pieces = record->second->count();
                    state.recorded = record->second->size() > 0 && record->second->all_set();
                    for (int piece = 0; piece < record->second->size(); ++piece)
                        state.inRecord.push_back(record->second->get_bit(lt::piece_index_t{piece}));
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

    // Which of the file's pieces its video holds complete, hashed here piece by piece.
    std::vector<bool> PiecesOnDisk(const TClientFile &file) const
    {
        lt::error_code ec;
        const lt::torrent_info torrent(ClientPath("torrents", file.torrent), ec);
        if (ec)
            return {};
        const std::string video = ReadFile(ClientPath("videos", file.location));
        std::vector<bool> pieces;
        for (const lt::piece_index_t piece : torrent.piece_range()) {
            const long long start = static_cast<long long>(static_cast<int>(piece)) * torrent.piece_length();
            const int size = torrent.piece_size(piece);
            pieces.push_back(start + size <= static_cast<long long>(video.size()) &&
                             lt::hasher(video.data() + start, size).final() == torrent.hash_for_piece(piece));
        }
        return pieces;
    }

    // The log's lines from offset on, and the offset after them.
    std::string LogSince(size_t &offset) const
    {
        const std::string log = ReadFile(client + "/skininfo.txt");
        if (log.size() < offset)
            offset = 0; // rotated
        const std::string lines = log.substr(offset);
        offset = log.size();
        return lines;
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
    int piecesAgain = 0, piecesAfterRecord = 0, restarts = 0;
    std::map<int, TOnDisk> before = Snapshot();
    size_t logOffset = 0;
    LogSince(logOffset);
    for (int round = 1; round <= rounds; ++round) {
        tovix = Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        KillTovix(tovix);
        // Past this line the engine had restored every download, rechecks and their records included.
        const bool restored = LogSince(logOffset).find("Debug: Restored ") != std::string::npos;
        restarts += restored;

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
            // Killed after the last piece came but before the engine recorded it.
            if (was.complete && !was.recorded && written) {
                ++tailFetchedAgain;
                std::printf("round %d: file %d, complete before its finish was recorded, was written again\n", round, id);
            }
            // Every piece complete on disk at the kill is among the pieces of the restored download.
            int missed = 0;
            for (size_t piece = 0; piece < was.onDisk.size(); ++piece) {
                piecesAfterRecord += was.onDisk[piece] && piece < was.inRecord.size() && !was.inRecord[piece];
                missed += restored && now->second.hasRecord && was.onDisk[piece] &&
                          (piece >= now->second.inRecord.size() || !now->second.inRecord[piece]);
            }
            if (missed > 0) {
                piecesAgain += missed;
                std::printf("round %d: file %d: %d pieces on disk are missing from its restored record\n", round, id,
                            missed);
            }
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
                "  files killed before their finish was recorded that were written again: %d\n"
                "  pieces complete on disk but not yet recorded at a kill: %d; fetched again: %d"
                " (%d restarts restored every download)\n"
                "  downloads whose engine record lost pieces: %d\n"
                "  kills that left a new temporary save file: %d (%d left at the end)\n"
                "  files unfinished after the last kill: %d; at the end %d of %d complete and identical\n",
                rounds, seed, unreadable, fetchedAgain, tailFetchedAgain, piecesAfterRecord, piecesAgain, restarts,
                progressLost, midSave, SaveLeftovers(), unfinished,
                identical, kFiles);
    EXPECT_TRUE(complete);
    EXPECT_EQ(0, unreadable);
    EXPECT_EQ(0, fetchedAgain);
    EXPECT_EQ(0, tailFetchedAgain);
    EXPECT_EQ(0, piecesAgain);
    EXPECT_EQ(0, progressLost);
    EXPECT_EQ(kFiles, identical);
}
