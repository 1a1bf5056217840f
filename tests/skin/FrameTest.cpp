#include "ScreenSupport.h"
#include "skin/CCommonMenu.h"
#include "skin/CCommonMenuWindow.h"
#include "skin/CToVixCommonDlg.h"
#include "skin/CTrayIcon.h"
#include "skin/Resource.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinPaint.h"
#include "skin/SysCommand.h"
#include "support/TestFolder.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/taskbar.h>
#include <wx/utils.h>
#include <wx/weakref.h>

namespace {

const wxColour kBandColumn(200, 10, 10);
const wxColour kBandBlock(10, 200, 10);
const wxColour kRings[] = {{66, 66, 66}, {255, 255, 255}, {163, 163, 163}, {194, 194, 194}};

// A main skin whose band column and band block have colours of their own.
wxBitmap MakeMainSkin()
{
    wxBitmap skin(MainSkin::kWidth, MainSkin::kHeight, 24);
    wxMemoryDC dc(skin);
    FillSolid(dc, wxRect(0, 0, MainSkin::kWidth, MainSkin::kHeight), *wxWHITE);
    const SkinRect &block = MainSkin::kBandLeftBlock;
    FillSolid(dc, wxRect(block.x, block.y, block.width, block.height), kBandBlock);
    FillSolid(dc, wxRect(block.x, block.y, 1, block.height), kBandColumn);
    return skin;
}

// Opens the protected operations and stands in for the message boxes.
class CProbeDlg : public CToVixCommonDlg {
public:
    using CToVixCommonDlg::DrawBackground;
    using CToVixCommonDlg::DrawFrame;
    using CToVixCommonDlg::LayoutCaptionButtons;
    std::vector<std::string> boxes;

protected:
    void OnMenuSet() override { boxes.push_back("OnMenuSet"); }
    void OnMenuAbout() override { boxes.push_back("OnMenuAbout"); }
};

struct FrameFixture : testing::Test {
    CTestFolder folder;
    wxWeakRef<CProbeDlg> dlg;
    CSysCommandLog sys;
    std::vector<wxString> opened;

    void SetUp() override
    {
        auto *window = new CProbeDlg;
        dlg = window;
        window->SetSkin(MakeMainSkin());
        window->SetWebAddresses("http://127.0.0.1/site", "http://127.0.0.1/forum");
        window->SetAddressOpener([this](const wxString &address) {
            opened.push_back(address);
            return true;
        });
        ASSERT_TRUE(window->Create());
        sys.Watch(window);
        window->Move(100, 80);
        window->Show();
        ASSERT_TRUE(WaitUntilManaged(window));
    }

    void TearDown() override { EndWindowTest(dlg); }

    wxWindow *Client() const { return dlg->GetClientArea(); }
    CBmpButton &Button(int id) const { return dlg->CaptionButton(id); }
    void Press(int id) const { Click(&Button(id), wxPoint(5, 5)); }
};

void ExpectRings(const std::function<wxColour(int x, int y)> &pixel, const wxSize &size)
{
    const int midX = size.x / 2, midY = size.y / 2;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(kRings[k], pixel(midX, k)) << "top ring " << k;
        EXPECT_EQ(kRings[k], pixel(k, midY)) << "left ring " << k;
        EXPECT_EQ(kRings[k], pixel(size.x - 1 - k, midY)) << "right ring " << k;
        EXPECT_EQ(kRings[k], pixel(midX, size.y - 1 - k)) << "bottom ring " << k;
    }
}

CCommonMenuWindow *OpenPopup(wxWindow *owner)
{
    for (wxWindow *child : owner->GetChildren())
        if (auto *popup = dynamic_cast<CCommonMenuWindow *>(child))
            return popup;
    return nullptr;
}

void ChooseItem(CCommonMenuWindow *popup, int position)
{
    const wxRect item = popup->ItemRect(position);
    Click(popup, wxPoint(item.x + 10, item.y + item.height / 2));
}

} // namespace

