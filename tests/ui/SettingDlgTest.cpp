#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "base/KeyStore.h"
#include "MessageServer.h"
#include "net/FinishWatch.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/SyncRecorder.h"
#include "ServiceCatalogue.h"
#include "skin/SkinBitmaps.h"
#include "support/WaitableWorkers.h"
#include "support/WxTestSupport.h"
#include "ui/CSettingDlg.h"
#include "ui/MessageBox.h"
#include "views/PaneFixture.h"

#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <sstream>

namespace {

std::mutex g_limitsMutex;
std::vector<std::string> g_limitCalls;

template <const char *Name> void RecordLimit(int value)
{
    std::lock_guard<std::mutex> lock(g_limitsMutex);
    g_limitCalls.push_back(std::string(Name) + " " + std::to_string(value));
}

constexpr char kDl[] = "SetMaxDLSpeed";
constexpr char kUl[] = "SetMaxULSpeed";
constexpr char kThreads[] = "SetMaxDownload";

std::vector<std::string> LimitCalls()
{
    std::lock_guard<std::mutex> lock(g_limitsMutex);
    return g_limitCalls;
}

// Two categories: 1 with channels 11 (not subscribed) and 12 (subscribed), 2 with 21 (subscribed).
const std::string kChannels = "<Channel1 ID=\"1\" Name=\"" + Utf8ToGbk("电影") + "\">\n"
                              "<Channel2 ID=\"11\" Name=\"a\" Subscribe=\"0\" />\n"
                              "<Channel2 ID=\"12\" Name=\"b\" Subscribe=\"1\" />\n"
                              "</Channel1>\n"
                              "<Channel1 ID=\"2\" Name=\"c\">\n"
                              "<Channel2 ID=\"21\" Name=\"d\" Subscribe=\"1\" />\n"
                              "</Channel1>\n";

const std::string kFiles = "<Channel ID=\"11\">\n" + FileXml(1, "one", 0) + "</Channel>\n<Channel ID=\"12\">\n" +
                           FileXml(2, "two", 50) + FileXml(3, "three", 100) + "</Channel>\n<Channel ID=\"21\">\n" +
                           FileXml(4, "four", 0) + "</Channel>\n";

class CRecordingOwner : public ISettingDlgOwner {
public:
    void PostCommand(int commandId) override { commands.push_back(commandId); }
    std::vector<int> commands;
};

class SettingDlgTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        {
            std::lock_guard<std::mutex> lock(g_limitsMutex);
            g_limitCalls.clear();
        }
        TEngineApi api = Engine();
        api.SetMaxDLSpeed = RecordLimit<kDl>;
        api.SetMaxULSpeed = RecordLimit<kUl>;
        api.SetMaxDownload = RecordLimit<kThreads>;
        BindEngine(api);
        SetMessageBoxHandler([this](wxWindow *, const wxString &text) { messages.push_back(text.utf8_string()); });

