// The main window against the demo service, with the real engine.
#include "skin/CTrayIcon.h"
#include "MainWindowFixture.h"

#include "base/EngineApi.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"
#include "net/DownloadStart.h"
#include "views/PaneFixture.h"
#include "skin/Resource.h"
#include "skin/SkinEvents.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "support/WxTestSupport.h"
#include "ui/MessageBox.h"
#include "views/ViewPaint.h"

#include <wx/log.h>
#include <wx/taskbar.h>
#include <wx/webview.h>

#include <algorithm>
#include <limits>
#include <mutex>

namespace {

using namespace std::chrono_literals;

constexpr int kSubscribedChannel = 1; // the demo service marks it subscribed

struct TTreeRow {
    wxString text;
    long data;
    int depth;
};

std::vector<TTreeRow> TreeRows(CToVixTree &tree)
{
    std::vector<TTreeRow> rows;
    for (HTREEITEM root = tree.GetRootItem(); root; root = tree.GetNextSiblingItem(root)) {
        rows.push_back({tree.GetItemText(root), long(tree.GetItemData(root)), 0});
        for (HTREEITEM child = tree.GetChildItem(root); child; child = tree.GetNextSiblingItem(child))
            rows.push_back({tree.GetItemText(child), long(tree.GetItemData(child)), 1});
    }
    return rows;
}

// The tree as the channel catalogue lists it, in document order.
std::vector<TTreeRow> CatalogueRows(CCatalogueStore &store)
{
    std::vector<TTreeRow> rows;
    std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
    const TiXmlElement *root = store.ChannelDoc().RootElement();
    for (const TiXmlElement *category = root ? root->FirstChildElement("Channel1") : nullptr; category;
         category = category->NextSiblingElement("Channel1")) {
        rows.push_back({ScreenText(TextAttribute(category, "Name")), IdOf(category), 0});
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2"))
            rows.push_back({ScreenText(TextAttribute(channel, "Name")), IdOf(channel), 1});
    }
    return rows;
}

bool AllFinished(const std::vector<int> &progress)
{
    return !progress.empty() && std::all_of(progress.begin(), progress.end(), [](int p) { return p == 100; });
}

} // namespace

TEST_F(MainWindowTest, ShowsBothTabsTheCatalogueTreeAndNewestFilesFirst)
{
    ASSERT_TRUE(WaitForCatalogue());
    CMainDlg &window = Window();
    EXPECT_TRUE(window.IsShown());
    EXPECT_TRUE(window.Button(CMainDlg::IDC_ALL_PROGRAMS).IsShown());
    EXPECT_TRUE(window.Button(CMainDlg::IDC_MY_PROGRAMS).IsShown());
    EXPECT_FALSE(window.Button(CMainDlg::IDC_ALL_PROGRAMS).IsEnabled()); // the selected tab
    EXPECT_TRUE(window.Button(CMainDlg::IDC_MY_PROGRAMS).IsEnabled());
    EXPECT_TRUE(m_link.IsButtonDisabled(CMainDlg::IDC_ALL_PROGRAMS));

    const std::vector<TTreeRow> rows = TreeRows(window.Tree());
    const std::vector<TTreeRow> expected = CatalogueRows(m_store);
    ASSERT_EQ(expected.size(), rows.size());
    EXPECT_EQ(11u, rows.size()); // 3 categories, 8 channels
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(expected[i].text, rows[i].text) << i;
        EXPECT_EQ(expected[i].data, rows[i].data) << i;
        EXPECT_EQ(expected[i].depth, rows[i].depth) << i;
    }
    // The first category is selected and its files are listed, newest first.
    HTREEITEM first = window.Tree().GetRootItem();
    EXPECT_EQ(first, window.Tree().GetSelectedItem());
    const auto &items = window.ChannelInfo().FileList().Tree().Items();
    ASSERT_GE(items.size(), 2u);
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_GT(items[i - 1]->entryNumber / 1000, items[i]->entryNumber / 1000);
    std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
    for (const auto &item : items)
        EXPECT_EQ(expected[0].data, CChannelCatalogue(m_store).GetCategoryOfChannel(item->entryNumber % 1000));
}

