// Helpers of the window tests: a shown frame to put controls in, synthetic
// mouse events, event pumping, and off-screen rendering with pixel read-back.
#pragma once

#include "skin/CToVixCommonDlg.h"

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/weakref.h>

#include <functional>
#include <ostream>

// A frame shown at a fixed place with a panel filling it; destroyed with the object.
class CTestFrame {
public:
    explicit CTestFrame(const wxSize &clientSize = wxSize(640, 480));
    ~CTestFrame();
    CTestFrame(const CTestFrame &) = delete;
    CTestFrame &operator=(const CTestFrame &) = delete;

    wxPanel *Panel() const { return m_panel; }

private:
    wxFrame *m_frame;
    wxPanel *m_panel;
};

// A real tray (trayer) docked in the bottom-left corner of the screen, 24 x 24:
// room for one icon. The constructor waits until it owns the display's tray,
// the destructor until it is gone. Given a frame, its icon is made anew in the
// tray and taken out before the tray goes: GTK's own docking of an icon that
// existed before the tray, or its undocking when the tray dies, races the
// tray and now and then ends the program with an X error.
class CRealTray {
public:
    explicit CRealTray(CToVixCommonDlg *frame = nullptr);
    ~CRealTray();
    CRealTray(const CRealTray &) = delete;
    CRealTray &operator=(const CRealTray &) = delete;

    bool Started() const { return m_started; }
    wxPoint IconCentre() const;
    // The icon is a window of its own depth inside the tray, which only a
    // screen grab that descends into windows sees.
    bool ShowsRedAt(const wxPoint &screen) const;

private:
    long m_pid;
    bool m_started = false;
    wxWeakRef<CToVixCommonDlg> m_frame;
};

// Handles pending events and lets the toolkit catch up.
void PumpEvents();
// Pumps events until the condition holds, for at most about two seconds:
// the window manager and GTK's layout act asynchronously. Returns the condition.
bool PumpUntil(const std::function<bool()> &condition);

// Waits (bounded) until the window manager has placed the shown top-level
// window of `window`: screen coordinates mean nothing before it stays put.
void WaitUntilPlaced(wxWindow *window);

// Delivers a mouse event of the given type at a client point of window.
void SendMouse(wxWindow *window, wxEventType type, const wxPoint &point);
// Down and up at the same point.
void Click(wxWindow *window, const wxPoint &point);

// Draws into a fresh 24-bit bitmap of the given size, first filled with
// kUnpainted, and reads it back.
const wxColour kUnpainted(255, 0, 255);
wxImage Render(const wxSize &size, const std::function<void(wxDC &)> &draw);
wxColour PixelAt(const wxImage &image, int x, int y);

// Solid colour cells side by side, for a skin strip whose cells are told apart by colour.
wxBitmap MakeStrip(const std::vector<wxColour> &cells, int cellWidth, int cellHeight);

// Prints a colour as (r, g, b) in test failures.
inline std::ostream &operator<<(std::ostream &out, const wxColour &colour)
{
    return out << "(" << int(colour.Red()) << ", " << int(colour.Green()) << ", " << int(colour.Blue()) << ")";
}
