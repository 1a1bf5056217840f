#include "base/GbkText.h"
#include "skin/SkinAtlas.h"
#include "support/WxTestSupport.h"
#include "views/CFileList.h"
#include "views/PaneFixture.h"
#include "views/PictureFile.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/panel.h>

namespace {

// Channels 1 and 4 are subscribed; channel 77 is no longer in the channel catalogue.
const std::string kChannels = "<Channel1 ID=\"10001\" Name=\"" + Utf8ToGbk("电影") + "\">\n"
                              "<Channel2 ID=\"1\" Name=\"a\" Subscribe=\"1\" />\n"
                              "<Channel2 ID=\"2\" Name=\"b\" Subscribe=\"0\" />\n"
                              "</Channel1>\n"
                              "<Channel1 ID=\"10002\" Name=\"n\">\n"
                              "<Channel2 ID=\"3\" Name=\"c\" Subscribe=\"0\" />\n"
                              "<Channel2 ID=\"4\" Name=\"d\" Subscribe=\"1\" />\n"
                              "</Channel1>\n";

const std::string kFiles = "<Channel ID=\"1\">\n" + FileXml(5, "五", 100) + FileXml(9, "九", -1) +
                           FileXml(7, "七", 30, 999) + "</Channel>\n<Channel ID=\"2\">\n" + FileXml(8, "八", -1) +
                           FileXml(6, "六", 0, 1000) + FileXml(12, "十二", 100) + FileXml(7, "另一个七", 10) +
                           "</Channel>\n<Channel ID=\"3\">\n" + FileXml(11, "十一", 50, 1000000) +
                           "</Channel>\n<Channel ID=\"4\">\n" + FileXml(10, "十", -1) +
                           "</Channel>\n<Channel ID=\"77\">\n" + FileXml(3, "三", 20) + FileXml(4, "四", -1) +
                           "</Channel>\n";

struct Note {
    int sender;
    int code;
    int key;
    bool operator==(const Note &o) const { return sender == o.sender && code == o.code && key == o.key; }
};

std::ostream &operator<<(std::ostream &out, const Note &n)
{
    return out << "{" << n.sender << ", " << n.code << ", " << n.key << "}";
}

// The window that holds the pane: answers its questions and records what reaches it.
class CListOwner : public wxPanel, public IFileListOwner {
public:
    CListOwner(wxWindow *parent, CCatalogueStore &store) : wxPanel(parent, wxID_ANY), list(store, *this)
    {
        list.Create(this, 5503, wxPoint(6, 5), wxSize(227, 400));
        Bind(wxEVT_CONTROL_NOTIFY,
             [this](CNotifyEvent &event) { notes.push_back({event.SenderId(), event.Code(), event.Payload()}); });
    }

    int SelectedChannelKey() override
    {
        calls.push_back("selection");
        return selection;
    }
    void DownloadShownFile() override { calls.push_back("download"); }
    void StopShownFile() override { calls.push_back("stop with " + std::to_string(list.Tree().GetCount())); }

    CFileList list;
    int selection = 0;
    std::vector<std::string> calls;
    std::vector<Note> notes;
};

struct FileListTest : PaneTest {
    std::unique_ptr<CTestFrame> frame;
    CListOwner *owner = nullptr;

    void SetUp() override
    {
        PaneTest::SetUp();
        Prepare(kFiles, kChannels);
        frame = std::make_unique<CTestFrame>(wxSize(480, 420));
        owner = new CListOwner(frame->Panel(), store);
        owner->SetSize(480, 420);
    }

    void TearDown() override
    {
        frame.reset();
        PaneTest::TearDown();
    }

    CFileList &List() { return owner->list; }
    CSimpleTree &Tree() { return owner->list.Tree(); }

    // Entry numbers in display order.
    std::vector<int> Show(int channelKey)
    {
        SendWindowMessage(&List(), WM_SHOW_CHANNEL, 0, channelKey);
        return Entries();
    }

    std::vector<int> Entries()
    {
        std::vector<int> entries;
        for (const auto &item : Tree().Items())
            entries.push_back(item->entryNumber);
        return entries;
    }

    // The NM_CLICK the simulated click sent, or nothing.
    std::vector<Note> TakeNotes()
    {
        std::vector<Note> notes;
        notes.swap(owner->notes);
        return notes;
    }
};

} // namespace

