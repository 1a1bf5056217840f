#include "skin/CCommonScrollBar.h"
#include "skin/CToVixTree.h"
#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinEvents.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Message {
    int message;
    wxIntPtr lParam;
    bool operator==(const Message &o) const { return message == o.message && lParam == o.lParam; }
};

std::ostream &operator<<(std::ostream &out, const Message &m)
{
    return out << "{" << m.message << ", " << m.lParam << "}";
}

// Image `index` of a two-image glyph resource.
wxImage Glyph(int resourceId, int index)
{
    const wxBitmap strip = LoadResourceBitmap(resourceId);
    const int width = strip.GetWidth() / 2;
    return strip.GetSubBitmap(wxRect(index * width, 0, width, strip.GetHeight())).ConvertToImage();
}

// Whether the rendered tree shows the glyph with its top-left corner at `at`.
bool ShowsGlyph(const wxImage &tree, const wxImage &glyph, const wxPoint &at)
{
    for (int y = 0; y < glyph.GetHeight(); ++y)
        for (int x = 0; x < glyph.GetWidth(); ++x)
            if (PixelAt(tree, at.x + x, at.y + y) != PixelAt(glyph, x, y))
                return false;
    return true;
}

// Two categories with channels and a third without any:
//   A (10001): a1 (1), a2 (2);  B (10002): b1 (3);  C (10003)
struct TreeFixture : testing::Test {
    CTestFrame frame;
    CToVixTree *tree = nullptr;
    HTREEITEM a = nullptr, a1 = nullptr, a2 = nullptr, b = nullptr, b1 = nullptr, c = nullptr;
    std::vector<Message> messages;

    void SetUp() override
    {
        tree = new CToVixTree;
        ASSERT_TRUE(tree->Create(frame.Panel(), 1005, wxPoint(5, 5), wxSize(159, 264), TVS_SHOWSELALWAYS));
        tree->SetBackgroundColour(*wxWHITE);
        a = Add("Movies", 10001);
        a1 = Add("Action", 1, a);
        a2 = Add("Comedy", 2, a);
        b = Add("Music", 10002);
        b1 = Add("Pop", 3, b);
        c = Add("Empty", 10003);
        frame.Panel()->Bind(wxEVT_WINDOW_MESSAGE,
                            [this](CMessageEvent &event) { messages.push_back({event.Message(), event.LParam()}); });
    }

    HTREEITEM Add(const char *text, wxIntPtr data, HTREEITEM parent = nullptr)
    {
        HTREEITEM item = tree->InsertItem(text, parent);
        tree->SetItemData(item, data);
        return item;
    }

    wxRect Label(HTREEITEM item) const
    {
        wxRect rect;
        EXPECT_TRUE(tree->GetItemRect(item, &rect, true));
        return rect;
    }
    wxPoint OnText(HTREEITEM item) const { return wxPoint(Label(item).x + 20, Label(item).y + 5); }
    wxPoint OnGlyph(HTREEITEM item) const { return wxPoint(Label(item).x + 5, Label(item).y + 5); }

    void Key(int code)
    {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        tree->ProcessWindowEvent(key);
    }

    wxImage Paint() const
    {
        return Render(tree->GetClientSize(), [this](wxDC &dc) { tree->Render(dc); });
    }
};

const Message Shown(wxIntPtr key)
{
    return {WM_SHOW_CHANNEL, key};
}

} // namespace

TEST_F(TreeFixture, ClickZoneIsTheLabelAndFifteenPixelsRightOfIt)
{
    const wxRect label = Label(a);
    const int mid = label.y + label.height / 2;
    Click(tree, wxPoint(label.x - 1, mid));                // the indent left of the label
    Click(tree, wxPoint(label.GetRight() + 16, mid));      // just past the zone
    Click(tree, wxPoint(10, 5 * tree->GetItemHeight() + 2)); // below the last item
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(nullptr, tree->GetSelectedItem());

    Click(tree, wxPoint(label.GetRight() + 15, mid));
    EXPECT_EQ(a, tree->GetSelectedItem());
    Click(tree, OnText(b));
    EXPECT_EQ(b, tree->GetSelectedItem());
    EXPECT_EQ((std::vector<Message>{Shown(10001), Shown(10002)}), messages);
    EXPECT_FALSE(tree->IsExpanded(a)); // a click on the text never opens or closes
    EXPECT_FALSE(tree->IsExpanded(b));
}