TEST(CommonDlg, ResizeZonesNeverOverlapAndCornersTakeTheEdgeEnds)
{
    const wxSize window(800, 550);
    const struct {
        wxPoint point;
        CCommonDlg::Zone zone;
    } cases[] = {
        {{0, 9}, CCommonDlg::kTopLeft},       {{0, 10}, CCommonDlg::kLeft},        {{2, 539}, CCommonDlg::kLeft},
        {{0, 540}, CCommonDlg::kBottomLeft},  {{3, 300}, CCommonDlg::kNoZone},     {{9, 0}, CCommonDlg::kTopLeft},
        {{10, 0}, CCommonDlg::kTop},          {{789, 2}, CCommonDlg::kTop},        {{790, 0}, CCommonDlg::kTopRight},
        {{799, 9}, CCommonDlg::kTopRight},    {{797, 10}, CCommonDlg::kRight},     {{796, 300}, CCommonDlg::kNoZone},
        {{400, 547}, CCommonDlg::kBottom},    {{400, 546}, CCommonDlg::kNoZone},   {{790, 549}, CCommonDlg::kBottomRight},
        {{9, 549}, CCommonDlg::kBottomLeft},  {{400, 275}, CCommonDlg::kNoZone},   {{800, 300}, CCommonDlg::kNoZone},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.zone, CCommonDlg::ResizeZone(window, c.point)) << c.point.x << "," << c.point.y;
}

TEST(CommonDlg, RoundedShapeCutsOnlyTheCorners)
{
    // 12 x 12 corners: rows are cut in by 4, 2, 1, 1 pixels, then not at all
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ((std::vector<int>{4, 2, 1, 1, 0, 0})[row], RoundRectInset(row, 600, 12, 12)) << row;
    EXPECT_EQ(4, RoundRectInset(599, 600, 12, 12)); // the bottom mirrors the top
    const wxRegion shape = RoundRectRegion(wxRect(0, 0, 800, 600), 12, 12);
    for (const wxPoint &outside : {wxPoint(0, 0), wxPoint(3, 0), wxPoint(0, 3), wxPoint(799, 599), wxPoint(800, 300)})
        EXPECT_EQ(wxOutRegion, shape.Contains(outside)) << outside.x << "," << outside.y;
    for (const wxPoint &inside : {wxPoint(4, 0), wxPoint(0, 4), wxPoint(400, 0), wxPoint(799, 300), wxPoint(795, 599)})
        EXPECT_EQ(wxInRegion, shape.Contains(inside)) << inside.x << "," << inside.y;
}

TEST(TrayIcon, TwoClicksWithinTheDoubleClickTimeAreADoubleClick)
{
    CTestFrame frame;
    std::vector<wxIntPtr> actions;
    frame.Panel()->Bind(wxEVT_WINDOW_MESSAGE, [&](CMessageEvent &event) {
        if (event.Message() == WM_TRAY_NOTIFY && event.WParam() == 100)
            actions.push_back(event.LParam());
    });
    auto *tray = new CTrayIcon(frame.Panel(), 100);
    const unsigned limit = CTrayIcon::DoubleClickTime();
    tray->OnClick(1000);
    tray->OnClick(1000 + limit + 1); // too late: a first click again
    EXPECT_TRUE(actions.empty());
    tray->OnClick(1000 + 2 * limit + 1);
    EXPECT_EQ(std::vector<wxIntPtr>{WM_LBUTTONDBLCLK}, actions);
    tray->OnClick(1000 + 2 * limit + 2); // the next click starts anew
    EXPECT_EQ(1u, actions.size());
    tray->OnClick(0u - 50);
    tray->OnClick(limit / 2 - 50); // across the wrap of the server's clock
    EXPECT_EQ(2u, actions.size());
    wxTaskBarIconEvent rightDown(wxEVT_TASKBAR_RIGHT_DOWN, tray);
    tray->ProcessEvent(rightDown);
    EXPECT_EQ(WM_RBUTTONDOWN, actions.back());
    tray->Destroy();
}

TEST_F(FrameFixture, FourRingsAndTheSkinBandAreExactPixels)
{
    const wxSize size = dlg->GetSize();
    const wxImage frame = Render(size, [&](wxDC &dc) { dlg->DrawFrame(dc, 0, 0, size.x, size.y); });
    ExpectRings([&](int x, int y) { return PixelAt(frame, x, y); }, size);
    // and as the screen shows them
    const wxPoint origin = WindowOrigin(dlg);
    ExpectRings([&](int x, int y) { return ScreenPixel(origin + wxPoint(x, y)); }, size);

    const wxSize client = Client()->GetClientSize();
    const wxImage background =
        Render(client, [&](wxDC &dc) { dlg->DrawBackground(dc, 0, 0, client.x, client.y); });
    EXPECT_EQ(kBandColumn, PixelAt(background, 0, 0)); // the block starts with the column
    EXPECT_EQ(kBandBlock, PixelAt(background, 100, 50));
    EXPECT_EQ(kBandBlock, PixelAt(background, 140, 92));
    EXPECT_EQ(kBandColumn, PixelAt(background, 141, 50)); // the column stretched over the width
    EXPECT_EQ(kBandColumn, PixelAt(background, client.x - 1, 92)); // nothing of the atlas beside the column
    EXPECT_EQ(*wxWHITE, PixelAt(background, 100, 93));
    EXPECT_EQ(*wxWHITE, PixelAt(background, client.x - 1, client.y - 1));
}

