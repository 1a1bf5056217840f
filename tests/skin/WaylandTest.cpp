// The skinned frame on a Wayland desktop of its own: a weston nested in the
// test's X display through its X11 back-end, which takes the pointer from that
// display, so xdotool drives it. The frame program runs on it natively.
#include "ScreenSupport.h"
#include "support/TestFolder.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <gdk/gdk.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace {

const wxColour kRings[] = {{66, 66, 66}, {255, 255, 255}, {163, 163, 163}, {194, 194, 194}};

// A program started with `sh -c`, stopped with the object.
class CChild {
public:
    explicit CChild(const std::string &command)
        : m_pid(wxExecute(wxString::FromUTF8("sh -c '" + command + "'"), wxEXEC_ASYNC))
    {
    }
    ~CChild()
    {
        if (m_pid <= 0)
            return;
        wxKill(m_pid, wxSIGTERM);
        PumpUntil([this] { return !wxProcess::Exists(m_pid); });
    }
    bool Started() const { return m_pid > 0; }

private:
    long m_pid;
};

std::string BuildDir()
{
    const char *dir = std::getenv("TOVIX_BINARY_DIR");
    return dir ? dir : "..";
}

// The screen as the X server has it now.
struct CScreenShot {
    CScreenShot() : pixbuf(gdk_pixbuf_get_from_window(gdk_get_default_root_window(), 0, 0, wxGetDisplaySize().x,
                                                      wxGetDisplaySize().y))
    {
    }
    ~CScreenShot()
    {
        if (pixbuf)
            g_object_unref(pixbuf);
    }
    wxColour At(int x, int y) const
    {
        const guchar *p = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                          x * gdk_pixbuf_get_n_channels(pixbuf);
        return wxColour(p[0], p[1], p[2]);
    }
    GdkPixbuf *pixbuf;
};

// The frame's four rings, outermost first, running from (x, y) in steps of (dx, dy).
bool RingsAt(const CScreenShot &shot, int x, int y, int dx, int dy)
{
    for (int k = 0; k < 4; ++k)
        if (shot.At(x + k * dx, y + k * dy) != kRings[k])
            return false;
    return true;
}

// The frame's outer rectangle on the screen, found by its rings: left and
// right edges on a row through its middle, the top edge in a column. The
// height is not looked for (given as 0).
std::optional<wxRect> FindFrame()
{
    const CScreenShot shot;
    if (!shot.pixbuf)
        return std::nullopt;
    const wxSize screen = wxGetDisplaySize();
    for (int y = 200; y < screen.y - 200; y += 10)
        for (int left = 0; left < screen.x - 800; ++left) {
            if (!RingsAt(shot, left, y, 1, 0))
                continue;
            int right = left + 800;
            while (right < screen.x && !RingsAt(shot, right - 1, y, -1, 0))
                ++right;
            int top = y;
            while (top > 0 && !RingsAt(shot, left + 400, top, 0, 1))
                --top;
            if (right < screen.x && top > 0)
                return wxRect(left, top, right - left, 0);
        }
    return std::nullopt;
}

std::optional<wxRect> WaitForFrame(const std::function<bool(const wxRect &)> &done)
{
    std::optional<wxRect> frame;
    for (int i = 0; i < 100; ++i) {
        frame = FindFrame();
        if (frame && done(*frame))
            return frame;
        wxMilliSleep(100);
    }
    return frame;
}

std::string At(const wxPoint &p)
{
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

// A press, three moves that end at `to`, and the release: the compositor
// takes over a move or resize in its own time and follows the later motions.
bool Drag(const wxPoint &from, const wxPoint &to)
{
    const wxPoint mid = from + (to - from) / 2;
    // weston learns where the pointer is from motions inside its window
    return Xdotool("mousemove " + At(from - wxPoint(3, 3)) + " sleep 0.3 mousemove " + At(from) +
                   " sleep 0.3 mousedown 1 sleep 0.5 mousemove " + At(from + wxPoint(2, 2)) +
                   " sleep 0.3 mousemove " + At(mid) + " sleep 0.3 mousemove " + At(to) + " sleep 0.5 mouseup 1");
}

} // namespace

TEST(Wayland, NativeFrameShowsMovesAndResizesThroughItsOwnFrame)
{
    CTestFolder folder;
    const std::string runtime = folder / "weston", client = folder / "client";
    ASSERT_EQ(0, mkdir(runtime.c_str(), 0700));
    ASSERT_EQ(0, mkdir(client.c_str(), 0700));
    const CChild weston("XDG_RUNTIME_DIR=" + runtime +
                        " exec weston --backend=x11-backend.so --width=1200 --height=900 --use-pixman"
                        " --socket=tovix-test --idle-time=0 >" + folder / "weston.log" + " 2>&1");
    ASSERT_TRUE(weston.Started());
    const std::string socket = runtime + "/tovix-test";
    ASSERT_TRUE(PumpUntil([&] { return Exists(socket); }));

    // Its own runtime folder, as every client of the tests has: the display is
    // given by its whole path.
    const CChild frames("cd " + BuildDir() + " && exec env GDK_BACKEND=wayland WAYLAND_DISPLAY=" + socket +
                        " XDG_RUNTIME_DIR=" + client + " NO_AT_BRIDGE=1 src/skin/tovix-skin-frames >" +
                        folder / "frames.log" + " 2>&1");
    ASSERT_TRUE(frames.Started());
    const std::optional<wxRect> shown = WaitForFrame([](const wxRect &) { return true; });
    ASSERT_TRUE(shown) << ReadFile(folder / "frames.log");
    EXPECT_EQ(800, shown->width);

    const wxPoint offset(80, 60);
    ASSERT_TRUE(Drag(shown->GetPosition() + wxPoint(300, 300), shown->GetPosition() + wxPoint(300, 300) + offset));
    const std::optional<wxRect> moved =
        WaitForFrame([&](const wxRect &frame) { return frame.GetPosition() == shown->GetPosition() + offset; });
    ASSERT_TRUE(moved);
    EXPECT_EQ(shown->GetPosition() + offset, moved->GetPosition());

    const wxPoint edge(moved->GetRight() - 1, moved->y + 300);
    ASSERT_TRUE(Drag(edge, edge + wxPoint(60, 0)));
    const std::optional<wxRect> resized = WaitForFrame([&](const wxRect &frame) { return frame.width == 860; });
    ASSERT_TRUE(resized);
    EXPECT_EQ(860, resized->width);
    EXPECT_EQ(moved->GetPosition(), resized->GetPosition());
}