TEST(FileListSizeText, KilobytesMegabytesGigabytesInSixColumns)
{
    EXPECT_EQ("999.00K", CFileList::SizeText(999));
    EXPECT_EQ("  1.00M", CFileList::SizeText(1000));
    EXPECT_EQ("  1.54M", CFileList::SizeText(1536));
    EXPECT_EQ("  1.00G", CFileList::SizeText(1000000));
    EXPECT_EQ("2147.48G", CFileList::SizeText(2147483647));
}

TEST_F(FileListTest, ListsEachKindOfChannelKeyNewestFirst)
{
    EXPECT_EQ((std::vector<int>{9001, 7001, 5001}), Show(1));
    // the newest file is selected and its click reaches the owner from the pane
    const int first = Tree().Items().front()->key;
    EXPECT_EQ(first, Tree().GetSelectedKey());
    EXPECT_EQ((std::vector<Note>{{5503, NM_CLICK, first}}), TakeNotes());

    // a whole category; equal file IDs keep their document order
    EXPECT_EQ((std::vector<int>{12002, 9001, 8002, 7001, 7002, 6002, 5001}), Show(10001));
    EXPECT_EQ((std::vector<int>{9001, 7001, 5001}), Show(-10001)); // its subscribed channels
    EXPECT_EQ((std::vector<int>{10004}), Show(-10002));
    // other content: started files of unsubscribed channels, also of channels the catalogue lost
    EXPECT_EQ((std::vector<int>{12002, 11003, 7002, 6002, 3077}), Show(-2));
    TakeNotes();

    // key 0 asks the owner; a selection of 0 changes nothing
    owner->selection = 10002;
    EXPECT_EQ((std::vector<int>{11003, 10004}), Show(0));
    owner->selection = 0;
    EXPECT_EQ((std::vector<int>{11003, 10004}), Show(0));
    EXPECT_EQ((std::vector<std::string>{"selection", "selection"}), owner->calls);
    EXPECT_EQ(1u, TakeNotes().size());

    // -1 empties the list without a click
    EXPECT_TRUE(Show(-1).empty());
    EXPECT_TRUE(TakeNotes().empty());
    // a channel or category without files: an empty list and a click on nothing
    EXPECT_TRUE(Show(55).empty());
    EXPECT_EQ((std::vector<Note>{{5503, NM_CLICK, -1}}), TakeNotes());
    EXPECT_TRUE(Show(10009).empty());
    EXPECT_EQ((std::vector<Note>{{5503, NM_CLICK, -1}}), TakeNotes());
}

TEST_F(FileListTest, EntriesCarryTextsStateSizeAndPicture)
{
    EngineKnows("torrents/t7.torrent", 2);
    EngineKnows("torrents/t9.torrent", 3);
    EngineKnows("torrents/t8.torrent", 1);
    EngineKnows("torrents/t5.torrent", 0); // Progress 100 wins without asking
    WritePicture(folder / "pics/p9.png", *wxRED);
    MakeFolder(folder / "pics/p6.png"); // a folder is no picture

    Show(10001);
    auto item = [&](int entry) {
        for (const auto &i : Tree().Items())
            if (i->entryNumber == entry)
                return i.get();
        return static_cast<CSimpleTree::CItemInfo *>(nullptr);
    };
    ASSERT_NE(nullptr, item(9001));
    EXPECT_EQ(Utf8ToGbk("九"), item(9001)->title);
    EXPECT_EQ("2026-12-9", item(9001)->secondLine);
    EXPECT_EQ("  1.54M", item(9001)->sizeText);
    EXPECT_EQ("999.00K", item(7001)->sizeText);
    EXPECT_EQ("  1.00M", item(6002)->sizeText);
    EXPECT_EQ(-1, item(9001)->progress);
    EXPECT_EQ(30, item(7001)->progress);

    EXPECT_EQ(1, item(5001)->state);  // Progress 100
    EXPECT_EQ(1, item(12002)->state); // Progress 100, unknown to the engine
    EXPECT_EQ(2, item(7001)->state);
    EXPECT_EQ(3, item(9001)->state);
    EXPECT_EQ(1, item(8002)->state);
    EXPECT_EQ(0, item(6002)->state); // unknown to the engine

    // thumbnails: the stored picture, otherwise the default one
    const wxImage image = Render(Tree().GetClientSize(), [&](wxDC &dc) { Tree().Render(dc); });
    wxBitmap fallback;
    ASSERT_TRUE(LoadPictureFile(kDefaultPictureFile, wxSize(50, 38), &fallback));
    const wxImage expected = fallback.ConvertToImage();
    int row = 0;
    for (const auto &i : Tree().Items()) {
        if (row * 54 + 27 >= image.GetHeight())
            break;
        const wxColour shown = PixelAt(image, 8 + 25, row * 54 + 8 + 19);
        if (i->entryNumber == 9001)
            EXPECT_EQ(*wxRED, shown);
        else
            EXPECT_EQ(PixelAt(expected, 25, 19), shown) << i->entryNumber;
        ++row;
    }
}

