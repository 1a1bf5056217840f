#include "ui/DisplaySession.h"

#include "base/DebugLog.h"

#include <wx/utils.h>

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <cstdlib>
#include <cstring>

void SetUpDisplaySession()
{
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const char *chosen = std::getenv("TOVIX_XWAYLAND");
    if (chosen && std::strcmp(chosen, "1") == 0) {
        DebugLog("Wayland display %s: Tovix runs through XWayland (GDK_BACKEND=x11)", wayland ? wayland : "");
        wxUnsetEnv("GDK_BACKEND");
        wxUnsetEnv("TOVIX_XWAYLAND");
    }
    GdkDisplay *display = gdk_display_get_default();
#ifdef GDK_WINDOWING_WAYLAND
    if (GDK_IS_WAYLAND_DISPLAY(display)) {
        DebugLog("Wayland display %s without XWayland: the window is neither shaped nor placed by Tovix",
                 wayland ? wayland : "");
        return;
    }
#endif
#ifdef GDK_WINDOWING_X11
    // GStreamer's GL sink takes its window system from WAYLAND_DISPLAY and
    // crashes drawing a Wayland surface into our X11 window.
    if (wayland && *wayland && GDK_IS_X11_DISPLAY(display) && !std::getenv("GST_GL_WINDOW"))
        wxSetEnv("GST_GL_WINDOW", "x11");
#endif
}
