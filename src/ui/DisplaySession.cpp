#include "ui/DisplaySession.h"

#include "base/DebugLog.h"

#include <wx/utils.h>

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

#include <cstdlib>
#include <cstring>

void NoteDisplaySession()
{
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const char *chosen = std::getenv("TOVIX_XWAYLAND");
    if (chosen && std::strcmp(chosen, "1") == 0) {
        DebugLog("Wayland display %s: Tovix runs through XWayland (GDK_BACKEND=x11)", wayland ? wayland : "");
        wxUnsetEnv("GDK_BACKEND");
        wxUnsetEnv("TOVIX_XWAYLAND");
        return;
    }
#ifdef GDK_WINDOWING_WAYLAND
    if (GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default()))
        DebugLog("Wayland display %s without XWayland: the window is neither shaped nor placed by Tovix",
                 wayland ? wayland : "");
#endif
}
