#include "skin/CToVixCommonDlg.h"

#include "base/DebugLog.h"
#include "skin/CCommonMenu.h"
#include "skin/CTrayIcon.h"
#include "skin/Resource.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinPaint.h"
#include "skin/SysCommand.h"

#include <wx/dcbuffer.h>
#include <wx/msgdlg.h>
#include <wx/taskbar.h>
#include <wx/utils.h>

namespace {

struct CaptionButtonPlace {
    int id;
    SkinStrip strip;
    int width;
    int fromRight; // x = client right edge - fromRight
};

// In member order: website, menu, minimize, maximize, restore, close. The row
// runs without gaps; maximize and restore share a place. The close button is
// one pixel narrower than its cells.
const CaptionButtonPlace kCaptionPlaces[] = {
    {IDC_BTN_WEBSITE, MainSkin::kWebsite, 64, 185}, {IDC_BTN_MENU, MainSkin::kMenu, 53, 121},
    {IDC_BTN_MIN, MainSkin::kMinimize, 21, 68},     {IDC_BTN_MAX, MainSkin::kMaximize, 21, 47},
    {IDC_BTN_RESTORE, MainSkin::kRestore, 21, 47},  {IDC_BTN_CLOSE, MainSkin::kClose, 26, 26},
};
constexpr int kCaptionButtonHeight = 23;

// The frame's rings, outermost first: each one pixel inside the last.
const struct {
    int ellipse;
    wxColour colour;
} kRings[] = {{14, wxColour(66, 66, 66)}, {10, wxColour(255, 255, 255)}, {9, wxColour(163, 163, 163)},
              {7, wxColour(194, 194, 194)}};
constexpr int kShapeEllipse = 12;

wxRect ToRect(const SkinRect &piece)
{
    return wxRect(piece.x, piece.y, piece.width, piece.height);
}

} // namespace

wxBEGIN_EVENT_TABLE(CToVixCommonDlg, CCommonDlg)
    EVT_SIZE(CToVixCommonDlg::OnSize)
    EVT_CLOSE(CToVixCommonDlg::OnCloseWindow)
    EVT_WINDOW_MESSAGE(WM_SYSCOMMAND, CToVixCommonDlg::OnSysCommand)
    EVT_WINDOW_MESSAGE(WM_TRAY_NOTIFY, CToVixCommonDlg::OnTrayMessage)
    EVT_COMMAND_RANGE(IDC_BTN_WEBSITE, IDC_BTN_CLOSE, wxEVT_BUTTON, CToVixCommonDlg::OnButton)
    EVT_MENU_RANGE(ID_MENU_SET, ID_MENU_EXIT, CToVixCommonDlg::OnMenuCommand)
wxEND_EVENT_TABLE()

CToVixCommonDlg::CToVixCommonDlg()
    : m_openAddress([](const wxString &address) { return wxLaunchDefaultBrowser(address); })
{
}

CToVixCommonDlg::~CToVixCommonDlg()
{
    if (!m_trayIcon)
        return;
    if (m_hasTrayIcon)
        m_trayIcon->RemoveIcon();
    m_trayIcon->Destroy();
}

void CToVixCommonDlg::SetWebAddresses(const wxString &website, const wxString &forum)
{
    m_website = website;
    m_forum = forum;
}

bool CToVixCommonDlg::Create(wxWindow *parent)
{
    return CCommonDlg::Create(parent, wxString::FromUTF8("Tovix 快乐每一天"), wxSize(kDefaultWidth, kDefaultHeight));
}

bool CToVixCommonDlg::OnInitDialog()
{
    CCommonDlg::OnInitDialog();
    SetBackgroundColour(kRings[0].colour); // the shape's corners outside the outer ring
    wxWindow *client = GetClientArea();
    client->SetBackgroundStyle(wxBG_STYLE_PAINT);
    client->Bind(wxEVT_PAINT, &CToVixCommonDlg::OnPaint, this);
    client->Bind(wxEVT_LEFT_DOWN, &CToVixCommonDlg::OnBackgroundLeftDown, this);
    client->Bind(wxEVT_LEFT_DCLICK, &CToVixCommonDlg::OnBackgroundDoubleClick, this);

    m_icons = LoadResourceIcons(IDR_MAINFRAME);
    SetIcons(m_icons);
    SetTitle("Tovix");
    const wxRect rect = ClientRect();
    CreateCaptionButtons(rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1);

    m_trayIcon = new CTrayIcon(this, kTrayIconId);
    SetTrayIcon(wxBitmapBundle::FromIconBundle(m_icons), "Hello Tovix!!");
    return true;
}

wxRect CToVixCommonDlg::ClientRect() const
{
    return GetClientArea() ? wxRect(GetClientArea()->GetClientSize()) : wxRect();
}

CBmpButton &CToVixCommonDlg::CaptionButton(int id)
{
    return m_buttons[id - IDC_BTN_WEBSITE];
}

