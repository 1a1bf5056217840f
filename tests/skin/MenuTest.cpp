#include "skin/CCommonMenu.h"
#include "skin/CCommonMenuWindow.h"
#include "skin/Resource.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

namespace {

const wxColour kStrip(232, 228, 216);
const wxColour kFrame(132, 166, 198);
const wxColour kFill(206, 231, 255);

wxImage DrawOne(const CCommonMenu &menu, const MENUITEM &item, const wxSize &size, unsigned state)
{
    return Render(size, [&](wxDC &dc) { menu.DrawItem(dc, item, wxRect(size), state); });
}

// Whether some pixel of the area is ink of roughly the given hue.
bool HasInk(const wxImage &image, const wxRect &area, const std::function<bool(const wxColour &)> &isInk)
{
    for (int y = area.y; y < area.GetBottom(); ++y)
        for (int x = area.x; x < area.GetRight(); ++x)
            if (isInk(PixelAt(image, x, y)))
                return true;
    return false;
}

std::vector<MenuResourceItem> NestedMenu()
{
    MenuResourceItem popup{"top", -1, 0, {}};
    popup.items = {{"Open", 11, 0, {}},
                   {"", 0, 0, {}},
                   {"Grayed", 12, MF_GRAYED, {}},
                   {"Checked", 13, MF_CHECKED, {}},
                   {"More", -1, 0, {{"Inner", 14, 0, {}}}}};
    return {popup};
}

} // namespace

TEST(CommonMenu, BuildsTheFramesMenusAsOwnerDrawnPopups)
{
    CCommonMenu menu;
    EXPECT_NE(0, menu.LoadSkinMenu(IDR_MENU_TRAY));
    ASSERT_EQ(1u, menu.Entries().size());
    EXPECT_EQ(nullptr, menu.Entries()[0].record); // the bar itself is plain and never shown
    const CCommonMenu *popup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, popup);
    const std::vector<int> ids{ID_MENU_WEBSITE, ID_MENU_OPEN, ID_MENU_SET, ID_MENU_EXIT};
    ASSERT_EQ(ids.size(), popup->Entries().size());
    for (size_t i = 0; i < ids.size(); ++i) {
        ASSERT_NE(nullptr, popup->Entries()[i].record);
        EXPECT_EQ(ids[i], popup->Entries()[i].record->id);
    }
    EXPECT_EQ(wxString::FromUTF8("退出"), popup->Entries()[3].record->text);
    EXPECT_EQ(nullptr, menu.GetSubMenu(1));

    CCommonMenu unknown;
    unknown.LoadSkinMenu(999);
    EXPECT_TRUE(unknown.Entries().empty());
}

TEST(CommonMenu, MeasuresCommandsSeparatorsAndSubMenus)
{
    CCommonMenu menu;
    EXPECT_EQ(wxSize(0, 10), menu.MeasureItem(MENUITEM{"", 0}));
    const wxSize command = menu.MeasureItem(MENUITEM{wxString::FromUTF8("系统设置"), ID_MENU_SET});
    const wxSize subMenu = menu.MeasureItem(MENUITEM{wxString::FromUTF8("系统设置"), -1});
    EXPECT_EQ(19, command.y);
    EXPECT_GT(command.x, 16);
    EXPECT_EQ(command.x + 15, subMenu.x);
    EXPECT_EQ(19, subMenu.y);
}