        // The demo service's message server, recording every request it reads.
        MakeFolder(folder / "service");
        WriteFile(folder / "service/catalogue.xml", kDecl + "<TovixService Date=\"20260101\" Version=\"1\" />\n");
        ASSERT_TRUE(catalogue.Load(folder / "service/catalogue.xml"));
        server = std::make_unique<CMessageServer>(catalogue, "http://127.0.0.1:1/u", folder / "service/requests.txt");
        ASSERT_TRUE(server->Start(0));
    }

    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
        PumpEvents();
        if (channel)
            channel->Stop();
        server->Stop();
        SetMessageBoxHandler(nullptr);
        EXPECT_TRUE(workers.WaitAll());
        PaneTest::TearDown();
    }

    // The catalogue files, the channel to the message server, and the dialog on its first page.
    void Open(const std::string &channels = kChannels, const std::string &config = "")
    {
        WriteConfigure("<Connection value=\"127.0.0.1:" + std::to_string(server->Port()) +
                       "\" />\n<ThreadNum value=\"5\" />\n<MaxDLSpeed value=\"100\" />\n"
                       "<MaxULSpeed value=\"50\" />\n<TorrentURL value=\"http://127.0.0.1:1/t/\" />\n" +
                       config);
        WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + kFiles + "</TovixFile>\n");
        WriteFile(folder / "ChannelInfo.xml", kDecl + "<TovixChannel>\n" + channels + "</TovixChannel>\n");
        for (const char *torrent : {"t1", "t2", "t3", "t4"})
            WriteFile(folder / ("torrents/" + std::string(torrent) + ".torrent"), "torrent");
        Load();
        ASSERT_TRUE(reports.empty());
        channel = std::make_unique<CServiceChannel>(store, keys, recorder, recorder);
        channel->Start();
        serviceReports = std::make_unique<CServiceReports>(*channel, store, keys);
        CreateDialog();
    }

    // A new dialog on the store as it is now.
    void CreateDialog()
    {
        dialog = new CSettingDlg(store, keys, *serviceReports, workers, owner);
        dialog->SetSkin(g_hSubSkin);
        ASSERT_TRUE(dialog->Create(parent.Panel(), "settings"));
        dialog->Show();
        PumpEvents();
    }

    template <typename T> T *Control(int id) { return dynamic_cast<T *>(dialog->FindWindow(id)); }
    CChooseTree &Tree() { return *Control<CChooseTree>(CSettingDlg::ID_TREE); }
    void SetText(int id, const std::string &utf8) { Control<wxTextCtrl>(id)->ChangeValue(wxString::FromUTF8(utf8)); }

    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, id);
        dialog->ProcessWindowEvent(event);
        PumpEvents();
    }

    // Presses OK; the window must be gone afterwards.
    void PressOk()
    {
        Press(wxID_OK);
        EXPECT_TRUE(PumpUntil([this] { return !dialog; }));
    }

    HTREEITEM Item(const std::string &path)
    {
        HTREEITEM item = Tree().GetRootItem();
        for (size_t i = 0; i < path.size(); ++i) {
            if (i > 0)
                item = Tree().GetChildItem(item);
            for (int n = path[i] - '0'; n > 0 && item; --n)
                item = Tree().GetNextSiblingItem(item);
        }
        return item;
    }

    void ClickCheckBox(HTREEITEM item)
    {
        wxRect box;
        ASSERT_TRUE(Tree().GetCheckBoxRect(item, &box));
        Click(&Tree(), wxPoint(box.x + box.width / 2, box.y + box.height / 2));
    }

    // The text reports the service has recorded, once a version report sent
    // afterwards has arrived (so that an earlier report had time to arrive too).
    std::vector<std::string> TextReports()
    {
        serviceReports->SendVersionReport();
        const std::string path = folder / "service/requests.txt";
        EXPECT_TRUE(PumpUntil([&] { return Exists(path) && ReadFile(path).find("i2e") != std::string::npos; }));
        std::vector<std::string> found;
        std::istringstream lines(Exists(path) ? ReadFile(path) : "");
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("i5e", 0) == 0)
                found.push_back(line);
        return found;
    }

    std::string ChannelFile() { return ReadFile(folder / "ChannelInfo.xml"); }
    std::string ConfigFile() { return ReadFile(folder / "Configure.xml"); }

    CTestFrame parent{wxSize(800, 600)};
    CServiceCatalogue catalogue;
    std::unique_ptr<CMessageServer> server;
    CKeyStore keys{folder / "keys"};
    CSyncRecorder recorder;
    std::unique_ptr<CServiceChannel> channel;
    std::unique_ptr<CServiceReports> serviceReports;
    CWaitableWorkers workers;
    CRecordingOwner owner;
    wxWeakRef<CSettingDlg> dialog;
    std::vector<std::string> messages;
};

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST_F(SettingDlgTest, FillsTreeWithTicksAndTheGeneralPageFromTheStore)
{
    Open("<Channel1 ID=\"1\" Name=\"" + Utf8ToGbk("电影") + "\">\n"
         "<Channel2 ID=\"11\" Name=\"a\" Subscribe=\"0\" />\n"
         "<Channel2 ID=\"12\" Name=\"b\" Subscribe=\"\" />\n"
         "<Channel2 ID=\"13\" Name=\"c\" Subscribe=\"00\" />\n"
         "</Channel1>\n<Channel1 ID=\"2\" Name=\"x\">\n"
         "<Channel2 ID=\"21\" Name=\"d\" Subscribe=\"0\" />\n"
         "</Channel1>\n<Channel1 ID=\"3\" Name=\"empty\" />\n");
    CChooseTree &tree = Tree();
    EXPECT_EQ("电影", tree.GetItemText(Item("0")).utf8_string());
    // Anything but exactly "0" is ticked, and a ticked channel ticks its category.
    EXPECT_EQ(0, tree.GetCheck(Item("00")));
    EXPECT_EQ(1, tree.GetCheck(Item("01")));
    EXPECT_EQ(1, tree.GetCheck(Item("02")));
    EXPECT_EQ(1, tree.GetCheck(Item("0")));
    EXPECT_EQ(0, tree.GetCheck(Item("1")));
    EXPECT_EQ(1013, tree.GetItemData(Item("02")));
    EXPECT_EQ(2021, tree.GetItemData(Item("10")));
    EXPECT_TRUE(tree.IsExpanded(Item("0")));
    EXPECT_TRUE(tree.IsExpanded(Item("1")));
    EXPECT_EQ(Item("0"), tree.GetFirstVisibleItem());

    EXPECT_EQ("100", Control<wxTextCtrl>(CSettingDlg::ID_DL_LIMIT)->GetValue());
    EXPECT_EQ("50", Control<wxTextCtrl>(CSettingDlg::ID_UL_LIMIT)->GetValue());
    EXPECT_EQ("5", Control<wxTextCtrl>(CSettingDlg::ID_THREADS)->GetValue());
    EXPECT_EQ("videos/", Control<wxTextCtrl>(CSettingDlg::ID_FOLDER)->GetValue());
    EXPECT_EQ(12500, Control<wxSpinButton>(CSettingDlg::ID_DL_SPIN)->GetMax());
    EXPECT_EQ(12500, Control<wxSpinButton>(CSettingDlg::ID_UL_SPIN)->GetMax());
    EXPECT_EQ(20, Control<wxSpinButton>(CSettingDlg::ID_THREADS_SPIN)->GetMax());
    EXPECT_EQ(0, Control<wxSpinButton>(CSettingDlg::ID_THREADS_SPIN)->GetMin());
}

