#include "ScreenSupport.h"

#include "skin/SkinEvents.h"
#include "skin/SysCommand.h"
#include "support/WxTestSupport.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <gtk/gtk.h>

#include <cstdlib>

wxColour ScreenPixel(const wxPoint &screen)
{
    wxBitmap bitmap(1, 1, 24);
    {
        wxScreenDC screenDc;
        wxMemoryDC dc(bitmap);
        dc.Blit(0, 0, 1, 1, &screenDc, screen.x, screen.y);
    }
    const wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0));
}

wxPoint WindowOrigin(wxWindow *window)
{
    wxPoint origin;
    gdk_window_get_origin(gtk_widget_get_window(window->GetHandle()), &origin.x, &origin.y);
    return origin;
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
