#include "skin/SkinEvents.h"
#include "support/TestFolder.h"
#include "support/WxTestSupport.h"
#include "views/CSimpleTree.h"
#include "views/PaneFixture.h"
#include "views/ViewPaint.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

namespace {

struct Note {
    int code;
    int key;
    bool operator==(const Note &o) const { return code == o.code && key == o.key; }
};

std::ostream &operator<<(std::ostream &out, const Note &n)
{
    return out << "{" << n.code << ", " << n.key << "}";
}

const wxColour kWhite(255, 255, 255);
const wxColour kLine(102, 102, 102);
const wxColour kFrame(104, 104, 104);

int TextHeight()
{
    wxBitmap bitmap(10, 10, 24);
    wxMemoryDC dc(bitmap);
    dc.SetFont(ViewFont());
    return std::min(dc.GetTextExtent("Test").y, CSimpleTree::kMaxLineHeight);
}

bool IsInk(const wxColour &c)
{
    return c.Red() < 200 && c.Green() < 200 && c.Blue() < 200;
}

// A list 223 x 260: five rows visible (the last one in part).
struct SimpleTreeTest : testing::Test {
    CTestFolder folder;
    CTestFrame frame;
    CSimpleTree *tree = new CSimpleTree;
    std::vector<Note> notes;

    void SetUp() override
    {
        ASSERT_TRUE(tree->Create(frame.Panel(), 5103, wxPoint(0, 0), wxSize(223, 260)));
        frame.Panel()->Bind(wxEVT_CONTROL_NOTIFY, [this](CNotifyEvent &event) {
            EXPECT_EQ(5103, event.SenderId());
            notes.push_back({event.Code(), event.Payload()});
        });
    }

    std::vector<int> Fill(int count)
    {
        std::vector<int> keys;
        for (int i = 0; i < count; ++i)
            keys.push_back(tree->InsertItem("title " + std::to_string(i)));
        return keys;
    }

    void Wheel(int rotation)
    {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.SetEventObject(tree);
        tree->ProcessWindowEvent(event);
    }

    wxImage Paint()
    {
        return Render(tree->GetClientSize(), [this](wxDC &dc) { tree->Render(dc); });
    }
};

} // namespace

TEST_F(SimpleTreeTest, KeysCountUpAndAreNeverReused)
{
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Fill(3));
    ASSERT_NE(nullptr, tree->LookUp(2));
    EXPECT_EQ("title 1", tree->LookUp(2)->title);
    EXPECT_EQ("\xCA\xD3\xC6\xB5", tree->LookUp(2)->secondLine); // "视频" in GBK until the owner sets it
    EXPECT_EQ(3, tree->GetCount());

    tree->DeleteAllItems();
    EXPECT_EQ(0, tree->GetCount());
    EXPECT_EQ(nullptr, tree->LookUp(1));
    EXPECT_EQ(4, tree->InsertItem("again"));
    EXPECT_EQ(0, tree->DeleteItem(2));
    EXPECT_EQ(1, tree->DeleteItem(4));
    EXPECT_EQ(5, tree->InsertItem("once more"));
    EXPECT_TRUE(notes.empty()); // filling and emptying notify nobody

    tree->SetItemInfo(99, "none.png", "x", "x", 1, 1); // unknown keys are ignored
    tree->SetItemProgress(5, -7);
    EXPECT_EQ(-1, tree->LookUp(5)->progress);
    tree->SetItemProgress(5, 250);
    EXPECT_EQ(100, tree->LookUp(5)->progress);
}

TEST_F(SimpleTreeTest, HitTestGivesRowBoundariesToTheRowAbove)
{
    const std::vector<int> keys = Fill(3);
    EXPECT_EQ(-1, tree->HitTest(wxPoint(10, 0))); // the top edge of an unscrolled list
    EXPECT_EQ(keys[0], tree->HitTest(wxPoint(10, 1)));
    EXPECT_EQ(keys[0], tree->HitTest(wxPoint(10, 54)));
    EXPECT_EQ(keys[1], tree->HitTest(wxPoint(10, 55)));
    EXPECT_EQ(keys[1], tree->HitTest(wxPoint(200, 108)));
    EXPECT_EQ(keys[2], tree->HitTest(wxPoint(0, 162)));
    EXPECT_EQ(-1, tree->HitTest(wxPoint(10, 163))); // below the last entry
    EXPECT_EQ(-1, tree->HitTest(wxPoint(-1, 10)));
    EXPECT_EQ(-1, tree->HitTest(wxPoint(223, 10)));
    EXPECT_EQ(-1, tree->HitTest(wxPoint(10, 260)));

    Fill(7);
    Wheel(-120);
    Wheel(-360); // one row per wheel message, however far it turned
    EXPECT_EQ(2, tree->GetFirstVisibleRow());
    EXPECT_EQ(keys[2], tree->HitTest(wxPoint(10, 1)));
    EXPECT_EQ(keys[1], tree->HitTest(wxPoint(10, 0))); // the row above the first shown one
}