TEST_F(FileListTest, HeaderRowsKeepTheirExactColours)
{
    const wxSize size = List().GetClientSize();
    const wxImage image = Render(size, [&](wxDC &dc) { List().Render(dc); });
    const int x = size.x / 2;
    EXPECT_EQ(wxColour(116, 127, 133), PixelAt(image, 0, 0));
    EXPECT_EQ(wxColour(116, 127, 133), PixelAt(image, size.x - 1, size.y - 1));
    EXPECT_EQ(*wxWHITE, PixelAt(image, 1, 1));
    EXPECT_EQ(*wxWHITE, PixelAt(image, x, 40));
    EXPECT_EQ(wxColour(198, 227, 247), PixelAt(image, x, 2));
    EXPECT_EQ(wxColour(220, 238, 248), PixelAt(image, x, 35));
    for (int y = 36; y <= 39; ++y)
        EXPECT_EQ(wxColour(238, 246, 255), PixelAt(image, x, y)) << y;
    EXPECT_EQ(wxColour(198, 227, 247), PixelAt(image, 2, 2));
    EXPECT_EQ(*wxWHITE, PixelAt(image, size.x - 2, 2));

    // the buttons and the tree where they belong; the tree follows the pane's size
    EXPECT_EQ(wxRect(5, 5, 60, 31), List().FindWindow(CFileList::ID_DELETE)->GetRect());
    EXPECT_EQ(wxRect(65, 5, 60, 31), List().FindWindow(CFileList::ID_DOWNLOAD)->GetRect());
    List().SetSize(300, 500);
    PumpEvents();
    EXPECT_EQ(wxRect(2, 40, 296, 380), Tree().GetRect());
}

TEST_F(FileListTest, ThumbnailReplacedWhenItsPictureArrives)
{
    Show(1);
    const auto thumbnail = [&](int row) {
        const wxImage image = Render(Tree().GetClientSize(), [&](wxDC &dc) { Tree().Render(dc); });
        return PixelAt(image, 30, row * 54 + 25);
    };
    const wxColour before = thumbnail(1);
    const std::string path = folder / "pics/p7.png";
    WritePicture(path, *wxBLUE);
    EXPECT_NE(*wxBLUE, before);
    SendWindowMessage(&List(), WM_PICTURE_READY, reinterpret_cast<wxUIntPtr>(&path), 9002); // no such entry
    EXPECT_EQ(before, thumbnail(1));
    SendWindowMessage(&List(), WM_PICTURE_READY, reinterpret_cast<wxUIntPtr>(&path), 7001);
    EXPECT_EQ(*wxBLUE, thumbnail(1));
    EXPECT_EQ(before, thumbnail(0));
}

