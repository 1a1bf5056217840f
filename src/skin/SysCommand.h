// System commands of a skinned top-level window. The window sends itself
// WM_SYSCOMMAND with one of them (its caption buttons, its resize zones, a
// drag on its background, the single-instance hand-over); what the window
// does not handle itself goes to DefaultSysCommand, which asks the window
// manager, since an undecorated window has no platform frame to do it.
#pragma once

#include <wx/defs.h>
#include <wx/gdicmn.h>

class wxTopLevelWindow;

enum : int {
    SC_SIZE = 0xF000,     // + 1 ... 8: sizing from an edge or corner; + 9: moving with the mouse
    SC_MOVE = 0xF010,     // + HTCAPTION: moving as if the caption were dragged
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
    SC_RESTORE = 0xF120,
};

enum : int {
    HTCAPTION = 2,
    SC_DRAGMOVE = SC_SIZE + 9,
};

// A point carried in a message parameter: x in the low word, y in the high
// word, each a signed 16-bit value.
wxIntPtr MakePointParam(const wxPoint &point);
wxPoint PointFromParam(wxIntPtr param);

// Sizing starts from the point in param (screen coordinates); moving starts
// from wherever the pointer is. Minimize, maximize, restore and close act at once.
void DefaultSysCommand(wxTopLevelWindow *window, int command, wxIntPtr param);

// Takes a window out of the maximized and the minimized state.
void RestoreWindow(wxTopLevelWindow *window);

// wx tells the window manager that a borderless window may only be moved;
// this offers minimizing, maximizing, closing and, with wxRESIZE_BORDER,
// sizing too, every time the window is shown. Call it once, after creation.
void OfferWindowFunctions(wxTopLevelWindow *window);
