#include "skin/CTrayIcon.h"

#include "skin/SkinEvents.h"

#include <wx/settings.h>

#include <gtk/gtk.h>

CTrayIcon::CTrayIcon(wxWindow *owner, int iconId) : m_owner(owner), m_iconId(iconId)
{
    Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent &) { OnClick(gtk_get_current_event_time()); });
    Bind(wxEVT_TASKBAR_RIGHT_DOWN, [this](wxTaskBarIconEvent &) { Notify(WM_RBUTTONDOWN); });
}

unsigned CTrayIcon::DoubleClickTime()
{
    const int desktop = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    return desktop > 0 ? unsigned(desktop) : 500;
}

void CTrayIcon::OnClick(unsigned eventTime)
{
    // unsigned: the server's millisecond clock wraps around
    if (m_clicked && eventTime - m_lastClick <= DoubleClickTime()) {
        m_clicked = false;
        Notify(WM_LBUTTONDBLCLK);
        return;
    }
    m_clicked = true;
    m_lastClick = eventTime;
}

void CTrayIcon::Notify(int mouseMessage)
{
    if (m_owner)
        SendWindowMessage(m_owner, WM_TRAY_NOTIFY, m_iconId, mouseMessage);
}
