#include "MediaClips.h"
#include "base/KeyStore.h"
#include "store/CatalogueFixture.h"
#include "store/ChannelCatalogue.h"
#include "support/WxTestSupport.h"
#include "ui/CWMPlayer.h"
#include "ui/MessageBox.h"

#include <ctime>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Local date as YYYYMMDD, days from today.
int DayNumber(int days)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_mday += days;
    local.tm_hour = 12; // away from daylight-saving jumps
    std::mktime(&local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

// Media waits are bounded: a clip's first start takes a second or two.
bool WaitFor(const std::function<bool()> &condition, long milliseconds = 20000)
{
    wxStopWatch watch;
    while (watch.Time() < milliseconds) {
        PumpEvents();
        if (condition())
            return true;
        wxMilliSleep(20);
    }
    return condition();
}

// The control plays and its position moves on.
bool PlaysOn(wxMediaCtrl &control)
{
    if (!WaitFor([&] { return control.GetState() == wxMEDIASTATE_PLAYING && control.Tell() > 0; }))
        return false;
    const wxFileOffset first = control.Tell();
    return WaitFor([&] { return control.Tell() > first; }, 5000);
}

// What the window shows on screen, read from the X server: GStreamer draws the
// picture, not wx. With TOVIX_SHOTS naming a folder, also kept there as name.
wxImage ScreenShot(wxWindow *window, const char *name, const std::string &scratch)
{
    const wxRect rect = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " " + scratch;
    if (std::system(command.c_str()) != 0)
        return wxImage();
    wxInitAllImageHandlers();
    wxImage shot(scratch, wxBITMAP_TYPE_PNG);
    if (const char *folder = std::getenv("TOVIX_SHOTS"))
        shot.SaveFile(wxString(folder) + "/" + name, wxBITMAP_TYPE_PNG);
    return shot;
}

// The share of pixels that are not near black, in percent.
int LitShare(const wxImage &image)
{
    if (!image.IsOk())
        return 0;
    const unsigned char *rgb = image.GetData();
    const int pixels = image.GetWidth() * image.GetHeight();
    int lit = 0;
    for (int i = 0; i < pixels; ++i, rgb += 3)
        lit += rgb[0] + rgb[1] + rgb[2] > 90;
    return lit * 100 / pixels;
}

// The test clips are bright colour patterns: most of a playing one's picture is
// lit. The first picture reaches the screen a little after the position moves.
bool ShowsPicture(wxWindow *window, const char *name, const std::string &scratch)
{
    return WaitFor([&] { return LitShare(ScreenShot(window, name, scratch)) > 50; }, 1500);
}

struct CFakeFrames : IFrameSource {
    int total = 0;
    int current = -1;
    int TotalFrames() override { return total; }
    int CurrentFrame() override { return current; }
};

std::string FileXml(int id, const std::string &title, int progress, const std::string &location)
{
    return "<File ID=\"" + std::to_string(id) + "\" Title=\"" + title + "\" Progress=\"" + std::to_string(progress) +
           "\" Location=\"" + location + "\" Pic=\"p.jpg\" Torrent=\"t.torrent\" Desc=\"d\" />\n";
}

// Channel 1 has today's clip, channel 2 none, channel 3 yesterday's, channel 4
// today's but missing from the clip folder.
class PlayerTest : public CatalogueTest, public IPlayerHostOwner {
protected:
    enum { kToday = 1, kNoAd = 2, kYesterday = 3, kMissingAd = 4 };

    void SetUp() override
    {
        WriteConfigure();
        MakeFolder(folder / "videos/ADs");
        const std::string today = std::to_string(DayNumber(0));
        WriteFile(folder / "ChannelInfo.xml",
                  kDecl + "<TovixChannel>\n<Channel1 ID=\"10001\">\n"
                          "<Channel2 ID=\"1\" AD=\"ad.mp4\" ADTime=\"" + today + "\" />\n"
                          "<Channel2 ID=\"2\" AD=\"\" ADTime=\"\" />\n"
                          "<Channel2 ID=\"3\" AD=\"ad.mp4\" ADTime=\"" + std::to_string(DayNumber(-1)) + "\" />\n"
                          "<Channel2 ID=\"4\" AD=\"gone.mp4\" ADTime=\"" + today + "\" />\n"
                          "</Channel1>\n</TovixChannel>\n");
        std::string files;
        for (int channel = 1; channel <= 4; ++channel)
            files += "<Channel ID=\"" + std::to_string(channel) + "\">\n" +
                     FileXml(7, "Seven", 100, "f7.mp4") + "</Channel>\n";
        files += "<Channel ID=\"5\">\n" + FileXml(8, "Eight", 99, "f8.mp4") + FileXml(9, "", 100, "f9.mp4") +
                 FileXml(10, "Ten", 100, "absent.mp4") + FileXml(11, "Eleven", 100, "../f7.mp4") +
                 FileXml(12, "Twelve", 100, "f12.wmv") + FileXml(13, "Thirteen", 100, "f13.rm") +
                 FileXml(14, "Fourteen", 100, "f14.rm") + FileXml(15, "Fifteen", 100, "f15.mp4") +
                 FileXml(16, "Sixteen", 100, "f16.mp4") + "</Channel>\n";
        WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + files + "</TovixFile>\n");
        Load();
        store.DisableExitSave();

        ASSERT_TRUE(CopyClip(EClip::Video, folder / "videos/f7.mp4"));
        ASSERT_TRUE(CopyClip(EClip::Video, folder / "videos/f8.mp4"));
        ASSERT_TRUE(CopyClip(EClip::Video, folder / "videos/f9.mp4"));
        ASSERT_TRUE(CopyClip(EClip::Ad, folder / "videos/ADs/ad.mp4"));

        SetMessageBoxHandler([this](wxWindow *, const wxString &text) {
            messages.push_back(text);
        });
        frame = std::make_unique<CTestFrame>(wxSize(480, 360));
        MakeHost();
    }

    void TearDown() override
    {
        // The frame's end runs the host's timers once more: nothing of a test body's
        // own (a clock over its locals, a key store) may be reached from them.
        if (host) {
            host->SetClock(nullptr);
            host->SetKeyStore(nullptr);
        }
        frame.reset();
        SetMessageBoxHandler(nullptr);
    }

    void MakeHost(const wxString &videoBackend = wxEmptyString, const wxString &adBackend = wxEmptyString)
    {
        if (host)
            host->Destroy();
        host = new CWMPlayer(store);
        ASSERT_TRUE(host->Create(frame->Panel(), 5506, wxRect(0, 0, 480, 360), videoBackend, adBackend));
        host->SetOwner(this);
        host->SetPlayReport([this](int file, int percent) { reports.emplace_back(file, percent); });
    }

    void ShowDetailPane(bool show) override { detailPane.push_back(show); }

    void Tick()
    {
        wxTimerEvent tick(host->AdTimer());
        host->ProcessWindowEvent(tick);
    }

    bool ClipShowing() const
    {
        return host->IsShown() && host->AdPlayer().IsShown() && !host->VideoPlayer().IsShown() &&
               host->AdTimer().IsRunning();
    }
    bool VideoShowing() const
    {
        return host->IsShown() && host->VideoPlayer().IsShown() && !host->AdPlayer().IsShown() &&
               !host->AdTimer().IsRunning();
    }

    using Report = std::pair<int, int>;
    std::unique_ptr<CTestFrame> frame;
    CWMPlayer *host = nullptr;
    std::vector<wxString> messages;
    std::vector<Report> reports;
    std::vector<bool> detailPane;

private:
};

} // namespace

