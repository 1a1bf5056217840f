#include "skin/CCommonDlg.h"

#include "skin/SkinPaint.h"
#include "skin/SysCommand.h"

#include <wx/dcbuffer.h>

namespace {

// The client area hands the messages and notifications its children send it
// on to the frame, so that the frame handles them as if they were its own
// children (which they are on a platform with a non-client area).
class CClientArea : public wxWindow {
public:
    explicit CClientArea(wxWindow *frame)
        : wxWindow(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                   wxBORDER_NONE | wxCLIP_CHILDREN | wxFULL_REPAINT_ON_RESIZE)
    {
    }

protected:
    bool TryAfter(wxEvent &event) override
    {
        const wxEventType type = event.GetEventType();
        if ((type == wxEVT_WINDOW_MESSAGE || type == wxEVT_CONTROL_NOTIFY || type == wxEVT_SKIN_VSCROLL) &&
            GetParent()->GetEventHandler()->ProcessEvent(event))
            return true;
        return wxWindow::TryAfter(event);
    }
};

} // namespace

wxBEGIN_EVENT_TABLE(CCommonDlg, wxFrame)
    EVT_PAINT(CCommonDlg::OnPaint)
    EVT_SIZE(CCommonDlg::OnSize)
    EVT_MOTION(CCommonDlg::OnMotion)
    EVT_LEFT_DOWN(CCommonDlg::OnLeftDown)
    EVT_WINDOW_MESSAGE(WM_SYSCOMMAND, CCommonDlg::OnSysCommand)
wxEND_EVENT_TABLE()

bool CCommonDlg::Create(wxWindow *parent, const wxString &title, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    const long sizing = m_resizable ? wxRESIZE_BORDER : 0;
    if (!wxFrame::Create(parent, wxID_ANY, title, wxDefaultPosition, size,
                         wxBORDER_NONE | sizing | wxFRAME_SHAPED | wxCLIP_CHILDREN | wxFULL_REPAINT_ON_RESIZE))
        return false;
    OfferWindowFunctions(this);
    SetMinSize(wxSize(kMinWidth, kMinHeight));
    m_clientArea = new CClientArea(this);
    PlaceClientArea();
    return OnInitDialog();
}

bool CCommonDlg::OnInitDialog()
{
    if (m_resizable) {
        m_sizeNS = wxCursor(wxCURSOR_SIZENS);
        m_sizeWE = wxCursor(wxCURSOR_SIZEWE);
        m_sizeNWSE = wxCursor(wxCURSOR_SIZENWSE);
        m_sizeNESW = wxCursor(wxCURSOR_SIZENESW);
    }
    return true;
}

void CCommonDlg::DrawFrame(wxDC &, int, int, int, int)
{
}

CCommonDlg::Zone CCommonDlg::ResizeZone(const wxSize &window, const wxPoint &point)
{
    const int w = window.x, h = window.y;
    const struct {
        Zone zone;
        wxRect rect;
    } zones[] = {
        {kLeft, wxRect(0, kCornerZone, kEdgeZone, h - 2 * kCornerZone)},
        {kRight, wxRect(w - kEdgeZone, kCornerZone, kEdgeZone, h - 2 * kCornerZone)},
        {kTop, wxRect(kCornerZone, 0, w - 2 * kCornerZone, kEdgeZone)},
        {kTopLeft, wxRect(0, 0, kCornerZone, kCornerZone)},
        {kTopRight, wxRect(w - kCornerZone, 0, kCornerZone, kCornerZone)},
        {kBottom, wxRect(kCornerZone, h - kEdgeZone, w - 2 * kCornerZone, kEdgeZone)},
        {kBottomLeft, wxRect(0, h - kCornerZone, kCornerZone, kCornerZone)},
        {kBottomRight, wxRect(w - kCornerZone, h - kCornerZone, kCornerZone, kCornerZone)},
    };
    for (const auto &candidate : zones)
        if (candidate.rect.Contains(point))
            return candidate.zone;
    return kNoZone;
}

const wxCursor &CCommonDlg::ZoneCursor(Zone zone) const
{
    switch (zone) {
    case kLeft:
    case kRight:
        return m_sizeWE;
    case kTop:
    case kBottom:
        return m_sizeNS;
    case kTopLeft:
    case kBottomRight:
        return m_sizeNWSE;
    case kTopRight:
    case kBottomLeft:
        return m_sizeNESW;
    default:
        return wxNullCursor;
    }
}

CCommonDlg::Zone CCommonDlg::ActiveZone(const wxPoint &point) const
{
    if (!m_resizable || IsMaximized())
        return kNoZone;
    return ResizeZone(GetSize(), point);
}

void CCommonDlg::PlaceClientArea()
{
    const wxSize size = GetSize();
    if (m_clientArea)
        m_clientArea->SetSize(kFrameBand, kFrameBand, size.x - 2 * kFrameBand, size.y - 2 * kFrameBand);
}

void CCommonDlg::OnSize(wxSizeEvent &)
{
    PlaceClientArea();
}

void CCommonDlg::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    const wxSize size = GetSize();
    FillSolid(dc, wxRect(size), GetBackgroundColour());
    DrawFrame(dc, 0, 0, size.x, size.y);
}

void CCommonDlg::OnMotion(wxMouseEvent &event)
{
    const Zone zone = ActiveZone(event.GetPosition());
    SetCursor(ZoneCursor(zone));
}

void CCommonDlg::OnLeftDown(wxMouseEvent &event)
{
    const Zone zone = ActiveZone(event.GetPosition());
    if (zone == kNoZone)
        return;
    SetCursor(ZoneCursor(zone));
    SendWindowMessage(this, WM_SYSCOMMAND, SC_SIZE + zone, MakePointParam(ClientToScreen(event.GetPosition())));
}

void CCommonDlg::OnSysCommand(CMessageEvent &event)
{
    DefaultSysCommand(this, static_cast<int>(event.WParam()), event.LParam());
}
