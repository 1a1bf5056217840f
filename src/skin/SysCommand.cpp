#include "skin/SysCommand.h"

#include <wx/toplevel.h>
#include <wx/utils.h>

#include <gtk/gtk.h>

#include <cstdint>

namespace {

GtkWindow *NativeWindow(wxTopLevelWindow *window)
{
    return GTK_WINDOW(window->GetHandle());
}

// The edge of each sizing command, SC_SIZE + 1 to SC_SIZE + 8.
GdkWindowEdge SizingEdge(int zone)
{
    static const GdkWindowEdge edges[] = {
        GDK_WINDOW_EDGE_WEST,       GDK_WINDOW_EDGE_EAST,       GDK_WINDOW_EDGE_NORTH,
        GDK_WINDOW_EDGE_NORTH_WEST, GDK_WINDOW_EDGE_NORTH_EAST, GDK_WINDOW_EDGE_SOUTH,
        GDK_WINDOW_EDGE_SOUTH_WEST, GDK_WINDOW_EDGE_SOUTH_EAST,
    };
    return edges[zone - 1];
}

void BeginMove(wxTopLevelWindow *window)
{
    const wxPoint pointer = wxGetMousePosition();
    gtk_window_begin_move_drag(NativeWindow(window), 1, pointer.x, pointer.y, gtk_get_current_event_time());
}

} // namespace

wxIntPtr MakePointParam(const wxPoint &point)
{
    const auto low = static_cast<std::uint16_t>(point.x);
    const auto high = static_cast<std::uint16_t>(point.y);
    return static_cast<wxIntPtr>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}

wxPoint PointFromParam(wxIntPtr param)
{
    const auto bits = static_cast<std::uint32_t>(param);
    return wxPoint(static_cast<std::int16_t>(bits & 0xFFFF), static_cast<std::int16_t>(bits >> 16));
}

void DefaultSysCommand(wxTopLevelWindow *window, int command, wxIntPtr param)
{
    if (!window || !window->GetHandle())
        return;
    switch (command & 0xFFF0) {
    case SC_SIZE: {
        const int zone = command & 0xF;
        if (zone == 9) {
            BeginMove(window);
        } else if (zone >= 1 && zone <= 8) {
            const wxPoint at = PointFromParam(param);
            gtk_window_begin_resize_drag(NativeWindow(window), SizingEdge(zone), 1, at.x, at.y,
                                         gtk_get_current_event_time());
        }
        break;
    }
    case SC_MOVE:
        BeginMove(window);
        break;
    case SC_MINIMIZE:
        window->Iconize(true);
        break;
    case SC_MAXIMIZE:
        window->Maximize(true);
        break;
    case SC_RESTORE:
        RestoreWindow(window);
        break;
    case SC_CLOSE:
        window->Close();
        break;
    default:
        break;
    }
}

void RestoreWindow(wxTopLevelWindow *window)
{
    // wxTopLevelWindow::Restore leaves a maximized window maximized on GTK.
    window->Iconize(false);
    window->Maximize(false);
}

void OfferWindowFunctions(wxTopLevelWindow *window)
{
    // wx sets the window manager's functions while the window is being mapped,
    // so they are set again after every map.
    auto mapped = +[](GtkWidget *widget, GdkEvent *, gpointer data) -> gboolean {
        const auto *owner = static_cast<wxTopLevelWindow *>(data);
        int functions = GDK_FUNC_MOVE | GDK_FUNC_MINIMIZE | GDK_FUNC_MAXIMIZE | GDK_FUNC_CLOSE;
        if (owner->HasFlag(wxRESIZE_BORDER))
            functions |= GDK_FUNC_RESIZE;
        gdk_window_set_functions(gtk_widget_get_window(widget), static_cast<GdkWMFunction>(functions));
        return FALSE;
    };
    if (window && window->GetHandle())
        g_signal_connect_after(window->GetHandle(), "map-event", G_CALLBACK(mapped), window);
}
