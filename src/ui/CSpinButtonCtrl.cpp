#include "ui/CSpinButtonCtrl.h"

#include "store/XmlNumber.h"

#include <algorithm>

wxBEGIN_EVENT_TABLE(CSpinButtonCtrl, wxSpinButton)
    EVT_SPIN(wxID_ANY, CSpinButtonCtrl::OnSpin)
wxEND_EVENT_TABLE()

bool CSpinButtonCtrl::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    return wxSpinButton::Create(parent, id, pos, size, wxSP_VERTICAL | wxSP_ARROW_KEYS);
}

void CSpinButtonCtrl::SetBuddy(wxTextCtrl *buddy)
{
    m_buddy = buddy;
    m_buddy->Bind(wxEVT_TEXT, &CSpinButtonCtrl::OnBuddyText, this);
    m_buddy->Bind(wxEVT_KEY_DOWN, &CSpinButtonCtrl::OnBuddyKey, this);
    SetValue(BuddyNumber());
}

int CSpinButtonCtrl::BuddyNumber() const
{
    const int number = AtoI(std::string(m_buddy->GetValue().ToUTF8()));
    return std::clamp(number, GetMin(), GetMax());
}

void CSpinButtonCtrl::Step(int delta)
{
    if (!m_buddy)
        return;
    const int number = std::clamp(BuddyNumber() + delta, GetMin(), GetMax());
    m_buddy->SetValue(wxString::Format("%d", number));
    m_buddy->SetInsertionPointEnd();
}

void CSpinButtonCtrl::OnSpin(wxSpinEvent &event)
{
    if (m_buddy)
        m_buddy->SetValue(wxString::Format("%d", event.GetPosition()));
}

void CSpinButtonCtrl::OnBuddyText(wxCommandEvent &event)
{
    SetValue(BuddyNumber());
    event.Skip();
}

void CSpinButtonCtrl::OnBuddyKey(wxKeyEvent &event)
{
    switch (event.GetKeyCode()) {
    case WXK_UP:
        Step(1);
        break;
    case WXK_DOWN:
        Step(-1);
        break;
    default:
        event.Skip();
        break;
    }
}