TEST_F(MainWindowTest, SubscribedChannelDownloadsWithoutClicksAndRatesShow)
{
    // The status line is updated every three seconds while the files arrive.
    std::vector<wxString> lines;
    const bool finished = PumpFor(
        [&] {
            const wxString line = Window().Status().GetLabel();
            if (lines.empty() || lines.back() != line)
                lines.push_back(line);
            return AllFinished(ProgressOnDisk(kSubscribedChannel));
        },
        90s);
    EXPECT_TRUE(finished);
    // Fast downloads may end before the first three-second tick.
    PumpFor(
        [&] {
            const wxString line = Window().Status().GetLabel();
            if (lines.back() != line)
                lines.push_back(line);
            return lines.size() >= 2;
        },
        5s);
    const std::vector<int> progress = ProgressOnDisk(kSubscribedChannel);
    EXPECT_EQ(5u, progress.size());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("Hello, Tovix!!", lines.front());
    EXPECT_TRUE(lines.back().StartsWith(wxString::FromUTF8("下载:"))) << lines.back();
    EXPECT_NE(wxNOT_FOUND, lines.back().Find(wxString::FromUTF8("个下载/"))) << lines.back();
    // Unsubscribed channels are left alone.
    for (int p : ProgressOnDisk(2))
        EXPECT_NE(100, p);
}

TEST_F(MainWindowTest, ClickShowsDetailsAndDoubleClickPlaysAFinishedFile)
{
    ASSERT_TRUE(WaitForCatalogue());
    ASSERT_TRUE(PumpFor([] { return AllFinished(ProgressOnDisk(kSubscribedChannel)); }, 90s));
    CChannelInfo &page = Window().ChannelInfo();
    SendWindowMessage(&Window(), WM_SHOW_CHANNEL, 0, kSubscribedChannel);
    CSimpleTree &list = page.FileList().Tree();
    ASSERT_GE(list.GetCount(), 2);

    // The second row: the list already clicked the first one itself.
    const int key = list.LeftButtonDown(wxPoint(10, CSimpleTree::kRowHeight + 10));
    ASSERT_GT(key, 0);
    EXPECT_EQ(key, page.FileInfo().GetShownKey());
    EXPECT_TRUE(page.FileInfo().IsShown());
    const int entry = list.LookUp(key)->entryNumber;
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        ASSERT_EQ(1, CFileCatalogue(m_store).GetFileFields(entry / 1000, entry % 1000, &fields));
    }
    wxTextCtrl *description = dynamic_cast<wxTextCtrl *>(page.FileInfo().FindWindow(CFileInfo::ID_DESCRIPTION));
    ASSERT_TRUE(description);
    EXPECT_EQ(ScreenText(fields.desc), description->GetValue());
    EXPECT_TRUE(page.FileInfo().FindWindow(CFileInfo::ID_PLAY)->IsShown());

    SendNotify(&list, NM_DBLCLK, key);
    EXPECT_TRUE(PumpFor([&] { return page.Player().IsShown(); }, 5s));
    EXPECT_FALSE(page.FileInfo().IsShown());

    // Catalogue updates refill the list (and the active tab's tree) as the network
    // thread asks; the video is left as it was (paused here: the clip is short).
    wxMediaCtrl &video = page.Player().VideoPlayer();
    ASSERT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PLAYING && video.Tell() > 0; }, 20s));
    page.Player().HandleKey(WXK_SPACE);
    ASSERT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PAUSED; }, 5s));
    const wxFileOffset position = video.Tell();
    m_link.PostShowChannel(CFileList::kTreeSelection);
    m_link.PostCommand(CMainDlg::IDC_ALL_PROGRAMS);
    PumpFor([] { return false; }, 500ms);
    EXPECT_TRUE(page.Player().IsShown());
    EXPECT_FALSE(page.FileInfo().IsShown());
    EXPECT_EQ(wxMEDIASTATE_PAUSED, video.GetState());
    EXPECT_EQ(position, video.Tell());

    // A click elsewhere stops playing and brings the details back.
    list.LeftButtonDown(wxPoint(10, 10));
    EXPECT_FALSE(page.Player().IsShown());
    EXPECT_TRUE(page.FileInfo().IsShown());
}