TEST_F(SimpleTreeTest, ClicksSelectAndNotifyTheParent)
{
    const std::vector<int> keys = Fill(3);
    SendMouse(tree, wxEVT_LEFT_DOWN, wxPoint(10, 60));
    EXPECT_EQ((std::vector<Note>{{TVN_SELCHANGED, keys[1]}, {NM_CLICK, keys[1]}}), notes);
    EXPECT_EQ(keys[1], tree->GetSelectedKey());
    EXPECT_TRUE(tree->LookUp(keys[1])->selected);

    notes.clear();
    SendMouse(tree, wxEVT_LEFT_DOWN, wxPoint(10, 100)); // the selected entry again
    EXPECT_EQ((std::vector<Note>{{NM_CLICK, keys[1]}}), notes);

    notes.clear();
    SendMouse(tree, wxEVT_LEFT_DOWN, wxPoint(10, 200)); // below the entries
    EXPECT_EQ((std::vector<Note>{{NM_CLICK, -1}}), notes);
    EXPECT_EQ(keys[1], tree->GetSelectedKey());

    notes.clear();
    SendMouse(tree, wxEVT_LEFT_DCLICK, wxPoint(10, 10));
    SendMouse(tree, wxEVT_LEFT_DCLICK, wxPoint(10, 200));
    EXPECT_EQ((std::vector<Note>{{NM_DBLCLK, keys[0]}}), notes);
    EXPECT_EQ(keys[1], tree->GetSelectedKey()); // the double click itself selects nothing

    notes.clear();
    SendMouse(tree, wxEVT_RIGHT_DOWN, wxPoint(10, 120));
    SendMouse(tree, wxEVT_RIGHT_DOWN, wxPoint(10, 200));
    EXPECT_EQ((std::vector<Note>{{TVN_SELCHANGED, keys[2]}, {NM_RCLICK, keys[2]}}), notes);
    EXPECT_FALSE(tree->LookUp(keys[1])->selected);
}

TEST_F(SimpleTreeTest, ScrollBarShowsFromTheFifthEntryAndScrollsToTwoSpareRows)
{
    const CCommonScrollBar &bar = tree->ScrollBar();
    EXPECT_EQ(5203, bar.GetId());
    EXPECT_EQ(wxRect(207, 0, 16, 260), bar.GetRect());
    Fill(4);
    EXPECT_FALSE(bar.IsShown());
    Wheel(-120); // nothing to scroll
    EXPECT_EQ(0, tree->GetFirstVisibleRow());
    Fill(1);
    EXPECT_TRUE(bar.IsShown());

    Fill(5);
    EXPECT_EQ(7, bar.GetMaxPos()); // 10 entries + 2 spare rows - 5 visible
    for (int i = 0; i < 12; ++i)
        Wheel(-120);
    EXPECT_EQ(7, tree->GetFirstVisibleRow());
    Wheel(120);
    EXPECT_EQ(6, tree->GetFirstVisibleRow());

    // The bar's own arrow moves the list too.
    wxWindow *barWindow = tree->FindWindow(5203);
    ASSERT_NE(nullptr, barWindow);
    Click(barWindow, wxPoint(8, 255));
    EXPECT_EQ(7, tree->GetFirstVisibleRow());

    // Fewer entries pull the first row back so that no more than two spare rows show.
    tree->DeleteItem(tree->Items().front()->key);
    EXPECT_EQ(6, tree->GetFirstVisibleRow());
    while (tree->GetCount() > 4)
        tree->DeleteItem(tree->Items().back()->key);
    EXPECT_FALSE(bar.IsShown());
    EXPECT_EQ(0, tree->GetFirstVisibleRow());

    // A taller list shows more rows: the bar goes when they all fit.
    Fill(2);
    EXPECT_TRUE(bar.IsShown());
    tree->SetSize(223, 400);
    PumpEvents();
    EXPECT_FALSE(bar.IsShown());
    EXPECT_EQ(wxRect(207, 0, 16, 400), bar.GetRect());
}

