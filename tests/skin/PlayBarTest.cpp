#include "skin/CPlayBar.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct PlayBarFixture : testing::Test {
    CTestFrame frame;
    CPlayBar *bar = nullptr;
    std::vector<std::pair<wxEventType, long long>> seeks;

    void SetUp() override
    {
        bar = new CPlayBar;
        ASSERT_TRUE(bar->Create(frame.Panel(), 5600, wxBitmap(615, 1107), wxPoint(0, 0), wxSize(600, CPlayBar::kHeight)));
        const auto record = [this](wxScrollEvent &event) {
            seeks.emplace_back(event.GetEventType(), bar->SeekSlider().GetValue());
        };
        frame.Panel()->Bind(wxEVT_SCROLL_THUMBTRACK, record, CPlayBar::ID_SEEK);
        frame.Panel()->Bind(wxEVT_SCROLL_CHANGED, record, CPlayBar::ID_SEEK);
    }

    void Mouse(wxEventType type, int x, bool leftDown)
    {
        wxMouseEvent event(type);
        event.m_x = x;
        event.m_leftDown = leftDown;
        bar->SeekSlider().ProcessWindowEvent(event);
    }
};

} // namespace

TEST_F(PlayBarFixture, TimesShowHoursOnlyWhenTheVideoHasThemAndAnUnknownLengthDisablesSeeking)
{
    EXPECT_EQ("--:--", bar->TimeText());
    EXPECT_FALSE(bar->SeekSlider().IsEnabled());
    bar->SetTimes(754000, 2700000);
    EXPECT_EQ("12:34 / 45:00", bar->TimeText());
    EXPECT_TRUE(bar->SeekSlider().IsEnabled());
    EXPECT_EQ(754000, bar->SeekSlider().GetValue());
    bar->SetTimes(3723999, 5400000);
    EXPECT_EQ("1:02:03 / 1:30:00", bar->TimeText());
    // past the end (the last read after the end) shows the end
    bar->SetTimes(5400400, 5400000);
    EXPECT_EQ("1:30:00 / 1:30:00", bar->TimeText());
    bar->SetTimes(1000, 0);
    EXPECT_EQ("--:--", bar->TimeText());
    EXPECT_FALSE(bar->SeekSlider().IsEnabled());
}

TEST_F(PlayBarFixture, SeekFollowsTheDragAndLandsWhereReleased)
{
    bar->SetTimes(0, 100000);
    CCommonSlider &seek = bar->SeekSlider();
    const int width = seek.GetSize().x;
    EXPECT_EQ(0, seek.ValueAt(0));
    EXPECT_EQ(100000, seek.ValueAt(width + 50));

    Mouse(wxEVT_LEFT_DOWN, width / 4, true);
    Mouse(wxEVT_MOTION, width / 2, true);
    // the timer's reading does not pull the thumb back while it is held
    bar->SetTimes(1000, 100000);
    EXPECT_TRUE(seek.IsDragging());
    Mouse(wxEVT_LEFT_UP, 3 * width / 4, false);
    ASSERT_EQ(3u, seeks.size());
    EXPECT_EQ(wxEVT_SCROLL_THUMBTRACK, seeks[0].first);
    EXPECT_EQ(seek.ValueAt(width / 4), seeks[0].second);
    EXPECT_EQ(seek.ValueAt(width / 2), seeks[1].second);
    EXPECT_EQ(wxEVT_SCROLL_CHANGED, seeks[2].first);
    EXPECT_NEAR(75000, seeks[2].second, 1500);
    EXPECT_FALSE(seek.IsDragging());

    // a disabled bar (length unknown) ignores the pointer
    bar->SetTimes(0, 0);
    Mouse(wxEVT_LEFT_DOWN, width / 2, true);
    Mouse(wxEVT_LEFT_UP, width / 2, false);
    EXPECT_EQ(3u, seeks.size());
}

TEST_F(PlayBarFixture, ControlsStayInOrderInsideTheBarDownToTheNarrowestPane)
{
    // 224 is the narrowest the right pane gets
    for (int width : {600, 320, 224}) {
        SCOPED_TRACE(width);
        bar->SetSize(width, CPlayBar::kHeight);
        PumpEvents();
        std::vector<wxWindow *> order{&bar->PlayButton(), &bar->StopButton(), &bar->SeekSlider(), &bar->MuteButton()};
        if (bar->VolumeSlider().IsShown())
            order.push_back(&bar->VolumeSlider());
        order.push_back(&bar->FullScreenButton());
        for (size_t i = 1; i < order.size(); ++i)
            EXPECT_LT(order[i - 1]->GetRect().GetRight(), order[i]->GetRect().x) << i;
        EXPECT_LT(bar->FullScreenButton().GetRect().GetRight(), width);
        EXPECT_GE(bar->SeekSlider().GetSize().x, 40);
    }
}
