#include "ChangeNotifier.h"
#include "DownloadState.h"
#include "EngineLimits.h"
#include "EnginePeers.h"
#include "PieceRecheck.h"
#include "RateMeter.h"
#include "StateFolder.h"
#include "support/TestFolder.h"

#include <libtorrent/torrent_info.hpp>

#include <climits>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;
namespace lt = libtorrent;

struct TRecorder {
    int posts = 0;
    unsigned message = 0;
    TovixWndHandle handle{&TRecorder::Post, this};
    static void Post(void *context, unsigned message)
    {
        auto *self = static_cast<TRecorder *>(context);
        self->posts++;
        self->message = message;
    }
};

} // namespace

TEST(ChangeNotifier, PostsEveryStateChangeButThrottlesMovingData)
{
    TimePoint now{};
    CChangeNotifier notifier([&] { return now; });
    TRecorder recorder;

    notifier.StateChanged();
    EXPECT_FALSE(notifier.Flush()) << "nothing to post to before SetTarget";
    notifier.SetTarget(&recorder.handle);

    now += 1s;
    notifier.StateChanged();
    EXPECT_TRUE(notifier.Flush());
    EXPECT_EQ(TOVIX_WM_DOWNLOAD_CHANGED, recorder.message);
    EXPECT_FALSE(notifier.Flush()) << "one post per change";

    // Data moving every 100 ms for two seconds: at most one post per gap.
    for (int i = 0; i < 20; ++i) {
        now += 100ms;
        notifier.DataMoved();
        notifier.Flush();
    }
    EXPECT_EQ(1 + 4, recorder.posts);

    // A state change is not held back by the throttle.
    now += 10ms;
    notifier.StateChanged();
    EXPECT_TRUE(notifier.Flush());

    notifier.SetTarget(nullptr);
    notifier.StateChanged();
    EXPECT_FALSE(notifier.Flush());
    EXPECT_EQ(6, recorder.posts);
}

TEST(RateMeter, RatesAreCounterChangesOverAboutASecond)
{
    CRateMeter meter;
    TimePoint now{};
    meter.Add(now, 1000, 0);
    EXPECT_EQ(0, meter.DownloadRate());
    EXPECT_FALSE(meter.Moved());
    long long received = 1000;
    for (int i = 0; i < 8; ++i) {
        now += 250ms;
        received += 500000; // 2 MB/s
        meter.Add(now, received, 250 * (i + 1));
        EXPECT_TRUE(meter.Moved());
    }
    EXPECT_NEAR(2000000, meter.DownloadRate(), 1);
    EXPECT_NEAR(1000, meter.UploadRate(), 1);

    // The transfer stops: the rate falls to zero within the window, not eventually.
    for (int i = 0; i < 5; ++i) {
        now += 250ms;
        meter.Add(now, received, 2000);
    }
    EXPECT_FALSE(meter.Moved());
    EXPECT_EQ(0, meter.DownloadRate());
    EXPECT_EQ(0, meter.UploadRate());
}

TEST(DownloadState, ClassifiesAsTheCallersSeeIt)
{
    lt::torrent_status status;
    status.state = lt::torrent_status::downloading;
    status.flags = lt::torrent_flags::auto_managed;
    EXPECT_EQ(EDownloadState::Downloading, ClassifyDownload(status, false));
    EXPECT_EQ(EDownloadState::Waiting, ClassifyDownload(status, true));
    status.flags |= lt::torrent_flags::upload_mode;
    EXPECT_EQ(EDownloadState::None, ClassifyDownload(status, false)) << "a file it may not write";
    EXPECT_EQ(EDownloadState::Waiting, ClassifyDownload(status, true)) << "a full disk";
    status.flags = lt::torrent_flags::auto_managed;
    status.flags |= lt::torrent_flags::paused;
    EXPECT_EQ(EDownloadState::Waiting, ClassifyDownload(status, false)) << "queued behind the limit";
    status.errc = lt::errors::make_error_code(lt::errors::file_too_short);
    EXPECT_EQ(EDownloadState::None, ClassifyDownload(status, false)) << "stopped by an error";
    status.errc.clear();
    status.flags = lt::torrent_flags::paused;
    EXPECT_EQ(EDownloadState::None, ClassifyDownload(status, false));
    status.is_finished = true;
    status.state = lt::torrent_status::seeding;
    EXPECT_EQ(EDownloadState::Finished, ClassifyDownload(status, true));
    EXPECT_EQ(100.0, ProgressPercent(status));

    lt::torrent_status partial;
    partial.total_wanted = 400;
    partial.total_wanted_done = 100;
    EXPECT_EQ(25.0, ProgressPercent(partial));
}

