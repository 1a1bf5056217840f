#include "ScreenSupport.h"

#include "skin/SkinEvents.h"
#include "skin/SysCommand.h"
#include "support/WxTestSupport.h"

#include <wx/utils.h>
#include <wx/window.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>

wxColour ScreenPixel(const wxPoint &screen)
{
    // Straight from the X server: wxScreenDC keeps the screen it saw first.
    GdkPixbuf *pixel = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), screen.x, screen.y, 1, 1);
    if (!pixel)
        return wxColour();
    const guchar *rgb = gdk_pixbuf_get_pixels(pixel);
    const wxColour colour(rgb[0], rgb[1], rgb[2]);
    g_object_unref(pixel);
    return colour;
}

wxPoint WindowOrigin(wxWindow *window)
{
    wxPoint origin;
    gdk_window_get_origin(gtk_widget_get_window(window->GetHandle()), &origin.x, &origin.y);
    return origin;
}

bool WaitUntilManaged(wxWindow *topLevel)
{
    const bool viewable = PumpUntil([&] {
        GdkWindow *native = gtk_widget_get_window(topLevel->GetHandle());
        return native && gdk_window_is_viewable(native);
    });
    wxPoint last(-1, -1);
    int steady = 0;
    return viewable && PumpUntil([&] {
        const wxPoint now = WindowOrigin(topLevel);
        steady = now == last ? steady + 1 : 0;
        last = now;
        return steady >= 5;
    });
}

unsigned long WindowId(wxWindow *window)
{
    return gdk_x11_window_get_xid(gtk_widget_get_window(window->GetHandle()));
}

void EndWindowTest(wxWindow *window)
{
    PointerButton(false);
    if (window)
        window->Destroy();
    PumpEvents();
}

bool Xdotool(const std::string &arguments)
{
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

bool PointerTo(const wxPoint &screen)
{
    return Xdotool("mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y));
}

bool PointerButton(bool down)
{
    return Xdotool(down ? "mousedown 1" : "mouseup 1");
}

bool DragPointerTo(const wxPoint &to, const std::function<bool()> &done)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        PointerTo(to + wxPoint(1, 1));
        PointerTo(to);
        for (int i = 0; i < 20; ++i) {
            PumpEvents();
            if (done())
                return true;
            wxMilliSleep(10);
        }
    }
    return done();
}

void CSysCommandLog::Watch(wxWindow *window)
{
    window->Bind(wxEVT_WINDOW_MESSAGE, [this](CMessageEvent &event) {
        if (event.Message() == WM_SYSCOMMAND) {
            commands.push_back(int(event.WParam()));
            points.push_back(PointFromParam(event.LParam()));
            if (!pass)
                return;
        }
        event.Skip();
    });
}
