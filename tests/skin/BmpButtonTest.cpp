#include "skin/CBmpButton.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

namespace {

const wxColour kNormal(10, 20, 30), kHover(40, 50, 60), kPressed(70, 80, 90), kDisabled(100, 110, 120);

struct ButtonFixture : testing::Test {
    CTestFrame frame;
    std::vector<int> clicks;
    CBmpButton *button = nullptr;

    void SetUp() override
    {
        // a strip at (3, 2) of a larger skin, so the origin is honoured
        wxBitmap skin(3 + 4 * 12, 2 + 8, 24);
        {
            wxMemoryDC dc(skin);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            dc.DrawBitmap(MakeStrip({kNormal, kHover, kPressed, kDisabled}, 12, 8), 3, 2);
        }
        button = new CBmpButton(frame.Panel(), 1006, wxPoint(10, 10), wxSize(12, 8));
        button->SetSkin(skin, 12, 8, 3, 2);
        frame.Panel()->Bind(wxEVT_BUTTON, [this](wxCommandEvent &event) { clicks.push_back(event.GetId()); });
    }

    wxColour Shown(int width = 12) const
    {
        return PixelAt(Render(wxSize(width, 8), [this](wxDC &dc) { button->DrawItem(dc); }), width - 1, 4);
    }
};

} // namespace

TEST_F(ButtonFixture, CellFollowsStatePriorityDisabledPressedHover)
{
    EXPECT_EQ(kNormal, Shown());
    SendMouse(button, wxEVT_ENTER_WINDOW, wxPoint(2, 2));
    EXPECT_EQ(kHover, Shown());
    SendMouse(button, wxEVT_LEFT_DOWN, wxPoint(2, 2));
    EXPECT_EQ(kPressed, Shown()); // pressed wins over hover
    button->Enable(false);
    EXPECT_EQ(kDisabled, Shown()); // disabled wins over both
    button->Enable(true);
    EXPECT_EQ(kPressed, Shown());
    SendMouse(button, wxEVT_MOTION, wxPoint(30, 2)); // held, but dragged off the button
    EXPECT_EQ(kNormal, Shown());
    SendMouse(button, wxEVT_LEFT_UP, wxPoint(30, 2));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonFixture, QuickPassOverTheButtonEndsNormal)
{
    SendMouse(button, wxEVT_ENTER_WINDOW, wxPoint(1, 1));
    SendMouse(button, wxEVT_MOTION, wxPoint(2, 1));
    SendMouse(button, wxEVT_LEAVE_WINDOW, wxPoint(-1, 1));
    EXPECT_EQ(kNormal, Shown());
}

// One test, as it moves the real pointer: parallel tests must not race for it.
TEST_F(ButtonFixture, ClickReachesTheOwnerWithTheButtonIdAndHoverFollowsThePointer)
{
    button->WarpPointer(4, 4);
    PumpEvents();
    Click(button, wxPoint(4, 4));
    EXPECT_EQ(std::vector<int>{1006}, clicks);
    EXPECT_EQ(kHover, Shown()); // the mouse is still over it

    // a popup menu opened by the owner keeps the leave from reaching the button
    bool takePointer = true;
    frame.Panel()->Bind(wxEVT_BUTTON, [&](wxCommandEvent &event) {
        if (takePointer)
            frame.Panel()->WarpPointer(300, 300);
        event.Skip();
    });
    Click(button, wxPoint(4, 4));
    EXPECT_EQ(kNormal, Shown());
    EXPECT_EQ((std::vector<int>{1006, 1006}), clicks);

    takePointer = false;
    button->Enable(false);
    Click(button, wxPoint(4, 4));
    EXPECT_EQ((std::vector<int>{1006, 1006}), clicks);
}

TEST_F(ButtonFixture, NarrowWindowShowsTheCellsLeftPart)
{
    // the close caption button: a 26-pixel window on 27-pixel cells
    button->SetSize(11, 8);
    EXPECT_EQ(kNormal, Shown(11));
}

TEST(BmpButton, WithoutSkinDrawsNothingAndStillClicks)
{
    CTestFrame frame;
    auto *button = new CBmpButton(frame.Panel(), 5005, wxPoint(0, 0), wxSize(26, 23));
    int clicks = 0;
    frame.Panel()->Bind(wxEVT_BUTTON, [&](wxCommandEvent &) { ++clicks; });
    const wxImage image = Render(wxSize(26, 23), [&](wxDC &dc) { button->DrawItem(dc); });
    EXPECT_EQ(kUnpainted, PixelAt(image, 5, 5));
    button->Refresh();
    PumpEvents();
    Click(button, wxPoint(3, 3));
    EXPECT_EQ(1, clicks);
}
