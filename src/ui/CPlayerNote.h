// A short text over the video: light letters on a dark box, in a window of its
// own so that the picture drawn under it does not cover it.
#pragma once

#include <wx/window.h>

class CPlayerNote : public wxWindow {
public:
    CPlayerNote() = default;
    bool Create(wxWindow *parent, wxWindowID id);

    // Sizes the note to the text; the caller places and shows it.
    void SetText(const wxString &text);
    const wxString &GetText() const { return m_text; }

private:
    void OnPaint(wxPaintEvent &event);

    wxString m_text;

    wxDECLARE_EVENT_TABLE();
};