TEST_F(MainWindowTest, MyProgramsListsTheSubscribedChannelAndOtherContent)
{
    ASSERT_TRUE(WaitForCatalogue());
    Click(&Window().Button(CMainDlg::IDC_MY_PROGRAMS), wxPoint(30, 40));
    PumpEvents();
    EXPECT_TRUE(Window().Button(CMainDlg::IDC_ALL_PROGRAMS).IsEnabled());
    EXPECT_FALSE(Window().Button(CMainDlg::IDC_MY_PROGRAMS).IsEnabled());
    EXPECT_TRUE(m_link.IsButtonDisabled(CMainDlg::IDC_MY_PROGRAMS));

    const std::vector<TTreeRow> rows = TreeRows(Window().Tree());
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(wxString::FromUTF8("新闻资讯"), rows[0].text);
    EXPECT_EQ(-10001, rows[0].data);
    EXPECT_EQ(wxString::FromUTF8("国际新闻"), rows[1].text);
    EXPECT_EQ(kSubscribedChannel, rows[1].data);
    EXPECT_EQ(wxString::FromUTF8("*其他下载内容*"), rows[2].text);
    EXPECT_EQ(CMainDlg::kOtherContent, rows[2].data);
    EXPECT_EQ(Window().Tree().GetRootItem(), Window().Tree().GetSelectedItem());
    // The category in my-programs mode lists only its subscribed channel's files.
    ASSERT_TRUE(PumpFor([&] { return Window().ChannelInfo().FileList().Tree().GetCount() > 0; }, 5s));
    for (const auto &item : Window().ChannelInfo().FileList().Tree().Items())
        EXPECT_EQ(kSubscribedChannel, item->entryNumber % 1000);

    // The core asks for the active view again after a merge: the same tab stays.
    m_link.PostCommand(CMainDlg::IDC_ALL_PROGRAMS);
    EXPECT_TRUE(PumpFor([&] { return TreeRows(Window().Tree()).size() == 11; }, 5s));
}

TEST_F(MainWindowTest, CloseMinimizesWithoutATrayAndHidesIntoOne)
{
    ASSERT_TRUE(WaitForCatalogue());
    // Without a tray the window could not come back from hiding: it is minimized.
    ASSERT_FALSE(wxTaskBarIcon::IsAvailable());
    Click(&Window().CaptionButton(IDC_BTN_CLOSE), wxPoint(5, 5));
    EXPECT_TRUE(PumpFor([&] { return Window().IsIconized(); }, 5s));
    EXPECT_TRUE(Window().IsShown());
    EXPECT_FALSE(Window().ChannelInfo().Player().IsShown());
    Window().Iconize(false);
    ASSERT_TRUE(PumpFor([&] { return !Window().IsIconized(); }, 5s));

    const CRealTray tray(&Window());
    ASSERT_TRUE(tray.Started());
    Click(&Window().CaptionButton(IDC_BTN_CLOSE), wxPoint(5, 5));
    EXPECT_TRUE(PumpFor([&] { return !Window().IsShown(); }, 5s));
    EXPECT_TRUE(m_link.MainWindowExists()); // still running in the tray
    EXPECT_FALSE(Window().ChannelInfo().Player().IsShown());

    // Two clicks within the double-click time, as the tray reports them.
    ASSERT_NE(nullptr, Window().GetTrayIcon());
    Window().GetTrayIcon()->OnClick(1000);
    Window().GetTrayIcon()->OnClick(1100);
    EXPECT_TRUE(PumpFor([&] { return Window().IsShown(); }, 5s));

    Window().Iconize(true);
    PumpEvents();
    Window().Restore();
    EXPECT_TRUE(PumpFor([&] { return Window().IsShown() && !Window().IsIconized(); }, 5s));
}

TEST_F(MainWindowTest, AboutKeysAndExit)
{
    std::vector<wxString> boxes;
    SetMessageBoxHandler([&](wxWindow *, const wxString &text) { boxes.push_back(text); });
    wxCommandEvent about(wxEVT_MENU, ID_MENU_ABOUT);
    Window().ProcessWindowEvent(about);
    SetMessageBoxHandler(nullptr);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(wxString::FromUTF8("Tovix 1.2 Beta版本，谢谢支持"), boxes[0]);

    // Escape reaches nobody: the window stays.
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(&Window());
    Window().ProcessWindowEvent(escape);
    PumpEvents();
    EXPECT_TRUE(Window().IsShown());

    wxCommandEvent exit(wxEVT_MENU, ID_MENU_EXIT);
    Window().ProcessWindowEvent(exit);
    EXPECT_FALSE(m_link.MainWindowExists());
    PumpEvents();
    m_window = nullptr; // destroyed by the menu
}

