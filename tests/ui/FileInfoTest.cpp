#include "base/GbkText.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "support/WaitableWorkers.h"
#include "support/WxTestSupport.h"
#include "ui/MessageBox.h"
#include "ui/TestChannelPage.h"
#include "views/PaneFixture.h"
#include "views/PictureFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

const std::string kChannels = "<Channel1 ID=\"10001\" Name=\"" + Utf8ToGbk("电影") + "\">\n"
                              "<Channel2 ID=\"1\" Name=\"" + Utf8ToGbk("动作片") + "\" Subscribe=\"0\" />\n"
                              "<Channel2 ID=\"2\" Name=\"b\" Subscribe=\"1\" />\n"
                              "</Channel1>\n";

// Listed newest first: 4 (finished, engine knows it), 3 (never started),
// 2 (downloading, engine knows it), 1 (finished, engine does not know it).
const std::string kFiles = "<Channel ID=\"1\">\n" + FileXml(1, "一", 100) + FileXml(2, "二", 40) +
                           FileXml(3, "三", -1) + FileXml(4, "四", 100) + "</Channel>\n";

ino_t Inode(const std::string &path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

struct FileInfoTest : PaneTest {
    CWaitableWorkers workers;
    std::unique_ptr<CTestFrame> frame;
    CTestChannelPage *page = nullptr;
    std::vector<wxString> messages;

    void SetUp() override
    {
        PaneTest::SetUp();
        Prepare(kFiles, kChannels);
        EngineKnows("torrents/t4.torrent", 1);
        EngineKnows("torrents/t2.torrent", 2);
        SetMessageBoxHandler([this](wxWindow *, const wxString &text) { messages.push_back(text); });
        frame = std::make_unique<CTestFrame>(wxSize(760, 460));
        page = new CTestChannelPage(frame->Panel(), wxSize(760, 460), store, workers);
    }

    void TearDown() override
    {
        EXPECT_TRUE(workers.WaitAll());
        frame.reset();
        SetMessageBoxHandler(nullptr);
        PaneTest::TearDown();
    }

    CFileInfo &Pane() { return page->FileInfo(); }
    CSimpleTree &Tree() { return page->FileList().Tree(); }

    // Clicks the list row showing the file.
    int ClickFile(int file)
    {
        const auto &items = Tree().Items();
        for (size_t row = 0; row < items.size(); ++row)
            if (items[row]->entryNumber / 1000 == file) {
                SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, int(row) * 54 + 20));
                return items[row]->key;
            }
        ADD_FAILURE() << "file " << file << " is not listed";
        return -1;
    }

    bool Shown(int id) { return Pane().FindWindow(id)->IsShown(); }

    // Which of download, stop and play show ("" for none); subscribe always shows.
    std::string Buttons()
    {
        EXPECT_TRUE(Shown(CFileInfo::ID_SUBSCRIBE));
        std::string shown;
        for (const auto &[id, name] : {std::pair<int, const char *>{CFileInfo::ID_DOWNLOAD, "download"},
                                       {CFileInfo::ID_STOP, "stop"},
                                       {CFileInfo::ID_PLAY, "play"}})
            if (Shown(id))
                shown += shown.empty() ? name : std::string(" ") + name;
        return shown;
    }

    wxString Description()
    {
        return static_cast<wxTextCtrl *>(Pane().FindWindow(CFileInfo::ID_DESCRIPTION))->GetValue();
    }

    wxImage Paint()
    {
        return Render(Pane().GetClientSize(), [this](wxDC &dc) { Pane().Render(dc); });
    }
};

} // namespace

