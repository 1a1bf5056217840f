#include "skin/CToVixCommonSubDlg.h"

#include "skin/SkinAtlas.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"
#include "skin/SysCommand.h"

#include <wx/dcbuffer.h>

namespace {

const wxColour kGradientStart(255, 255, 255);
const wxColour kGradientEnd(226, 237, 245);
constexpr int kGradientBands = 64;
const wxColour kContentOuter(125, 131, 134);
const wxColour kContentInner(214, 214, 214);
const wxColour kBorderOuter(94, 110, 127);
const wxColour kBorderInner(213, 213, 213);
const wxColour kTitleText(29, 44, 58);
constexpr int kShapeEllipse = 9;

wxRect ToRect(const SkinRect &piece)
{
    return wxRect(piece.x, piece.y, piece.width, piece.height);
}

} // namespace

const wxRect CToVixCommonSubDlg::kContentRect(13, 80, 520 - 13, 369 - 80);

wxBEGIN_EVENT_TABLE(CToVixCommonSubDlg, wxDialog)
    EVT_PAINT(CToVixCommonSubDlg::OnPaint)
    EVT_LEFT_DOWN(CToVixCommonSubDlg::OnLeftDown)
    EVT_CHAR_HOOK(CToVixCommonSubDlg::OnCharHook)
    EVT_BUTTON(wxID_ANY, CToVixCommonSubDlg::OnButton)
    EVT_CLOSE(CToVixCommonSubDlg::OnCloseWindow)
    EVT_WINDOW_MESSAGE(WM_SYSCOMMAND, CToVixCommonSubDlg::OnSysCommand)
wxEND_EVENT_TABLE()

bool CToVixCommonSubDlg::Create(wxWindow *parent, const wxString &title)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxDialog::Create(parent, wxID_ANY, title, wxPoint(0, 0), wxSize(kWidth, kHeight),
                          wxBORDER_NONE | wxFRAME_SHAPED))
        return false;
    return OnInitDialog();
}

bool CToVixCommonSubDlg::OnInitDialog()
{
    SetSize(0, 0, kWidth, kHeight);
    CentreOnParent();
    // The border's outer ring leaves the last column and row outside the shape.
    SetShape(RoundRectRegion(wxRect(0, 0, kWidth - 1, kHeight - 1), kShapeEllipse, kShapeEllipse));

    const wxSize client = GetClientSize();
    const int w = client.x, h = client.y;
    const struct {
        CBmpButton &button;
        int id;
        wxPoint position;
        SkinStrip strip;
    } buttons[] = {
        {m_close, IDC_BTN_SUBCLOSE, wxPoint(w - 28, 5), SubSkin::kClose},
        {m_ok, wxID_OK, wxPoint((w - 146) / 2, h - 39), SubSkin::kOk},
        {m_cancel, wxID_CANCEL, wxPoint((w - 146) / 2 + 80, h - 39), SubSkin::kCancel},
        {m_tab2, IDC_BTN_TAB2, wxPoint(73, 50), SubSkin::kSecondTab},
        {m_tab1, IDC_BTN_TAB1, wxPoint(13, 50), SubSkin::kFirstTab},
    };
    for (const auto &b : buttons) {
        b.button.Create(this, b.id, b.position, wxSize(b.strip.cellWidth, b.strip.cellHeight));
        b.button.SetSkin(m_skin, b.strip.cellWidth, b.strip.cellHeight, b.strip.x, b.strip.y);
    }
    SetDefaultItem(&m_ok);
    return true;
}

void CToVixCommonSubDlg::EndSubDialog(int result)
{
    if (IsModal()) {
        EndModal(result);
        return;
    }
    SetReturnCode(result);
    Destroy();
}

void CToVixCommonSubDlg::OnOK()
{
    if (Validate() && TransferDataFromWindow())
        EndSubDialog(wxID_OK);
}

void CToVixCommonSubDlg::OnCancel()
{
    EndSubDialog(wxID_CANCEL);
}

void CToVixCommonSubDlg::OnTab1()
{
    m_tab2.Enable(true);
    m_tab1.Enable(false);
}

void CToVixCommonSubDlg::OnTab2()
{
    m_tab1.Enable(true);
    m_tab2.Enable(false);
}

void CToVixCommonSubDlg::DrawBackground(wxDC &dc, int left, int top, int right, int bottom)
{
    const int w = right - left, h = bottom - top;
    FillSolid(dc, wxRect(left, top, w, h), *wxWHITE);

    const int gradientTop = kContentRect.GetBottom() + 2; // one row below the content rectangle
    FillVerticalGradient(dc, wxRect(0, gradientTop, w, bottom - gradientTop), kGradientStart, kGradientEnd,
                         kGradientBands);

    FrameSolid(dc, kContentRect, kContentOuter);
    FrameSolid(dc, wxRect(kContentRect).Deflate(1), kContentInner);

    DrawRoundRectOutline(dc, wxRect(left, top, w - 1, h - 1), 10, 10, kBorderOuter);
    DrawRoundRectOutline(dc, wxRect(left + 1, top + 1, w - 3, h - 3), 8, 8, kBorderInner);
    DrawRoundRectOutline(dc, wxRect(left + 2, top + 2, w - 5, h - 5), 6, 6, kBorderInner);

    DrawSkinPiece(dc, wxRect(0, 0, 7, kTitleHeight), m_skin, ToRect(SubSkin::kTitleLeft));
    DrawSkinPiece(dc, wxRect(7, 0, w - 14, kTitleHeight), m_skin, ToRect(SubSkin::kTitleMiddle));
    DrawSkinPiece(dc, wxRect(w - 8, 0, 7, kTitleHeight), m_skin, ToRect(SubSkin::kTitleRight));

    const wxString title = GetTitle();
    if (!title.empty()) {
        dc.SetFont(GetFont());
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        dc.SetTextForeground(kTitleText);
        dc.DrawText(title, 20, 10);
    }
}

void CToVixCommonSubDlg::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxSize client = GetClientSize();
    DrawBackground(dc, 0, 0, client.x, client.y);
}

void CToVixCommonSubDlg::OnLeftDown(wxMouseEvent &event)
{
    SendWindowMessage(this, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, 0);
    event.Skip();
}

void CToVixCommonSubDlg::OnSysCommand(CMessageEvent &event)
{
    DefaultSysCommand(this, static_cast<int>(event.WParam()), event.LParam());
}

// Escape never reaches wx's dialog handling, which would press a platform
// Cancel button. Enter presses the default button, as in any dialog: GTK
// knows nothing of our skinned button, so an edit box would swallow it.
void CToVixCommonSubDlg::OnCharHook(wxKeyEvent &event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE)
        return;
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        wxWindow *button = GetDefaultItem();
        if (button && button->IsShownOnScreen() && button->IsEnabled()) {
            wxCommandEvent click(wxEVT_BUTTON, button->GetId());
            click.SetEventObject(button);
            button->ProcessWindowEvent(click);
            return;
        }
    }
    event.Skip();
}

void CToVixCommonSubDlg::OnButton(wxCommandEvent &event)
{
    switch (event.GetId()) {
    case IDC_BTN_SUBCLOSE:
    case wxID_CANCEL:
        OnCancel();
        break;
    case wxID_OK:
        OnOK();
        break;
    case IDC_BTN_TAB1:
        OnTab1();
        break;
    case IDC_BTN_TAB2:
        OnTab2();
        break;
    default:
        event.Skip();
        break;
    }
}

void CToVixCommonSubDlg::OnCloseWindow(wxCloseEvent &)
{
    OnCancel();
}