TEST(StateFolder, KeepsRecordsInListOrderAndSkipsUnreadableOnes)
{
    CTestFolder folder;
    const TTestTorrent a = MakeTestTorrent(folder.Path(), "a.bin", 40000, "http://127.0.0.1:1/announce", 1);
    const TTestTorrent b = MakeTestTorrent(folder.Path(), "b.bin", 50000, "http://127.0.0.1:1/announce", 2);
    // The folder's name is the file system's UTF-8, as a working folder gives it.
    const std::string stateFolder = folder / "\xE7\x8A\xB6\xE6\x80\x81";
    CStateFolder state(stateFolder);
    ASSERT_TRUE(state.Prepare());

    auto record = [](const TTestTorrent &torrent, long long order) {
        TSavedDownload saved;
        saved.torrentPath = torrent.torrentPath;
        saved.savePath = "videos/\xB2\xE2\xCA\xD4.avi"; // GBK bytes stay GBK bytes
        saved.order = order;
        saved.params.ti = std::make_shared<lt::torrent_info>(torrent.torrentPath);
        saved.params.save_path = "/somewhere";
        saved.params.renamed_files[lt::file_index_t{0}] = "video.avi";
        return saved;
    };
    const TSavedDownload first = record(b, 3);
    const TSavedDownload second = record(a, 7);
    ASSERT_TRUE(state.Write(second.params.ti->info_hashes(), CStateFolder::Encode(second)));
    ASSERT_TRUE(state.Write(first.params.ti->info_hashes(), CStateFolder::Encode(first)));
    WriteFile(stateFolder + "/0123.resume", "d4:junk"); // a truncated record
    WriteFile(stateFolder + "/settings.txt", "listen_interfaces = 127.0.0.1:0\n");

    std::vector<TSavedDownload> loaded = state.Load();
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(b.torrentPath, loaded[0].torrentPath);
    EXPECT_EQ(a.torrentPath, loaded[1].torrentPath);
    EXPECT_EQ(first.savePath, loaded[0].savePath);
    EXPECT_EQ(7, loaded[1].order);
    ASSERT_TRUE(loaded[0].params.ti);
    EXPECT_EQ(first.params.ti->info_hashes(), loaded[0].params.ti->info_hashes());
    EXPECT_EQ("/somewhere", loaded[0].params.save_path);
    EXPECT_EQ("video.avi", loaded[0].params.renamed_files[lt::file_index_t{0}]);
    // The trackers, which the info dictionary does not hold, come back too.
    EXPECT_EQ(std::vector<std::string>{"http://127.0.0.1:1/announce"}, loaded[0].params.trackers);
    ASSERT_EQ(1u, folder.LogLines().size());
    EXPECT_EQ(0u, folder.LogLines()[0].find("Load download 0123.resume error["));

    state.Forget(first.params.ti->info_hashes());
    EXPECT_EQ(1u, folder.LogLines().size());
    loaded = state.Load();
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ(a.torrentPath, loaded[0].torrentPath);
}

