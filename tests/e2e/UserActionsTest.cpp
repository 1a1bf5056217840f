// The whole system under a user's hands: clicks on the main window of the
// running program, the service recording what the program reports.
#include "Desktop.h"
#include "WholeSystem.h"

#include "base/GbkText.h"

#include <csignal>
#include <regex>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Places in the main window, relative to its top-left corner.
constexpr int kMyProgramsTab[] = {275, 50};
constexpr int kFirstCategoryExpander[] = {18, 112};
constexpr int kSecondRowOfTree[] = {75, 154};
constexpr int kFirstListEntry[] = {300, 170};
constexpr int kDeleteButton[] = {210, 122};
constexpr int kDetailActionButton[] = {462, 344}; // download, stop or play
constexpr int kSubscribeButton[] = {573, 344};

void ClickAt(const TXWindow &window, const int (&place)[2]) { Click(window, place[0], place[1]); }

class UserActionsTest : public CWholeSystemTest {
protected:
    // Starts the program and waits until the service's subscribed channel is
    // downloaded, so that the window has shown the whole catalogue.
    TXWindow StartAndSettle()
    {
        tovix = Start();
        TXWindow window;
        EXPECT_TRUE(WaitFor([&] { return bool(window = MainWindow(tovix)); }, 60s));
        EXPECT_TRUE(WaitDownloaded(1, 5, 180s));
        return window;
    }

    pid_t tovix = -1;
};

} // namespace

TEST_F(UserActionsTest, SubscribingThroughTheDetailPaneDownloadsThatChannel)
{
    const TXWindow window = StartAndSettle();
    ASSERT_TRUE(window);
    EXPECT_TRUE(Files(2).size() == 5 && !Exists(ClientPath("videos", Files(2)[0].location)));

    // Open the first category, pick its second channel, its newest file, and subscribe.
    ClickAt(window, kFirstCategoryExpander);
    ClickAt(window, kSecondRowOfTree);
    ClickAt(window, kFirstListEntry);
    ClickAt(window, kSubscribeButton);
    CMessageBoxes boxes(tovix, client);
    EXPECT_EQ("新闻资讯/财经报道: 订制成功(此后此栏目的所有内容将自动下载)!", boxes.DismissNext());
    EXPECT_NE(std::string::npos, GbkToUtf8(ReadFile(client + "/ChannelInfo.xml"))
                                     .find("<Channel2 ID=\"2\" Name=\"财经报道\" Subscribe=\"1\""));

    EXPECT_TRUE(WaitDownloaded(2, 5, 180s));
    for (const TClientFile &file : Files(2))
        EXPECT_TRUE(SameAsServed(file)) << file.location;
    Screenshot(window, "subscribed");

    // A second subscription to the same channel changes nothing.
    const std::string channels = ReadFile(client + "/ChannelInfo.xml");
    ClickAt(window, kSubscribeButton);
    EXPECT_EQ("新闻资讯/财经报道: 您早已订制过此栏目!", boxes.DismissNext());
    EXPECT_EQ(channels, ReadFile(client + "/ChannelInfo.xml"));
    EXPECT_EQ(0, Stop(tovix));
}

TEST_F(UserActionsTest, DeletingFromTheListPaneRemovesTheEntryAndItsFiles)
{
    const TXWindow window = StartAndSettle();
    ASSERT_TRUE(window);
    const std::vector<TClientFile> before = Files(1);
    for (const TClientFile &file : before)
        ASSERT_TRUE(WaitFor([&] { return Exists(ClientPath("pics", file.picture)); }, 30s)) << file.picture;

    // My programs lists the subscribed files, newest first; delete the newest.
    ClickAt(window, kMyProgramsTab);
    ClickAt(window, kFirstListEntry);
    ClickAt(window, kDeleteButton);
    ASSERT_TRUE(WaitFor([&] { return Files(1).size() == 4; }, 30s));
    for (const TClientFile &file : before) {
        const bool deleted = file.id == before.back().id;
        EXPECT_NE(deleted, Exists(ClientPath("videos", file.location))) << file.location;
        EXPECT_NE(deleted, Exists(ClientPath("torrents", file.torrent))) << file.torrent;
        EXPECT_NE(deleted, Exists(ClientPath("pics", file.picture))) << file.picture;
    }
    EXPECT_EQ(0, Stop(tovix));
    EXPECT_EQ(4u, Files(1).size());
}

