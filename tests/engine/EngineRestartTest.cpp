#include "EngineFixture.h"
#include "StateFolder.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

using std::chrono::seconds;

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

    // The record file's inode: a rewrite (a new file renamed over the old) changes it.
    ino_t RecordInode(const TTestTorrent &torrent) const
    {
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (const char byte : torrent.infoHash) {
            hex += digits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
            hex += digits[static_cast<unsigned char>(byte) & 0xF];
        }
        struct stat info {};
        const std::string path = m_folder.Path() + "/" + CStateFolder::kDefaultName + "/" + hex + ".resume";
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
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
    const ino_t movingRecord = RecordInode(m_partial);
    const double progress = Engine().GetProgress(pos);
    StopEngine();

    EXPECT_EQ(finishedRecord, RecordInode(m_done)) << "an unchanged record is left as it is";
    EXPECT_NE(movingRecord, RecordInode(m_partial)) << "a download that moved is recorded at the stop";
    for (const TSavedDownload &saved : CStateFolder(m_folder / CStateFolder::kDefaultName).Load())
        if (saved.torrentPath == m_partial.torrentPath)
            EXPECT_GE(100.0 * saved.params.have_pieces.count() / saved.params.have_pieces.size(), progress - 1.0);
}
