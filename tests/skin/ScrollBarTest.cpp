#include "skin/CCommonScrollBar.h"
#include "skin/SkinEvents.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Report {
    int code;
    unsigned position;
    bool operator==(const Report &o) const { return code == o.code && position == o.position; }
};

std::ostream &operator<<(std::ostream &out, const Report &r)
{
    return out << "{" << r.code << ", " << r.position << "}";
}

// A bar 216 high: a 184-pixel track between the arrows.
struct ScrollBarFixture : testing::Test {
    CTestFrame frame;
    CCommonScrollBar *bar = nullptr;
    std::vector<Report> reports;

    void SetUp() override
    {
        bar = new CCommonScrollBar(frame.Panel(), 5203, wxPoint(100, 0), wxSize(16, 216));
        frame.Panel()->Bind(wxEVT_SKIN_VSCROLL,
                            [this](CScrollBarEvent &event) { reports.push_back({event.Code(), event.Position()}); });
    }

    wxImage Paint() const
    {
        return Render(bar->GetClientSize(), [this](wxDC &dc) { bar->Render(dc); });
    }
};

} // namespace

TEST_F(ScrollBarFixture, SetBarInfoSizesTheThumbAndIgnoresRangesThatFit)
{
    bar->SetBarInfo(10, 5, 40);
    EXPECT_EQ(5, bar->GetPos());
    EXPECT_EQ(30, bar->GetMaxPos());
    EXPECT_DOUBLE_EQ(184 / 40.0, bar->GetScale());
    EXPECT_EQ(23, bar->GetThumbOffset()); // trunc(5 * 4.6)
    EXPECT_EQ(184 - 138, bar->GetThumbLength());

    bar->SetBarInfo(40, 0, 40);
    bar->SetBarInfo(50, 1, 40);
    EXPECT_EQ(5, bar->GetPos());
    EXPECT_EQ(30, bar->GetMaxPos());
    EXPECT_EQ(46, bar->GetThumbLength());

    bar->SetBarInfo(10, 0, 100000); // a very long list
    EXPECT_EQ(12, bar->GetThumbLength());

    bar->ScrollBy(-3);
    EXPECT_EQ(0, bar->GetPos());
    bar->ScrollBy(200000);
    EXPECT_EQ(99990, bar->GetPos());
    EXPECT_EQ(int(99990 * bar->GetScale()), bar->GetThumbOffset());
    EXPECT_TRUE(reports.empty()); // ScrollBy reports nothing
}

TEST_F(ScrollBarFixture, ArrowStepsAtReleaseAndRepeatsWhileHeld)
{
    bar->SetBarInfo(10, 5, 40);
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, 210));
    EXPECT_TRUE(reports.empty()); // nothing at the press itself
    EXPECT_TRUE(bar->IsRepeating());
    bar->OnRepeatTick();
    bar->OnRepeatTick();
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, 210));
    EXPECT_FALSE(bar->IsRepeating());
    EXPECT_EQ(3u, reports.size());
    for (const Report &r : reports)
        EXPECT_EQ((Report{SB_LINEDOWN, 0}), r);
    EXPECT_EQ(8, bar->GetPos());

    reports.clear();
    Click(bar, wxPoint(8, 3));
    EXPECT_EQ(std::vector<Report>{(Report{SB_LINEUP, 0})}, reports);
    EXPECT_EQ(7, bar->GetPos());
}

TEST_F(ScrollBarFixture, ReleaseOnTheTrackPageStepsButNotAfterAThumbPress)
{
    bar->SetBarInfo(10, 5, 40); // thumb rows 39..84
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, 5)); // up arrow
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, 150)); // released on the track below the thumb
    EXPECT_EQ(std::vector<Report>{(Report{SB_PAGEDOWN, 0})}, reports);
    EXPECT_EQ(6, bar->GetPos()); // one unit, like every step

    reports.clear();
    Click(bar, wxPoint(8, 20)); // on the track above the thumb
    EXPECT_EQ(std::vector<Report>{(Report{SB_PAGEUP, 0})}, reports);

    reports.clear();
    const int thumbMiddle = bar->ThumbRect().y + 10;
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, thumbMiddle));
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, 180));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(5, bar->GetPos());
}

TEST_F(ScrollBarFixture, DragAccumulatesSubUnitMovesAndReportsSixteenBitPositions)
{
    bar->SetBarInfo(10, 0, 40); // 4.6 pixels a unit
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, 30));
    SendMouse(bar, wxEVT_MOTION, wxPoint(8, 33));
    EXPECT_TRUE(reports.empty());
    SendMouse(bar, wxEVT_MOTION, wxPoint(8, 35)); // 5 pixels from the origin: one unit
    SendMouse(bar, wxEVT_MOTION, wxPoint(8, 59)); // 24 more: five units
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, 59));
    EXPECT_EQ((std::vector<Report>{{SB_THUMBPOSITION, 1}, {SB_THUMBPOSITION, 6}}), reports);

    reports.clear();
    bar->SetBarInfo(10, 70000, 200000);
    const int y = bar->ThumbRect().y + 5;
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, y));
    SendMouse(bar, wxEVT_MOTION, wxPoint(8, y + 2)); // 2 / 0.00092 = 2173 units
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, y + 2));
    EXPECT_EQ(72173, bar->GetPos());
    EXPECT_EQ(std::vector<Report>{(Report{SB_THUMBPOSITION, 72173 & 0xFFFF})}, reports);
}

