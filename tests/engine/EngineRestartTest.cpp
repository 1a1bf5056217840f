#include "DownloadEngine.h"
#include "EngineFixture.h"
#include "StateFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

// Overwrites the start of a file with zeros, keeping its size: a file that a check
// would no longer find complete.
void Spoil(const std::string &path)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::string zeros(64 * 1024, '\0');
    file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
}

} // namespace

class EngineRestart : public EngineFixture {
protected:
    // A finished small file and a large one stopped part-way.
    void SetUp() override
    {
        EngineFixture::SetUp();
        m_done = SeededTorrent("done.bin", 2 * kMiB, 11);
        m_partial = SeededTorrent("partial.bin", 32 * kMiB, 12);
    }

    // After the restart: the finished file is finished at once without a check (it was
    // spoiled meanwhile, a check would say otherwise), and the partial one fetches no
    // more than what was left, give or take slack.
    void ExpectResumed(double progressAtStop, long long slack)
    {
        const long long uploadedBefore = m_seeder.Uploaded(m_partial);
        const std::string spoiled = ReadFile(DoneFile());
        StartEngine();
        ASSERT_GE(Pos(m_done), 0);
        ASSERT_GE(Pos(m_partial), 0);
        EXPECT_EQ(1, Engine().IsFinished(Pos(m_done))) << "finished from the first call on";

        ASSERT_TRUE(WaitFinished(m_partial, seconds(60)));
        const long long fetched = m_seeder.Uploaded(m_partial) - uploadedBefore;
        const double remained = (100.0 - progressAtStop) / 100.0 * static_cast<double>(m_partial.size);
        EXPECT_LT(static_cast<double>(fetched), remained + static_cast<double>(slack))
            << "fetched " << fetched << " after the restart, " << remained << " remained";
        EXPECT_LT(fetched, m_partial.size);
        EXPECT_EQ(1, Engine().IsFinished(Pos(m_done)));
        EXPECT_EQ(100.0, Engine().GetProgress(Pos(m_done)));
        EXPECT_TRUE(ReadFile(PartialFile()) == ReadFile(m_partial.contentPath));
        EXPECT_TRUE(ReadFile(DoneFile()) == spoiled) << "a finished file is left as it is";
    }

    // The engine's record of the download says every piece is there.
    bool RecordedFinished(const TTestTorrent &torrent) const
    {
        for (const TSavedDownload &saved : CStateFolder(m_folder / CStateFolder::kDefaultName).Load())
            if (saved.torrentPath == torrent.torrentPath)
                return saved.params.have_pieces.size() > 0 && saved.params.have_pieces.all_set();
        return false;
    }

    // The engine's record file of a download.
    std::string RecordPath(const TTestTorrent &torrent) const
    {
        static const char digits[] = "0123456789abcdef";
        std::string name;
        for (const char byte : torrent.infoHash)
            name += std::string{digits[(byte >> 4) & 0xF], digits[byte & 0xF]};
        return m_folder / (std::string(CStateFolder::kDefaultName) + "/" + name + ".resume");
    }

    // The record file's inode: a rewrite (a new file renamed over the old) changes it.
    ino_t RecordInode(const TTestTorrent &torrent) const
    {
        struct stat info {};
        return ::stat(RecordPath(torrent).c_str(), &info) == 0 ? info.st_ino : 0;
    }

    std::string DoneFile() const { return VideoPath("done.avi"); }
    std::string PartialFile() const { return VideoPath("partial.avi"); }

    TTestTorrent m_done;
    TTestTorrent m_partial;
};

TEST_F(EngineRestart, CleanUpAndInitResumeWhereTheyStopped)
{
    ASSERT_EQ(1, Engine().AddDownload(m_done.torrentPath.c_str(), DoneFile().c_str()));
    ASSERT_TRUE(WaitFinished(m_done, seconds(30)));
    Engine().SetMaxDLSpeed(8000);
    ASSERT_EQ(1, Engine().AddDownload(m_partial.torrentPath.c_str(), PartialFile().c_str()));
    const int pos = Pos(m_partial);
    ASSERT_TRUE(WaitUntil([&] { return Engine().GetProgress(pos) >= 40.0; }, seconds(30)));

    // The state saved at the stop holds at least the progress read just before it.
    const double progress = Engine().GetProgress(pos);
    StopEngine();
    Spoil(DoneFile());
    ExpectResumed(progress, 2 * kMiB);
}

