#include "ScreenSupport.h"
#include "skin/CToVixCommonSubDlg.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"
#include "skin/SysCommand.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

namespace {

const wxColour kTitleLeft(200, 0, 0), kTitleMiddle(0, 200, 0), kTitleRight(0, 0, 200);
const wxColour kContentOuter(125, 131, 134), kContentInner(214, 214, 214);
const wxColour kBorderOuter(94, 110, 127), kBorderInner(213, 213, 213);

wxBitmap MakeSubSkin()
{
    wxBitmap skin(SubSkin::kWidth, SubSkin::kHeight, 24);
    wxMemoryDC dc(skin);
    FillSolid(dc, wxRect(0, 0, SubSkin::kWidth, SubSkin::kHeight), *wxWHITE);
    for (const auto &piece : {std::make_pair(SubSkin::kTitleLeft, kTitleLeft),
                              std::make_pair(SubSkin::kTitleMiddle, kTitleMiddle),
                              std::make_pair(SubSkin::kTitleRight, kTitleRight)})
        FillSolid(dc, wxRect(piece.first.x, piece.first.y, piece.first.width, piece.first.height), piece.second);
    return skin;
}

// Row y of the band below the content area, from the 64-colour gradient.
wxColour GradientAt(int y, int height)
{
    const int rows = height - 370, k = 63 * (y - 370) / rows;
    return wxColour(int(255 - 0.453125 * k), int(255 - 0.28125 * k), int(255 - 0.15625 * k));
}

class CProbeSubDlg : public CToVixCommonSubDlg {
public:
    using CToVixCommonSubDlg::DrawBackground;
    void ShowFirstPage() { OnTab1(); }
    int tab1 = 0, tab2 = 0;

protected:
    void OnTab1() override
    {
        ++tab1;
        CToVixCommonSubDlg::OnTab1();
    }
    void OnTab2() override
    {
        ++tab2;
        CToVixCommonSubDlg::OnTab2();
    }
};

struct SubDialogFixture : testing::Test {
    CTestFrame parent{wxSize(800, 600)};
    wxWeakRef<CProbeSubDlg> dlg;
    CSysCommandLog sys;

    // A modeless dialog, shown over the parent.
    void SetUp() override { dlg = Make(); }

    CProbeSubDlg *Make(const wxString &title = "")
    {
        auto *window = new CProbeSubDlg;
        window->SetSkin(MakeSubSkin());
        EXPECT_TRUE(window->Create(parent.Panel(), title));
        sys.Watch(window);
        return window;
    }

    static void ShowSteady(wxWindow *window)
    {
        window->Show();
        WaitUntilPlaced(window);
    }

    void TearDown() override
    {
        PointerButton(false);
        if (dlg)
            dlg->Destroy();
        PumpEvents();
    }

    static void PressEscape(wxWindow *window)
    {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(window);
        window->ProcessWindowEvent(escape);
    }

    static void Press(wxWindow *window, int id) { Click(window->FindWindow(id), wxPoint(5, 5)); }
};

} // namespace

TEST_F(SubDialogFixture, GradientContentFrameBorderAndTitleBandAreExactPixels)
{
    const wxSize size = dlg->GetClientSize();
    ASSERT_EQ(wxSize(534, 426), size);
    const wxImage image = Render(size, [&](wxDC &dc) { dlg->DrawBackground(dc, 0, 0, size.x, size.y); });
    auto at = [&](int x, int y) { return PixelAt(image, x, y); };

    EXPECT_EQ(*wxWHITE, at(100, 369)); // between the content frame and the gradient
    for (int y : {370, 371, 380, 400, 420, 421}) // the border's rings take the last rows
        EXPECT_EQ(GradientAt(y, size.y), at(100, y)) << y;
    EXPECT_EQ(GradientAt(400, size.y), at(size.x - 1, 400)); // full width, outside the shape too
    EXPECT_EQ(wxColour(227, 237, 245), GradientAt(425, size.y));

    for (const wxPoint &p : {wxPoint(13, 80), wxPoint(519, 80), wxPoint(13, 368), wxPoint(519, 368), wxPoint(200, 80),
                             wxPoint(13, 200), wxPoint(519, 200)})
        EXPECT_EQ(kContentOuter, at(p.x, p.y)) << p.x << "," << p.y;
    for (const wxPoint &p : {wxPoint(14, 81), wxPoint(518, 367), wxPoint(200, 81), wxPoint(14, 200), wxPoint(200, 367)})
        EXPECT_EQ(kContentInner, at(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(*wxWHITE, at(15, 82));
    EXPECT_EQ(*wxWHITE, at(12, 200));

    EXPECT_EQ(kBorderOuter, at(0, 200));
    EXPECT_EQ(kBorderInner, at(1, 200));
    EXPECT_EQ(kBorderInner, at(2, 200));
    EXPECT_EQ(*wxWHITE, at(3, 200));
    EXPECT_EQ(kBorderOuter, at(532, 200)); // the last column lies outside the shape
    EXPECT_EQ(kBorderInner, at(531, 200));
    EXPECT_EQ(kBorderInner, at(530, 200));
    EXPECT_EQ(kBorderOuter, at(200, 424));
    EXPECT_EQ(kBorderInner, at(200, 423));

    EXPECT_EQ(kTitleLeft, at(0, 0));
    EXPECT_EQ(kTitleLeft, at(6, 35));
    EXPECT_EQ(kTitleMiddle, at(7, 0));
    EXPECT_EQ(kTitleMiddle, at(525, 35));
    EXPECT_EQ(kTitleRight, at(526, 0));
    EXPECT_EQ(kTitleRight, at(532, 35));
    EXPECT_EQ(*wxWHITE, at(533, 10));
    EXPECT_EQ(*wxWHITE, at(100, 36));
}

TEST_F(SubDialogFixture, TitleIsWrittenOnTheBandInItsColour)
{
    CProbeSubDlg *titled = Make(wxString::FromUTF8("系统设置"));
    const wxImage image = Render(titled->GetClientSize(), [&](wxDC &dc) {
        titled->DrawBackground(dc, 0, 0, titled->GetClientSize().x, titled->GetClientSize().y);
    });
    int ink = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 90; ++x)
            ink += PixelAt(image, x, y).Red() < 100;
    EXPECT_GT(ink, 20);
    EXPECT_EQ(kTitleMiddle, PixelAt(image, 19, 20)); // the text starts at x 20
    titled->Destroy();
}

TEST_F(SubDialogFixture, OnScreenItIsCentredAndStaticTextsShowTheBackground)
{
    auto *label = new wxStaticText(dlg, wxID_ANY, "Label", wxPoint(30, 390));
    ShowSteady(dlg);
    const wxRect over = parent.Panel()->GetScreenRect();
    const wxRect mine = dlg->GetScreenRect();
    EXPECT_EQ(wxSize(534, 426), mine.GetSize());
    EXPECT_NEAR(over.x + over.width / 2, mine.x + mine.width / 2, 1);
    EXPECT_NEAR(over.y + over.height / 2, mine.y + mine.height / 2, 1);

    const wxPoint origin = dlg->GetClientAreaOrigin() + mine.GetPosition();
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(origin + wxPoint(450, 400)) == GradientAt(400, 426); }));
    // the label's own corner shows the gradient, not a box of the label's colour
    const wxPoint corner = label->GetPosition();
    EXPECT_EQ(GradientAt(corner.y, 426), ScreenPixel(label->GetScreenPosition()))
        << corner.x << "," << corner.y;
}

