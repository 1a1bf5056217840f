#include "skin/CCommonEdit.h"
#include "skin/CCommonSplitter.h"
#include "skin/SkinEvents.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/settings.h>

namespace {

// A vertical bar at x 200..205 of the panel, free to move between x 100 and 300.
struct SplitterFixture : testing::Test {
    CTestFrame frame;
    CCommonSplitter *splitter = nullptr;
    std::vector<int> deltas;

    void SetUp() override
    {
        splitter = new CCommonSplitter(frame.Panel(), 5504, wxPoint(200, 10), wxSize(6, 200));
        splitter->SetRange(100, 300);
        frame.Panel()->Bind(wxEVT_CONTROL_NOTIFY, [this](CNotifyEvent &event) {
            EXPECT_EQ(5504, event.SenderId());
            EXPECT_EQ(SPN_MOVED, event.Code());
            deltas.push_back(event.Payload());
        });
        PumpEvents();
    }

    // A point of the splitter's client area at the panel's x.
    wxPoint AtPanelX(int x) const { return wxPoint(x - 200, 50); }
    int LineMiddleInPanel() const
    {
        const wxRect line = splitter->TrackingLineRect();
        return frame.Panel()->ScreenToClient(line.GetPosition()).x + 1;
    }
};

} // namespace

TEST_F(SplitterFixture, PressAndReleaseInPlaceSendsZero)
{
    Click(splitter, wxPoint(2, 50));
    EXPECT_EQ(std::vector<int>{0}, deltas);
    EXPECT_FALSE(splitter->IsTrackingLineShown());
}

TEST_F(SplitterFixture, LineStartsAtTheBarsMiddleThenJumpsToTheMouse)
{
    SendMouse(splitter, wxEVT_LEFT_DOWN, wxPoint(1, 50));
    ASSERT_TRUE(splitter->IsTrackingLineShown());
    EXPECT_EQ(203 - 1, LineMiddleInPanel()); // middle of 200..205 is 203, drawn one pixel left
    EXPECT_EQ(3, splitter->TrackingLineRect().width);
    EXPECT_EQ(200, splitter->TrackingLineRect().height);
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(250));
    EXPECT_EQ(250 - 1, LineMiddleInPanel());
    EXPECT_TRUE(deltas.empty()); // nothing during the drag
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(260));
    SendMouse(splitter, wxEVT_LEFT_UP, AtPanelX(260));
    EXPECT_EQ(std::vector<int>{260 - 203}, deltas);
    EXPECT_FALSE(splitter->IsTrackingLineShown());
}

TEST_F(SplitterFixture, DeltaIsMeasuredToTheClampedPosition)
{
    SendMouse(splitter, wxEVT_LEFT_DOWN, wxPoint(3, 50));
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(600));
    EXPECT_EQ(300 - 1, LineMiddleInPanel());
    SendMouse(splitter, wxEVT_LEFT_UP, AtPanelX(600));
    SendMouse(splitter, wxEVT_LEFT_DOWN, wxPoint(3, 50));
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(-40));
    SendMouse(splitter, wxEVT_LEFT_UP, AtPanelX(-40));
    EXPECT_EQ((std::vector<int>{300 - 203, 100 - 203}), deltas);
}

TEST_F(SplitterFixture, TrackingLineDrawnTwiceIsGone)
{
    SendMouse(splitter, wxEVT_LEFT_DOWN, wxPoint(3, 50));
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(230));
    SendMouse(splitter, wxEVT_MOTION, AtPanelX(230)); // erased and drawn again at the same place
    EXPECT_TRUE(splitter->IsTrackingLineShown());
    SendMouse(splitter, wxEVT_LEFT_UP, AtPanelX(230));
    EXPECT_FALSE(splitter->IsTrackingLineShown());
    EXPECT_EQ(std::vector<int>{27}, deltas);
}

TEST_F(SplitterFixture, NotifyMovedSendsWithoutDragging)
{
    splitter->NotifyMoved(-45);
    EXPECT_EQ(std::vector<int>{-45}, deltas);
    EXPECT_FALSE(splitter->IsDragging());
}

TEST_F(SplitterFixture, PaintsSixtyFourBandsOverSeventySevenRowsThenWhite)
{
    splitter->SetSize(6, 120);
    const wxImage image = Render(wxSize(6, 120), [this](wxDC &dc) { splitter->Render(dc); });
    EXPECT_EQ(wxColour(196, 222, 237), PixelAt(image, 0, 0));
    EXPECT_EQ(wxColour(196, 222, 237), PixelAt(image, 5, 0));
    // row 76 uses band trunc(63 * 76 / 77) = 62
    EXPECT_EQ(wxColour(253, 253, 254), PixelAt(image, 3, 76));
    EXPECT_EQ(*wxWHITE, PixelAt(image, 3, 77));
    EXPECT_EQ(*wxWHITE, PixelAt(image, 3, 119));
}

TEST(CommonEdit, BorderIsOnePixelSoftBlueWithTheWindowColourInside)
{
    CTestFrame frame;
    auto *edit = new CCommonEdit(frame.Panel(), 1011, "2000", wxPoint(10, 10), wxSize(120, 26));
    GtkWidget *widget = edit->GetHandle();
    // GTK lays the entry out and settles its style at its next frames
    int frames = 0;
    PumpUntil([&] { return gtk_widget_get_allocated_width(widget) == 120 && ++frames > 5; });
    const int w = gtk_widget_get_allocated_width(widget), h = gtk_widget_get_allocated_height(widget);
    ASSERT_GT(w, 4);
    ASSERT_GT(h, 4);
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t *cr = cairo_create(surface);
    gtk_widget_draw(widget, cr);
    cairo_surface_flush(surface);
    auto pixel = [&](int x, int y) {
        const auto *row = reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(surface) +
                                                             y * cairo_image_surface_get_stride(surface));
        return wxColour((row[x] >> 16) & 0xFF, (row[x] >> 8) & 0xFF, row[x] & 0xFF);
    };
    const wxColour border(145, 174, 214), window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    EXPECT_EQ(border, pixel(0, 0));
    EXPECT_EQ(border, pixel(w - 1, h / 2));
    EXPECT_EQ(border, pixel(w / 2, h - 1));
    EXPECT_EQ(window, pixel(1, 1));
    EXPECT_EQ(window, pixel(w - 2, h - 2));
    EXPECT_EQ(border, edit->GetBorderColour());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
