#include "skin/CBmpButton.h"

#include "skin/SkinPaint.h"

#include <wx/dcclient.h>
#include <wx/utils.h>
#include <wx/weakref.h>

wxBEGIN_EVENT_TABLE(CBmpButton, wxWindow)
    EVT_PAINT(CBmpButton::OnPaint)
    EVT_LEFT_DOWN(CBmpButton::OnLeftDown)
    EVT_LEFT_UP(CBmpButton::OnLeftUp)
    EVT_MOTION(CBmpButton::OnMotion)
    EVT_ENTER_WINDOW(CBmpButton::OnEnter)
    EVT_LEAVE_WINDOW(CBmpButton::OnLeave)
    EVT_MOUSE_CAPTURE_LOST(CBmpButton::OnCaptureLost)
wxEND_EVENT_TABLE()

CBmpButton::CBmpButton(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    Create(parent, id, pos, size);
}

bool CBmpButton::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    return wxWindow::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
}

void CBmpButton::SetSkin(const wxBitmap &skin, int cellWidth, int cellHeight, int x, int y)
{
    m_skin = skin;
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_stripX = x;
    m_stripY = y;
    Refresh(false);
}

int CBmpButton::CurrentCell() const
{
    if (!IsThisEnabled())
        return kDisabled;
    if (m_held && m_heldInside)
        return kPressed;
    return m_hover ? kHover : kNormal;
}

void CBmpButton::DrawItem(wxDC &dc) const
{
    const wxRect source(m_stripX + CurrentCell() * m_cellWidth, m_stripY, m_cellWidth, m_cellHeight);
    DrawSkinPiece(dc, wxRect(0, 0, m_cellWidth, m_cellHeight), m_skin, source);
}

bool CBmpButton::Enable(bool enable)
{
    if (!wxWindow::Enable(enable))
        return false;
    Refresh(false);
    return true;
}

void CBmpButton::OnPaint(wxPaintEvent &)
{
    wxPaintDC dc(this);
    if (!m_skin.IsOk() && GetParent())
        FillSolid(dc, GetClientRect(), GetParent()->GetBackgroundColour());
    DrawItem(dc);
}

void CBmpButton::OnLeftDown(wxMouseEvent &)
{
    m_held = true;
    m_heldInside = true;
    if (!HasCapture())
        CaptureMouse();
    Refresh(false);
}

void CBmpButton::OnLeftUp(wxMouseEvent &event)
{
    if (!m_held)
        return;
    const bool click = m_heldInside && IsThisEnabled();
    m_held = false;
    if (HasCapture())
        ReleaseMouse();
    SetHover(GetClientRect().Contains(event.GetPosition()));
    Refresh(false);
    if (!click)
        return;
    wxCommandEvent clicked(wxEVT_BUTTON, GetId());
    clicked.SetEventObject(this);
    wxWeakRef<CBmpButton> self(this); // the owner's handler may destroy the button
    ProcessWindowEvent(clicked);
    // A popup opened by the handler kept the leave from arriving here.
    if (self)
        SetHover(GetClientRect().Contains(ScreenToClient(wxGetMousePosition())));
}

void CBmpButton::OnMotion(wxMouseEvent &event)
{
    const bool inside = GetClientRect().Contains(event.GetPosition());
    if (m_held && inside != m_heldInside) {
        m_heldInside = inside;
        Refresh(false);
    }
    SetHover(inside);
    event.Skip();
}

void CBmpButton::OnEnter(wxMouseEvent &event)
{
    SetHover(true);
    event.Skip();
}

void CBmpButton::OnLeave(wxMouseEvent &event)
{
    SetHover(false);
    event.Skip();
}

void CBmpButton::OnCaptureLost(wxMouseCaptureLostEvent &)
{
    m_held = false;
    Refresh(false);
}

void CBmpButton::SetHover(bool hover)
{
    if (hover == m_hover)
        return;
    m_hover = hover;
    Refresh(false);
}