TEST_F(SimpleTreeTest, DeletingSelectsTheEntryAfterIt)
{
    const std::vector<int> keys = Fill(5);
    tree->SelectItem(keys[1]);
    notes.clear();

    EXPECT_EQ(1, tree->DeleteItem(keys[3])); // not the selected one: the next is selected all the same
    EXPECT_EQ(keys[4], tree->GetSelectedKey());
    EXPECT_FALSE(tree->LookUp(keys[1])->selected);
    EXPECT_EQ(1, tree->DeleteItem(keys[4])); // the last entry: nothing is selected
    EXPECT_EQ(-1, tree->GetSelectedKey());
    EXPECT_EQ(1, tree->DeleteItem(keys[0]));
    EXPECT_EQ((std::vector<Note>{{TVN_SELCHANGED, keys[4]}, {TVN_SELCHANGED, keys[1]}}), notes);
    EXPECT_EQ(2, tree->GetCount());

    tree->DeleteAllItems();
    EXPECT_EQ(-1, tree->GetSelectedKey());
}

TEST_F(SimpleTreeTest, ProgressBarOnlyBetweenZeroAndTheMaximum)
{
    const int h = TextHeight();
    const int progress[] = {100, -1, 0, 1, 50};
    for (int p : progress)
        tree->SetItemInfo(tree->InsertItem(""), "", "", "", 0, p);
    tree->SetSize(223, 5 * 54);
    PumpEvents();
    const wxImage image = Paint();
    for (int row = 0; row < 5; ++row) {
        const int x = 62;
        const int y = row * 54 + 2 * h + 13;
        SCOPED_TRACE(progress[row]);
        if (progress[row] == 100 || progress[row] == -1) {
            EXPECT_EQ(kWhite, PixelAt(image, x, y));
            EXPECT_EQ(kWhite, PixelAt(image, x + 1, y + 1));
            continue;
        }
        EXPECT_EQ(wxColour(179, 179, 179), PixelAt(image, x, y + 5));
        EXPECT_EQ(wxColour(230, 230, 230), PixelAt(image, x + 73, y));
        EXPECT_EQ(wxColour(230, 230, 230), PixelAt(image, x, y + 6));
        if (progress[row] <= 1) {
            EXPECT_EQ(kWhite, PixelAt(image, x + 1, y + 1));
            EXPECT_EQ(kWhite, PixelAt(image, x + 2, y + 2));
            continue;
        }
        // 50 of 100: 36 of the 72 inner columns, two lighter lines inside
        EXPECT_EQ(wxColour(102, 135, 207), PixelAt(image, x + 36, y + 5));
        EXPECT_EQ(kWhite, PixelAt(image, x + 37, y + 1));
        EXPECT_EQ(wxColour(173, 210, 237), PixelAt(image, x + 2, y + 2));
        EXPECT_EQ(wxColour(129, 179, 223), PixelAt(image, x + 35, y + 3));
        EXPECT_EQ(wxColour(102, 135, 207), PixelAt(image, x + 36, y + 3));
    }
}