TEST_F(FileInfoTest, ButtonsFollowProgressAndTheEngine)
{
    SendWindowMessage(&page->FileList(), WM_SHOW_CHANNEL, 0, 1);
    // the list's own click showed the newest file: finished, so play whatever the engine says
    EXPECT_EQ(Tree().Items().front()->key, Pane().GetShownKey());
    EXPECT_EQ("play", Buttons());
    EXPECT_EQ(wxString::FromUTF8("说明 四"), Description());

    ClickFile(3);
    EXPECT_EQ("download", Buttons());
    EXPECT_EQ(wxString::FromUTF8("说明 三"), Description());
    ClickFile(2);
    EXPECT_EQ("stop", Buttons());
    ClickFile(1);
    EXPECT_EQ("play", Buttons());

    SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, 300)); // below the files: the empty state
    EXPECT_EQ(-1, Pane().GetShownKey());
    EXPECT_EQ("download", Buttons());
    EXPECT_EQ(wxString(), Description());

    // the button places; download, stop and play share one
    EXPECT_EQ(wxRect(11, 226, 85, 32), Pane().FindWindow(CFileInfo::ID_DOWNLOAD)->GetRect());
    EXPECT_EQ(wxRect(11, 226, 85, 32), Pane().FindWindow(CFileInfo::ID_STOP)->GetRect());
    EXPECT_EQ(wxRect(11, 226, 85, 32), Pane().FindWindow(CFileInfo::ID_PLAY)->GetRect());
    EXPECT_EQ(wxRect(122, 226, 85, 32), Pane().FindWindow(CFileInfo::ID_SUBSCRIBE)->GetRect());
    Pane().SetSize(600, 447);
    PumpEvents();
    EXPECT_EQ(wxRect(215, 60, 600 - 229, 132), Pane().FindWindow(CFileInfo::ID_DESCRIPTION)->GetRect());
}

TEST_F(FileInfoTest, DownloadAndStopDriveTheEngine)
{
    WriteFile(folder / "torrents/t3.torrent", "torrent");
    SendWindowMessage(&page->FileList(), WM_SHOW_CHANNEL, 0, 1);
    ClickFile(3);
    Click(Pane().FindWindow(CFileInfo::ID_DOWNLOAD), wxPoint(5, 5));
    EXPECT_EQ("stop", Buttons());
    Click(Pane().FindWindow(CFileInfo::ID_STOP), wxPoint(5, 5));
    EXPECT_EQ("download", Buttons());
    EXPECT_EQ((std::vector<std::string>{"AddDownload torrents/t3.torrent videos/v3.avi",
                                        "DelDownload torrents/t3.torrent videos/v3.avi"}),
              EngineCalls());

    // the list's download button is the pane's; a torrent that cannot be fetched is only logged
    ClickFile(2);
    Click(page->FileList().FindWindow(CFileList::ID_DOWNLOAD), wxPoint(5, 5));
    EXPECT_EQ("stop", Buttons());
    ASSERT_TRUE(workers.WaitAll());
    EXPECT_EQ(2u, EngineCalls().size());
    const auto lines = folder.LogLines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                     "GetTorrent, Bad Torrent Url http://127.0.0.1:1/t/t2.torrent"));

    // the list's delete button stops the shown file before the catalogue entry goes
    ClickFile(3);
    Click(page->FileList().FindWindow(CFileList::ID_DELETE), wxPoint(5, 5));
    EXPECT_EQ("download", Buttons());
    const auto calls = EngineCalls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ("DelDownload torrents/t3.torrent videos/v3.avi", calls[2]); // the pane's stop
    EXPECT_EQ("DelDownload torrents/t3.torrent videos/v3.avi", calls[3]); // the catalogue's removal
    EXPECT_FALSE(Exists(folder / "torrents/t3.torrent"));
}

TEST_F(FileInfoTest, PlaySendsTheShownKey)
{
    SendWindowMessage(&page->FileList(), WM_SHOW_CHANNEL, 0, 1);
    const int key = ClickFile(1);
    Click(Pane().FindWindow(CFileInfo::ID_PLAY), wxPoint(5, 5));
    SendMouse(&Tree(), wxEVT_LEFT_DCLICK, wxPoint(10, 20));
    EXPECT_EQ((std::vector<int>{key, Tree().Items().front()->key}), page->played);
}