TEST_F(ScrollBarFixture, DragBeforeARangeIsSetDoesNothing)
{
    SendMouse(bar, wxEVT_LEFT_DOWN, wxPoint(8, 40)); // the initial thumb: rows 36..55
    SendMouse(bar, wxEVT_MOTION, wxPoint(8, 90));
    SendMouse(bar, wxEVT_LEFT_UP, wxPoint(8, 90));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(0, bar->GetPos());
}

TEST_F(ScrollBarFixture, ShortBarHasNoThumbToGrabOrSee)
{
    bar->SetSize(16, 40);
    bar->SetBarInfo(2, 0, 10); // the thumb would be rows 16..27, over the down arrow's top
    EXPECT_FALSE(bar->HasThumb());
    Click(bar, wxPoint(8, 26)); // the down arrow, not a hidden thumb
    Click(bar, wxPoint(8, 20)); // the track between the arrows pages
    EXPECT_EQ((std::vector<Report>{{SB_LINEDOWN, 0}, {SB_PAGEDOWN, 0}}), reports);

    const wxImage image = Paint();
    for (int y = 16; y < 24; ++y)
        for (int x = 1; x < 15; ++x)
            ASSERT_NE(*wxBLACK, PixelAt(image, x, y)) << x << "," << y;
}

TEST_F(ScrollBarFixture, PaintsEightBandGradientsArrowsThumbAndGrip)
{
    bar->SetBarInfo(10, 0, 40); // thumb rows 16..61
    const wxImage image = Paint();
    const wxColour border(189, 190, 189), outline(140, 138, 140);

    // track background at row 150: band trunc(7 * x / 16) from (179,211,232) towards (149,202,220)
    EXPECT_EQ(wxColour(179, 211, 232), PixelAt(image, 1, 150));
    EXPECT_EQ(wxColour(175, 209, 230), PixelAt(image, 3, 150));
    EXPECT_EQ(wxColour(156, 204, 223), PixelAt(image, 14, 150)); // 6/8 of the way, never the end colour
    EXPECT_EQ(border, PixelAt(image, 0, 150));
    EXPECT_EQ(border, PixelAt(image, 15, 150));

    // up arrow: outline, white inner edge, gradient over 13 columns from (191,218,235) towards white
    EXPECT_EQ(outline, PixelAt(image, 0, 8));
    EXPECT_EQ(outline, PixelAt(image, 8, 15));
    EXPECT_EQ(*wxWHITE, PixelAt(image, 1, 8));
    EXPECT_EQ(wxColour(191, 218, 235), PixelAt(image, 2, 12));
    EXPECT_EQ(wxColour(239, 245, 250), PixelAt(image, 14, 12));
    // the upward glyph: rows 6..9 widen from 2 to 8 pixels around x = 8
    EXPECT_NE(outline, PixelAt(image, 8, 5));
    EXPECT_EQ(outline, PixelAt(image, 7, 6));
    EXPECT_EQ(outline, PixelAt(image, 8, 6));
    EXPECT_NE(outline, PixelAt(image, 6, 6));
    EXPECT_EQ(outline, PixelAt(image, 4, 9));
    EXPECT_EQ(outline, PixelAt(image, 11, 9));
    EXPECT_NE(outline, PixelAt(image, 12, 9));
    // the downward glyph: 8 pixels at row 206 narrowing to 2 at row 209
    EXPECT_EQ(outline, PixelAt(image, 4, 206));
    EXPECT_EQ(outline, PixelAt(image, 11, 206));
    EXPECT_EQ(outline, PixelAt(image, 7, 209));
    EXPECT_NE(outline, PixelAt(image, 6, 209));
    EXPECT_NE(outline, PixelAt(image, 8, 210));

    // thumb: outline, gradient, and four 8-pixel black grip lines around its middle (row 39)
    EXPECT_EQ(outline, PixelAt(image, 0, 30));
    EXPECT_EQ(outline, PixelAt(image, 8, 61));
    EXPECT_EQ(wxColour(191, 218, 235), PixelAt(image, 2, 20));
    for (int y : {36, 38, 40, 42}) {
        EXPECT_EQ(*wxBLACK, PixelAt(image, 4, y)) << y;
        EXPECT_EQ(*wxBLACK, PixelAt(image, 11, y)) << y;
        EXPECT_NE(*wxBLACK, PixelAt(image, 3, y)) << y;
        EXPECT_NE(*wxBLACK, PixelAt(image, 12, y)) << y;
    }
    EXPECT_NE(*wxBLACK, PixelAt(image, 8, 37));
    EXPECT_NE(*wxBLACK, PixelAt(image, 8, 39));
}
