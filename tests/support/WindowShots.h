// Screenshots for the galleries: what the screen shows of a window, saved with
// ImageMagick's import once the window manager and GTK have caught up.
#pragma once

#include <wx/app.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <cstdio>

// Runs `rounds` passes of the event loop, 30 ms apart.
inline void SettleWindows(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(30);
    }
}

// Saves the window's screen rectangle as folder + name + ".png"; failures are printed.
inline void SaveWindowShot(wxWindow *window, const wxString &folder, const char *name)
{
    const wxRect r = window->GetScreenRect();
    const wxString command =
        wxString::Format("import -window root -crop %dx%d+%d+%d %s%s.png", r.width, r.height, r.x, r.y, folder, name);
    if (wxExecute(command, wxEXEC_SYNC) != 0)
        std::fprintf(stderr, "failed: %s\n", command.utf8_str().data());
}