TEST_F(PlayerTest, PlaysFinishedFileAfterTheCurrentClipAndReportsItSeenWhole)
{
    ASSERT_TRUE(host->HasVideoPlayer());
    ASSERT_TRUE(host->HasAdPlayer());
    int loaded = 0;
    host->VideoPlayer().Bind(wxEVT_MEDIA_LOADED, [&](wxMediaEvent &event) {
        ++loaded;
        event.Skip();
    });

    host->PlayFile(kToday, 7);
    EXPECT_TRUE(ClipShowing());
    EXPECT_TRUE(host->AdPlayer().SkipButton().IsShown());
    EXPECT_EQ(std::vector<bool>{false}, detailPane);
    EXPECT_TRUE(reports.empty());
    ASSERT_TRUE(PlaysOn(host->AdPlayer().Movie()));
    EXPECT_GT(host->AdPlayer().TotalFrames(), 0);
    EXPECT_TRUE(ShowsPicture(host, "advertisement.png", folder / "shot.png"));

    // the clip runs out: the video follows and the clip counts as seen whole
    ASSERT_TRUE(WaitFor([&] { return !reports.empty(); }));
    EXPECT_EQ((std::vector<Report>{{7, 100}}), reports);
    EXPECT_TRUE(VideoShowing());
    ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
    EXPECT_EQ(1, loaded);
    EXPECT_TRUE(ShowsPicture(host, "video.png", folder / "shot.png"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(std::vector<bool>({false, false}), detailPane);
}

TEST_F(PlayerTest, PlaysAtOnceWithoutACurrentClipOnDisk)
{
    // no clip, yesterday's clip (today's plays, above), and today's clip that
    // was never fetched: each seen 0 %
    for (int channel : {kNoAd, kYesterday, kMissingAd}) {
        SCOPED_TRACE(channel);
        reports.clear();
        host->PlayFile(channel, 7);
        EXPECT_EQ((std::vector<Report>{{7, 0}}), reports);
        EXPECT_FALSE(host->AdPlayer().IsShown());
        EXPECT_TRUE(VideoShowing());
        host->Stop();
    }
    host->PlayFile(kNoAd, 7);
    EXPECT_TRUE(PlaysOn(host->VideoPlayer()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlayerTest, RefusesUnfinishedAndMissingFiles)
{
    const wxString notDownloaded = wxString::FromUTF8("此文件还没有完成下载！");
    const wxString noSuchFile = wxString::FromUTF8("文件不存在");
    struct {
        int file;
        wxString message;
    } cases[] = {
        {8, notDownloaded},  // progress 99, video on disk
        {9, notDownloaded},  // no title, video on disk
        {10, noSuchFile},    // finished, video missing
        {11, noSuchFile},    // a location outside the video folder
        {99, notDownloaded}, // not in the catalogue
    };
    for (const auto &refused : cases) {
        SCOPED_TRACE(refused.file);
        messages.clear();
        host->PlayFile(5, refused.file);
        EXPECT_EQ(std::vector<wxString>{refused.message}, messages);
    }
    EXPECT_FALSE(host->IsShown());
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(detailPane.empty());
    const std::vector<std::string> log = folder.LogLines();
    EXPECT_EQ(1, std::count_if(log.begin(), log.end(), [](const std::string &line) {
                  return line.find("../f7.mp4") != std::string::npos;
              }));
}

TEST_F(PlayerTest, OneFrameClipEndsAtTheFirstTickAndAnUnknownLengthDoesNot)
{
    CFakeFrames frames;
    host->SetFrameSource(&frames);
    host->PlayFile(kToday, 7);
    ASSERT_TRUE(ClipShowing());

    Tick(); // length not known yet
    EXPECT_TRUE(ClipShowing());
    EXPECT_TRUE(reports.empty());

    frames.total = 1;
    frames.current = 0;
    Tick();
    EXPECT_EQ((std::vector<Report>{{7, 100}}), reports);
    EXPECT_TRUE(VideoShowing());
}

TEST_F(PlayerTest, SeenShareOfEachCommand)
{
    CFakeFrames frames;
    host->SetFrameSource(&frames);
    struct {
        const char *value;
        int current, total;
        int percent;
    } cases[] = {
        {"close", 30, 120, 25},  // 31 of 120 frames, truncated
        {"close", 28, 100, 29},  // exact shares stay exact
        {"close", 0, 0, 100},    // a total of 0 counts as 1
        {"close", -1, 0, 0},     // skipped before anything was shown
        {"close", 5, 0, 100},    // never more than the whole clip
        {"finish", 3, 120, 100},
        {"play", 119, 120, 0},
        {"other", 119, 120, 0},
    };
    for (const auto &command : cases) {
        SCOPED_TRACE(command.value);
        reports.clear();
        host->PlayFile(kToday, 7);
        ASSERT_TRUE(ClipShowing());
        frames.current = command.current;
        frames.total = command.total;
        host->Action(command.value);
        EXPECT_EQ((std::vector<Report>{{7, command.percent}}), reports);
        EXPECT_TRUE(VideoShowing());
    }
}

TEST_F(PlayerTest, SkipControlReportsTheShareOfARealClipSeen)
{
    host->PlayFile(kToday, 7);
    ASSERT_TRUE(PlaysOn(host->AdPlayer().Movie()));
    wxButton &skip = host->AdPlayer().SkipButton();
    wxCommandEvent click(wxEVT_BUTTON, skip.GetId());
    click.SetEventObject(&skip);
    skip.ProcessWindowEvent(click);
    ASSERT_EQ(1u, reports.size());
    EXPECT_GT(reports[0].second, 0);
    EXPECT_LT(reports[0].second, 100);
    EXPECT_TRUE(VideoShowing());
    EXPECT_TRUE(PlaysOn(host->VideoPlayer()));
    // the stopped clip sends no more commands: neither the control nor its end
    skip.ProcessWindowEvent(click);
    WaitFor([] { return false; }, 2500);
    EXPECT_EQ(1u, reports.size());
}

TEST_F(PlayerTest, VideoGoneWhenTheClipEndsIsRefused)
{
    host->PlayFile(kToday, 7);
    ASSERT_TRUE(ClipShowing());
    std::remove("videos/f7.mp4");
    host->Action("finish");
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("文件不存在")}, messages);
    EXPECT_TRUE(reports.empty());
    // back to the file's details rather than an abandoned clip
    EXPECT_FALSE(host->IsShown());
    EXPECT_FALSE(host->AdTimer().IsRunning());
    EXPECT_EQ(std::vector<bool>({false, true}), detailPane);
}

TEST_F(PlayerTest, StopReturnsToTheDetailPane)
{
    host->PlayFile(kNoAd, 7);
    ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
    host->Stop();
    EXPECT_FALSE(host->IsShown());
    EXPECT_EQ(std::vector<bool>({false, true}), detailPane);
    EXPECT_TRUE(WaitFor([&] { return host->VideoPlayer().GetState() == wxMEDIASTATE_STOPPED; }, 5000));

    // stopped during a clip, the timer stops too and the video never follows
    CFakeFrames frames;
    frames.total = frames.current = 1;
    host->SetFrameSource(&frames);
    host->PlayFile(kToday, 7);
    ASSERT_TRUE(ClipShowing());
    host->Stop();
    EXPECT_FALSE(host->AdTimer().IsRunning());
    Tick();
    EXPECT_FALSE(host->IsShown());
    EXPECT_EQ((std::vector<Report>{{7, 0}}), reports);
}

TEST_F(PlayerTest, AbsentPlayersAreLeftOut)
{
    // without the clip player every file plays at once
    MakeHost(wxEmptyString, "wxNoSuchBackend");
    EXPECT_FALSE(host->HasAdPlayer());
    host->PlayFile(kToday, 7);
    EXPECT_EQ((std::vector<Report>{{7, 0}}), reports);
    EXPECT_TRUE(host->IsShown());
    EXPECT_TRUE(PlaysOn(host->VideoPlayer()));

    // without the video player the host still shows, playing nothing
    reports.clear();
    MakeHost("wxNoSuchBackend", wxEmptyString);
    EXPECT_FALSE(host->HasVideoPlayer());
    host->PlayFile(kNoAd, 7);
    EXPECT_EQ((std::vector<Report>{{7, 0}}), reports);
    EXPECT_TRUE(host->IsShown());
    host->Stop();
    EXPECT_FALSE(host->IsShown());
}

TEST_F(PlayerTest, CreatedHiddenPlayersFollowTheHostsSize)
{
    EXPECT_FALSE(host->IsShown());
    EXPECT_FALSE(host->AdPlayer().IsShown());
    EXPECT_TRUE(host->VideoPlayer().IsShown());
    EXPECT_EQ(wxRect(0, 0, 480, 360), host->VideoPlayer().GetRect());

    host->SetSize(300, 200);
    PumpEvents();
    EXPECT_EQ(wxRect(0, 0, 300, 200), host->VideoPlayer().GetRect());
    EXPECT_EQ(wxRect(0, 0, 300, 200), host->AdPlayer().GetRect());
    const wxRect skip = host->AdPlayer().SkipButton().GetRect();
    EXPECT_GE(skip.y, 200 - CFlashPlayer::kBarHeight);
    EXPECT_LE(skip.GetRight(), 300);
    EXPECT_EQ(wxRect(0, 0, 300, 200 - CFlashPlayer::kBarHeight), host->AdPlayer().Movie().GetRect());
}

TEST_F(PlayerTest, OtherVideoFormatsPlay)
{
    ASSERT_TRUE(CopyClip(EClip::Wmv, folder / "videos/f12.wmv"));
    ASSERT_TRUE(CopyClip(EClip::RealMedia10, folder / "videos/f13.rm"));
    ASSERT_TRUE(CopyClip(EClip::RealMedia20, folder / "videos/f14.rm"));
    struct {
        int file;
        const char *decoder;
    } formats[] = {{12, "avdec_wmv2"}, {13, "avdec_rv10"}, {14, "avdec_rv20"}};
    for (const auto &format : formats) {
        SCOPED_TRACE(format.decoder);
        if (!HasGstElement(format.decoder))
            continue; // this GStreamer cannot decode it
        host->PlayFile(5, format.file);
        EXPECT_TRUE(PlaysOn(host->VideoPlayer()));
        host->Stop();
    }
}

TEST(AdvertisementPathTest, RelativeRootGoesUnderTheWorkingDirectory)
{
    CTestFolder folder;
    std::string path;
    ASSERT_TRUE(AdvertisementPath("videos/", "a.mp4", path));
    EXPECT_EQ(folder.Path() + "/videos/ADs/a.mp4", path);
    ASSERT_TRUE(AdvertisementPath("/srv/videos/", "a.mp4", path));
    EXPECT_EQ("/srv/videos/ADs/a.mp4", path);
    ASSERT_TRUE(AdvertisementPath("/srv/videos/", "../a.mp4", path));
    EXPECT_EQ("", path);
}

namespace {

// The long clip plays from channel 5, which has no advertisement.
class VideoControlsTest : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        ASSERT_TRUE(CopyClip(EClip::Long, folder / "videos/f15.mp4"));
        host->SetKeyStore(&keys);
        BindLoads();
    }

    void BindLoads()
    {
        host->VideoPlayer().Bind(wxEVT_MEDIA_LOADED, [this](wxMediaEvent &event) {
            ++loads;
            event.Skip();
        });
    }

    // Plays file 15 and waits until the bar knows its length.
    void PlayLong()
    {
        // until the new file is loaded the control still reports the old one
        const int before = loads;
        host->PlayFile(5, 15);
        ASSERT_TRUE(WaitFor([&] { return loads > before; }));
        ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
        ASSERT_TRUE(WaitFor([&] { return host->VideoPlayer().Length() > 30000; }));
        host->UpdateBar();
    }

    long long Tell() { return host->VideoPlayer().Tell(); }

    CKeyStore keys{folder / "keys"};
    int loads = 0;
};

} // namespace

