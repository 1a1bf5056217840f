#include "skin/CCommonScrollBar.h"

#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>

#include <algorithm>

namespace {

const wxColour kBorder(189, 190, 189);
const wxColour kGradientStart(191, 218, 235);
const wxColour kGradientEnd(255, 255, 255);
const wxColour kOutline(140, 138, 140);
const wxColour kTrackStart(179, 211, 232);
const wxColour kTrackEnd(149, 202, 220);
constexpr int kBands = 8;

int Trunc(double value)
{
    return static_cast<int>(value);
}

} // namespace

wxBEGIN_EVENT_TABLE(CCommonScrollBar, wxWindow)
    EVT_PAINT(CCommonScrollBar::OnPaint)
    EVT_LEFT_DOWN(CCommonScrollBar::OnLeftDown)
    EVT_LEFT_UP(CCommonScrollBar::OnLeftUp)
    EVT_MOTION(CCommonScrollBar::OnMotion)
    EVT_TIMER(wxID_ANY, CCommonScrollBar::OnTimer)
    EVT_MOUSE_CAPTURE_LOST(CCommonScrollBar::OnCaptureLost)
wxEND_EVENT_TABLE()

CCommonScrollBar::CCommonScrollBar(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size,
                                   long style)
{
    Create(parent, id, pos, size, style);
}

bool CCommonScrollBar::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size, long style)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_repeat.SetOwner(this);
    return wxWindow::Create(parent, id, pos, size, style | wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
}

int CCommonScrollBar::TrackLength() const
{
    return GetClientSize().y - 2 * kArrowHeight;
}

void CCommonScrollBar::SetBarInfo(int visible, int first, int total)
{
    if (total <= visible)
        return;
    const int track = TrackLength();
    m_position = first;
    m_maxPosition = total - visible;
    m_scale = track / double(total);
    m_thumbOffset = Trunc(first * m_scale);
    m_thumbLength = std::max(kMinThumb, track - Trunc(m_scale * (total - visible)));
}

void CCommonScrollBar::ScrollBy(int delta)
{
    m_position = std::clamp(m_position + delta, 0, std::max(0, m_maxPosition));
    m_thumbOffset = Trunc(m_position * m_scale);
}

wxRect CCommonScrollBar::UpArrowRect() const
{
    return wxRect(0, 0, kBarWidth, kArrowHeight);
}

wxRect CCommonScrollBar::DownArrowRect() const
{
    return wxRect(0, GetClientSize().y - kArrowHeight, kBarWidth, kArrowHeight);
}

wxRect CCommonScrollBar::ThumbRect() const
{
    return wxRect(0, kArrowHeight + m_thumbOffset, GetClientSize().x, m_thumbLength);
}

bool CCommonScrollBar::HasThumb() const
{
    return GetClientSize().y >= kMinHeightForThumb;
}

void CCommonScrollBar::Report(int code, unsigned position)
{
    if (wxWindow *parent = GetParent()) {
        CScrollBarEvent event(GetId(), code, position);
        event.SetEventObject(this);
        parent->ProcessWindowEvent(event);
    }
}

void CCommonScrollBar::Step(int code)
{
    if (!GetParent())
        return;
    ScrollBy(code == SB_LINEUP || code == SB_PAGEUP ? -1 : 1);
    Report(code, 0);
    Refresh();
}

void CCommonScrollBar::OnRepeatTick()
{
    if (m_downHeld)
        Step(SB_LINEDOWN);
    if (m_upHeld)
        Step(SB_LINEUP);
}

void CCommonScrollBar::OnTimer(wxTimerEvent &)
{
    OnRepeatTick();
}

