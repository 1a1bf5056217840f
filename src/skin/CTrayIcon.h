// The frame's notification-area icon: turns the tray's mouse actions into
// WM_TRAY_NOTIFY messages to its owner window (wParam the icon id, lParam
// WM_LBUTTONDBLCLK or WM_RBUTTONDOWN).
#pragma once

#include <wx/taskbar.h>
#include <wx/weakref.h>

class CTrayIcon : public wxTaskBarIcon {
public:
    CTrayIcon(wxWindow *owner, int iconId);

    // The GTK tray reports every click as a single one: the second click within
    // the desktop's double-click time (event times in milliseconds) makes a
    // double click.
    void OnClick(unsigned eventTime);
    static unsigned DoubleClickTime();

private:
    void Notify(int mouseMessage);

    wxWeakRef<wxWindow> m_owner;
    int m_iconId;
    bool m_clicked = false; // a first click is waiting for its second
    unsigned m_lastClick = 0;
};
