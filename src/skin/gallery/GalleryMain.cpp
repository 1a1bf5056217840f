// tovix-skin-gallery: every skin control on one window, drawn from the skin
// images in "Skins/" of the working folder (run it from the build folder).
#include "skin/CBmpButton.h"
#include "skin/CCommonEdit.h"
#include "skin/CCommonMenu.h"
#include "skin/CCommonScrollBar.h"
#include "skin/CCommonSplitter.h"
#include "skin/Resource.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/panel.h>
#include <wx/dcbuffer.h>
#include <wx/frame.h>
#include <wx/stattext.h>

namespace {

enum {
    ID_DEMO_MENU = 7001,
    ID_TRAY_MENU = 7002,
    ID_SCROLL = 7100,
    ID_SPLITTER = 7200,
    ID_DEMO_CHECKED = 7301,
    ID_DEMO_GRAYED = 7302,
    ID_DEMO_INNER = 7303,
};

std::vector<MenuResourceItem> DemoMenu()
{
    MenuResourceItem popup{"Demo", -1, 0, {}};
    popup.items = {{wxString::FromUTF8("打开"), ID_MENU_OPEN, 0, {}},
                   {wxString::FromUTF8("已选中的项"), ID_DEMO_CHECKED, MF_CHECKED, {}},
                   {wxString::FromUTF8("不可用的项"), ID_DEMO_GRAYED, MF_GRAYED, {}},
                   {"", 0, 0, {}},
                   {wxString::FromUTF8("子菜单"), -1, 0, {{wxString::FromUTF8("里面的命令"), ID_DEMO_INNER, 0, {}}}},
                   {wxString::FromUTF8("退出"), ID_MENU_EXIT, 0, {}}};
    return {popup};
}

class CGalleryPanel : public wxPanel {
public:
    explicit CGalleryPanel(wxWindow *parent);

private:
    CBmpButton *AddButton(int id, const wxBitmap &skin, const SkinStrip &strip, int x, int y, int width = 0);
    void AddLabel(const char *utf8, int x, int y);
    void OnPaint(wxPaintEvent &event);
    void OnButton(wxCommandEvent &event);
    void OnMenu(wxCommandEvent &event);
    void OnScroll(CScrollBarEvent &event);
    void OnNotify(CNotifyEvent &event);
    void ShowMenu(int resourceOrDemo, wxWindow *under);
    void Report(const wxString &text) { m_status->SetLabel(text); }

    wxBitmap m_picture;
    wxStaticText *m_status = nullptr;
    CCommonScrollBar *m_bar = nullptr;
    CCommonSplitter *m_splitter = nullptr;
    wxWindow *m_leftPane = nullptr;
    wxWindow *m_rightPane = nullptr;
    CBmpButton *m_menuButton = nullptr;
};

CGalleryPanel::CGalleryPanel(wxWindow *parent) : wxPanel(parent, wxID_ANY)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    m_picture = LoadSkinBitmap(kDefaultPictureFile);

    // the caption row, placed from the right edge as the frame places it
    const int right = 900;
    AddButton(5000, g_hMainSkin, MainSkin::kWebsite, right - 185, 0);
    m_menuButton = AddButton(5001, g_hMainSkin, MainSkin::kMenu, right - 121, 0);
    AddButton(5002, g_hMainSkin, MainSkin::kMinimize, right - 68, 0);
    AddButton(5003, g_hMainSkin, MainSkin::kMaximize, right - 47, 0);
    AddButton(5005, g_hMainSkin, MainSkin::kClose, right - 26, 0, 26);
    AddButton(1000, g_hMainSkin, MainSkin::kAllPrograms, 165, 8)->Enable(false);
    AddButton(1002, g_hMainSkin, MainSkin::kMyPrograms, 236, 8);
    AddButton(5004, g_hMainSkin, MainSkin::kRestore, 330, 36);

    AddLabel("主窗口与文件列表", 8, 100);
    AddButton(1006, g_hMainSkin, MainSkin::kSubscribe, 8, 120);
    AddButton(5101, g_hMainSkin, MainSkin::kListDelete, 165, 126);
    AddButton(5102, g_hMainSkin, MainSkin::kListDownload, 225, 126);
    AddButton(5102, g_hMainSkin, MainSkin::kListDownload, 285, 126)->Enable(false);

    AddLabel("详细信息", 8, 176);
    AddButton(2004, g_hMainSkin, MainSkin::kDownload, 19, 422);
    AddButton(2007, g_hMainSkin, MainSkin::kDetailSubscribe, 130, 422);
    AddButton(2005, g_hMainSkin, MainSkin::kStop, 241, 422);
    AddButton(2006, g_hMainSkin, MainSkin::kPlay, 352, 422);
    AddButton(2007, g_hMainSkin, MainSkin::kDetailSubscribe, 463, 422)->Enable(false);