TEST_F(EngineRestart, ResumesAfterTheEngineProcessWasKilled)
{
    // The engine runs in a child process working in this test's folder; one engine
    // per state folder, so this process's engine stops first.
    StopEngine();
    CChildProcess child;
    ASSERT_TRUE(child.Start({ENGINE_CHILD_PATH, m_folder.Path(), "4000", m_done.torrentPath, DoneFile(),
                             m_partial.torrentPath, PartialFile()}));
    double partialProgress = 0;
    bool doneFinished = false;
    std::string line;
    while (partialProgress < 70.0 && child.ReadLine(line, seconds(30))) {
        int finished = 0;
        double doneProgress = 0;
        std::sscanf(line.c_str(), "%d %lf %*d %lf", &finished, &doneProgress, &partialProgress);
        doneFinished = finished == 1;
    }
    ASSERT_GE(partialProgress, 70.0) << "last line: " << line;
    ASSERT_TRUE(doneFinished);
    // The engine reports a finish as soon as it sees it and records it a moment
    // later; a kill in between costs the last pieces again. Kill after the record.
    ASSERT_TRUE(WaitUntil([&] { return RecordedFinished(m_done); }, seconds(30)));
    child.Kill(SIGKILL);
    EXPECT_EQ(-1, child.Wait(seconds(10)));

    Spoil(DoneFile());
    // Resume data is saved every two seconds while data moves: a kill may cost that much
    // transfer (4 s at the child's limit allows for a slow disk), far less than starting over.
    ExpectResumed(partialProgress, 4 * 4000 * 1024LL);
}

TEST_F(EngineRestart, PiecesWrittenAfterTheLastRecordAreNotFetchedAgain)
{
    const TTestTorrent done = SeededTorrent("later-done.bin", 4 * kMiB, 13);
    const std::string doneFile = VideoPath("later-done.avi");
    Engine().SetMaxDLSpeed(1000);
    ASSERT_EQ(1, Engine().AddDownload(done.torrentPath.c_str(), doneFile.c_str()));
    ASSERT_EQ(1, Engine().AddDownload(m_partial.torrentPath.c_str(), PartialFile().c_str()));
    // Records that hold some pieces but not all: what a kill leaves when more came after them.
    std::map<std::string, std::string> stale;
    auto part = [](const TSavedDownload &saved) {
        return saved.params.have_pieces.count() > 0 && !saved.params.have_pieces.all_set();
    };
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const TSavedDownload &saved : CStateFolder(m_folder / CStateFolder::kDefaultName).Load())
                if (part(saved) && !stale.count(saved.torrentPath))
                    stale[saved.torrentPath] = CStateFolder::Encode(saved);
            return stale.size() == 2;
        },
        seconds(30)));
    Engine().SetMaxDLSpeed(4000);
    ASSERT_TRUE(WaitFinished(done, seconds(30)));
    const int pos = Pos(m_partial);
    ASSERT_TRUE(WaitUntil([&] { return Engine().GetProgress(pos) >= 60.0; }, seconds(30)));
    const double progress = Engine().GetProgress(pos);
    StopEngine();
    WriteFile(RecordPath(done), stale[done.torrentPath]);
    WriteFile(RecordPath(m_partial), stale[m_partial.torrentPath]);

    const long long doneUploaded = m_seeder.Uploaded(done);
    const long long partialUploaded = m_seeder.Uploaded(m_partial);
    StartEngine();
    EXPECT_EQ(1, Engine().IsFinished(Pos(done))) << "finished from the first call on";
    ASSERT_TRUE(WaitFinished(m_partial, seconds(60)));
    EXPECT_EQ(0, m_seeder.Uploaded(done) - doneUploaded);
    // Only the pieces still in flight at the stop come again.
    const long long fetched = m_seeder.Uploaded(m_partial) - partialUploaded;
    const double remained = (100.0 - progress) / 100.0 * static_cast<double>(m_partial.size);
    EXPECT_LT(static_cast<double>(fetched), remained + kMiB) << "fetched " << fetched << ", " << remained << " remained";
    EXPECT_TRUE(ReadFile(PartialFile()) == ReadFile(m_partial.contentPath));
    EXPECT_TRUE(ReadFile(doneFile) == ReadFile(done.contentPath));

    // The cost is one line per download; the finished one's record now says so.
    const std::vector<std::string> lines = m_folder.LogLines();
    const auto recheck = std::find_if(lines.begin(), lines.end(), [&](const std::string &line) {
        return line.rfind("Recheck ", 0) == 0 && line.find(" of " + done.torrentPath + ": ") != std::string::npos;
    });
    ASSERT_NE(lines.end(), recheck);
    int hashed = 0, complete = 0;
    EXPECT_EQ(2, std::sscanf(recheck->c_str(), "Recheck %d pieces of %*[^:]: %d complete", &hashed, &complete));
    EXPECT_GT(hashed, 0);
    EXPECT_EQ(hashed, complete);
    EXPECT_TRUE(RecordedFinished(done));
}

