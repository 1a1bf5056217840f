#include "skin/CCommonSplitter.h"

#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>

#include <algorithm>

namespace {

const wxColour kGradientTop(196, 222, 237);
const wxColour kLineColour(200, 200, 200);
constexpr int kBands = 64;
constexpr int kLineWidth = 3;

} // namespace

wxBEGIN_EVENT_TABLE(CCommonSplitter, wxWindow)
    EVT_PAINT(CCommonSplitter::OnPaint)
    EVT_LEFT_DOWN(CCommonSplitter::OnLeftDown)
    EVT_MOTION(CCommonSplitter::OnMotion)
    EVT_LEFT_UP(CCommonSplitter::OnLeftUp)
    EVT_MOUSE_CAPTURE_LOST(CCommonSplitter::OnCaptureLost)
wxEND_EVENT_TABLE()

CCommonSplitter::CCommonSplitter(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    Create(parent, id, pos, size);
}

bool CCommonSplitter::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetOrientation(m_orientation);
    return true;
}

void CCommonSplitter::SetOrientation(int orientation)
{
    m_orientation = orientation;
    SetCursor(wxCursor(orientation == kVertical ? wxCURSOR_SIZEWE : wxCURSOR_SIZENS));
}

void CCommonSplitter::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void CCommonSplitter::NotifyMoved(int delta)
{
    SendNotify(this, SPN_MOVED, delta);
}

wxRect CCommonSplitter::TrackingLineRect() const
{
    const wxRect bar = GetScreenRect();
    if (m_orientation == kVertical)
        return wxRect(m_trackX - 1 - kLineWidth / 2, bar.y, kLineWidth, bar.height);
    return wxRect(bar.x, m_trackY - 1 - kLineWidth / 2, bar.width, kLineWidth);
}

// A line drawn over the whole screen cannot be removed exactly on every
// display server, so the line is a small override-redirect window.
void CCommonSplitter::DrawTrackingLine()
{
    if (m_lineShown) {
        m_line->Hide();
        m_lineShown = false;
        return;
    }
    if (!m_line) {
        m_line = new wxPopupWindow(this, wxBORDER_NONE);
        m_line->SetBackgroundColour(kLineColour);
    }
    m_line->SetSize(TrackingLineRect());
    m_line->Show();
    m_line->Refresh();
    m_lineShown = true;
}

void CCommonSplitter::OnLeftDown(wxMouseEvent &event)
{
    event.Skip();
    m_dragging = true;
    if (!HasCapture())
        CaptureMouse();
    const wxRect bar = GetScreenRect();
    if (m_orientation == kVertical)
        m_trackX = bar.x + bar.width / 2;
    else
        m_trackY = bar.y + bar.height / 2;
    m_start = TrackingCoordinate();
    DrawTrackingLine();
}

void CCommonSplitter::OnMotion(wxMouseEvent &event)
{
    event.Skip();
    wxWindow *parent = GetParent();
    if (!m_dragging || !parent)
        return;
    DrawTrackingLine();
    wxPoint point = parent->ScreenToClient(ClientToScreen(event.GetPosition()));
    point.x = std::min(std::max(point.x, m_minimum), m_maximum);
    point.y = std::min(std::max(point.y, m_minimum), m_maximum);
    const wxPoint screen = parent->ClientToScreen(point);
    m_trackX = screen.x;
    m_trackY = screen.y;
    DrawTrackingLine();
}

void CCommonSplitter::OnLeftUp(wxMouseEvent &event)
{
    if (m_dragging) {
        DrawTrackingLine();
        m_dragging = false;
        NotifyMoved(TrackingCoordinate() - m_start);
    }
    event.Skip();
    if (HasCapture())
        ReleaseMouse();
    Refresh();
}

void CCommonSplitter::OnCaptureLost(wxMouseCaptureLostEvent &)
{
    if (m_dragging) {
        DrawTrackingLine();
        m_dragging = false;
    }
}

void CCommonSplitter::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CCommonSplitter::Render(wxDC &dc) const
{
    const wxSize size = GetClientSize();
    FillVerticalGradient(dc, wxRect(0, 0, size.x, kGradientRows), kGradientTop, *wxWHITE, kBands);
    FillSolid(dc, wxRect(0, kGradientRows, size.x, size.y - kGradientRows), *wxWHITE);
}
