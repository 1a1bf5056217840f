// An up-down control bound to an edit box: its arrows and the edit box's arrow
// keys step the number in the box within the range, and typing in the box
// moves the control's own position with it.
#pragma once

#include <wx/spinbutt.h>
#include <wx/textctrl.h>

class CSpinButtonCtrl : public wxSpinButton {
public:
    CSpinButtonCtrl() = default;
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size);

    // The edit box whose number the control steps; it outlives the control's use.
    void SetBuddy(wxTextCtrl *buddy);
    wxTextCtrl *GetBuddy() const { return m_buddy; }
    // Moves the buddy's number by delta (read by the C rule, then kept within the range).
    void Step(int delta);

private:
    void OnSpin(wxSpinEvent &event);
    void OnBuddyText(wxCommandEvent &event);
    void OnBuddyKey(wxKeyEvent &event);
    int BuddyNumber() const;

    wxTextCtrl *m_buddy = nullptr;

    wxDECLARE_EVENT_TABLE();
};