void CToVixCommonDlg::DrawFrame(wxDC &dc, int left, int top, int right, int bottom)
{
    // Each ring is a rounded fill one pixel inside the last, so that rings of
    // different roundness meet without gaps at the corners; the client area
    // covers what the innermost one leaves.
    wxRect box(left, top, right - left, bottom - top);
    for (const auto &ring : kRings) {
        FillRoundRect(dc, box, ring.ellipse, ring.ellipse, ring.colour);
        box.Deflate(1);
    }
}

void CToVixCommonDlg::DrawBackground(wxDC &dc, int left, int top, int right, int bottom)
{
    FillSolid(dc, wxRect(left, top, right - left, bottom - top), *wxWHITE);
    DrawSkinPiece(dc, wxRect(0, 0, right - left, kBandHeight), m_skin, ToRect(MainSkin::kBandColumn));
    DrawSkinPiece(dc, wxRect(0, 0, MainSkin::kBandLeftBlock.width, kBandHeight), m_skin,
                  ToRect(MainSkin::kBandLeftBlock));
}

void CToVixCommonDlg::CreateCaptionButtons(int left, int top, int right, int bottom)
{
    for (int i = 0; i < kCaptionButtons; ++i) {
        const CaptionButtonPlace &place = kCaptionPlaces[i];
        m_buttons[i].Create(GetClientArea(), place.id, wxPoint(0, 0), wxSize(place.width, kCaptionButtonHeight));
        m_buttons[i].SetSkin(m_skin, place.strip.cellWidth, place.strip.cellHeight, place.strip.x, place.strip.y);
    }
    m_buttons[kRestore].Hide();
    LayoutCaptionButtons(left, top, right, bottom);
}

void CToVixCommonDlg::LayoutCaptionButtons(int, int, int right, int)
{
    if (!m_buttons[kWebsite].GetHandle())
        return;
    for (int i = 0; i < kCaptionButtons; ++i)
        m_buttons[i].Move(right - kCaptionPlaces[i].fromRight, 0);
    for (CBmpButton &button : m_buttons)
        button.Refresh();
}

void CToVixCommonDlg::OnSize(wxSizeEvent &event)
{
    CCommonDlg::OnSize(event);
    // Rounded corners would clip a fullscreen picture.
    SetShape(IsFullScreen() ? wxRegion(wxRect(GetSize())) : RoundRectRegion(wxRect(GetSize()), kShapeEllipse, kShapeEllipse));
    const wxRect rect = ClientRect();
    LayoutCaptionButtons(rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1);
}

void CToVixCommonDlg::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(GetClientArea());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxRect rect = ClientRect();
    DrawBackground(dc, rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1);
}

void CToVixCommonDlg::RepaintCaptionBand()
{
    const wxRect rect = ClientRect();
    GetClientArea()->RefreshRect(wxRect(0, 0, rect.width, kCaptionHeight), false);
    LayoutCaptionButtons(rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1);
}

void CToVixCommonDlg::OnBackgroundLeftDown(wxMouseEvent &)
{
    SendWindowMessage(this, WM_SYSCOMMAND, SC_DRAGMOVE, 0);
}

void CToVixCommonDlg::OnBackgroundDoubleClick(wxMouseEvent &event)
{
    // The maximize/restore pair is left as it is on this path.
    if (IsMaximized())
        RestoreWindow(this);
    else
        Maximize(true);
    event.Skip();
}

void CToVixCommonDlg::OnSysCommand(CMessageEvent &event)
{
    switch (event.WParam()) {
    case SC_MINIMIZE:
        OnBtnMin();
        break;
    case SC_MAXIMIZE:
        OnBtnMax();
        break;
    case SC_CLOSE:
        OnBtnClose();
        break;
    case SC_RESTORE:
        OnBtnRestore();
        break;
    default:
        CCommonDlg::OnSysCommand(event);
        break;
    }
    Refresh();
}

