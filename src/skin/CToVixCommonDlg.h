// The skinned frame of the main window: a rounded window with a four-ring
// grey frame, a background band cut from the main skin, six caption buttons
// (website, menu, minimize, maximize/restore, close), moving by dragging the
// background, a tray icon with its menu, and the commands of both popup
// menus. Each behaviour is a virtual operation a derived window may replace.
#pragma once

#include "skin/CBmpButton.h"
#include "skin/CCommonDlg.h"
#include "skin/MenuResource.h"

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

#include <functional>

class CTrayIcon;

enum : int {
    IDC_BTN_WEBSITE = 5000,
    IDC_BTN_MENU = 5001,
    IDC_BTN_MIN = 5002,
    IDC_BTN_MAX = 5003,
    IDC_BTN_RESTORE = 5004,
    IDC_BTN_CLOSE = 5005,
};

class CToVixCommonDlg : public CCommonDlg {
public:
    static constexpr int kBandHeight = 93;
    static constexpr int kTrayIconId = 100;
    static constexpr int kMaxTipLength = 127;
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;

    CToVixCommonDlg();
    ~CToVixCommonDlg() override;

    // The skin the background and the caption buttons are cut from. Borrowed;
    // set before Create.
    void SetSkin(const wxBitmap &skin) { m_skin = skin; }
    // The service's web site and forum, opened by the website button and the
    // menus. An empty address opens nothing (one log line).
    void SetWebAddresses(const wxString &website, const wxString &forum);
    // How an address reaches the user's browser (wxLaunchDefaultBrowser unless replaced).
    void SetAddressOpener(std::function<bool(const wxString &)> opener) { m_openAddress = std::move(opener); }

    // Creates the window, hidden, and initializes it.
    bool Create(wxWindow *parent = nullptr);

    // Adds or changes the tray icon with a tip (at most 127 characters), or with
    // an empty icon removes it; returns the tray's answer (nonzero: done), and 1
    // when there is nothing to remove. A refused icon counts as none.
    int SetTrayIcon(const wxBitmapBundle &icon, const wxString &tip);
    bool HasTrayIcon() const { return m_hasTrayIcon; }
    // Whether the desktop shows our icon in a tray now. GNOME without an
    // extension and Wayland sessions have none, and a tray can come and go
    // while we run, so this is asked at each use.
    bool TrayAvailable() const;
    const wxString &GetTrayTip() const { return m_tip; }
    CTrayIcon *GetTrayIcon() const { return m_trayIcon; }

    CBmpButton &CaptionButton(int id);

protected:
    enum { kWebsite, kMenu, kMin, kMax, kRestore, kClose, kCaptionButtons };

    bool OnInitDialog() override;
    void DrawFrame(wxDC &dc, int left, int top, int right, int bottom) override;

    // The sixteen operations a derived window may replace.
    virtual void DrawBackground(wxDC &dc, int left, int top, int right, int bottom);
    virtual void CreateCaptionButtons(int left, int top, int right, int bottom);
    virtual void LayoutCaptionButtons(int left, int top, int right, int bottom);
    virtual void OnBtnWebsite();
    virtual void OnBtnMenu();
    virtual void OnBtnMin();
    virtual void OnBtnMax();
    virtual void OnBtnRestore();
    virtual void OnBtnClose();
    virtual void OnMenuSet();
    virtual void OnMenuWebsite();
    virtual void OnMenuForum();
    virtual void OnMenuAbout();
    virtual void OnMenuOpen();
    virtual void OnMenuExit();
    virtual long OnTrayNotify(wxUIntPtr wParam, wxIntPtr lParam);

    // Into the tray when there is one; otherwise minimized, since a hidden
    // window without a tray icon could not be brought back.
    void HideToTray();

    // Shape and caption layout after the base's placement. Derived size handlers call it first.
    void OnSize(wxSizeEvent &event);

    const wxBitmap &GetSkin() const { return m_skin; }

private:
    // The client area's background, double-buffered through DrawBackground.
    void OnPaint(wxPaintEvent &event);
    void OnSysCommand(CMessageEvent &event);
    void OnTrayMessage(CMessageEvent &event);
    void OnCloseWindow(wxCloseEvent &event);
    void OnButton(wxCommandEvent &event);
    void OnMenuCommand(wxCommandEvent &event);
    void OnBackgroundLeftDown(wxMouseEvent &event);
    void OnBackgroundDoubleClick(wxMouseEvent &event);

    // What a menu's opening does to the window: the caption strip is drawn anew.
    void RepaintCaptionBand();
    void TrackMenu(const std::vector<MenuResourceItem> &resource, unsigned flags, const wxPoint &screen);
    void OpenAddress(const wxString &address, const char *what);
    wxRect ClientRect() const;

    wxBitmap m_skin;
    CBmpButton m_buttons[kCaptionButtons];
    wxIconBundle m_icons;
    CTrayIcon *m_trayIcon = nullptr; // destroyed with the window
    bool m_hasTrayIcon = false;      // the tray shows an icon of ours
    wxString m_tip;
    wxString m_website;
    wxString m_forum;
    std::function<bool(const wxString &)> m_openAddress;

    wxDECLARE_EVENT_TABLE();
};