TEST_F(VideoControlsTest, BarShowsOnlyWithTheVideoAndItsTimerOnlyWhileShown)
{
    host->PlayFile(kToday, 7);
    ASSERT_TRUE(ClipShowing());
    EXPECT_FALSE(host->Bar().IsShown());
    EXPECT_FALSE(host->BarTimer().IsRunning());
    EXPECT_FALSE(host->HandleKey(WXK_SPACE)); // no keys for the clip

    host->Action("close");
    EXPECT_TRUE(host->Bar().IsShown());
    EXPECT_TRUE(host->BarTimer().IsRunning());
    // the length is not known before the first play
    EXPECT_EQ("--:--", host->Bar().TimeText());
    EXPECT_FALSE(host->Bar().SeekSlider().IsEnabled());
    // the picture keeps to the area above the bar
    EXPECT_EQ(360 - CPlayBar::kHeight, host->VideoPlayer().GetSize().y);
    ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
    ASSERT_TRUE(WaitFor([&] {
        host->UpdateBar();
        return host->Bar().SeekSlider().IsEnabled();
    }));
    EXPECT_EQ(" / 00:03", host->Bar().TimeText().substr(5));
    EXPECT_TRUE(host->Bar().IsPlayingShown());

    host->Stop();
    EXPECT_FALSE(host->Bar().IsShown());
    EXPECT_FALSE(host->BarTimer().IsRunning());
}

