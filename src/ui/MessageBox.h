// Every message box of the windows goes through ShowMessageBox, so that tests
// can record the texts instead of waiting for someone to press OK.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

#include <functional>

// Writes text to the log as "Message box: <text>", then shows it in a modal box
// with an OK button (titled "Tovix") and returns when it is closed, or hands it
// to the handler in force.
void ShowMessageBox(wxWindow *parent, const wxString &text);

using TMessageBoxHandler = std::function<void(wxWindow *parent, const wxString &text)>;
// Replaces the box by handler; an empty handler brings the box back. User-interface thread only.
void SetMessageBoxHandler(TMessageBoxHandler handler);

// The program is ending: closes the box on the screen, if any, and makes every
// later one a log line only. True when a box was open. User-interface thread only.
bool EndMessageBoxes();