TEST_F(SettingDlgTest, PagesShowTheTreeOrTheGeneralControls)
{
    Open();
    const int general[] = {1016, 1011, 1023, 1020, 1017, 1012, 1024, 1021,
                           1018, 1013, 1025, 1022, 1019, 1014, 1008, 1026};
    EXPECT_TRUE(Tree().IsShown());
    for (int id : general)
        EXPECT_FALSE(dialog->FindWindow(id)->IsShown()) << id;
    EXPECT_FALSE(dialog->FindWindow(IDC_BTN_TAB1)->IsEnabled());

    Press(IDC_BTN_TAB2);
    EXPECT_FALSE(Tree().IsShown());
    for (int id : general)
        EXPECT_TRUE(dialog->FindWindow(id)->IsShown()) << id;
    EXPECT_TRUE(dialog->FindWindow(IDC_BTN_TAB1)->IsEnabled());
    EXPECT_FALSE(dialog->FindWindow(IDC_BTN_TAB2)->IsEnabled());
    EXPECT_EQ("KB/s (0表示无限制)", dialog->FindWindow(1020)->GetLabel().utf8_string());
    EXPECT_EQ("个文件　(最多20个)", dialog->FindWindow(1022)->GetLabel().utf8_string());

    // The spin and the arrow keys step the number within the range.
    auto *threads = dynamic_cast<CSpinButtonCtrl *>(dialog->FindWindow(CSettingDlg::ID_THREADS_SPIN));
    threads->Step(15);
    EXPECT_EQ("20", Control<wxTextCtrl>(CSettingDlg::ID_THREADS)->GetValue());
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = WXK_DOWN;
    Control<wxTextCtrl>(CSettingDlg::ID_THREADS)->ProcessWindowEvent(down);
    EXPECT_EQ("19", Control<wxTextCtrl>(CSettingDlg::ID_THREADS)->GetValue());
    EXPECT_EQ(19, threads->GetValue());
}