TEST_F(VideoControlsTest, PauseHoldsThePositionAndSeeksLandNearTheirTarget)
{
    PlayLong();
    EXPECT_TRUE(host->HandleKey(WXK_SPACE));
    ASSERT_TRUE(WaitFor([&] { return host->VideoPlayer().GetState() == wxMEDIASTATE_PAUSED; }));
    EXPECT_FALSE(host->Bar().IsPlayingShown());
    const wxFileOffset held = Tell();
    WaitFor([] { return false; }, 1000);
    EXPECT_NEAR(held, Tell(), 100);
    host->TogglePlay();
    ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
    EXPECT_GE(Tell(), held);

    // a click on the seek bar lands there, the keys step 10 s
    CCommonSlider &seek = host->Bar().SeekSlider();
    const int x = seek.GetSize().x / 2;
    const long long target = seek.ValueAt(x);
    wxMouseEvent down(wxEVT_LEFT_DOWN), up(wxEVT_LEFT_UP);
    down.m_x = up.m_x = x;
    down.m_leftDown = true;
    seek.ProcessWindowEvent(down);
    seek.ProcessWindowEvent(up);
    ASSERT_TRUE(WaitFor([&] { return std::abs(Tell() - target) < 1000; }, 5000)) << Tell() << " for " << target;
    const long long before = Tell();
    host->HandleKey(WXK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return std::abs(Tell() - (before + 10000)) < 1000; }, 5000)) << Tell();
    host->HandleKey(WXK_LEFT);
    EXPECT_TRUE(WaitFor([&] { return std::abs(Tell() - before) < 1000; }, 5000)) << Tell();
}