    AddLabel("子对话框", 8, 476);
    AddButton(5200, g_hSubSkin, SubSkin::kClose, 470, 501);
    AddButton(5400, g_hSubSkin, SubSkin::kFirstTab, 8, 546)->Enable(false);
    AddButton(5401, g_hSubSkin, SubSkin::kSecondTab, 68, 546);
    new CCommonEdit(this, 1011, "2000", wxPoint(20, 600), wxSize(90, 26));
    new CCommonEdit(this, 1014, wxString::FromUTF8("/home/tovix/视频/"), wxPoint(120, 600), wxSize(215, 26));
    AddButton(1008, g_hSubSkin, SubSkin::kBrowse, 345, 602);
    AddButton(wxID_OK, g_hSubSkin, SubSkin::kOk, 150, 648);
    AddButton(wxID_CANCEL, g_hSubSkin, SubSkin::kCancel, 230, 648);

    AddLabel("滚动条", 620, 100);
    m_bar = new CCommonScrollBar(this, ID_SCROLL, wxPoint(620, 120), wxSize(CCommonScrollBar::kBarWidth, 230));
    m_bar->SetBarInfo(10, 3, 40);
    auto *longList = new CCommonScrollBar(this, ID_SCROLL + 1, wxPoint(645, 120), wxSize(16, 230));
    longList->SetBarInfo(10, 0, 100000);
    auto *shortBar = new CCommonScrollBar(this, ID_SCROLL + 2, wxPoint(670, 120), wxSize(16, 40));
    shortBar->SetBarInfo(2, 0, 10);

    AddLabel("分隔条", 700, 100);
    m_leftPane = new wxPanel(this, wxID_ANY, wxPoint(700, 120), wxSize(90, 230));
    m_leftPane->SetBackgroundColour(wxColour(208, 231, 247));
    m_splitter = new CCommonSplitter(this, ID_SPLITTER, wxPoint(790, 120), wxSize(6, 230));
    m_splitter->SetRange(720, 870);
    m_rightPane = new wxPanel(this, wxID_ANY, wxPoint(796, 120), wxSize(94, 230));
    m_rightPane->SetBackgroundColour(wxColour(240, 246, 252));

    AddLabel("菜单 (点按钮)", 620, 380);
    auto *demo = new wxButton(this, ID_DEMO_MENU, wxString::FromUTF8("示例菜单"), wxPoint(620, 400));
    auto *tray = new wxButton(this, ID_TRAY_MENU, wxString::FromUTF8("托盘菜单"), wxPoint(740, 400));
    demo->Bind(wxEVT_BUTTON, [this, demo](wxCommandEvent &) { ShowMenu(0, demo); });
    tray->Bind(wxEVT_BUTTON, [this, tray](wxCommandEvent &) { ShowMenu(IDR_MENU_TRAY, tray); });

    m_status = new wxStaticText(this, wxID_ANY, "", wxPoint(620, 660), wxSize(270, 20));

    Bind(wxEVT_PAINT, &CGalleryPanel::OnPaint, this);
    Bind(wxEVT_BUTTON, &CGalleryPanel::OnButton, this);
    Bind(wxEVT_MENU, &CGalleryPanel::OnMenu, this);
    Bind(wxEVT_SKIN_VSCROLL, &CGalleryPanel::OnScroll, this);
    Bind(wxEVT_CONTROL_NOTIFY, &CGalleryPanel::OnNotify, this);
}

CBmpButton *CGalleryPanel::AddButton(int id, const wxBitmap &skin, const SkinStrip &strip, int x, int y, int width)
{
    auto *button = new CBmpButton(this, id, wxPoint(x, y), wxSize(width ? width : strip.cellWidth, strip.cellHeight));
    button->SetSkin(skin, strip.cellWidth, strip.cellHeight, strip.x, strip.y);
    return button;
}

void CGalleryPanel::AddLabel(const char *utf8, int x, int y)
{
    auto *label = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(utf8), wxPoint(x, y));
    label->SetForegroundColour(wxColour(29, 44, 58));
}

