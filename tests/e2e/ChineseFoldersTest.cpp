// The whole system in folders with Chinese names, as real users have them: the
// working folder, the user's configuration and data folders, and with them the
// video, torrent and picture folders the configuration names (in GBK).
#include "Desktop.h"
#include "WholeSystem.h"

#include "StateFolder.h"
#include "base/GbkText.h"

#include <libtorrent/torrent_info.hpp>

#include <map>
#include <regex>

using namespace std::chrono_literals;

namespace {

constexpr int kSeedRate = 60; // KB/s: slow enough to be killed part way
constexpr int kSubscribedChannel = 1;
constexpr size_t kChannelFiles = 5;
constexpr int kMyProgramsTab[] = {275, 50};
constexpr int kFirstListEntry[] = {300, 170};
constexpr int kDetailActionButton[] = {462, 344};
constexpr int kDeleteButton[] = {210, 122};

struct TRecord {
    int pieces = 0;
    int total = 0;
};

class ChineseFolders : public CWholeSystemTest {
protected:
    void SetUp() override { Prepare(kSeedRate, "\xE5\xAE\xB6/\xE8\xA7\x86\xE9\xA2\x91"); } // 家/视频

    // What the engine's records hold, by torrent path.
    std::map<std::string, TRecord> Records() const
    {
        std::map<std::string, TRecord> records;
        for (const TSavedDownload &saved : CStateFolder(client + "/EngineState").Load())
            records[saved.torrentPath] = {saved.params.have_pieces.count(), saved.params.ti->num_pieces()};
        return records;
    }

    // Lines of the log in which the engine could not keep or restore its state.
    std::vector<std::string> StateErrors() const
    {
        std::vector<std::string> errors;
        const std::string log = GbkToUtf8(ReadFile(client + "/skininfo.txt"));
        for (size_t at = 0, end; at < log.size(); at = end + 1) {
            end = log.find('\n', at);
            if (end == std::string::npos)
                end = log.size();
            const std::string line = log.substr(at, end - at);
            if (line.find("error") == std::string::npos)
                continue;
            for (const char *mark : {"download state", "Load download", "Create folder", "InitDownloader"})
                if (line.find(mark) != std::string::npos)
                    errors.push_back(line);
        }
        return errors;
    }
};

void ClickAt(const TXWindow &window, const int (&place)[2]) { Click(window, place[0], place[1]); }

} // namespace

TEST_F(ChineseFolders, DownloadsKeepTheirProgressOverAKillFinishWholePlayAndDelete)
{
    pid_t tovix = Start();
    // Killed while a download is part way and recorded.
    auto partWay = [this] {
        for (const auto &record : Records())
            if (record.second.pieces > 0 && record.second.pieces < record.second.total)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitFor(partWay, 120s)) << "no download was ever recorded part way";
    KillTovix(tovix);
    const std::map<std::string, TRecord> before = Records();
    EXPECT_TRUE(StateErrors().empty()) << StateErrors().front();

    // The second run restores every download; no record ever holds less than before.
    tovix = Start();
    std::vector<std::string> lost;
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const auto &record : Records()) {
                const auto was = before.find(record.first);
                if (was != before.end() && record.second.pieces < was->second.pieces)
                    lost.push_back(record.first);
            }
            return WaitDownloaded(kSubscribedChannel, kChannelFiles, 0s);
        },
        240s));
    EXPECT_TRUE(lost.empty()) << lost.front();
    EXPECT_TRUE(StateErrors().empty()) << StateErrors().front();
    for (const TClientFile &file : Files(kSubscribedChannel))
        EXPECT_TRUE(SameAsServed(file)) << file.location;

    // A finished file plays (after the channel's advertisement, which the service hears of).
    TXWindow window;
    ASSERT_TRUE(WaitFor([&] { return bool(window = MainWindow(tovix)); }, 60s));
    ASSERT_TRUE(WaitFor([&] { return Exists(client + "/videos/ADs/ad-news.mp4"); }, 60s));
    ClickAt(window, kMyProgramsTab);
    ClickAt(window, kFirstListEntry);
    ClickAt(window, kDetailActionButton);
    const std::regex report("i4e9:127\\.0\\.0\\.1i(\\d+)ei100e");
    EXPECT_TRUE(WaitFor([&] { return std::regex_search(service.Requests(), report); }, 60s)) << service.Requests();
    Screenshot(window, "chinese-folders-playing");

    // Deleting the newest file removes its entry and its files.
    const std::vector<TClientFile> listed = Files(kSubscribedChannel);
    const TClientFile newest = listed.back();
    ASSERT_TRUE(WaitFor([&] { return Exists(ClientPath("pics", newest.picture)); }, 30s)) << newest.picture;
    ClickAt(window, kFirstListEntry);
    ClickAt(window, kDeleteButton);
    EXPECT_TRUE(WaitFor([&] { return Files(kSubscribedChannel).size() == kChannelFiles - 1; }, 30s));
    EXPECT_FALSE(Exists(ClientPath("videos", newest.location)));
    EXPECT_FALSE(Exists(ClientPath("torrents", newest.torrent)));
    EXPECT_FALSE(Exists(ClientPath("pics", newest.picture)));
    EXPECT_TRUE(Exists(ClientPath("videos", listed.front().location)));
    EXPECT_EQ(0, Stop(tovix));
    EXPECT_TRUE(StateErrors().empty()) << StateErrors().front();
}