TEST_F(FileListTest, DeleteStopsTheShownFileThenRemovesTheSelectedOne)
{
    for (const char *name : {"videos/v7.avi", "torrents/t7.torrent", "pics/p7.png", "videos/v5.avi"})
        WriteFile(folder / name, "x");
    Show(1);
    SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, 60)); // file 7
    const int fileFive = Tree().Items().back()->key;
    TakeNotes();

    Click(List().FindWindow(CFileList::ID_DELETE), wxPoint(10, 10));
    EXPECT_EQ((std::vector<std::string>{"stop with 3"}), owner->calls);
    EXPECT_EQ((std::vector<int>{9001, 5001}), Entries());
    EXPECT_EQ(fileFive, Tree().GetSelectedKey()); // the entry after it
    EXPECT_TRUE(TakeNotes().empty());             // its selection change stays in the pane
    const std::string saved = ReadFile(folder / "FileInfo.xml");
    EXPECT_EQ(std::string::npos, saved.find("ID=\"7\" Title=\"" + Utf8ToGbk("七")));
    EXPECT_NE(std::string::npos, saved.find(Utf8ToGbk("另一个七")));
    EXPECT_FALSE(Exists(folder / "videos/v7.avi"));
    EXPECT_FALSE(Exists(folder / "torrents/t7.torrent"));
    EXPECT_FALSE(Exists(folder / "pics/p7.png"));
    EXPECT_EQ((std::vector<std::string>{"DelDownload torrents/t7.torrent videos/v7.avi"}), EngineCalls());

    // nothing selected: the shown download still stops, nothing else goes
    Show(-1);
    Click(List().FindWindow(CFileList::ID_DELETE), wxPoint(10, 10));
    EXPECT_EQ("stop with 0", owner->calls.back());
    EXPECT_EQ(saved, ReadFile(folder / "FileInfo.xml"));
    EXPECT_TRUE(Exists(folder / "videos/v5.avi"));

    Click(List().FindWindow(CFileList::ID_DOWNLOAD), wxPoint(10, 10));
    EXPECT_EQ("download", owner->calls.back());
}

TEST_F(FileListTest, PassesClicksAndDoubleClicksOnAsItsOwn)
{
    Show(1);
    TakeNotes();
    const int second = Tree().Items()[1]->key;
    SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, 60));
    SendMouse(&Tree(), wxEVT_LEFT_DCLICK, wxPoint(10, 60));
    SendMouse(&Tree(), wxEVT_RIGHT_DOWN, wxPoint(10, 120)); // right clicks and selection changes stay inside
    SendMouse(&Tree(), wxEVT_LEFT_DOWN, wxPoint(10, 300));
    EXPECT_EQ((std::vector<Note>{{5503, NM_CLICK, second}, {5503, NM_DBLCLK, second}, {5503, NM_CLICK, -1}}),
              TakeNotes());
}

TEST_F(FileListTest, ServiceNoticeSitsAboveTheListUntilTakenAway)
{
    const wxString text = CFileList::ServiceNoticeText(EServiceProblem::Unreachable, "127.0.0.1:9", "/w/Configure.xml");
    EXPECT_TRUE(text.StartsWith(wxString::FromUTF8("无法连接服务 127.0.0.1:9\n"))) << text;
    EXPECT_NE(wxNOT_FOUND, text.Find(wxString::FromUTF8("/w/Configure.xml 的 Connection 项")));
    EXPECT_NE(wxNOT_FOUND, text.Find(wxString::FromUTF8("重试")));
    EXPECT_TRUE(CFileList::ServiceNoticeText(EServiceProblem::NotConfigured, "", "/w/Configure.xml")
                    .StartsWith(wxString::FromUTF8("未配置服务地址\n")));

    SendWindowMessage(&List(), WM_SERVICE_PROBLEM, wxUIntPtr(EServiceProblem::NotConfigured));
    EXPECT_NE(wxNOT_FOUND, List().ServiceNotice().Find(wxGetCwd() + "/Configure.xml"));
    // The list moves down under the painted notice; the band below keeps its 80 pixels.
    const wxRect rule(2, 40, 223, 400 - 120);
    const wxRect moved = Tree().GetRect();
    EXPECT_GT(moved.y, 40 + 3 * List().GetCharHeight());
    EXPECT_EQ(rule.GetBottom(), moved.GetBottom());
    wxBitmap shot(List().GetClientSize(), 24);
    {
        wxMemoryDC dc(shot);
        List().Render(dc);
    }
    EXPECT_EQ(wxColour(255, 246, 214), PixelAt(shot.ConvertToImage(), 3, 41));

    SendWindowMessage(&List(), WM_SERVICE_PROBLEM, wxUIntPtr(EServiceProblem::None));
    EXPECT_TRUE(List().ServiceNotice().empty());
    EXPECT_EQ(rule, Tree().GetRect());
}
