#include "support/WxTestSupport.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/taskbar.h>
#include <wx/utils.h>

#include <cstdlib>
#include <string>

CTestFrame::CTestFrame(const wxSize &clientSize)
    : m_frame(new wxFrame(nullptr, wxID_ANY, "test", wxPoint(40, 40), wxDefaultSize)),
      m_panel(new wxPanel(m_frame, wxID_ANY))
{
    m_frame->SetClientSize(clientSize);
    m_frame->Show();
    WaitUntilPlaced(m_panel);
}

CTestFrame::~CTestFrame()
{
    m_frame->Destroy();
    PumpEvents();
}

CRealTray::CRealTray(CToVixCommonDlg *frame)
    : m_pid(wxExecute("trayer --edge bottom --align left --widthtype pixel --width 24 "
                      "--heighttype pixel --height 24 --SetDockType false",
                      wxEXEC_ASYNC)),
      m_frame(frame)
{
    m_started = m_pid > 0 && PumpUntil([] { return wxTaskBarIcon::IsAvailable(); });
    if (m_frame) {
        m_frame->SetTrayIcon(wxBitmapBundle(), "");
        m_frame->SetTrayIcon(wxBitmapBundle::FromBitmap(MakeStrip({*wxRED}, 16, 16)), "Hello Tovix!!");
        m_started = m_started && PumpUntil([this] { return ShowsRedAt(IconCentre()); });
    }
}

CRealTray::~CRealTray()
{
    if (m_pid <= 0)
        return;
    if (m_frame)
        m_frame->SetTrayIcon(wxBitmapBundle(), "");
    wxKill(m_pid, wxSIGTERM);
    PumpUntil([] { return !wxTaskBarIcon::IsAvailable(); });
}

wxPoint CRealTray::IconCentre() const
{
    return wxPoint(12, wxGetDisplaySize().y - 12);
}

bool CRealTray::ShowsRedAt(const wxPoint &screen) const
{
    const std::string crop = "1x1+" + std::to_string(screen.x) + "+" + std::to_string(screen.y);
    return std::system(("import -window root -crop " + crop + " -depth 8 txt:- | grep -q '#FF0000'").c_str()) == 0;
}

void PumpEvents()
{
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle(); // also deletes windows destroyed meanwhile
    }
}

bool PumpUntil(const std::function<bool()> &condition)
{
    for (int i = 0; i < 200; ++i) {
        PumpEvents();
        if (condition())
            return true;
        wxMilliSleep(10);
    }
    return condition();
}

void WaitUntilPlaced(wxWindow *window)
{
    // The window manager places and decorates a window in its own time.
    wxPoint last(-1, -1);
    int steady = 0;
    PumpUntil([&] {
        const wxPoint now = window->GetScreenPosition();
        steady = now == last ? steady + 1 : 0;
        last = now;
        return steady >= 5;
    });
}

void SendMouse(wxWindow *window, wxEventType type, const wxPoint &point)
{
    wxMouseEvent event(type);
    event.SetPosition(point);
    event.SetEventObject(window);
    event.SetId(window->GetId());
    event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_MOTION;
    window->ProcessWindowEvent(event);
}

void Click(wxWindow *window, const wxPoint &point)
{
    SendMouse(window, wxEVT_LEFT_DOWN, point);
    SendMouse(window, wxEVT_LEFT_UP, point);
}

wxImage Render(const wxSize &size, const std::function<void(wxDC &)> &draw)
{
    wxBitmap bitmap(size, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(kUnpainted));
        dc.Clear();
        draw(dc);
    }
    return bitmap.ConvertToImage();
}

wxColour PixelAt(const wxImage &image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

wxBitmap MakeStrip(const std::vector<wxColour> &cells, int cellWidth, int cellHeight)
{
    wxBitmap strip(int(cells.size()) * cellWidth, cellHeight, 24);
    wxMemoryDC dc(strip);
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (size_t i = 0; i < cells.size(); ++i) {
        dc.SetBrush(wxBrush(cells[i]));
        dc.DrawRectangle(int(i) * cellWidth, 0, cellWidth, cellHeight);
    }
    return strip;
}
