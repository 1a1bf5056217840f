#include "ui/MessageBox.h"

#include "base/DebugLog.h"
#include "base/GbkText.h"

#include <gtk/gtk.h>
#include <wx/msgdlg.h>

namespace {

TMessageBoxHandler &Handler()
{
    static TMessageBoxHandler handler;
    return handler;
}

// The box on the screen (boxes are modal, so one at a time) and whether boxes have ended.
wxMessageDialog *g_openBox = nullptr;
bool g_ended = false;

} // namespace

void ShowMessageBox(wxWindow *parent, const wxString &text)
{
    // The log keeps what the user was told, so a report can be read with it.
    DebugLog("Message box: %s", Utf8ToGbk(std::string(text.utf8_str())).c_str());
    if (Handler()) {
        Handler()(parent, text);
        return;
    }
    if (g_ended)
        return;
    wxMessageDialog box(parent, text, "Tovix", wxOK | wxCENTRE | wxICON_INFORMATION); // as wxMessageBox makes it
    wxMessageDialog *outer = g_openBox;
    g_openBox = &box;
    box.ShowModal();
    g_openBox = outer;
}

void SetMessageBoxHandler(TMessageBoxHandler handler)
{
    Handler() = std::move(handler);
}

bool EndMessageBoxes()
{
    g_ended = true;
    // The box is a native GTK dialog: wx's EndModal does not reach its run.
    GtkWidget *widget = g_openBox ? static_cast<GtkWidget *>(g_openBox->GetHandle()) : nullptr;
    if (!widget)
        return false;
    gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
    return true;
}