TEST_F(FrameFixture, ClientAreaSitsInsideTheBandAndCaptionButtonsRunToItsRightEdge)
{
    auto expectLayout = [&](int width) {
        EXPECT_EQ(width - 185, Button(IDC_BTN_WEBSITE).GetPosition().x);
        EXPECT_EQ(Button(IDC_BTN_WEBSITE).GetRect().GetRight() + 1, Button(IDC_BTN_MENU).GetPosition().x);
        EXPECT_EQ(Button(IDC_BTN_MENU).GetRect().GetRight() + 1, Button(IDC_BTN_MIN).GetPosition().x);
        EXPECT_EQ(Button(IDC_BTN_MIN).GetRect().GetRight() + 1, Button(IDC_BTN_MAX).GetPosition().x);
        EXPECT_EQ(Button(IDC_BTN_MAX).GetPosition(), Button(IDC_BTN_RESTORE).GetPosition());
        EXPECT_EQ(Button(IDC_BTN_MAX).GetRect().GetRight() + 1, Button(IDC_BTN_CLOSE).GetPosition().x);
        EXPECT_EQ(width, Button(IDC_BTN_CLOSE).GetRect().GetRight() + 1);
        EXPECT_EQ(wxSize(26, 23), Button(IDC_BTN_CLOSE).GetSize());
        for (int id = IDC_BTN_WEBSITE; id <= IDC_BTN_CLOSE; ++id)
            EXPECT_EQ(0, Button(id).GetPosition().y);
    };
    EXPECT_EQ(wxPoint(4, 4), Client()->GetPosition());
    EXPECT_EQ(dlg->GetSize() - wxSize(8, 8), Client()->GetSize());
    EXPECT_FALSE(Button(IDC_BTN_RESTORE).IsShown());
    expectLayout(Client()->GetSize().x);

    dlg->SetSize(1000, 700);
    EXPECT_TRUE(PumpUntil([&] { return Client()->GetSize() == wxSize(992, 692); }));
    expectLayout(992);

    dlg->LayoutCaptionButtons(0, 0, 100, 0); // a narrow client area pushes the row off the left edge
    EXPECT_EQ(-85, Button(IDC_BTN_WEBSITE).GetPosition().x);

    dlg->SetSize(300, 200);
    EXPECT_GE(dlg->GetSize().x, 800);
    EXPECT_GE(dlg->GetSize().y, 550);
}

TEST_F(FrameFixture, ZonesShowCursorsAndStartSizingExceptWhileMaximized)
{
    sys.pass = false;
    SendMouse(dlg, wxEVT_MOTION, wxPoint(0, 300));
    ASSERT_TRUE(dlg->ZoneCursor(CCommonDlg::kLeft).IsOk());
    EXPECT_TRUE(dlg->GetCursor().IsSameAs(dlg->ZoneCursor(CCommonDlg::kLeft)));
    SendMouse(dlg, wxEVT_MOTION, wxPoint(400, dlg->GetSize().y - 1));
    EXPECT_TRUE(dlg->GetCursor().IsSameAs(dlg->ZoneCursor(CCommonDlg::kBottom)));
    SendMouse(dlg, wxEVT_MOTION, wxPoint(3, 300));
    EXPECT_FALSE(dlg->GetCursor().IsOk());

    SendMouse(dlg, wxEVT_LEFT_DOWN, wxPoint(0, 5));
    SendMouse(dlg, wxEVT_LEFT_DOWN, wxPoint(3, 300)); // in the band, but in no zone
    ASSERT_EQ(std::vector<int>{SC_SIZE + CCommonDlg::kTopLeft}, sys.commands);
    EXPECT_EQ(WindowOrigin(dlg) + wxPoint(0, 5), sys.points[0]);
    EXPECT_TRUE(dlg->GetCursor().IsSameAs(dlg->ZoneCursor(CCommonDlg::kTopLeft)));

    sys.pass = true;
    Press(IDC_BTN_MAX);
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsMaximized(); }));
    sys.commands.clear();
    sys.pass = false;
    SendMouse(dlg, wxEVT_MOTION, wxPoint(0, 300));
    EXPECT_FALSE(dlg->GetCursor().IsOk());
    SendMouse(dlg, wxEVT_LEFT_DOWN, wxPoint(0, 5));
    SendMouse(dlg, wxEVT_LEFT_DOWN, wxPoint(0, 300));
    EXPECT_TRUE(sys.commands.empty());
}