TEST_F(VideoControlsTest, VolumeAndMuteReachTheControlAndSurviveARestart)
{
    PlayLong();
    host->HandleKey(WXK_DOWN);
    host->HandleKey(WXK_DOWN);
    EXPECT_NEAR(0.8, host->VideoPlayer().GetVolume(), 0.01);
    host->HandleKey('M');
    EXPECT_NEAR(0.0, host->VideoPlayer().GetVolume(), 0.01);
    EXPECT_TRUE(host->Bar().IsMutedShown());

    CKeyStore reopened{folder / "keys"};
    std::string value;
    CRegKey key;
    ASSERT_TRUE(key.Open(reopened, EHive::CurrentUser, "Software\\Tovix"));
    ASSERT_TRUE(key.QueryValue("Volume", value));
    EXPECT_EQ("80", value);

    MakeHost();
    BindLoads();
    host->SetKeyStore(&reopened);
    PlayLong();
    EXPECT_TRUE(host->IsMuted());
    EXPECT_NEAR(0.0, host->VideoPlayer().GetVolume(), 0.01);
    // unmuting brings back the level from before
    host->ToggleMute();
    EXPECT_NEAR(0.8, host->VideoPlayer().GetVolume(), 0.01);
}

TEST_F(VideoControlsTest, ResumesFiveSecondsBeforeWhereItWasLeftAndFromZeroOnceWatched)
{
    PlayLong();
    host->SeekTo(20000);
    ASSERT_TRUE(WaitFor([&] { return Tell() >= 20000; }, 5000));
    host->Stop();
    long long remembered = 0;
    ASSERT_TRUE(store.Positions().Remembered(15, &remembered));
    EXPECT_NEAR(20000, remembered, 1500);

    // While the resume lands, the place kept stays on record: a kill then loses nothing.
    host->PlayFile(5, 15);
    bool kept = true;
    EXPECT_TRUE(WaitFor(
        [&] {
            long long now = 0;
            kept = kept && store.Positions().Remembered(15, &now) && now >= remembered - 5000;
            return !kept || (host->Note().IsShown() && Tell() >= remembered - 5000 + 1500);
        },
        10000))
        << Tell();
    EXPECT_TRUE(kept);
    ASSERT_TRUE(host->Note().IsShown());
    EXPECT_EQ(wxString::FromUTF8("从 00:") + wxString::Format("%02lld", (remembered - 5000) / 1000) +
                  wxString::FromUTF8(" 继续播放"),
              host->Note().GetText());
    ShowsPicture(host, "resume-note.png", folder / "shot.png");

    // watched to the end: the bar shows the end, the record goes, play starts over
    host->SeekTo(39000);
    ASSERT_TRUE(WaitFor([&] { return host->VideoPlayer().GetState() != wxMEDIASTATE_PLAYING; }, 10000));
    ASSERT_TRUE(WaitFor([&] {
        host->UpdateBar();
        return host->Bar().TimeText() == "00:40 / 00:40";
    }, 5000)) << host->Bar().TimeText();
    EXPECT_FALSE(store.Positions().Remembered(15, nullptr));
    host->TogglePlay();
    ASSERT_TRUE(PlaysOn(host->VideoPlayer()));
    EXPECT_LT(Tell(), 5000);
    host->Stop();
    PlayLong();
    EXPECT_LT(Tell(), 5000);
}

