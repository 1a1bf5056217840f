#include "ui/MessageBox.h"

#include <wx/msgdlg.h>

namespace {

TMessageBoxHandler &Handler()
{
    static TMessageBoxHandler handler;
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

void SetMessageBoxHandler(TMessageBoxHandler handler)
{
    Handler() = std::move(handler);
}