TEST_F(MainWindowTest, WebPaneLoadsTheAdvertisementPageAndCancelsAppLinks)
{
    wxWebView *view = Window().AdPane().View();
    ASSERT_TRUE(view);
    const wxString page = m_service.WebAddress() + CMainDlg::kAdPagePath;
    wxLogNull quiet; // script errors while the page loads are expected
    ASSERT_TRUE(PumpFor(
        [&] {
            wxString found;
            return view->GetCurrentURL() == page &&
                   view->RunScript("document.getElementById('subscribe') != null", &found) && found == "true";
        },
        20s))
        << view->GetCurrentURL();
    view->RunScript("document.getElementById('subscribe').click();");
    PumpFor([] { return false; }, 500ms);
    EXPECT_EQ(page, view->GetCurrentURL());
}

TEST_F(MainWindowTest, DownloadNotificationsRefreshAtMostOncePerSecond)
{
    Window().SetClock([] { return int64_t(5000); });
    Window().Timer(CMainDlg::TIMER_STATUS).Stop();
    const int before = Window().RefreshCount();
    for (int i = 0; i < 5; ++i)
        SendWindowMessage(&Window(), WM_DOWNLOAD_CHANGED);
    EXPECT_EQ(before + 1, Window().RefreshCount());
    EXPECT_TRUE(Window().Timer(CMainDlg::TIMER_THROTTLE).IsRunning());

    wxTimerEvent fired(Window().Timer(CMainDlg::TIMER_THROTTLE));
    Window().ProcessWindowEvent(fired);
    EXPECT_EQ(before + 2, Window().RefreshCount());
    EXPECT_FALSE(Window().Timer(CMainDlg::TIMER_THROTTLE).IsRunning());
}

TEST_F(MainWindowTest, AFilledFileListShowsTheEngineStatesAtOnce)
{
    ASSERT_TRUE(WaitForCatalogue());
    // Nothing else refreshes meanwhile: no status tick, no engine notification.
    Engine().SetWndHandle(nullptr);
    Window().Timer(CMainDlg::TIMER_STATUS).Stop();
    PumpFor([] { return false; }, 300ms);
    Window().Timer(CMainDlg::TIMER_THROTTLE).Stop();
    const int before = Window().RefreshCount();
    SendWindowMessage(&Window().ChannelInfo(), WM_SHOW_CHANNEL, 0, CatalogueRows(m_store)[0].data);
    EXPECT_TRUE(PumpFor([&] { return Window().RefreshCount() > before; }, 2s)) << "no refresh without the status tick";
    EXPECT_FALSE(Window().ChannelInfo().FileList().Tree().Items().empty());
}

TEST_F(MainWindowTest, StartLimitsAndStatusFormat)
{
    EXPECT_EQ(301000, Window().Timer(CMainDlg::TIMER_REPORT).GetInterval()); // the client folder's 301
    EXPECT_EQ(300000, CMainDlg::ReportPeriod(300));
    EXPECT_EQ(300000, CMainDlg::ReportPeriod(0));
    EXPECT_EQ(2147483000, CMainDlg::ReportPeriod(2147483));
    EXPECT_EQ(2147483000, CMainDlg::ReportPeriod(2147484)); // one more would not fit
    EXPECT_EQ(2147483000, CMainDlg::ReportPeriod(std::numeric_limits<int>::max()));
    EXPECT_EQ(wxString::FromUTF8("下载:  0K/s 上传:  1K/s (2个下载/3个等待)"), CMainDlg::StatusText(1023, 1024, 2, 3));
    EXPECT_EQ(wxString::FromUTF8("下载:1500K/s 上传:  0K/s (0个下载/0个等待)"), CMainDlg::StatusText(1536000, 0, 0, 0));
}