TEST_F(FileInfoTest, SubscribingTwiceGivesTheSecondMessageAndLeavesTheFileAlone)
{
    WriteFile(folder / "torrents/t2.torrent", "torrent");
    WriteFile(folder / "torrents/t3.torrent", "torrent");
    SendWindowMessage(&page->FileList(), WM_SHOW_CHANNEL, 0, 1);
    ClickFile(3);
    Click(Pane().FindWindow(CFileInfo::ID_SUBSCRIBE), wxPoint(5, 5));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(wxString::FromUTF8("电影/动作片: 订制成功(此后此栏目的所有内容将自动下载)!"), messages[0]);
    EXPECT_EQ((std::vector<int>{CFileInfo::kCommandMyPrograms}), page->commands);
    EXPECT_EQ(1, page->subscribedStarts);
    ASSERT_TRUE(workers.WaitAll());
    // the subscribed-download start added the unfinished files of the channel
    EXPECT_EQ((std::vector<std::string>{"AddDownload torrents/t2.torrent videos/v2.avi",
                                        "AddDownload torrents/t3.torrent videos/v3.avi"}),
              EngineCalls());

    const std::string saved = ReadFile(folder / "ChannelInfo.xml");
    EXPECT_NE(std::string::npos, saved.find("<Channel2 ID=\"1\" Name=\"" + Utf8ToGbk("动作片") + "\" Subscribe=\"1\""));
    const ino_t inode = Inode(folder / "ChannelInfo.xml");
    ClickFile(2);
    Click(Pane().FindWindow(CFileInfo::ID_SUBSCRIBE), wxPoint(5, 5));
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ(wxString::FromUTF8("电影/动作片: 您早已订制过此栏目!"), messages[1]);
    EXPECT_EQ(1u, page->commands.size());
    EXPECT_EQ(1, page->subscribedStarts);
    EXPECT_EQ(saved, ReadFile(folder / "ChannelInfo.xml"));
    EXPECT_EQ(inode, Inode(folder / "ChannelInfo.xml")); // not even written again

    // nothing shown: no channel to subscribe to
    SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, 300));
    Click(Pane().FindWindow(CFileInfo::ID_SUBSCRIBE), wxPoint(5, 5));
    EXPECT_EQ(wxString::FromUTF8("/: 您早已订制过此栏目!"), messages.back());
}

TEST_F(FileInfoTest, PicturesFallBackToTheDefault)
{
    const wxImage skin = g_hMainSkin.ConvertToImage();
    wxBitmap fallback;
    ASSERT_TRUE(LoadPictureFile(kDefaultPictureFile, wxSize(194, 144), &fallback));
    const wxImage expected = fallback.ConvertToImage();
    WritePicture(folder / "pics/p2.png", *wxGREEN);
    WriteFile(folder / "pics/p1.png", "not a picture");
    SendWindowMessage(&page->FileList(), WM_SHOW_CHANNEL, 0, 1);

    ClickFile(2);
    wxImage image = Paint();
    EXPECT_EQ(*wxGREEN, PixelAt(image, 15, 60));
    EXPECT_EQ(*wxGREEN, PixelAt(image, 15 + 193, 60 + 143));
    // the frame around it, the band and its line over the width
    EXPECT_EQ(PixelAt(skin, 0, 913), PixelAt(image, 13, 58));
    EXPECT_EQ(PixelAt(skin, 196, 913 + 146), PixelAt(image, 13 + 196, 58 + 146));
    const int middle = Pane().GetClientSize().x / 2;
    EXPECT_EQ(wxColour(116, 127, 133), PixelAt(image, middle, 0));
    EXPECT_EQ(*wxWHITE, PixelAt(image, middle, 1));
    EXPECT_EQ(PixelAt(skin, 0, 838), PixelAt(image, middle, 2));
    EXPECT_EQ(PixelAt(skin, 300, 909), PixelAt(image, middle, 4));
    EXPECT_EQ(PixelAt(skin, 0, 838 + 37), PixelAt(image, middle, 54));
    EXPECT_EQ(*wxWHITE, PixelAt(image, middle, 55));

    ClickFile(3); // its picture is missing
    image = Paint();
    EXPECT_EQ(PixelAt(expected, 97, 72), PixelAt(image, 15 + 97, 60 + 72));
    EXPECT_EQ(PixelAt(expected, 5, 5), PixelAt(image, 15 + 5, 60 + 5));

    ClickFile(1); // opens but does not decode: counts as loaded, the frame stays empty
    EXPECT_FALSE(Pane().Picture().IsOk());
    EXPECT_EQ(PixelAt(skin, 2 + 97, 913 + 2 + 72), PixelAt(Paint(), 15 + 97, 60 + 72));

    // without even the default the pane keeps what it showed
    ClickFile(4);
    EXPECT_EQ("play", Buttons());
    unlink((folder / "Skins/ItemDefault.jpg").c_str());
    const int key = ClickFile(3);
    EXPECT_EQ(key, Pane().GetShownKey());
    EXPECT_FALSE(Pane().Picture().IsOk());
    EXPECT_EQ("play", Buttons());
    EXPECT_EQ(wxString::FromUTF8("说明 四"), Description());
}