TEST_F(EngineRestart, RestoredDownloadsKeepTheLastLimitFromTheFirstByte)
{
    constexpr long long kLimit = 100 * 1024; // bytes per second
    constexpr long long kBlock = 16 * 1024;
    Engine().SetMaxDLSpeed(100);
    ASSERT_EQ(1, Engine().AddDownload(m_partial.torrentPath.c_str(), PartialFile().c_str()));
    StopEngine();

    // Started as the program starts it (the main window repeats the limits only later),
    // in this process, so that the test reads libtorrent's byte count itself.
    std::unique_ptr<CDownloadEngine> engine = CDownloadEngine::Start(m_folder / CStateFolder::kDefaultName);
    ASSERT_TRUE(engine);
    const int pos = engine->Position(m_partial.torrentPath);
    ASSERT_GE(pos, 0);

    // Each sample's count was taken at some moment between before and after. The bytes
    // between two samples whose [before, after] span at most a second all came within
    // one second, whatever the scheduler did to this thread: a gap only makes a pair
    // too long to judge, it never inflates a window. Sampling goes on until 4 s of
    // dense samples (gaps up to 100 ms) lie behind the first byte, so that a
    // descheduled thread cannot pass the test by looking away.
    struct TSample {
        steady_clock::time_point before, after;
        long long bytes;
    };
    std::vector<TSample> samples;
    auto sample = [&] {
        const auto before = steady_clock::now();
        const long long bytes = engine->Received(pos);
        samples.push_back({before, steady_clock::now(), bytes});
        return bytes;
    };
    ASSERT_TRUE(WaitUntil([&] { return sample() > 0; }, seconds(30), milliseconds(5)));
    // From the last sample that saw nothing yet: the first byte came after its before.
    samples.erase(samples.begin(), samples.end() - std::min<size_t>(samples.size(), 2));
    milliseconds dense{0};
    const auto deadline = steady_clock::now() + seconds(30);
    while (dense < seconds(4) && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(20));
        sample();
        const auto gap = samples.back().after - samples[samples.size() - 2].before;
        if (gap <= milliseconds(100))
            dense += std::chrono::duration_cast<milliseconds>(gap);
    }
    if (dense < seconds(4))
        GTEST_SKIP() << "the machine left this thread too little time to sample";

    long long worst = 0;
    for (size_t i = 0; i < samples.size(); ++i)
        for (size_t j = i + 1; j < samples.size() && samples[j].after - samples[i].before <= seconds(1); ++j)
            worst = std::max(worst, samples[j].bytes - samples[i].bytes);
    EXPECT_LE(worst, kLimit + kBlock) << "most bytes in one second, from the first byte on";
    // Not a limiter that starves: the run's average stays near the limit.
    const double span = std::chrono::duration<double>(samples.back().after - samples.front().before).count();
    EXPECT_GE(static_cast<double>(samples.back().bytes - samples.front().bytes) / span, 0.6 * kLimit);
}

TEST_F(EngineRestart, CleanUpWritesOnlyTheRecordsThatChanged)
{
    ASSERT_EQ(1, Engine().AddDownload(m_done.torrentPath.c_str(), DoneFile().c_str()));
    ASSERT_TRUE(WaitFinished(m_done, seconds(30)));
    ASSERT_TRUE(WaitUntil([&] { return RecordedFinished(m_done); }, seconds(30)));
    StopEngine();

    StartEngine();
    const ino_t finishedRecord = RecordInode(m_done);
    ASSERT_NE(0u, finishedRecord);
    Engine().SetMaxDLSpeed(2000);
    ASSERT_EQ(1, Engine().AddDownload(m_partial.torrentPath.c_str(), PartialFile().c_str()));
    const int pos = Pos(m_partial);
    ASSERT_TRUE(WaitUntil([&] { return Engine().GetProgress(pos) >= 10.0; }, seconds(60)));
    // Held open until the stop, the record's inode cannot pass to a later rewrite: two
    // rewrites (a periodic save, then the stop's) could otherwise end on the same inode.
    const int moving = ::open(RecordPath(m_partial).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(moving, 0);
    struct stat movingRecord {};
    ASSERT_EQ(0, ::fstat(moving, &movingRecord));
    // The download moves on past the record held (which may be a moment newer than the
    // progress read), so that the stop has something to record.
    const double held = Engine().GetProgress(pos);
    ASSERT_TRUE(WaitUntil([&] { return Engine().GetProgress(pos) >= held + 3.0; }, seconds(30)));
    const double progress = Engine().GetProgress(pos);
    StopEngine();

    EXPECT_EQ(finishedRecord, RecordInode(m_done)) << "an unchanged record is left as it is";
    EXPECT_NE(movingRecord.st_ino, RecordInode(m_partial)) << "a download that moved is recorded at the stop";
    ::close(moving);
    for (const TSavedDownload &saved : CStateFolder(m_folder / CStateFolder::kDefaultName).Load()) {
        if (saved.torrentPath == m_partial.torrentPath) {
            EXPECT_GE(100.0 * saved.params.have_pieces.count() / saved.params.have_pieces.size(), progress - 1.0);
        }
    }
}