TEST_F(MainWindowTest, AFileDeletedAndDownloadedAgainInOneRunIsRecordedFinished)
{
    ASSERT_TRUE(WaitForCatalogue());
    ASSERT_TRUE(PumpFor([] { return AllFinished(ProgressOnDisk(kSubscribedChannel)); }, 90s));
    CChannelInfo &page = Window().ChannelInfo();
    SendWindowMessage(&Window(), WM_SHOW_CHANNEL, 0, kSubscribedChannel);
    CSimpleTree &list = page.FileList().Tree();
    const int key = list.LeftButtonDown(wxPoint(10, 10));
    ASSERT_GT(key, 0);
    const int entry = list.LookUp(key)->entryNumber;
    std::unique_ptr<TiXmlElement> copy;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        const TiXmlElement *channel = FindChildById(m_store.FileDoc().RootElement(), "Channel", kSubscribedChannel);
        const TiXmlElement *file = channel ? FindChildById(channel, "File", entry / 1000) : nullptr;
        ASSERT_TRUE(file);
        copy.reset(static_cast<TiXmlElement *>(file->Clone()));
    }
    page.FileList().DeleteSelected();
    const std::string video = m_store.GetConfigValue(CFG_FILEROOT) + TextAttribute(copy.get(), "Location");
    EXPECT_FALSE(FileExists(video));

    // The service offers it again, as a merge adds it: never started.
    copy->SetAttribute("Progress", -1);
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        FindChildById(m_store.FileDoc().RootElement(), "Channel", kSubscribedChannel)->InsertEndChild(*copy);
        m_store.SaveFileDoc();
    }
    SendWindowMessage(&Window(), WM_SHOW_CHANNEL, 0, kSubscribedChannel);
    CDownloadStart(m_store, m_threads).StartSubscribed();
    EXPECT_TRUE(PumpFor([] { return AllFinished(ProgressOnDisk(kSubscribedChannel)); }, 90s));
    EXPECT_TRUE(FileExists(video));

    // Play is allowed again.
    SendWindowMessage(&Window(), WM_SHOW_CHANNEL, 0, kSubscribedChannel);
    int again = 0;
    for (const auto &item : list.Items())
        if (item->entryNumber == entry)
            again = item->key;
    ASSERT_GT(again, 0);
    SendNotify(&list, NM_DBLCLK, again);
    EXPECT_TRUE(PumpFor([&] { return page.Player().IsShown(); }, 5s));
}

TEST_F(MainWindowTest, APictureArrivingAfterTheDetailsReachesTheDetailPane)
{
    ASSERT_TRUE(WaitForCatalogue());
    CChannelInfo &page = Window().ChannelInfo();
    CSimpleTree &list = page.FileList().Tree();
    ASSERT_GE(list.GetCount(), 2);
    const int entry = list.Items()[0]->entryNumber;
    const int other = list.Items()[1]->entryNumber;
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        ASSERT_EQ(1, CFileCatalogue(m_store).GetFileFields(entry / 1000, entry % 1000, &fields));
    }
    const std::string picture = m_store.GetConfigValue(CFG_PICROOT) + fields.pic;
    // Once the fetcher has written it, take it away: the pane then shows the default.
    ASSERT_TRUE(PumpFor([&] { return FileExists(picture); }, 30s));
    ASSERT_EQ(0, DeleteFileError(picture));
    ASSERT_EQ(list.LeftButtonDown(wxPoint(10, 10)), page.FileInfo().GetShownKey());
    const wxString description =
        static_cast<wxTextCtrl *>(page.FileInfo().FindWindow(CFileInfo::ID_DESCRIPTION))->GetValue();
    // The pictures are JPEG: green within its rounding.
    auto showsGreen = [&] {
        const wxColour shown = PixelAt(page.FileInfo().Picture().ConvertToImage(), 97, 72);
        return shown.Green() > 240 && shown.Red() < 16 && shown.Blue() < 16;
    };
    ASSERT_TRUE(page.FileInfo().Picture().IsOk());
    EXPECT_FALSE(showsGreen());

    WritePicture(GbkToUtf8(picture), *wxGREEN);
    SendWindowMessage(&page, WM_PICTURE_READY, wxUIntPtr(&picture), other);
    EXPECT_FALSE(showsGreen()); // another file's picture
    SendWindowMessage(&page, WM_PICTURE_READY, wxUIntPtr(&picture), entry);
    EXPECT_TRUE(showsGreen());
    EXPECT_EQ(description,
              static_cast<wxTextCtrl *>(page.FileInfo().FindWindow(CFileInfo::ID_DESCRIPTION))->GetValue());
}

TEST_F(MainWindowTest, ChannelPageFitsTheSameWhereverTheWindowIs)
{
    CChannelInfo &page = Window().ChannelInfo();
    SendWindowMessage(&page, WM_FIT_TO_PARENT);
    const wxRect settled = page.FileInfo().GetRect();
    // A fit while the window system has yet to move the window.
    Window().Move(Window().GetPosition() + wxPoint(120, 40));
    SendWindowMessage(&page, WM_FIT_TO_PARENT);
    EXPECT_EQ(settled, page.FileInfo().GetRect());
    PumpEvents();
    SendWindowMessage(&page, WM_FIT_TO_PARENT);
    EXPECT_EQ(settled, page.FileInfo().GetRect());
}