TEST_F(SimpleTreeTest, RowsDrawEveryPieceAtItsOffset)
{
    const wxColour red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), picture(20, 160, 90);
    tree->SetStateImages(MakeStrip({red, green, blue}, 16, 16), wxRect(0, 0, 16, 16), wxRect(16, 0, 16, 16),
                         wxRect(32, 0, 16, 16));
    WritePicture(folder / "pic.png", picture);
    WriteFile(folder / "broken.jpg", "not a picture");
    const std::vector<int> keys = Fill(3);
    tree->SetItemInfo(keys[0], folder / "pic.png", "2026-12-08", "999.00K", 1, 100);
    tree->SetItemInfo(keys[1], folder / "missing.png", "2026-12-09", "  1.00M", 2, 100);
    tree->SetItemInfo(keys[2], folder / "broken.jpg", "", "", 3, 100);
    tree->SelectItem(keys[1]);
    const wxImage image = Paint();
    const int width = 223; // no scroll bar with three entries

    // separators along the top of each row, the whole width
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(kLine, PixelAt(image, 0, row * 54));
        EXPECT_EQ(kLine, PixelAt(image, width - 1, row * 54));
    }
    EXPECT_EQ(kLine, PixelAt(image, 100, 162)); // the last row's bottom line
    // the selection band between the selected row's lines
    EXPECT_EQ(wxColour(227, 243, 251), PixelAt(image, 150, 55));
    EXPECT_EQ(wxColour(227, 243, 251), PixelAt(image, 150, 107));
    EXPECT_EQ(kWhite, PixelAt(image, 150, 53));
    EXPECT_EQ(kWhite, PixelAt(image, 150, 109));

    // thumbnail frame 54 x 42 at (6, 6); picture 50 x 38 at (8, 8)
    EXPECT_EQ(kFrame, PixelAt(image, 6, 6));
    EXPECT_EQ(kFrame, PixelAt(image, 59, 47));
    EXPECT_EQ(kWhite, PixelAt(image, 7, 7));
    EXPECT_EQ(picture, PixelAt(image, 8, 8));
    EXPECT_EQ(picture, PixelAt(image, 57, 30));
    EXPECT_EQ(kWhite, PixelAt(image, 58, 45));
    // a missing and an undecodable picture leave the frame empty
    EXPECT_EQ(kFrame, PixelAt(image, 6, 54 + 6));
    EXPECT_EQ(wxColour(227, 243, 251), PixelAt(image, 30, 54 + 20));
    EXPECT_EQ(kWhite, PixelAt(image, 30, 108 + 20));

    // state icons 16 x 16 at (4, 34), over the frame's corner
    EXPECT_EQ(red, PixelAt(image, 4, 34));
    EXPECT_EQ(red, PixelAt(image, 19, 49));
    EXPECT_EQ(green, PixelAt(image, 10, 54 + 40));
    EXPECT_EQ(blue, PixelAt(image, 10, 108 + 40));

    // the list's bottom line leaves its last column clear
    EXPECT_EQ(kFrame, PixelAt(image, 0, 259));
    EXPECT_EQ(kFrame, PixelAt(image, width - 2, 259));
    EXPECT_EQ(kWhite, PixelAt(image, width - 1, 259));

    // texts: the title and the second line from x = 62, the size text ending 3 pixels from the right
    const int h = TextHeight();
    auto inkIn = [&](const wxRect &r) {
        int rightmost = -1;
        for (int y = r.y; y < r.GetBottom(); ++y)
            for (int x = r.x; x <= r.GetRight(); ++x)
                if (IsInk(PixelAt(image, x, y)))
                    rightmost = std::max(rightmost, x);
        return rightmost;
    };
    EXPECT_EQ(-1, inkIn(wxRect(60, 1, 2, 50)));             // nothing left of the texts
    EXPECT_GT(inkIn(wxRect(62, 7, 100, h)), 62);            // title
    EXPECT_GT(inkIn(wxRect(62, h + 10, 100, h)), 62);       // date
    const int sizeRight = inkIn(wxRect(140, 2 * h + 13, width - 140, 54 - 2 * h - 13));
    EXPECT_LE(sizeRight, width - 4);
    EXPECT_GE(sizeRight, width - 6);
    EXPECT_EQ(-1, inkIn(wxRect(62, 108 + h + 10, 100, h))); // an empty second line draws nothing
}

TEST_F(SimpleTreeTest, EnsureVisibleScrollsOnlyAsFarAsTheWholeRowNeeds)
{
    const std::vector<int> keys = Fill(10);
    tree->EnsureVisible(keys[9]); // 260 pixels hold four whole rows
    EXPECT_EQ(6, tree->GetFirstVisibleRow());
    EXPECT_EQ(6, tree->ScrollBar().GetPos());
    tree->EnsureVisible(keys[7]);
    EXPECT_EQ(6, tree->GetFirstVisibleRow());
    tree->EnsureVisible(keys[2]);
    EXPECT_EQ(2, tree->GetFirstVisibleRow());
    tree->EnsureVisible(-1);
    EXPECT_EQ(2, tree->GetFirstVisibleRow());
}