TEST_F(UserActionsTest, PlayingAFinishedFileShowsTheAdvertisementFirstAndReportsIt)
{
    const TXWindow window = StartAndSettle();
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitFor([&] { return Exists(client + "/videos/ADs/ad-news.mp4"); }, 60s));

    ClickAt(window, kMyProgramsTab);
    ClickAt(window, kFirstListEntry);
    ClickAt(window, kDetailActionButton);
    Screenshot(window, "advertisement");

    // The play report: the local address (the service is on the loopback, so the
    // connection's address is the loopback's), the file and how much of the
    // advertisement was seen.
    const std::regex report("i4e9:127\\.0\\.0\\.1i(\\d+)ei(\\d+)e");
    std::smatch match;
    std::string requests;
    ASSERT_TRUE(WaitFor(
        [&] {
            requests = service.Requests();
            return std::regex_search(requests, match, report);
        },
        60s));
    EXPECT_EQ(std::to_string(Files(1).back().id), match[1].str());
    EXPECT_EQ("100", match[2].str()); // watched to its end
    Screenshot(window, "playing");
    EXPECT_EQ(0, Stop(tovix));
}

TEST_F(UserActionsTest, AVideoIsControlledByKeysAndRemembersWhereItWasLeft)
{
    const TXWindow window = StartAndSettle();
    ASSERT_TRUE(window);
    // The demo's videos last two seconds: the newest one becomes a 40-second one.
    const TClientFile file = Files(1).back();
    const std::string video = ClientPath("videos", file.location);
    ASSERT_EQ(0, std::system(("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi "
                              "-i testsrc=size=320x240:rate=12:duration=40 -c:v libx264 -preset ultrafast "
                              "-pix_fmt yuv420p -f mp4 '" + video + "'").c_str()));

    ClickAt(window, kMyProgramsTab);
    Click(window, kFirstListEntry[0], kFirstListEntry[1], 2);
    // the play report goes out as the video starts, after the advertisement
    ASSERT_TRUE(WaitFor([&] { return service.Requests().find("i4e") != std::string::npos; }, 60s));
    // the video records where it is from its first moments on
    ASSERT_TRUE(WaitFor([&] { return Exists(client + "/PlayPositions.txt"); }, 60s));
    std::this_thread::sleep_for(3s);
    Screenshot(window, "video-bar");
    const TXWindow before = Geometry(window);
    PressKeys(window, "space Right");
    PressKeys(window, "f");
    const TXWindow screen = Screen();
    EXPECT_TRUE(WaitFor(
        [&] {
            const TXWindow now = Geometry(window);
            return now.x == 0 && now.y == 0 && now.width == screen.width && now.height == screen.height;
        },
        10s));
    Screenshot(Geometry(window), "video-fullscreen");
    PressKeys(window, "Escape");
    EXPECT_TRUE(WaitFor(
        [&] {
            const TXWindow now = Geometry(window);
            return now.x == before.x && now.y == before.y && now.width == before.width && now.height == before.height;
        },
        10s));
    std::this_thread::sleep_for(2s); // the frame stays where it was put back
    const TXWindow after = Geometry(window);
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
    EXPECT_EQ(before.width, after.width);
    EXPECT_EQ(before.height, after.height);

    // Paused about 3 s in and moved on 10 s: that is where it was left.
    EXPECT_EQ(0, Stop(tovix));
    const auto recorded = [&](int *id, long long *position) {
        std::istringstream record(ReadFile(client + "/PlayPositions.txt"));
        return bool(record >> *id >> *position);
    };
    int id = 0;
    long long position = 0;
    ASSERT_TRUE(recorded(&id, &position));
    EXPECT_EQ(file.id, id);
    EXPECT_GE(position, 11000);
    EXPECT_LE(position, 16000);

    // The next run goes on 5 s before that, and records that place as it lands
    // (however long a loaded machine takes to start the picture); killed while
    // playing, it has kept a position at most about 5 s old.
    tovix = Start();
    TXWindow again;
    ASSERT_TRUE(WaitFor([&] { return bool(again = MainWindow(tovix)); }, 60s));
    const size_t reports = service.Requests().size();
    std::this_thread::sleep_for(2s);
    ClickAt(again, kMyProgramsTab);
    Click(again, kFirstListEntry[0], kFirstListEntry[1], 2);
    ASSERT_TRUE(WaitFor([&] { return service.Requests().find("i4e", reports) != std::string::npos; }, 60s));
    long long resumed = position;
    const bool landed = WaitFor([&] { return recorded(&id, &resumed) && resumed != position; }, 60s);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(landed) << "the resumed video never recorded a position";
    EXPECT_NEAR(position - 5000, resumed, 1000);
    std::this_thread::sleep_for(3s);
    Screenshot(again, "video-resumed");
    std::this_thread::sleep_for(9s);
    kill(tovix, SIGKILL);
    const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_EQ(128 + SIGKILL, ExitCode(tovix, 10s));
    long long kept = 0;
    ASSERT_TRUE(recorded(&id, &kept));
    EXPECT_GT(kept, position);
    EXPECT_LE(kept, resumed + played.count() + 500);
    EXPECT_GE(kept, resumed + played.count() - 5000 - 1500); // written every 5 s
}
