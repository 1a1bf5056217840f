#include "skin/CCommonSlider.h"

#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>

#include <algorithm>

namespace {

const wxColour kGroove(70, 76, 88);
const wxColour kFillStart(96, 172, 228);
const wxColour kFillEnd(50, 134, 204);
const wxColour kThumbOutline(26, 96, 166);
const wxColour kDisabledGroove(58, 62, 70);
constexpr int kFillBands = 8;

} // namespace

wxBEGIN_EVENT_TABLE(CCommonSlider, wxWindow)
    EVT_PAINT(CCommonSlider::OnPaint)
    EVT_LEFT_DOWN(CCommonSlider::OnLeftDown)
    EVT_LEFT_UP(CCommonSlider::OnLeftUp)
    EVT_MOTION(CCommonSlider::OnMotion)
    EVT_MOUSE_CAPTURE_LOST(CCommonSlider::OnCaptureLost)
wxEND_EVENT_TABLE()

bool CCommonSlider::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    return wxWindow::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
}

void CCommonSlider::SetRange(long long maximum)
{
    m_maximum = std::max(1LL, maximum);
    m_value = std::min(m_value, m_maximum);
    Refresh(false);
}

void CCommonSlider::SetValue(long long value)
{
    if (m_dragging)
        return;
    value = std::clamp(value, 0LL, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    Refresh(false);
}

long long CCommonSlider::ValueAt(int x) const
{
    const int travel = GetClientSize().x - kThumbSize;
    if (travel <= 0)
        return 0;
    const int offset = std::clamp(x - kThumbSize / 2, 0, travel);
    return offset * m_maximum / travel;
}

int CCommonSlider::ThumbCentre() const
{
    const int travel = std::max(0, GetClientSize().x - kThumbSize);
    return kThumbSize / 2 + int(m_value * travel / m_maximum);
}

bool CCommonSlider::Enable(bool enable)
{
    if (!wxWindow::Enable(enable))
        return false;
    if (!enable && m_dragging) {
        m_dragging = false;
        if (HasCapture())
            ReleaseMouse();
    }
    Refresh(false);
    return true;
}

void CCommonSlider::Render(wxDC &dc) const
{
    const wxSize size = GetClientSize();
    FillSolid(dc, wxRect(size), GetParent() ? GetParent()->GetBackgroundColour() : *wxBLACK);
    const int grooveTop = (size.y - kGrooveHeight) / 2;
    const wxRect groove(kThumbSize / 2, grooveTop, std::max(0, size.x - kThumbSize), kGrooveHeight);
    const bool enabled = IsThisEnabled();
    FillSolid(dc, groove, enabled ? kGroove : kDisabledGroove);
    if (!enabled)
        return;
    const int centre = ThumbCentre();
    FillHorizontalGradient(dc, wxRect(groove.x, groove.y, centre - groove.x, groove.height), kFillStart, kFillEnd,
                           kFillBands);
    const wxRect thumb(centre - kThumbSize / 2, (size.y - kThumbSize) / 2, kThumbSize, kThumbSize);
    FillRoundRect(dc, thumb, kThumbSize, kThumbSize, *wxWHITE);
    DrawRoundRectOutline(dc, thumb, kThumbSize, kThumbSize, kThumbOutline);
}

void CCommonSlider::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CCommonSlider::OnLeftDown(wxMouseEvent &event)
{
    if (!IsThisEnabled())
        return;
    m_dragging = true;
    if (!HasCapture())
        CaptureMouse();
    MoveTo(event.GetX(), wxEVT_SCROLL_THUMBTRACK);
}

void CCommonSlider::OnMotion(wxMouseEvent &event)
{
    if (m_dragging && event.LeftIsDown())
        MoveTo(event.GetX(), wxEVT_SCROLL_THUMBTRACK);
}

void CCommonSlider::OnLeftUp(wxMouseEvent &event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (HasCapture())
        ReleaseMouse();
    MoveTo(event.GetX(), wxEVT_SCROLL_CHANGED);
}

void CCommonSlider::OnCaptureLost(wxMouseCaptureLostEvent &)
{
    // The thumb stays where it was dragged, and that is where the parent is told it is.
    if (!m_dragging)
        return;
    m_dragging = false;
    MoveTo(ThumbCentre(), wxEVT_SCROLL_CHANGED);
}

void CCommonSlider::MoveTo(int x, wxEventType type)
{
    m_value = ValueAt(x);
    Refresh(false);
    wxScrollEvent event(type, GetId(), int(std::min<long long>(m_value, INT32_MAX)));
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}
