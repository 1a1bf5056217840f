#include "GlyphSupport.h"
#include "skin/CChooseTree.h"
#include "skin/Resource.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A (category): a1, a2 (with child a21);  B (category without channels).
struct ChooseTreeFixture : testing::Test {
    CTestFrame frame;
    CChooseTree *tree = nullptr;
    HTREEITEM a = nullptr, a1 = nullptr, a2 = nullptr, a21 = nullptr, b = nullptr;

    void SetUp() override
    {
        tree = new CChooseTree;
        ASSERT_TRUE(tree->Create(frame.Panel(), 1010, wxPoint(24, 87), wxSize(487, 245)));
        tree->SetBackgroundColour(*wxWHITE);
        a = tree->InsertItem("Movies");
        a1 = tree->InsertItem("Action", a);
        a2 = tree->InsertItem("Comedy", a);
        a21 = tree->InsertItem("Silent", a2);
        b = tree->InsertItem("Empty");
        for (HTREEITEM item : {a, a1, a2, a21, b})
            tree->SetCheck(item, 0);
        tree->Expand(a, TVE_EXPAND);
        tree->Expand(a2, TVE_EXPAND);
    }

    wxRect Label(HTREEITEM item) const
    {
        wxRect rect;
        EXPECT_TRUE(tree->GetItemRect(item, &rect, true));
        return rect;
    }
    // Where an image of that height is drawn: 2 pixels in, centred between the label's edges moved 2 pixels in.
    wxPoint ImageAt(HTREEITEM item, int offset, int height) const
    {
        const wxRect label = Label(item);
        const int top = label.y + 2, bottom = label.GetBottom() + 1 - 2;
        return wxPoint(label.x + 2 + offset, top + (bottom - top) / 2 - height / 2);
    }
    void ClickBox(HTREEITEM item)
    {
        wxRect box;
        ASSERT_TRUE(tree->GetCheckBoxRect(item, &box));
        Click(tree, wxPoint(box.x + 1, box.y + box.height / 2));
    }
    std::vector<int> Checks() const
    {
        std::vector<int> checks;
        for (HTREEITEM item : {a, a1, a2, a21, b})
            checks.push_back(tree->GetCheck(item));
        return checks;
    }
};

} // namespace

TEST_F(ChooseTreeFixture, TickingSpreadsToDescendantsAndAncestorsFollowTheirChildren)
{
    ClickBox(a);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 0}), Checks());
    ClickBox(a21); // a2's only child: a2 clears, a stays ticked through a1
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0, 0}), Checks());
    ClickBox(a1);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0}), Checks());
    ClickBox(a21); // up through every level
    EXPECT_EQ((std::vector<int>{1, 0, 1, 1, 0}), Checks());
    ClickBox(a2);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0}), Checks());
    ClickBox(b); // a category without channels ticks on its own
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 1}), Checks());
}

TEST_F(ChooseTreeFixture, ClickZonesOfCheckBoxAndExpander)
{
    // The check box of a category follows its expander: 12 to 25 pixels into the moved label.
    const wxRect label = Label(a), leaf = Label(a1);
    const int y = label.y + label.height / 2;
    Click(tree, wxPoint(label.x + 2 + 12 + 6, y));
    EXPECT_EQ(1, tree->GetCheck(a));
    Click(tree, wxPoint(label.x + 2 + 25, y)); // just past it: the text
    EXPECT_EQ(1, tree->GetCheck(a));
    EXPECT_TRUE(tree->IsExpanded(a));
    Click(tree, wxPoint(leaf.x + 2, leaf.y + leaf.height / 2)); // a channel's box starts at once
    EXPECT_EQ(0, tree->GetCheck(a1));
    Click(tree, wxPoint(leaf.x + 2, leaf.y + 1)); // above the box's band
    EXPECT_EQ(0, tree->GetCheck(a1));

    // The first 13 pixels of the label rectangle toggle a category with children.
    Click(tree, wxPoint(label.x + 12, y));
    EXPECT_FALSE(tree->IsExpanded(a));
    EXPECT_EQ(1, tree->GetCheck(a)); // still ticked through a2
    Click(tree, wxPoint(label.x + 2, y));
    EXPECT_TRUE(tree->IsExpanded(a));
    EXPECT_EQ(a, tree->GetSelectedItem());

    // The row's first 5 pixels do nothing, not even select.
    tree->SelectItem(nullptr);
    Click(tree, wxPoint(4, y));
    EXPECT_EQ(nullptr, tree->GetSelectedItem());

    // A double click opens or closes the selected item.
    tree->SelectItem(a2);
    SendMouse(tree, wxEVT_LEFT_DCLICK, wxPoint(300, y));
    EXPECT_FALSE(tree->IsExpanded(a2));
    SendMouse(tree, wxEVT_LEFT_DCLICK, wxPoint(300, y));
    EXPECT_TRUE(tree->IsExpanded(a2));
}

TEST_F(ChooseTreeFixture, PaintsExpandersCheckBoxesAndTheHighlightedText)
{
    tree->SetCheckWithDescendants(a2, 1);
    tree->Expand(a2, TVE_COLLAPSE);
    tree->SelectItem(a1);
    tree->SetWindowStyleFlag(tree->GetWindowStyleFlag() | TVS_SHOWSELALWAYS);
    const wxImage image = Render(tree->GetClientSize(), [this](wxDC &dc) { tree->Render(dc); });

    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 1), ImageAt(a, 0, 9)));
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_CHECKBOXES, 1), ImageAt(a, 12, 13)));
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_CHECKBOXES, 0), ImageAt(a1, 0, 13))); // no expander
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 0), ImageAt(a2, 0, 9)));   // closed
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_CHECKBOXES, 1), ImageAt(a2, 12, 13)));
    EXPECT_TRUE(ShowsGlyph(image, Glyph(IDB_EXPANDERS, 0), ImageAt(b, 0, 9)));    // top level, no channels

    // The selected item's text is in the highlight colour, the others are not.
    auto textHas = [&](HTREEITEM item, const wxColour &colour) {
        const wxRect label = Label(item);
        for (int y = label.y; y < label.GetBottom(); ++y)
            for (int x = label.x + 2 + 13 + 6; x < label.x + 2 + 13 + 6 + 40; ++x)
                if (PixelAt(image, x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(textHas(a1, CChooseTree::kHighlightText));
    EXPECT_FALSE(textHas(a, CChooseTree::kHighlightText));

    // The connector from the parent's column reaches a channel's row.
    const wxRect leaf = Label(a1);
    EXPECT_EQ(CChooseTree::kLine, PixelAt(image, leaf.x - tree->GetIndent() + 6, leaf.y));
}