TEST_F(FrameFixture, RealEdgeDragResizesDownToTheMinimumOnly)
{
    const wxRect before(WindowOrigin(dlg), dlg->GetSize());
    const wxPoint edge(before.GetRight() - 1, before.y + 300);
    ASSERT_TRUE(PointerTo(edge));
    PumpEvents();
    ASSERT_TRUE(PointerButton(true));
    ASSERT_TRUE(PumpUntil([&] { return !sys.commands.empty(); }));
    EXPECT_EQ(SC_SIZE + CCommonDlg::kRight, sys.commands[0]);
    EXPECT_TRUE(DragPointerTo(edge + wxPoint(60, 0), [&] { return dlg->GetSize().x == before.width + 60; }))
        << dlg->GetSize().x;
    EXPECT_TRUE(DragPointerTo(edge - wxPoint(200, 0), [&] { return dlg->GetSize().x == CCommonDlg::kMinWidth; }))
        << dlg->GetSize().x;
    ASSERT_TRUE(PointerButton(false));
    PumpEvents();
    EXPECT_EQ(before.height, dlg->GetSize().y);
    EXPECT_EQ(before.GetPosition(), WindowOrigin(dlg));
}

TEST_F(FrameFixture, RealDragOnTheBackgroundMovesTheWindow)
{
    const wxPoint before = WindowOrigin(dlg);
    const wxPoint start = Client()->ClientToScreen(wxPoint(300, 300));
    ASSERT_TRUE(PointerTo(start));
    PumpEvents();
    ASSERT_TRUE(PointerButton(true));
    ASSERT_TRUE(PumpUntil([&] { return !sys.commands.empty(); }));
    EXPECT_EQ(SC_DRAGMOVE, sys.commands[0]);
    const wxPoint after = before + wxPoint(40, 30);
    EXPECT_TRUE(DragPointerTo(start + wxPoint(40, 30), [&] { return WindowOrigin(dlg) == after; }));
    ASSERT_TRUE(PointerButton(false));
    PumpEvents();
    EXPECT_EQ(after, WindowOrigin(dlg));
}

TEST_F(FrameFixture, MaximizeShowsRestoreInTheSamePlaceAndDoubleClickLeavesThePair)
{
    Press(IDC_BTN_MAX);
    EXPECT_FALSE(Button(IDC_BTN_MAX).IsShown());
    EXPECT_TRUE(Button(IDC_BTN_RESTORE).IsShown());
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsMaximized() && Client()->GetSize().x > 800; }));
    EXPECT_EQ(Client()->GetSize().x - 47, Button(IDC_BTN_RESTORE).GetPosition().x);

    Press(IDC_BTN_RESTORE);
    EXPECT_TRUE(Button(IDC_BTN_MAX).IsShown());
    EXPECT_FALSE(Button(IDC_BTN_RESTORE).IsShown());
    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsMaximized() && Client()->GetSize().x == 792; }));
    EXPECT_EQ(792 - 47, Button(IDC_BTN_MAX).GetPosition().x);

    // a real double click: each of its presses also starts a move
    const wxPoint background = Client()->ClientToScreen(wxPoint(300, 300));
    const std::string doubleClick =
        "mousemove " + std::to_string(background.x) + " " + std::to_string(background.y) + " click --repeat 2 1";
    ASSERT_TRUE(Xdotool(doubleClick));
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsMaximized(); }));
    EXPECT_TRUE(Button(IDC_BTN_MAX).IsShown());
    ASSERT_TRUE(Xdotool(doubleClick));
    EXPECT_TRUE(PumpUntil([&] { return !dlg->IsMaximized(); }));
    EXPECT_TRUE(Button(IDC_BTN_MAX).IsShown());
}

