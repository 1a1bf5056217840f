// Helpers of the window tests: a shown frame to put controls in, synthetic
// mouse events, event pumping, and off-screen rendering with pixel read-back.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

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