TEST(PieceRecheck, FindsCompletePiecesOnDiskAndReadsNothingElse)
{
    CTestFolder folder;
    const TTestTorrent torrent = MakeTestTorrent(folder.Path(), "a.bin", 1 << 20, "http://127.0.0.1:1/announce", 3);
    const std::string original = ReadFile(torrent.contentPath);
    lt::add_torrent_params params;
    params.ti = std::make_shared<lt::torrent_info>(torrent.torrentPath);
    params.save_path = folder / "videos";
    params.renamed_files[lt::file_index_t{0}] = "video.avi";
    MakeFolder(folder / "videos");
    const int size = params.ti->piece_length();
    const int pieces = params.ti->num_pieces();
    ASSERT_GE(size, 16 * 1024);
    ASSERT_GE(pieces, 40);

    // A sparse file as the engine leaves it: pieces 0 to 9 written, piece 5 spoiled
    // but recorded, piece 20 half written, piece 30 written but spoiled.
    const int fd = ::open((folder / "videos/video.avi").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ::ftruncate(fd, static_cast<off_t>(original.size())));
    auto write = [&](int piece, int length, bool spoil) {
        std::string bytes = original.substr(static_cast<size_t>(piece) * size, static_cast<size_t>(length));
        if (spoil)
            bytes[length / 2] ^= 1;
        ASSERT_EQ(length, ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(piece) * size));
    };
    for (int piece = 0; piece < 10; ++piece)
        write(piece, size, piece == 5);
    write(20, size / 2, false);
    write(30, size, true);
    ::close(fd);
    params.have_pieces.resize(pieces, false);
    params.have_pieces.set_bit(lt::piece_index_t{5});
    params.unfinished_pieces[lt::piece_index_t{3}].resize(size / (16 * 1024), false);

    TRecheck recheck = RecheckWrittenPieces(params);
    EXPECT_EQ(10, recheck.hashed) << "the nine missing written pieces and the spoiled one";
    EXPECT_EQ(9, recheck.found);
    for (int piece = 0; piece < pieces; ++piece)
        EXPECT_EQ(piece < 10, params.have_pieces.get_bit(lt::piece_index_t{piece})) << "piece " << piece;
    EXPECT_EQ(0u, params.unfinished_pieces.count(lt::piece_index_t{3}));

    // A record of a finished download: its file is never opened (here it is gone).
    ::unlink((folder / "videos/video.avi").c_str());
    params.have_pieces.set_all();
    recheck = RecheckWrittenPieces(params);
    EXPECT_EQ(0, recheck.hashed);
    EXPECT_TRUE(params.have_pieces.all_set());
    // No file at all: nothing to read, nothing found.
    params.have_pieces.clear_all();
    EXPECT_EQ(0, RecheckWrittenPieces(params).hashed);
}

TEST(EngineLimits, KeepsTheLastLimitsForTheNextStart)
{
    CTestFolder folder;
    const std::string path = folder / "limits.txt";
    {
        CEngineLimits limits(path, 100);
        lt::settings_pack none;
        limits.AddTo(none);
        EXPECT_FALSE(none.has_val(lt::settings_pack::download_rate_limit)) << "nothing kept yet";
        limits.Keep(EEngineLimit::DownloadRate, 100);
        limits.Keep(EEngineLimit::UploadRate, 0);
        limits.Keep(EEngineLimit::MaxDownloads, 3);
        limits.Keep(EEngineLimit::DownloadRate, 250);
    }
    WriteFile(path, ReadFile(path) + "junk\n");
    CEngineLimits limits(path, 100);
    lt::settings_pack pack;
    limits.AddTo(pack);
    EXPECT_EQ(250 * 1024, pack.get_int(lt::settings_pack::download_rate_limit));
    EXPECT_EQ(0, pack.get_int(lt::settings_pack::upload_rate_limit));
    EXPECT_EQ(3, pack.get_int(lt::settings_pack::active_downloads));
    ASSERT_EQ(1u, folder.LogLines().size());
    EXPECT_EQ(0u, folder.LogLines()[0].find("Engine setting " + path + " error[junk]"));
}

TEST(EngineLimits, TheTickFollowsTheTightestRateLimit)
{
    CTestFolder folder;
    const std::string path = folder / "limits.txt";
    CEngineLimits limits(path, 100);
    auto tick = [&](EEngineLimit limit, int value) {
        lt::settings_pack pack;
        limits.Apply(limit, value, pack);
        return pack.has_val(lt::settings_pack::tick_interval) ? pack.get_int(lt::settings_pack::tick_interval) : -1;
    };
    EXPECT_EQ(-1, tick(EEngineLimit::MaxDownloads, 3));
    // Twenty ticks hold half a block (8 KiB) of the tightest rate, between 5 ms and the session's tick.
    EXPECT_EQ(100, tick(EEngineLimit::DownloadRate, 2));
    EXPECT_EQ(20, tick(EEngineLimit::DownloadRate, 20));
    EXPECT_EQ(10, tick(EEngineLimit::UploadRate, 40));
    EXPECT_EQ(5, tick(EEngineLimit::DownloadRate, INT_MAX));
    EXPECT_EQ(10, tick(EEngineLimit::DownloadRate, 0));

    lt::settings_pack restart;
    CEngineLimits(path, 100).AddTo(restart);
    EXPECT_EQ(10, restart.get_int(lt::settings_pack::tick_interval)) << "a restart starts at the kept limits' tick";
    EXPECT_EQ(100, tick(EEngineLimit::UploadRate, 0)) << "no rate limited: the session's own tick";
}