TEST_F(VideoControlsTest, AFileThatCannotBePlayedSaysSoInThePlayer)
{
    // not a video at all: the control loads it and stops without playing
    WriteFile(folder / "videos/f16.mp4", std::string(4096, 'x'));
    host->PlayFile(5, 16);
    ASSERT_TRUE(WaitFor([&] { return host->HasFailed(); }));
    EXPECT_TRUE(host->Note().IsShown());
    EXPECT_TRUE(host->Note().GetText().StartsWith(wxString::FromUTF8("无法播放此文件")));
    EXPECT_FALSE(host->Bar().IsShown());
    EXPECT_TRUE(messages.empty());
    ShowsPicture(host, "cannot-play.png", folder / "shot.png");

    // decoders that are there but ranked out: the message names what is missing
    ASSERT_TRUE(CopyClip(EClip::Wmv, folder / "videos/f12.wmv"));
    if (!HasGstElement("avdec_wmv2") || !HasGstElement("avdec_wmav2"))
        GTEST_SKIP() << "no WMV decoders";
    std::vector<std::pair<GstPluginFeature *, guint>> disabled;
    for (const char *name : {"avdec_wmv2", "avdec_wmav2"}) {
        GstPluginFeature *decoder = gst_registry_lookup_feature(gst_registry_get(), name);
        ASSERT_NE(nullptr, decoder);
        disabled.emplace_back(decoder, gst_plugin_feature_get_rank(decoder));
        gst_plugin_feature_set_rank(decoder, GST_RANK_NONE);
        // the decoder lists cache the registry until it changes: take the element out for a moment
        gst_registry_remove_feature(gst_registry_get(), decoder);
    }
    host->PlayFile(5, 12);
    const bool failed = WaitFor([&] { return host->HasFailed(); });
    for (auto &[decoder, rank] : disabled) {
        gst_plugin_feature_set_rank(decoder, rank);
        gst_registry_add_feature(gst_registry_get(), decoder);
        gst_object_unref(decoder);
    }
    ASSERT_TRUE(failed);
    EXPECT_TRUE(host->Note().GetText().Contains("Windows Media")) << host->Note().GetText();
    const std::vector<std::string> log = folder.LogLines();
    EXPECT_EQ(2, std::count_if(log.begin(), log.end(), [](const std::string &line) {
                  return line.rfind("Play ", 0) == 0 && line.find("error[") != std::string::npos;
              }));

    // the next playable file plays again; a start slower than the wait is logged, once
    long long now = 1000000;
    host->SetClock([&] { return now; });
    host->PlayFile(5, 15);
    now += CWMPlayer::kStartWait;
    host->UpdateBar();
    host->UpdateBar();
    EXPECT_TRUE(PlaysOn(host->VideoPlayer()));
    EXPECT_FALSE(host->HasFailed());
    EXPECT_FALSE(host->Note().IsShown());
    const std::vector<std::string> later = folder.LogLines();
    EXPECT_EQ(1, std::count_if(later.begin(), later.end(), [](const std::string &line) {
                  return line.find("f15.mp4 not started after 10000 ms") != std::string::npos;
              }));
}

