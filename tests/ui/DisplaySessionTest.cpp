#include "support/TestFolder.h"
#include "ui/DisplaySession.h"

#include <gtest/gtest.h>
#include <wx/utils.h>

// Started through XWayland on a Wayland desktop (the tests' display is X11):
// the choice is logged, the programs Tovix starts do not inherit it, and
// GStreamer's GL sink draws through X11 rather than crash on a Wayland surface.
TEST(DisplaySession, ThroughXWaylandTheChoiceIsLoggedAndGStreamerDrawsOnX11)
{
    CTestFolder folder;
    wxString gl, wayland;
    const bool hadGl = wxGetEnv("GST_GL_WINDOW", &gl), hadWayland = wxGetEnv("WAYLAND_DISPLAY", &wayland);
    auto restore = [&](const char *name, bool had, const wxString &value) {
        if (had)
            wxSetEnv(name, value);
        else
            wxUnsetEnv(name);
    };
    wxUnsetEnv("GST_GL_WINDOW");
    wxSetEnv("WAYLAND_DISPLAY", "/run/user/1000/wayland-0");
    wxSetEnv("GDK_BACKEND", "x11");
    wxSetEnv("TOVIX_XWAYLAND", "1");

    SetUpDisplaySession();
    wxString now;
    EXPECT_TRUE(wxGetEnv("GST_GL_WINDOW", &now));
    EXPECT_EQ("x11", now);
    EXPECT_FALSE(wxGetEnv("GDK_BACKEND", nullptr));
    EXPECT_FALSE(wxGetEnv("TOVIX_XWAYLAND", nullptr));
    EXPECT_EQ(std::vector<std::string>{"Wayland display /run/user/1000/wayland-0: Tovix runs through XWayland "
                                       "(GDK_BACKEND=x11)"},
              folder.LogLines());

    // A choice made elsewhere is kept.
    wxSetEnv("GST_GL_WINDOW", "egl");
    SetUpDisplaySession();
    EXPECT_TRUE(wxGetEnv("GST_GL_WINDOW", &now));
    EXPECT_EQ("egl", now);

    restore("GST_GL_WINDOW", hadGl, gl);
    restore("WAYLAND_DISPLAY", hadWayland, wayland);
}
