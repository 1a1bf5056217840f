// What the window tests of the skinned frames need beyond the shared support:
// pixels as they are on the (virtual) screen, and real pointer input through
// the X server's test extension, which the window manager sees too.
#pragma once

#include <wx/colour.h>
#include <wx/gdicmn.h>

#include <functional>
#include <string>
#include <vector>

class wxWindow;

wxColour ScreenPixel(const wxPoint &screen);
// Where the X server has a top-level window now: while the window manager
// moves it, wx learns the position only when the move ends.
wxPoint WindowOrigin(wxWindow *window);

// Runs xdotool with the arguments and waits for it; true when it succeeded.
bool Xdotool(const std::string &arguments);
bool PointerTo(const wxPoint &screen);
bool PointerButton(bool down);
// With the button held, moves the pointer to `to` until done() holds: the
// window manager takes over a move or resize in its own time and follows
// only the motions after that. Bounded: about four seconds.
bool DragPointerTo(const wxPoint &to, const std::function<bool()> &done);

// The WM_SYSCOMMAND messages a window sends itself. While `pass` is false they
// stop here: the window manager never acts on them.
struct CSysCommandLog {
    std::vector<int> commands;
    std::vector<wxPoint> points;
    bool pass = true;

    void Watch(wxWindow *window);
};
