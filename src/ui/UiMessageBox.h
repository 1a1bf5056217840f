// The message boxes the windows show the user. Whoever runs the windows
// without a user (the tests) replaces how they are shown.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

#include <functional>

using MessageBoxHandler = std::function<void(wxWindow *parent, const wxString &text)>;

// A modal box with the text and an OK button, titled with the program's name.
void ShowMessageBox(wxWindow *parent, const wxString &text);

// Replaces how ShowMessageBox shows its text; an empty handler restores the
// box. Returns the handler in use before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