TEST_F(SettingDlgTest, TickingACategoryTicksItsChannelsAndTheLastUntickClearsIt)
{
    Open();
    CChooseTree &tree = Tree();
    ClickCheckBox(Item("0"));
    EXPECT_EQ(0, tree.GetCheck(Item("0"))); // it was ticked through channel 12
    EXPECT_EQ(0, tree.GetCheck(Item("00")));
    EXPECT_EQ(0, tree.GetCheck(Item("01")));
    ClickCheckBox(Item("0"));
    EXPECT_EQ(1, tree.GetCheck(Item("00")));
    EXPECT_EQ(1, tree.GetCheck(Item("01")));
    EXPECT_EQ(Item("0"), tree.GetSelectedItem());

    ClickCheckBox(Item("00"));
    EXPECT_EQ(1, tree.GetCheck(Item("0"))); // one channel is still ticked
    ClickCheckBox(Item("01"));
    EXPECT_EQ(0, tree.GetCheck(Item("0")));
    ClickCheckBox(Item("01"));
    EXPECT_EQ(1, tree.GetCheck(Item("0")));
    EXPECT_EQ(1, tree.GetCheck(Item("1"))); // the other category is left alone

    // A click on the label, or within the row's first 5 pixels, changes no tick.
    wxRect label;
    ASSERT_TRUE(tree.GetItemRect(Item("10"), &label, true));
    Click(&tree, wxPoint(label.GetRight() + 40, label.y + label.height / 2));
    Click(&tree, wxPoint(2, label.y + label.height / 2));
    EXPECT_EQ(1, tree.GetCheck(Item("10")));
    EXPECT_EQ(Item("10"), tree.GetSelectedItem());

    // The expander closes and opens a category; a double click does the same to the selection.
    ASSERT_TRUE(tree.GetItemRect(Item("0"), &label, true));
    Click(&tree, wxPoint(label.x + 4, label.y + label.height / 2));
    EXPECT_FALSE(tree.IsExpanded(Item("0")));
    EXPECT_EQ(1, tree.GetCheck(Item("0")));
    SendMouse(&tree, wxEVT_LEFT_DCLICK, wxPoint(label.x + 30, label.y + 3));
    EXPECT_TRUE(tree.IsExpanded(Item("0")));
}

TEST_F(SettingDlgTest, OkWithoutChangeReportsNothingAndKeepsTheView)
{
    Open();
    const std::string before = ChannelFile();
    PressOk();
    EXPECT_TRUE(TextReports().empty());
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_TRUE(EngineCalls().empty());
    EXPECT_EQ(before, ChannelFile());
    EXPECT_TRUE(messages.empty());
    // The unchanged limits are written and handed to the engine all the same.
    EXPECT_EQ((std::vector<std::string>{"SetMaxDLSpeed 100", "SetMaxULSpeed 50", "SetMaxDownload 5"}), LimitCalls());
}

TEST_F(SettingDlgTest, SubscribingAndUnsubscribingIsSavedReportedAndStartsDownloads)
{
    Open();
    ClickCheckBox(Item("00")); // subscribes 11
    ClickCheckBox(Item("10")); // unsubscribes 21
    PressOk();

    const std::string saved = ChannelFile();
    EXPECT_NE(std::string::npos, saved.find("<Channel2 ID=\"11\" Name=\"a\" Subscribe=\"1\" />"));
    EXPECT_NE(std::string::npos, saved.find("<Channel2 ID=\"12\" Name=\"b\" Subscribe=\"1\" />"));
    EXPECT_NE(std::string::npos, saved.find("<Channel2 ID=\"21\" Name=\"d\" Subscribe=\"0\" />"));

    const std::vector<std::string> texts = TextReports();
    ASSERT_EQ(1u, texts.size());
    EXPECT_TRUE(EndsWith(texts[0], "3:11,3:21,")) << texts[0];
    EXPECT_EQ(std::vector<int>{1002}, owner.commands);
    // Every unfinished file of the channels now subscribed; the torrents are on disk.
    std::vector<std::string> calls = EngineCalls();
    std::sort(calls.begin(), calls.end());
    EXPECT_EQ((std::vector<std::string>{"AddDownload torrents/t1.torrent videos/v1.avi",
                                        "AddDownload torrents/t2.torrent videos/v2.avi"}),
              calls);
}