TEST_F(TreeFixture, GlyphOpensOneCategoryAndClosesEveryOther)
{
    Click(tree, OnGlyph(a));
    EXPECT_TRUE(tree->IsExpanded(a));
    EXPECT_EQ(a1, tree->GetNextVisibleItem(a));
    Click(tree, OnGlyph(b));
    EXPECT_TRUE(tree->IsExpanded(b));
    EXPECT_FALSE(tree->IsExpanded(a));
    Click(tree, OnGlyph(b));
    EXPECT_FALSE(tree->IsExpanded(b));
    Click(tree, OnGlyph(c)); // a category without channels has nothing to open
    EXPECT_FALSE(tree->IsExpanded(c));
    EXPECT_EQ(c, tree->GetSelectedItem());
    EXPECT_EQ((std::vector<Message>{Shown(10001), Shown(10002), Shown(10002), Shown(10003)}), messages);
}

TEST_F(TreeFixture, DoubleClickOnTheLabelTogglesWithoutNotifying)
{
    SendMouse(tree, wxEVT_LEFT_DCLICK, OnText(a));
    EXPECT_TRUE(tree->IsExpanded(a));
    EXPECT_EQ(a, tree->GetSelectedItem());
    SendMouse(tree, wxEVT_LEFT_DCLICK, OnText(a1)); // a channel: nothing to toggle
    EXPECT_EQ(a1, tree->GetSelectedItem());
    SendMouse(tree, wxEVT_LEFT_DCLICK, OnText(a));
    EXPECT_FALSE(tree->IsExpanded(a));
    SendMouse(tree, wxEVT_LEFT_DCLICK, wxPoint(Label(a).GetRight() + 16, Label(a).y + 5));
    EXPECT_FALSE(tree->IsExpanded(a));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TreeFixture, KeysMoveTheSelectionWithoutNotifying)
{
    tree->SelectItem(a);
    Key(WXK_DOWN);
    EXPECT_EQ(b, tree->GetSelectedItem()); // a is closed: its channels are not visited
    Key(WXK_RIGHT);
    EXPECT_TRUE(tree->IsExpanded(b));
    Key(WXK_DOWN);
    EXPECT_EQ(b1, tree->GetSelectedItem());
    Key(WXK_LEFT);
    EXPECT_EQ(b, tree->GetSelectedItem());
    Key(WXK_END);
    EXPECT_EQ(c, tree->GetSelectedItem());
    Key(WXK_HOME);
    EXPECT_EQ(a, tree->GetSelectedItem());
    Key(WXK_UP);
    EXPECT_EQ(a, tree->GetSelectedItem());
    EXPECT_TRUE(messages.empty());
}