void CCommonScrollBar::OnLeftDown(wxMouseEvent &event)
{
    if (!HasCapture())
        CaptureMouse();
    const wxPoint point = event.GetPosition();
    // The thumb is only there to grab while it is shown.
    if (HasThumb() && ThumbRect().Contains(point)) {
        m_thumbDrag = true;
        m_dragOrigin = point;
    } else if (DownArrowRect().Contains(point)) {
        m_downHeld = true;
        m_repeat.Start(kRepeatMs);
    } else if (UpArrowRect().Contains(point)) {
        m_upHeld = true;
        m_repeat.Start(kRepeatMs);
    }
    event.Skip();
}

void CCommonScrollBar::OnLeftUp(wxMouseEvent &event)
{
    m_repeat.Stop();
    if (HasCapture())
        ReleaseMouse();
    const wxPoint point = event.GetPosition();
    bool stepped = false;
    if (UpArrowRect().Contains(point) && m_upHeld) {
        Step(SB_LINEUP);
        stepped = true;
    }
    if (DownArrowRect().Contains(point) && m_downHeld) {
        Step(SB_LINEDOWN);
        stepped = true;
    }
    const bool onThumb = HasThumb() && ThumbRect().Contains(point);
    if (!stepped && !onThumb && !m_thumbDrag)
        Step(point.y < kArrowHeight + m_thumbOffset ? SB_PAGEUP : SB_PAGEDOWN);
    m_upHeld = m_downHeld = m_thumbDrag = false;
    event.Skip();
}

void CCommonScrollBar::OnMotion(wxMouseEvent &event)
{
    // Before a range is set there is no scale to turn pixels into units.
    if (m_thumbDrag && m_scale != 0.0 && GetParent()) {
        const int dy = event.GetPosition().y - m_dragOrigin.y;
        const int units = Trunc(dy / m_scale);
        if (dy != 0 && units != 0) {
            m_dragOrigin = event.GetPosition();
            ScrollBy(units);
            Report(SB_THUMBPOSITION, static_cast<unsigned>(m_position) & 0xFFFF);
            Refresh();
        }
    }
    event.Skip();
}

void CCommonScrollBar::OnCaptureLost(wxMouseCaptureLostEvent &)
{
    m_repeat.Stop();
    m_upHeld = m_downHeld = m_thumbDrag = false;
}

void CCommonScrollBar::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CCommonScrollBar::DrawArrowBox(wxDC &dc, const wxRect &box) const
{
    DrawRoundBox(dc, box, kOutline);
    FillHorizontalGradient(dc, wxRect(box.x + 2, box.y + 2, 13, 13), kGradientStart, kGradientEnd, kBands);
}

void CCommonScrollBar::Render(wxDC &dc) const
{
    const wxRect client(GetClientSize());
    const int bottom = client.GetBottom() + 1;
    FillHorizontalGradient(dc, client, kTrackStart, kTrackEnd, kBands);
    FrameSolid(dc, client, kBorder);

    // Arrow glyphs: rows of a triangle, each row [from, to) one pixel high.
    DrawArrowBox(dc, UpArrowRect());
    for (int i = 0; i < 5; ++i)
        FillSolid(dc, wxRect(8 - i, 5 + i, 2 * i, 1), kOutline);
    DrawArrowBox(dc, DownArrowRect());
    for (int i = 0; i < 5; ++i)
        FillSolid(dc, wxRect(4 + i, bottom - 10 + i, 8 - 2 * i, 1), kOutline);

    if (!HasThumb())
        return;
    const wxRect thumb = ThumbRect();
    DrawRoundBox(dc, thumb, kOutline);
    FillHorizontalGradient(dc, wxRect(thumb.x + 2, thumb.y + 2, thumb.width - 3, thumb.height - 3), kGradientStart,
                           kGradientEnd, kBands);
    const int middle = (thumb.GetTop() + thumb.GetBottom() + 1) / 2;
    const int gripLeft = (client.GetLeft() + client.GetRight() + 1) / 2 - 4;
    for (int dy : {-3, -1, 1, 3})
        FillSolid(dc, wxRect(gripLeft, middle + dy, 8, 1), *wxBLACK);
}