TEST_F(VideoControlsTest, InFullscreenTheBarAndPointerHideWhileThePointerRests)
{
    long long now = 1000000;
    host->SetClock([&] { return now; });
    PlayLong();
    const auto movePointer = [](int x) {
        return std::system(("xdotool mousemove " + std::to_string(x) + " 300").c_str()) == 0;
    };
    ASSERT_TRUE(movePointer(100));
    // the pointer rested long before: fullscreen still starts with the bar
    now += 10 * CWMPlayer::kIdleHide;
    host->UpdateBar();
    host->ToggleFullScreen();
    ASSERT_TRUE(host->IsFullScreen());
    now += CWMPlayer::kIdleHide - 1;
    host->UpdateBar();
    EXPECT_TRUE(host->Bar().IsShown());
    now += 1;
    host->UpdateBar();
    EXPECT_FALSE(host->Bar().IsShown());
    EXPECT_EQ(host->GetClientSize().y, host->VideoPlayer().GetSize().y); // the picture takes the bar's room

    ASSERT_TRUE(movePointer(140));
    host->UpdateBar();
    EXPECT_TRUE(host->Bar().IsShown());

    // hidden again, then back with the layout: the bar shows outside fullscreen
    now += CWMPlayer::kIdleHide;
    host->UpdateBar();
    EXPECT_FALSE(host->Bar().IsShown());
    EXPECT_TRUE(host->HandleKey(WXK_ESCAPE));
    EXPECT_FALSE(host->IsFullScreen());
    EXPECT_TRUE(host->Bar().IsShown());
    now += 2 * CWMPlayer::kIdleHide;
    host->UpdateBar();
    EXPECT_TRUE(host->Bar().IsShown());
}