TEST_F(TreeFixture, CategoriesShowExpandersChannelsBulletsAndTheSelectionAHighlight)
{
    tree->Expand(a, TVE_EXPAND);
    tree->SelectItem(a1);
    const wxImage image = Paint();
    auto glyphAt = [&](HTREEITEM item, int glyphHeight) {
        const wxRect label = Label(item);
        const int top = label.y + 2, bottom = label.GetBottom() + 1 - 2;
        return wxPoint(label.x + 2, (top + bottom) / 2 - glyphHeight / 2);
    };
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 1), glyphAt(a, 9)));  // open: minus
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 0), glyphAt(b, 9)));  // closed: plus
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 0), glyphAt(c, 9)));  // no channels: still plus
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_BULLETS, 1), glyphAt(a1, 10))); // highlighted
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_BULLETS, 0), glyphAt(a2, 10)));

    // the highlight starts 3 pixels left of the text, which starts 6 right of the glyph
    const wxRect selected = Label(a1), other = Label(a2);
    EXPECT_EQ(CToVixTree::kHighlight, PixelAt(image, selected.x + 2 + 10 + 3, selected.y + 3));
    EXPECT_EQ(*wxWHITE, PixelAt(image, selected.x + 2 + 10 + 2, selected.y + 3));
    EXPECT_EQ(*wxWHITE, PixelAt(image, other.x + 2 + 10 + 3, other.y + 3));

    // dotted connectors from the parent's column, every second pixel, to the label
    const int column = selected.x - tree->GetIndent() + 6;
    const int mid = selected.y + selected.height / 2;
    EXPECT_EQ(CToVixTree::kLine, PixelAt(image, column, selected.y));
    EXPECT_EQ(*wxWHITE, PixelAt(image, column, selected.y + 1));
    EXPECT_EQ(CToVixTree::kLine, PixelAt(image, column + 2, mid));
    EXPECT_EQ(*wxWHITE, PixelAt(image, column + 1, mid));
    EXPECT_EQ(*wxWHITE, PixelAt(image, selected.x, mid)); // the end point itself is never set
    EXPECT_EQ(CToVixTree::kLine, PixelAt(image, Label(a).x + 6, Label(a).GetBottom() - 1 - (Label(a).height % 2)));

    // the selection stays highlighted without the focus only with TVS_SHOWSELALWAYS
    EXPECT_TRUE(tree->IsHighlighted(a1));
    tree->SetWindowStyleFlag(tree->GetWindowStyleFlag() & ~TVS_SHOWSELALWAYS);
    EXPECT_FALSE(tree->IsHighlighted(a1));
}

TEST_F(TreeFixture, RowsScrollWithTheBarTheWheelAndSideways)
{
    HTREEITEM added = nullptr; // row 3, after a, b and c
    for (int i = 0; i < 40; ++i) {
        HTREEITEM item = Add("A much longer category name than the tree is wide", 20000 + i);
        added = added ? added : item;
    }
    const int rows = tree->GetClientSize().y / tree->GetItemHeight();
    ASSERT_TRUE(tree->GetScrollBar()->IsShown());
    EXPECT_EQ(tree->GetClientSize().x - 16, tree->GetScrollBar()->GetPosition().x);

    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    tree->ProcessWindowEvent(wheel);
    EXPECT_EQ(added, tree->GetFirstVisibleItem()); // three rows down
    EXPECT_EQ(-3 * tree->GetItemHeight(), Label(a).y);
    EXPECT_EQ(added, tree->HitTest(wxPoint(10, 1)));
    EXPECT_EQ(3, tree->GetScrollBar()->GetPos());

    Click(tree->GetScrollBar(), tree->GetScrollBar()->DownArrowRect().GetPosition() + wxPoint(8, 8));
    EXPECT_EQ(4, tree->GetScrollBar()->GetPos());
    EXPECT_EQ(tree->GetNextVisibleItem(added), tree->GetFirstVisibleItem());

    tree->SelectSetFirstVisible(tree->GetLastVisibleItem()); // as far as the rows go
    EXPECT_EQ(43 - rows, tree->GetScrollBar()->GetPos());

    const int x = Label(a).x;
    tree->SetScrollX(25);
    EXPECT_EQ(x - 25, Label(a).x);
    tree->SetScrollX(100000);
    EXPECT_LT(tree->GetScrollX(), 400);
}

TEST_F(TreeFixture, AParentRefillingTheTreeOnTheNotificationEndsTheClick)
{
    frame.Panel()->Bind(wxEVT_WINDOW_MESSAGE, [this](CMessageEvent &event) {
        tree->DeleteAllItems();
        Add("Refilled", 10009);
        Add("Child", 9, Add("Other", 10008));
        event.Skip();
    });
    Click(tree, OnGlyph(a));
    EXPECT_EQ((std::vector<Message>{Shown(10001)}), messages);
    EXPECT_FALSE(tree->IsExpanded(tree->GetRootItem()));
    EXPECT_EQ(nullptr, tree->GetSelectedItem());
}