void CGalleryPanel::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    FillSolid(dc, wxRect(size), *wxWHITE);

    // the main window's caption band
    auto piece = [](const SkinRect &r) { return wxRect(r.x, r.y, r.width, r.height); };
    DrawSkinPiece(dc, wxRect(0, 0, size.x, MainSkin::kBandHeight), g_hMainSkin, piece(MainSkin::kBandColumn));
    DrawSkinPiece(dc, wxRect(0, 0, 141, MainSkin::kBandHeight), g_hMainSkin, piece(MainSkin::kBandLeftBlock));
    FillSolid(dc, wxRect(0, 118, 160, 48), wxColour(226, 226, 226));

    // the file list pane's header behind its buttons
    FillVerticalGradient(dc, wxRect(163, 123, 200, 34), wxColour(198, 227, 247), wxColour(222, 239, 249), 64);

    // the detail pane: band, line, picture frame and picture
    const wxRect pane(8, 196, 600, 268);
    FillSolid(dc, pane, wxColour(116, 127, 133));
    FillSolid(dc, wxRect(pane).Deflate(1), *wxWHITE);
    const wxRect inner = wxRect(pane).Deflate(2);
    DrawSkinPiece(dc, wxRect(inner.x, inner.y, inner.width, 53), g_hMainSkin, piece(MainSkin::kDetailBand));
    DrawSkinPiece(dc, wxRect(inner.x, inner.y + 2, inner.width, 1), g_hMainSkin, piece(MainSkin::kDetailLine));
    DrawSkinPiece(dc, wxRect(pane.x + 13, pane.y + 58, 199, 150), g_hMainSkin, piece(MainSkin::kPictureFrame));
    if (m_picture.IsOk()) {
        wxMemoryDC pictureDc;
        pictureDc.SelectObjectAsSource(m_picture);
        dc.StretchBlit(pane.x + 15, pane.y + 60, 194, 144, &pictureDc, 0, 0, m_picture.GetWidth(),
                       m_picture.GetHeight());
    }
    dc.SetTextForeground(wxColour(102, 102, 102));
    dc.DrawText(wxString::FromUTF8("状态图标:"), 240, 270);
    DrawSkinPiece(dc, wxRect(316, 270, 48, 16), g_hItemStatusSkin, wxRect(0, 0, 48, 16));
    dc.DrawText(wxString::FromUTF8("树的图形:"), 240, 302);
    const wxBitmap glyphs[] = {LoadResourceBitmap(IDB_EXPANDERS), LoadResourceBitmap(IDB_BULLETS),
                               LoadResourceBitmap(IDB_CHECKBOXES)};
    int x = 316;
    for (const wxBitmap &glyph : glyphs) {
        if (glyph.IsOk())
            dc.DrawBitmap(glyph, x, 304);
        x += glyph.IsOk() ? glyph.GetWidth() + 12 : 12;
    }

    // the sub-dialog's title band and content frame
    const wxRect sub(8, 496, 490, 190);
    DrawSkinPiece(dc, wxRect(sub.x, sub.y, 7, 36), g_hSubSkin, piece(SubSkin::kTitleLeft));
    DrawSkinPiece(dc, wxRect(sub.x + 7, sub.y, sub.width - 14, 36), g_hSubSkin, piece(SubSkin::kTitleMiddle));
    DrawSkinPiece(dc, wxRect(sub.x + sub.width - 8, sub.y, 7, 36), g_hSubSkin, piece(SubSkin::kTitleRight));
    dc.SetTextForeground(wxColour(29, 44, 58));
    dc.DrawText(wxString::FromUTF8("系统设置"), sub.x + 20, sub.y + 10);
    FrameSolid(dc, wxRect(8, 576, 490, 58), wxColour(125, 131, 134));
    FrameSolid(dc, wxRect(9, 577, 488, 56), wxColour(214, 214, 214));
    FillVerticalGradient(dc, wxRect(8, 635, 490, 56), *wxWHITE, wxColour(226, 237, 245), 64);
}

void CGalleryPanel::ShowMenu(int resource, wxWindow *under)
{
    CCommonMenu menu;
    if (resource)
        menu.LoadSkinMenu(resource);
    else
        menu.LoadSkinMenu(DemoMenu());
    const wxRect rect = under->GetScreenRect();
    if (CCommonMenu *popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rect.x, rect.GetBottom() + 1, this);
}

void CGalleryPanel::OnButton(wxCommandEvent &event)
{
    Report(wxString::Format("button %d", event.GetId()));
    if (event.GetId() == 5001) {
        CCommonMenu menu;
        menu.LoadSkinMenu(IDR_MENU_CAPTION);
        const wxRect rect = m_menuButton->GetScreenRect();
        menu.GetSubMenu(0)->TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, rect.x, rect.GetBottom() + 1, this);
    }
}

void CGalleryPanel::OnMenu(wxCommandEvent &event)
{
    Report(wxString::Format("menu command %d", event.GetId()));
}

void CGalleryPanel::OnScroll(CScrollBarEvent &event)
{
    auto *bar = wxDynamicCast(event.GetEventObject(), CCommonScrollBar);
    Report(wxString::Format("scroll code %d position %u (bar position %d)", event.Code(), event.Position(),
                            bar ? bar->GetPos() : -1));
    if (bar)
        bar->Refresh();
}

void CGalleryPanel::OnNotify(CNotifyEvent &event)
{
    if (event.Code() != SPN_MOVED)
        return;
    Report(wxString::Format("splitter %d moved by %d", event.SenderId(), event.Payload()));
    const wxRect left = m_leftPane->GetRect();
    const int width = left.width + event.Payload();
    m_leftPane->SetSize(left.x, left.y, width, left.height);
    m_splitter->SetSize(left.x + width, left.y, 6, left.height);
    m_rightPane->SetSize(left.x + width + 6, left.y, 184 - width, left.height);
}

class CGalleryApp : public wxApp {
public:
    bool OnInit() override
    {
        LoadSkinBitmaps();
        auto *frame = new wxFrame(nullptr, wxID_ANY, "Tovix skin gallery", wxPoint(20, 20), wxDefaultSize);
        frame->SetIcons(LoadResourceIcons(IDR_MAINFRAME));
        new CGalleryPanel(frame);
        frame->SetClientSize(900, 700);
        frame->Show();
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(CGalleryApp);