TEST_F(FrameFixture, SystemCommandsAndMenuCommandsReachTheOperations)
{
    const CRealTray tray(dlg); // close goes to the tray
    ASSERT_TRUE(tray.Started());
    SendWindowMessage(dlg, WM_SYSCOMMAND, SC_MAXIMIZE);
    EXPECT_TRUE(Button(IDC_BTN_RESTORE).IsShown());
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsMaximized(); }));
    SendWindowMessage(dlg, WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_TRUE(Button(IDC_BTN_MAX).IsShown());
    EXPECT_TRUE(PumpUntil([&] { return !dlg->IsMaximized(); }));
    SendWindowMessage(dlg, WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsIconized(); }));
    dlg->Iconize(false);
    SendWindowMessage(dlg, WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(dlg->IsShown());

    for (int id : {ID_MENU_OPEN, ID_MENU_SET, ID_MENU_ABOUT})
        dlg->ProcessWindowEvent(*std::make_unique<wxCommandEvent>(wxEVT_MENU, id));
    EXPECT_TRUE(dlg->IsShown());
    EXPECT_EQ((std::vector<std::string>{"OnMenuSet", "OnMenuAbout"}), dlg->boxes);

    // a close asked for by the window manager is the close button's
    dlg->Close();
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_FALSE(dlg->IsBeingDeleted());
}

TEST_F(FrameFixture, CloseHidesAndTrayDoubleClickTogglesTheWindow)
{
    const CRealTray tray(dlg);
    ASSERT_TRUE(tray.Started());
    EXPECT_TRUE(dlg->HasTrayIcon());
    EXPECT_EQ("Hello Tovix!!", dlg->GetTrayTip());
    Press(IDC_BTN_CLOSE);
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_TRUE(dlg->HasTrayIcon());

    EXPECT_EQ(1, SendWindowMessage(dlg, WM_TRAY_NOTIFY, CToVixCommonDlg::kTrayIconId, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(dlg->IsShown());
    EXPECT_EQ(1, SendWindowMessage(dlg, WM_TRAY_NOTIFY, CToVixCommonDlg::kTrayIconId, WM_LBUTTONDBLCLK));
    EXPECT_FALSE(dlg->IsShown());
}

TEST_F(FrameFixture, RealTrayDoubleClicksToggleAndItsMenuExits)
{
    const CRealTray tray(dlg); // shows a red icon
    ASSERT_TRUE(tray.Started());
    const wxPoint icon = tray.IconCentre();

    // each click comes as a single one: two close together are a double click
    const std::string at = std::to_string(icon.x) + " " + std::to_string(icon.y);
    ASSERT_TRUE(Xdotool("mousemove " + at + " click --repeat 2 --delay 60 1"));
    EXPECT_TRUE(PumpUntil([&] { return !dlg->IsShown(); }));
    ASSERT_TRUE(Xdotool("click --repeat 2 --delay 60 1"));
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsShown(); }));

    dlg->Bind(wxEVT_WINDOW_MESSAGE, [&](CMessageEvent &event) {
        if (event.Message() == WM_TRAY_NOTIFY && event.LParam() == WM_RBUTTONDOWN)
            dlg->CallAfter([&] { // runs while the menu is tracked
                if (CCommonMenuWindow *popup = OpenPopup(dlg))
                    ChooseItem(popup, 3); // "退出"
            });
        event.Skip();
    });
    ASSERT_TRUE(Xdotool("click 3"));
    EXPECT_TRUE(PumpUntil([&] { return !dlg; }));
}

TEST_F(FrameFixture, TrayMenuExitEndsTheWindow)
{
    const CRealTray tray(dlg);
    ASSERT_TRUE(tray.Started());
    Press(IDC_BTN_CLOSE); // the tray menu works with the window hidden
    ASSERT_FALSE(dlg->IsShown());
    bool opened = false;
    dlg->CallAfter([&] {
        CCommonMenuWindow *popup = OpenPopup(dlg);
        ASSERT_NE(nullptr, popup);
        opened = true;
        ChooseItem(popup, 3); // "退出"
    });
    wxTaskBarIconEvent rightDown(wxEVT_TASKBAR_RIGHT_DOWN, dlg->GetTrayIcon());
    dlg->GetTrayIcon()->ProcessEvent(rightDown);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(PumpUntil([&] { return !dlg; }));
}

// The item heights of the caption menu as the next press of its button opens
// it; the item at `choose` is chosen, or with -1 the menu is dismissed.
std::vector<int> CaptionMenuRows(CProbeDlg *dlg, int choose = -1)
{
    std::vector<int> rows;
    dlg->CallAfter([&] {
        CCommonMenuWindow *popup = OpenPopup(dlg);
        ASSERT_NE(nullptr, popup);
        for (int i = 0; !popup->ItemRect(i).IsEmpty(); ++i)
            rows.push_back(popup->ItemRect(i).height);
        if (choose >= 0)
            ChooseItem(popup, choose);
        else
            popup->HandleKey(WXK_ESCAPE);
    });
    Click(&dlg->CaptionButton(IDC_BTN_MENU), wxPoint(5, 5));
    PumpEvents();
    return rows;
}