TEST_F(SettingDlgTest, SeveralChangesGoIntoOneReport)
{
    Open();
    ClickCheckBox(Item("0")); // unticks 12
    ClickCheckBox(Item("0")); // ticks 11 and 12: only 11 changes
    ClickCheckBox(Item("1")); // unticks 21
    ClickCheckBox(Item("1"));
    ClickCheckBox(Item("1"));
    PressOk();
    const std::vector<std::string> texts = TextReports();
    ASSERT_EQ(1u, texts.size());
    EXPECT_TRUE(EndsWith(texts[0], "3:11,3:21,")) << texts[0];
}

TEST_F(SettingDlgTest, EachInvalidValueShowsItsMessageWhileValidOnesApply)
{
    MakeFolder(folder / "other");
    Open();
    SetText(CSettingDlg::ID_DL_LIMIT, "12501");
    SetText(CSettingDlg::ID_UL_LIMIT, "12500");
    SetText(CSettingDlg::ID_THREADS, "21");
    SetText(CSettingDlg::ID_FOLDER, (folder / "missing/"));
    PressOk();
    EXPECT_EQ((std::vector<std::string>{"下载限制的格式或数值不正确", "同时下载设置的数值不正确",
                                        "视频储存路径不存在或是没有权限"}),
              messages);
    EXPECT_EQ(std::vector<std::string>{"SetMaxULSpeed 12500"}, LimitCalls());
    const std::string config = ConfigFile();
    EXPECT_NE(std::string::npos, config.find("<MaxULSpeed value=\"12500\" />"));
    EXPECT_NE(std::string::npos, config.find("<MaxDLSpeed value=\"100\" />"));
    EXPECT_NE(std::string::npos, config.find("<ThreadNum value=\"5\" />"));
    EXPECT_NE(std::string::npos, config.find("<FileRoot value=\"videos/\" />"));
}

TEST_F(SettingDlgTest, LettersReadAsZeroAndATypedFolderGetsItsSeparator)
{
    MakeFolder(folder / "视频");
    Open();
    SetText(CSettingDlg::ID_DL_LIMIT, "abc");
    SetText(CSettingDlg::ID_UL_LIMIT, "-1");
    SetText(CSettingDlg::ID_THREADS, "0");
    SetText(CSettingDlg::ID_FOLDER, folder / "视频");
    PressOk();
    EXPECT_EQ((std::vector<std::string>{"上传限制的格式或数值不正确", "同时下载设置的数值不正确"}), messages);
    EXPECT_EQ(std::vector<std::string>{"SetMaxDLSpeed 0"}, LimitCalls());
    const std::string config = ConfigFile();
    EXPECT_NE(std::string::npos, config.find("<MaxDLSpeed value=\"abc\" />"));
    EXPECT_NE(std::string::npos, config.find("<MaxULSpeed value=\"50\" />"));
    // The separator every video path needs is added, and the name is kept in GBK like every stored text.
    EXPECT_NE(std::string::npos, config.find("<FileRoot value=\"" + Utf8ToGbk(folder / "视频") + "/\" />"));

    // A folder stored without one is not rewritten: the downloads made so far sit under it.
    store.SetConfigValue("FileRoot", "videos");
    CreateDialog();
    PressOk();
    EXPECT_NE(std::string::npos, ConfigFile().find("<FileRoot value=\"videos\" />"));
}

TEST_F(SettingDlgTest, TwentySimultaneousDownloadsAreAccepted)
{
    Open();
    SetText(CSettingDlg::ID_THREADS, "20");
    PressOk();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ((std::vector<std::string>{"SetMaxDLSpeed 100", "SetMaxULSpeed 50", "SetMaxDownload 20"}), LimitCalls());
    EXPECT_NE(std::string::npos, ConfigFile().find("<ThreadNum value=\"20\" />"));
}