TEST_F(SubDialogFixture, EscapeLeavesItOpenWhileCloseAndCancelEndIt)
{
    ShowSteady(dlg);
    PressEscape(dlg);
    PumpEvents();
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(dlg->IsShown());
    Press(dlg, IDC_BTN_SUBCLOSE);
    EXPECT_TRUE(PumpUntil([&] { return !dlg; }));

    dlg = Make();
    ShowSteady(dlg);
    Press(dlg, wxID_CANCEL);
    EXPECT_TRUE(PumpUntil([&] { return !dlg; }));
}

TEST_F(SubDialogFixture, ModalRunEndsWithOkOrCancelAndNotWithEscape)
{
    CProbeSubDlg *modal = Make();
    modal->CallAfter([&] {
        WaitUntilPlaced(modal);
        PressEscape(modal);
        Press(modal, wxID_OK);
    });
    EXPECT_EQ(wxID_OK, modal->ShowModal());
    modal->CallAfter([&] { Press(modal, IDC_BTN_SUBCLOSE); });
    EXPECT_EQ(wxID_CANCEL, modal->ShowModal());
    modal->Destroy();
}

TEST_F(SubDialogFixture, TheCurrentTabIgnoresClicksAndTheOtherSwitches)
{
    ShowSteady(dlg);
    dlg->ShowFirstPage();
    wxWindow *first = dlg->FindWindow(IDC_BTN_TAB1), *second = dlg->FindWindow(IDC_BTN_TAB2);
    EXPECT_FALSE(first->IsEnabled());
    EXPECT_TRUE(second->IsEnabled());
    Press(dlg, IDC_BTN_TAB1);
    EXPECT_EQ(1, dlg->tab1);
    Press(dlg, IDC_BTN_TAB2);
    EXPECT_EQ(1, dlg->tab2);
    EXPECT_TRUE(first->IsEnabled());
    EXPECT_FALSE(second->IsEnabled());
    Press(dlg, IDC_BTN_TAB2);
    EXPECT_EQ(1, dlg->tab2);
    EXPECT_EQ(wxRect(13, 50, 61, 32), first->GetRect());
    EXPECT_EQ(wxRect(73, 50, 61, 32), second->GetRect()); // one pixel over the first
}

TEST_F(SubDialogFixture, ButtonsSitWhereTheSkinPlacesThem)
{
    EXPECT_EQ(wxRect(534 - 28, 5, 24, 24), dlg->FindWindow(IDC_BTN_SUBCLOSE)->GetRect());
    EXPECT_EQ(wxRect(194, 426 - 39, 66, 24), dlg->FindWindow(wxID_OK)->GetRect());
    EXPECT_EQ(wxRect(274, 426 - 39, 66, 24), dlg->FindWindow(wxID_CANCEL)->GetRect());
}

TEST_F(SubDialogFixture, DraggingTheBackgroundMovesTheDialog)
{
    ShowSteady(dlg);
    sys.pass = false;
    SendMouse(dlg, wxEVT_LEFT_DOWN, wxPoint(200, 10)); // the title band
    EXPECT_EQ(std::vector<int>{SC_MOVE + HTCAPTION}, sys.commands);

    sys.pass = true;
    const wxPoint before = WindowOrigin(dlg);
    const wxPoint start = dlg->ClientToScreen(wxPoint(300, 200));
    ASSERT_TRUE(PointerTo(start));
    PumpEvents();
    ASSERT_TRUE(PointerButton(true));
    ASSERT_TRUE(PumpUntil([&] { return sys.commands.size() == 2; }));
    EXPECT_TRUE(DragPointerTo(start + wxPoint(-30, 20), [&] { return WindowOrigin(dlg) == before + wxPoint(-30, 20); }));
    ASSERT_TRUE(PointerButton(false));
}
