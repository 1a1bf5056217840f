#include "ui/UiMessageBox.h"

#include <wx/msgdlg.h>

#include <utility>

namespace {

MessageBoxHandler &Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

void ShowMessageBox(wxWindow *parent, const wxString &text)
{
    if (Handler())
        Handler()(parent, text);
    else
        wxMessageBox(text, "Tovix", wxOK, parent);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