void CToVixCommonDlg::OnCloseWindow(wxCloseEvent &event)
{
    // A close asked for by the window manager is the caption's close; only an
    // unstoppable one ends the window.
    if (!event.CanVeto()) {
        Destroy();
        return;
    }
    event.Veto();
    SendWindowMessage(this, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CToVixCommonDlg::OnButton(wxCommandEvent &event)
{
    switch (event.GetId()) {
    case IDC_BTN_WEBSITE:
        OnBtnWebsite();
        break;
    case IDC_BTN_MENU:
        OnBtnMenu();
        break;
    case IDC_BTN_MIN:
        OnBtnMin();
        break;
    case IDC_BTN_MAX:
        OnBtnMax();
        break;
    case IDC_BTN_RESTORE:
        OnBtnRestore();
        break;
    case IDC_BTN_CLOSE:
        OnBtnClose();
        break;
    }
}

void CToVixCommonDlg::OnMenuCommand(wxCommandEvent &event)
{
    switch (event.GetId()) {
    case ID_MENU_SET:
        OnMenuSet();
        break;
    case ID_MENU_WEBSITE:
        OnMenuWebsite();
        break;
    case ID_MENU_FORUM:
        OnMenuForum();
        break;
    case ID_MENU_ABOUT:
        OnMenuAbout();
        break;
    case ID_MENU_OPEN:
        OnMenuOpen();
        break;
    case ID_MENU_EXIT:
        OnMenuExit();
        break;
    default:
        event.Skip();
        break;
    }
}

void CToVixCommonDlg::OnTrayMessage(CMessageEvent &event)
{
    event.SetResult(OnTrayNotify(event.WParam(), event.LParam()));
}

void CToVixCommonDlg::TrackMenu(const std::vector<MenuResourceItem> &resource, unsigned flags, const wxPoint &screen)
{
    CCommonMenu menu;
    menu.LoadSkinMenu(resource);
    RepaintCaptionBand();
    if (CCommonMenu *popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(flags, screen.x, screen.y, this);
}

void CToVixCommonDlg::OpenAddress(const wxString &address, const char *what)
{
    if (address.empty()) {
        DebugLog("Open %s error[no address]", what);
        return;
    }
    if (!m_openAddress(address))
        DebugLog("Open %s %s error[no browser]", what, address.utf8_str().data());
}

int CToVixCommonDlg::SetTrayIcon(const wxBitmapBundle &icon, const wxString &tip)
{
    if (!m_trayIcon)
        return 0;
    m_tip = tip.Left(kMaxTipLength);
    if (!icon.IsOk()) {
        if (!m_hasTrayIcon)
            return 1;
        m_hasTrayIcon = false;
        return m_trayIcon->RemoveIcon() ? 1 : 0;
    }
    m_hasTrayIcon = m_trayIcon->SetIcon(icon, m_tip);
    return m_hasTrayIcon ? 1 : 0;
}

bool CToVixCommonDlg::TrayAvailable() const
{
    // Setting the icon succeeds with no tray at all; what tells is whether a
    // tray manager owns the display's tray selection (GTK docks our icon into
    // one that appears later on its own).
    return m_hasTrayIcon && wxTaskBarIcon::IsAvailable();
}

void CToVixCommonDlg::HideToTray()
{
    if (TrayAvailable())
        Hide();
    else
        Iconize(true);
}

void CToVixCommonDlg::OnBtnWebsite()
{
    OpenAddress(m_website, "website");
}

void CToVixCommonDlg::OnBtnMenu()
{
    const wxRect button = m_buttons[kMenu].GetScreenRect();
    std::vector<MenuResourceItem> resource = LoadMenuResource(IDR_MENU_CAPTION);
    // Without a tray the tray menu's exit is out of reach: the caption menu carries it.
    if (!TrayAvailable()) {
        // Held by name: a range over a member of the returned menu would outlive it.
        const std::vector<MenuResourceItem> tray = LoadMenuResource(IDR_MENU_TRAY);
        for (const MenuResourceItem &item : tray[0].items)
            if (item.id == ID_MENU_EXIT) {
                resource[0].items.push_back(MenuResourceItem{}); // a separator
                resource[0].items.push_back(item);
            }
    }
    TrackMenu(resource, TPM_CENTERALIGN | TPM_RIGHTBUTTON, wxPoint(button.x, button.GetBottom() + 1));
}

void CToVixCommonDlg::OnBtnMin()
{
    Iconize(true);
}

void CToVixCommonDlg::OnBtnMax()
{
    m_buttons[kMax].Hide();
    m_buttons[kRestore].Show();
    Maximize(true);
}

void CToVixCommonDlg::OnBtnRestore()
{
    m_buttons[kRestore].Hide();
    m_buttons[kMax].Show();
    RestoreWindow(this);
}

void CToVixCommonDlg::OnBtnClose()
{
    HideToTray();
}

void CToVixCommonDlg::OnMenuSet()
{
    wxMessageBox("OnMenuSet", GetTitle(), wxOK, this);
}

void CToVixCommonDlg::OnMenuWebsite()
{
    OpenAddress(m_website, "website");
}

void CToVixCommonDlg::OnMenuForum()
{
    OpenAddress(m_forum, "forum");
}

void CToVixCommonDlg::OnMenuAbout()
{
    wxMessageBox("OnMenuAbout", GetTitle(), wxOK, this);
}

void CToVixCommonDlg::OnMenuOpen()
{
    Show();
}

void CToVixCommonDlg::OnMenuExit()
{
    Destroy();
}

long CToVixCommonDlg::OnTrayNotify(wxUIntPtr, wxIntPtr lParam)
{
    if (lParam == WM_LBUTTONDBLCLK)
        Show(!IsShown());
    else if (lParam == WM_RBUTTONDOWN)
        TrackMenu(LoadMenuResource(IDR_MENU_TRAY), TPM_RIGHTBUTTON, wxGetMousePosition());
    return 1;
}