TEST_F(FrameFixture, WithoutATrayCloseMinimizesAndTheCaptionMenuCanExit)
{
    ASSERT_FALSE(wxTaskBarIcon::IsAvailable()); // the display has none
    EXPECT_TRUE(dlg->HasTrayIcon());            // though setting the icon succeeded
    EXPECT_FALSE(dlg->TrayAvailable());
    {
        // A tray that comes and goes is asked about at each press.
        const CRealTray tray(dlg);
        ASSERT_TRUE(tray.Started());
        EXPECT_TRUE(dlg->TrayAvailable());
        EXPECT_EQ(4u, CaptionMenuRows(dlg).size());
        Press(IDC_BTN_CLOSE);
        EXPECT_FALSE(dlg->IsShown());
        dlg->Show();
        ASSERT_TRUE(WaitUntilManaged(dlg));
    }
    dlg->SetTrayIcon(wxBitmapBundle::FromBitmap(MakeStrip({*wxRED}, 16, 16)), "Hello Tovix!!");
    EXPECT_TRUE(dlg->HasTrayIcon());
    EXPECT_FALSE(dlg->TrayAvailable());
    Press(IDC_BTN_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsIconized(); }));
    EXPECT_TRUE(dlg->IsShown()); // the desktop's task list still has it
    dlg->Iconize(false);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsIconized(); }));
    dlg->Close(); // the window manager's close is the same
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsIconized(); }));
    EXPECT_TRUE(dlg->IsShown());
    dlg->Iconize(false);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsIconized(); }));

    // The tray menu's exit, after a separator, ends the window.
    const std::vector<int> rows = CaptionMenuRows(dlg);
    ASSERT_EQ(6u, rows.size());
    EXPECT_EQ(CCommonMenu::kSeparatorHeight, rows[4]);
    CaptionMenuRows(dlg, 5);
    EXPECT_TRUE(PumpUntil([&] { return !dlg; }));
}

TEST_F(FrameFixture, CaptionMenuOpensUnderItsButtonAndOpensTheForum)
{
    const wxRect button = Button(IDC_BTN_MENU).GetScreenRect();
    wxRect popupRect;
    dlg->CallAfter([&] {
        CCommonMenuWindow *popup = OpenPopup(dlg);
        ASSERT_NE(nullptr, popup);
        popupRect = popup->GetScreenRect();
        ChooseItem(popup, 2); // "访问论坛"
    });
    Press(IDC_BTN_MENU);
    PumpEvents();
    EXPECT_EQ(button.GetBottom() + 1, popupRect.y);
    EXPECT_NEAR(button.x, popupRect.x + popupRect.width / 2, 1); // centred on the button's left edge
    EXPECT_EQ(std::vector<wxString>{"http://127.0.0.1/forum"}, opened);

    Press(IDC_BTN_WEBSITE);
    EXPECT_EQ("http://127.0.0.1/site", opened.back());
}

TEST_F(FrameFixture, AddressesMissingOrRefusedAreOneLogLineEach)
{
    dlg->SetWebAddresses("", "http://127.0.0.1/forum");
    dlg->SetAddressOpener([](const wxString &) { return false; });
    Press(IDC_BTN_WEBSITE);
    dlg->ProcessWindowEvent(*std::make_unique<wxCommandEvent>(wxEVT_MENU, ID_MENU_FORUM));
    EXPECT_EQ((std::vector<std::string>{"Open website error[no address]",
                                        "Open forum http://127.0.0.1/forum error[no browser]"}),
              folder.LogLines());
}

TEST_F(FrameFixture, TrayIconTipIsLimitedAndRemovalIsAnsweredOnce)
{
    const wxBitmapBundle icon = wxBitmapBundle::FromBitmap(wxBitmap(16, 16, 24));
    EXPECT_EQ(1, dlg->SetTrayIcon(icon, wxString('x', 200)));
    EXPECT_EQ(127u, dlg->GetTrayTip().length());
    EXPECT_EQ(1, dlg->SetTrayIcon(wxBitmapBundle(), ""));
    EXPECT_FALSE(dlg->HasTrayIcon());
    EXPECT_EQ(1, dlg->SetTrayIcon(wxBitmapBundle(), "")); // nothing left to remove
}
