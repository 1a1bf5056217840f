#include "skin/CCommonEdit.h"

#include <wx/settings.h>

#include <gtk/gtk.h>

CCommonEdit::CCommonEdit(wxWindow *parent, wxWindowID id, const wxString &value, const wxPoint &pos,
                         const wxSize &size, long style)
{
    Create(parent, id, value, pos, size, style);
}

bool CCommonEdit::Create(wxWindow *parent, wxWindowID id, const wxString &value, const wxPoint &pos,
                         const wxSize &size, long style)
{
    if (!wxTextCtrl::Create(parent, id, value, pos, size, style & ~wxTE_MULTILINE))
        return false;
    ApplyBorderStyle();
    return true;
}

void CCommonEdit::ApplyBorderStyle()
{
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    const wxString css = wxString::Format(
        "entry, entry:focus, entry:hover, entry:backdrop {"
        " border: 1px solid %s; border-radius: 0; box-shadow: none; outline: none; transition: none;"
        " background-image: none; background-color: %s; padding-top: 1px; padding-bottom: 1px;"
        " min-height: 0; }",
        m_borderColour.GetAsString(wxC2S_CSS_SYNTAX), window.GetAsString(wxC2S_CSS_SYNTAX));
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.utf8_str(), -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(GetHandle()), GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}