TEST_F(SettingDlgTest, BrowseAcceptsUpTo258CharactersAndAddsTheSeparator)
{
    Open();
    wxString picked;
    dialog->SetFolderPicker([&] { return picked; });
    wxTextCtrl *box = Control<wxTextCtrl>(CSettingDlg::ID_FOLDER);

    picked = "/" + std::string(257, 'a');
    Press(CSettingDlg::ID_BROWSE);
    EXPECT_EQ(picked + "/", box->GetValue());
    EXPECT_TRUE(messages.empty());

    picked = "/" + std::string(258, 'b');
    Press(CSettingDlg::ID_BROWSE);
    EXPECT_EQ(std::vector<std::string>{"路径长度过大"}, messages);
    EXPECT_EQ("/" + std::string(257, 'a') + "/", box->GetValue());

    // Chinese names count in their stored bytes: 129 characters of two bytes each fit.
    picked = wxString::FromUTF8("/x" + [] { std::string s; for (int i = 0; i < 128; ++i) s += "视"; return s; }());
    Press(CSettingDlg::ID_BROWSE);
    EXPECT_EQ(picked + "/", box->GetValue());

    picked = "/already/";
    Press(CSettingDlg::ID_BROWSE);
    EXPECT_EQ("/already/", box->GetValue());
    picked.clear(); // cancelled
    Press(CSettingDlg::ID_BROWSE);
    EXPECT_EQ("/already/", box->GetValue());
    EXPECT_EQ(1u, messages.size());
}

TEST_F(SettingDlgTest, CancelAppliesNothing)
{
    Open();
    const std::string channels = ChannelFile(), config = ConfigFile();
    ClickCheckBox(Item("00"));
    SetText(CSettingDlg::ID_DL_LIMIT, "7");
    Press(wxID_CANCEL);
    EXPECT_TRUE(PumpUntil([this] { return !dialog; }));
    EXPECT_EQ(channels, ChannelFile());
    EXPECT_EQ(config, ConfigFile());
    EXPECT_TRUE(LimitCalls().empty());
    EXPECT_TRUE(TextReports().empty());
}

TEST_F(SettingDlgTest, NotifyBoxOnTheGeneralPageSwitchesFinishNotices)
{
    Open();
    auto *box = Control<wxCheckBox>(CSettingDlg::ID_NOTIFY);
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->IsShown());
    Press(IDC_BTN_TAB2);
    EXPECT_TRUE(box->IsShown());
    EXPECT_TRUE(box->GetValue()) << "on unless switched off";
    box->SetValue(false);
    PressOk();
    std::string stored;
    ASSERT_TRUE(keys.ReadValue(EHive::CurrentUser, "Software\\Tovix", "Notify", stored));
    EXPECT_EQ("0", stored);

    // The next dialog shows the switch as stored; Cancel leaves it.
    dialog = new CSettingDlg(store, keys, *serviceReports, workers, owner);
    dialog->SetSkin(g_hSubSkin);
    ASSERT_TRUE(dialog->Create(parent.Panel(), "settings"));
    box = Control<wxCheckBox>(CSettingDlg::ID_NOTIFY);
    EXPECT_FALSE(box->GetValue());
    box->SetValue(true);
    Press(wxID_CANCEL);
    EXPECT_TRUE(PumpUntil([this] { return !dialog; }));
    EXPECT_FALSE(CFinishWatch::NotificationsOn(keys));
}

TEST_F(SettingDlgTest, EnterInAnEditBoxAppliesAndCloses)
{
    Open();
    Press(IDC_BTN_TAB2);
    wxTextCtrl *box = Control<wxTextCtrl>(CSettingDlg::ID_DL_LIMIT);
    SetText(CSettingDlg::ID_DL_LIMIT, "30");
    WaitUntilPlaced(dialog);
    dialog->Raise();
    box->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return dialog->IsActive() && wxWindow::FindFocus() == box; }));
    // A real key press, into the box that has the focus.
    bool arrived = false;
    dialog->Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent &event) {
        arrived = arrived || (event.GetKeyCode() == WXK_RETURN && wxWindow::FindFocus() == box);
        event.Skip();
    });
    ASSERT_EQ(0, std::system("xdotool key Return"));
    EXPECT_TRUE(PumpUntil([&] { return arrived; }));
    EXPECT_TRUE(PumpUntil([this] { return !dialog; }));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ((std::vector<std::string>{"SetMaxDLSpeed 30", "SetMaxULSpeed 50", "SetMaxDownload 5"}), LimitCalls());
    EXPECT_NE(std::string::npos, ConfigFile().find("<MaxDLSpeed value=\"30\" />"));
}