TEST_F(VideoControlsTest, DraggingTheSeekThumbMovesThePictureAtMostFiveTimesASecond)
{
    long long now = 1000000;
    host->SetClock([&] { return now; });
    PlayLong();
    host->TogglePlay(); // paused, so only the seeks move the position
    ASSERT_TRUE(WaitFor([&] { return host->VideoPlayer().GetState() == wxMEDIASTATE_PAUSED; }));
    CCommonSlider &seek = host->Bar().SeekSlider();
    const int width = seek.GetSize().x;
    const auto mouse = [&](wxEventType type, int x) {
        wxMouseEvent event(type);
        event.m_x = x;
        event.m_leftDown = type != wxEVT_LEFT_UP;
        seek.ProcessWindowEvent(event);
    };
    const auto landsAt = [&](long long target, long milliseconds = 5000) {
        return WaitFor([&] { return std::abs(Tell() - target) < 1000; }, milliseconds);
    };
    mouse(wxEVT_LEFT_DOWN, width / 2);
    EXPECT_TRUE(landsAt(seek.ValueAt(width / 2))) << Tell();
    now += CWMPlayer::kDragSeekPeriod - 1;
    mouse(wxEVT_MOTION, width / 4); // too soon: the picture stays
    EXPECT_FALSE(landsAt(seek.ValueAt(width / 4), 1500));
    now += 1;
    mouse(wxEVT_MOTION, width / 5);
    EXPECT_TRUE(landsAt(seek.ValueAt(width / 5))) << Tell();
    // released right away, it still lands where the button came up
    mouse(wxEVT_LEFT_UP, 3 * width / 4);
    EXPECT_TRUE(landsAt(seek.ValueAt(3 * width / 4))) << Tell();
}
