#include "ui/MessageBox.h"

#include "base/DebugLog.h"
#include "base/GbkText.h"

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
    // The log keeps what the user was told, so a report can be read with it.
    DebugLog("Message box: %s", Utf8ToGbk(std::string(text.utf8_str())).c_str());
    if (Handler())
        Handler()(parent, text);
    else
        wxMessageBox(text, "Tovix", wxOK, parent);
}

void SetMessageBoxHandler(TMessageBoxHandler handler)
{
    Handler() = std::move(handler);
}