TEST(CommonMenu, DrawsStripSeparatorAndFramedHighlight)
{
    CCommonMenu menu;
    const wxImage plain = DrawOne(menu, MENUITEM{"Open", 11}, wxSize(120, 19), 0);
    EXPECT_EQ(kStrip, PixelAt(plain, 0, 0));
    EXPECT_EQ(kStrip, PixelAt(plain, 20, 18));
    EXPECT_EQ(*wxWHITE, PixelAt(plain, 21, 0));
    EXPECT_EQ(*wxWHITE, PixelAt(plain, 119, 18));
    EXPECT_FALSE(HasInk(plain, wxRect(26, 0, 94, 19), [](const wxColour &c) { return c.Blue() > c.Red() + 60; }));
    EXPECT_TRUE(HasInk(plain, wxRect(26, 0, 94, 19), [](const wxColour &c) { return c.Red() < 100; }));

    // separator: an etched line at row 3 + (10 - 3) / 2 = 6 from x 22 to 116, white beyond
    const wxImage separator = DrawOne(menu, MENUITEM{"", 0}, wxSize(120, 10), ODS_SELECTED);
    EXPECT_EQ(kStrip, PixelAt(separator, 0, 6));
    EXPECT_EQ(*wxWHITE, PixelAt(separator, 21, 6));
    EXPECT_EQ(wxColour(203, 203, 203), PixelAt(separator, 22, 6));
    EXPECT_EQ(wxColour(203, 203, 203), PixelAt(separator, 116, 6));
    EXPECT_EQ(*wxWHITE, PixelAt(separator, 117, 6));
    EXPECT_EQ(*wxWHITE, PixelAt(separator, 60, 5));
    EXPECT_EQ(*wxWHITE, PixelAt(separator, 60, 7));

    // highlight: framed light blue over the whole item, strip included, blue text
    const wxImage selected = DrawOne(menu, MENUITEM{"Open", 11}, wxSize(120, 19), ODS_SELECTED);
    for (const wxPoint &p : {wxPoint(0, 0), wxPoint(119, 0), wxPoint(0, 18), wxPoint(119, 18), wxPoint(60, 0),
                             wxPoint(60, 18), wxPoint(0, 9), wxPoint(119, 9)})
        EXPECT_EQ(kFrame, PixelAt(selected, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(kFill, PixelAt(selected, 1, 1));
    EXPECT_EQ(kFill, PixelAt(selected, 10, 9));
    EXPECT_EQ(kFill, PixelAt(selected, 118, 17));
    EXPECT_TRUE(HasInk(selected, wxRect(26, 0, 94, 19),
                       [](const wxColour &c) { return c.Red() < 100 && c.Blue() > 150; }));
}

TEST(CommonMenu, GrayedTextIsEmbossedAndCheckedItemsGetABullet)
{
    CCommonMenu menu;
    const wxImage grayed = DrawOne(menu, MENUITEM{"Grayed", 12}, wxSize(120, 19), ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(kFrame, PixelAt(grayed, 0, 0));
    EXPECT_FALSE(HasInk(grayed, wxRect(26, 1, 92, 17), [](const wxColour &c) { return c.Red() < 100; }));
    EXPECT_TRUE(HasInk(grayed, wxRect(26, 1, 92, 17), [](const wxColour &c) {
        return c.Red() < 180 && c.Red() == c.Green() && c.Green() == c.Blue();
    }));

    const wxImage checked = DrawOne(menu, MENUITEM{"Checked", 13}, wxSize(120, 19), ODS_CHECKED);
    EXPECT_TRUE(HasInk(checked, wxRect(7, 2, 11, 15), [](const wxColour &c) { return c.Red() < 100; }));
    const wxImage unchecked = DrawOne(menu, MENUITEM{"Checked", 13}, wxSize(120, 19), 0);
    EXPECT_FALSE(HasInk(unchecked, wxRect(0, 0, 21, 19), [](const wxColour &c) { return c != kStrip; }));
}

namespace {

struct MenuWindowFixture : testing::Test {
    CTestFrame frame;
    CCommonMenu menu;
    CCommonMenuWindow *window = nullptr;
    std::vector<int> results;

    void SetUp() override
    {
        menu.LoadSkinMenu(NestedMenu());
        window = new CCommonMenuWindow(frame.Panel(), *menu.GetSubMenu(0),
                                       [this](int id) { results.push_back(id); });
        window->Popup(wxPoint(100, 100), TPM_LEFTALIGN);
        PumpEvents();
    }
    void TearDown() override { window->Destroy(); }

    wxPoint Centre(int position) const
    {
        const wxRect r = window->ItemRect(position);
        return wxPoint(r.x + r.width / 2, r.y + r.height / 2);
    }
};

} // namespace

TEST_F(MenuWindowFixture, StacksItemsAtTheirMeasuredHeights)
{
    EXPECT_EQ(19, window->ItemRect(0).height);
    EXPECT_EQ(10, window->ItemRect(1).height);
    EXPECT_EQ(window->ItemRect(0).GetBottom() + 1, window->ItemRect(1).y);
    EXPECT_EQ(window->ItemRect(0).width, window->ItemRect(4).width);
    EXPECT_EQ(1, window->HitTest(Centre(1)));
}

TEST_F(MenuWindowFixture, HoverHighlightsCommandsNotSeparatorsAndClicksChoose)
{
    SendMouse(window, wxEVT_MOTION, Centre(0));
    EXPECT_EQ(0, window->GetSelection());
    SendMouse(window, wxEVT_MOTION, Centre(1));
    EXPECT_EQ(-1, window->GetSelection());
    Click(window, Centre(1));
    Click(window, Centre(2)); // grayed
    EXPECT_TRUE(results.empty());
    Click(window, Centre(3));
    EXPECT_EQ(std::vector<int>{13}, results);
    Click(window, Centre(0)); // only the first choice counts
    EXPECT_EQ(std::vector<int>{13}, results);
}

TEST_F(MenuWindowFixture, SubMenuOpensBesideItsItemAndItsCommandsCanBeChosen)
{
    SendMouse(window, wxEVT_MOTION, Centre(4));
    CCommonMenuWindow *child = window->GetChildLevel();
    ASSERT_NE(nullptr, child);
    const wxRect inner = child->ItemRect(0);
    const wxPoint innerOnScreen = child->ClientToScreen(wxPoint(inner.x + 5, inner.y + 5));
    EXPECT_EQ(window->GetScreenRect().GetRight(), child->GetScreenRect().x); // just right of the item
    // the first level holds the capture: pointer events arrive there in its coordinates
    const wxPoint atFirstLevel = window->ScreenToClient(innerOnScreen);
    SendMouse(window, wxEVT_MOTION, atFirstLevel);
    EXPECT_EQ(0, child->GetSelection());
    EXPECT_EQ(4, window->GetSelection());
    Click(window, atFirstLevel);
    EXPECT_EQ(std::vector<int>{14}, results);
}

TEST_F(MenuWindowFixture, KeysMoveChooseAndEscape)
{
    window->HandleKey(WXK_DOWN);
    window->HandleKey(WXK_DOWN); // skips the separator
    EXPECT_EQ(2, window->GetSelection());
    window->HandleKey(WXK_UP);
    window->HandleKey(WXK_UP); // wraps to the last
    EXPECT_EQ(4, window->GetSelection());
    window->HandleKey(WXK_ESCAPE); // closes the open sub-menu first
    EXPECT_EQ(nullptr, window->GetChildLevel());
    EXPECT_TRUE(results.empty());
    window->HandleKey(WXK_UP);
    window->HandleKey(WXK_RETURN);
    EXPECT_EQ(std::vector<int>{13}, results);
}

TEST_F(MenuWindowFixture, ClickOutsideDismisses)
{
    Click(window, wxPoint(-30, -30));
    EXPECT_EQ(std::vector<int>{0}, results);
}

TEST(CommonMenu, TrackingReturnsTheChoiceAndThenSendsItToTheOwner)
{
    CTestFrame frame;
    std::vector<int> commands;
    frame.Panel()->Bind(wxEVT_MENU, [&](wxCommandEvent &event) { commands.push_back(event.GetId()); });
    CCommonMenu menu;
    menu.LoadSkinMenu(IDR_MENU_CAPTION);
    // while the popup is tracked, choose its second item as a user would
    frame.Panel()->CallAfter([&] {
        for (wxWindow *child : frame.Panel()->GetChildren())
            if (auto *popup = dynamic_cast<CCommonMenuWindow *>(child)) {
                const wxRect item = popup->ItemRect(1);
                Click(popup, wxPoint(item.x + 10, item.y + 5));
            }
    });
    const wxPoint at = frame.Panel()->ClientToScreen(wxPoint(200, 50));
    EXPECT_EQ(ID_MENU_WEBSITE, menu.GetSubMenu(0)->TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, at.x, at.y,
                                                                   frame.Panel()));
    EXPECT_TRUE(commands.empty()); // the command follows the tracking
    PumpEvents();
    EXPECT_EQ(std::vector<int>{ID_MENU_WEBSITE}, commands);
}

TEST(CommonMenu, KeysPressedWhileTrackingGoToTheMenu)
{
    CTestFrame frame;
    auto press = [&](int keyCode) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = keyCode;
        frame.Panel()->ProcessWindowEvent(key);
    };
    CCommonMenu menu;
    menu.LoadSkinMenu(IDR_MENU_CAPTION);
    const wxPoint at = frame.Panel()->ClientToScreen(wxPoint(100, 50));
    frame.Panel()->CallAfter([&] {
        press(WXK_DOWN);
        press(WXK_DOWN);
        press(WXK_RETURN);
    });
    EXPECT_EQ(ID_MENU_WEBSITE, menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN, at.x, at.y, frame.Panel()));

    frame.Panel()->CallAfter([&] { press(WXK_ESCAPE); });
    EXPECT_EQ(0, menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN, at.x, at.y, frame.Panel()));
    PumpEvents();
}
