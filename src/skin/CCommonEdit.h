// A single-line edit box whose platform frame is replaced by a one-pixel
// border in a soft blue, with a one-pixel ring of the window colour inside it.
#pragma once

#include <wx/textctrl.h>

class CCommonEdit : public wxTextCtrl {
public:
    CCommonEdit() = default;
    CCommonEdit(wxWindow *parent, wxWindowID id, const wxString &value = wxEmptyString,
                const wxPoint &pos = wxDefaultPosition, const wxSize &size = wxDefaultSize, long style = 0);
    bool Create(wxWindow *parent, wxWindowID id, const wxString &value = wxEmptyString,
                const wxPoint &pos = wxDefaultPosition, const wxSize &size = wxDefaultSize, long style = 0);

    const wxColour &GetBorderColour() const { return m_borderColour; }

private:
    // GTK draws the entry's frame itself; the replacement border is given to it as style.
    void ApplyBorderStyle();

    wxColour m_borderColour{145, 174, 214};
};