TEST_F(MainWindowTest, VideoKeysFullscreenAndTheExactLayoutBack)
{
    ASSERT_TRUE(WaitForCatalogue());
    ASSERT_TRUE(PumpFor([] { return AllFinished(ProgressOnDisk(kSubscribedChannel)); }, 90s));
    CChannelInfo &page = Window().ChannelInfo();
    CWMPlayer &player = page.Player();
    WaitUntilPlaced(&Window());
    SendWindowMessage(&Window(), WM_SHOW_CHANNEL, 0, kSubscribedChannel);
    page.MovePanes(40); // a splitter position of the viewer's own
    const auto press = [&](int code) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = code;
        key.SetEventObject(&Window());
        Window().ProcessWindowEvent(key);
        PumpEvents();
    };
    // no player shown: its keys do nothing, and Enter or Escape close nothing
    press(WXK_RETURN);
    EXPECT_FALSE(Window().IsFullScreen());
    EXPECT_TRUE(Window().IsShown());

    ASSERT_GT(page.FileInfo().GetShownKey(), 0); // the list shows its first file itself
    SendNotify(&page.FileList().Tree(), NM_DBLCLK, page.FileInfo().GetShownKey());
    wxMediaCtrl &video = player.VideoPlayer();
    ASSERT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PLAYING && video.Tell() > 0; }, 20s));
    press(' ');
    EXPECT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PAUSED; }, 5s));
    press(' ');
    EXPECT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PLAYING; }, 5s));
    // a click on the picture itself reaches the player: it pauses
    const auto clickPicture = [&](int clicks) {
        const wxRect picture = video.GetScreenRect();
        const std::string click = "xdotool mousemove " + std::to_string(picture.x + picture.width / 2) + " " +
                                  std::to_string(picture.y + picture.height / 2) + " click --repeat " +
                                  std::to_string(clicks) + " --delay 80 1";
        return std::system(click.c_str()) == 0;
    };
    ASSERT_TRUE(clickPicture(1));
    EXPECT_TRUE(PumpFor([&] { return video.GetState() == wxMEDIASTATE_PAUSED; }, 5s));
    press(' ');
    PumpFor([] { return false; }, 1000ms); // the next clicks are no double-click with this one

    const wxRect screen(wxPoint(0, 0), wxGetDisplaySize());
    for (bool maximized : {false, true}) {
        SCOPED_TRACE(maximized);
        const wxRect was = Window().GetRect();
        Window().Maximize(maximized);
        if (maximized)
            PumpFor([&] { return Window().GetRect() != was; }, 3s);
        PumpFor([] { return false; }, 500ms);
        const wxRect frame = Window().GetRect();
        const wxRect splitter = page.Splitter().GetRect();
        const wxRect list = page.FileList().GetRect();
        const wxRect host = player.GetRect();

        press('F');
        ASSERT_TRUE(PumpFor([&] { return Window().GetRect() == screen && player.GetScreenRect() == screen; }, 5s))
            << Window().GetRect().GetWidth() << "x" << Window().GetRect().GetHeight();
        EXPECT_FALSE(page.FileList().IsShown());
        EXPECT_FALSE(page.Splitter().IsShown());
        EXPECT_TRUE(player.Bar().IsShown());

        // Escape, or a double-click on the picture itself, returns to the layout from before
        if (maximized) {
            press(WXK_ESCAPE);
        } else {
            ASSERT_TRUE(clickPicture(2));
        }
        ASSERT_TRUE(PumpFor([&] { return !player.IsFullScreen() && Window().GetRect() == frame; }, 5s))
            << player.IsFullScreen() << " " << Window().GetRect().x << "," << Window().GetRect().y << " "
            << Window().GetRect().width << "x" << Window().GetRect().height << " for " << frame.x << "," << frame.y
            << " " << frame.width << "x" << frame.height;
        // the window manager's last moves are undone before the layout is left alone
        EXPECT_TRUE(PumpFor([&] { return !player.HoldsLayout(); }, 5s));
        PumpFor([] { return false; }, 300ms);
        EXPECT_EQ(frame, Window().GetRect());
        EXPECT_EQ(maximized, Window().IsMaximized());
        EXPECT_TRUE(page.FileList().IsShown());
        EXPECT_EQ(splitter, page.Splitter().GetRect());
        EXPECT_EQ(list, page.FileList().GetRect());
        EXPECT_EQ(host, player.GetRect());
    }
    Window().Maximize(false);
}
