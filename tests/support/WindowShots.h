// What the galleries share: a scratch working folder beside the build's skin
// images, and screenshots of what the screen shows of a window, saved with
// ImageMagick's import once the window manager and GTK have caught up.
#pragma once

#include "base/DebugLog.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Makes a fresh folder under /tmp the working folder, with the log in it and a
// link to the skin images of the folder the gallery was started from (the
// build folder). Its path, or an empty text on failure.
inline std::string EnterGalleryFolder(const char *name)
{
    const std::string skins = std::string(wxGetCwd().utf8_str()) + "/Skins";
    std::string folder = std::string("/tmp/") + name + "-XXXXXX";
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0 || symlink(skins.c_str(), "Skins") != 0)
        return std::string();
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    return folder;
}

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
