#include "skin/CCommonMenuWindow.h"

#include "skin/CCommonMenu.h"
#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>
#include <wx/display.h>

#include <algorithm>

namespace {

const wxColour kFrame(150, 160, 172);

} // namespace

wxBEGIN_EVENT_TABLE(CCommonMenuWindow, wxPopupWindow)
    EVT_PAINT(CCommonMenuWindow::OnPaint)
    EVT_MOUSE_EVENTS(CCommonMenuWindow::OnMouse)
    EVT_MOUSE_CAPTURE_LOST(CCommonMenuWindow::OnCaptureLost)
wxEND_EVENT_TABLE()

CCommonMenuWindow::CCommonMenuWindow(wxWindow *parent, const CCommonMenu &menu, Done done)
    : wxPopupWindow(parent, wxBORDER_NONE), m_menu(menu), m_done(std::move(done))
{
    LayoutItems();
}

CCommonMenuWindow::CCommonMenuWindow(CCommonMenuWindow *parentLevel, const CCommonMenu &menu)
    : wxPopupWindow(parentLevel, wxBORDER_NONE), m_menu(menu), m_parentLevel(parentLevel)
{
    LayoutItems();
}

CCommonMenuWindow::~CCommonMenuWindow()
{
    if (HasCapture())
        ReleaseMouse();
}

void CCommonMenuWindow::LayoutItems()
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    int width = 0, y = kBorder;
    for (const CCommonMenu::Entry &entry : m_menu.Entries()) {
        const wxSize size = m_menu.MeasureItem(MENUITEM{entry.text, entry.id});
        width = std::max(width, size.x);
        m_items.emplace_back(kBorder, y, 0, size.y);
        y += size.y;
    }
    width += kExtraWidth;
    for (wxRect &item : m_items)
        item.width = width;
    SetClientSize(width + 2 * kBorder, y + kBorder);
}

void CCommonMenuWindow::Popup(const wxPoint &screen, unsigned flags)
{
    const wxSize size = GetSize();
    wxPoint at = screen;
    if (flags & TPM_CENTERALIGN)
        at.x -= size.x / 2;
    else if (flags & TPM_RIGHTALIGN)
        at.x -= size.x;
    const int display = wxDisplay::GetFromPoint(screen);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetGeometry();
    if (at.x + size.x > area.GetRight() + 1)
        at.x = area.GetRight() + 1 - size.x;
    if (at.y + size.y > area.GetBottom() + 1)
        at.y = std::max(area.y, screen.y - size.y);
    at.x = std::max(at.x, area.x);
    Move(at);
    Show();
    if (!m_parentLevel && !HasCapture())
        CaptureMouse();
}

int CCommonMenuWindow::HitTest(const wxPoint &client) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].Contains(client))
            return int(i);
    return -1;
}

wxRect CCommonMenuWindow::ItemRect(int position) const
{
    return position >= 0 && position < int(m_items.size()) ? m_items[position] : wxRect();
}

void CCommonMenuWindow::Select(int position)
{
    const auto &entries = m_menu.Entries();
    if (position >= 0 && entries[position].id == 0)
        position = -1; // separators are never highlighted
    if (position == m_selection)
        return;
    CloseChild();
    m_selection = position;
    Refresh(false);
    if (position >= 0 && entries[position].popup)
        OpenChild(position);
}

void CCommonMenuWindow::Choose(int position)
{
    if (position < 0 || position >= int(m_items.size()))
        return;
    const CCommonMenu::Entry &entry = m_menu.Entries()[position];
    if (entry.id == 0 || entry.id == -1 || (entry.state & MF_GRAYED))
        return;
    Root()->Finish(entry.id);
}

void CCommonMenuWindow::Finish(int commandId)
{
    CCommonMenuWindow *root = Root();
    if (root->m_finished)
        return;
    root->m_finished = true;
    root->CloseChild();
    if (root->HasCapture())
        root->ReleaseMouse();
    root->Hide();
    if (root->m_done)
        root->m_done(commandId);
}

void CCommonMenuWindow::OpenChild(int position)
{
    const CCommonMenu *popup = m_menu.Entries()[position].popup;
    m_child = new CCommonMenuWindow(this, *popup);
    const wxRect item = ItemRect(position);
    m_child->Popup(ClientToScreen(wxPoint(item.GetRight() + 1, item.y - kBorder)), TPM_LEFTALIGN);
}

void CCommonMenuWindow::CloseChild()
{
    if (!m_child)
        return;
    m_child->CloseChild();
    m_child->Destroy();
    m_child = nullptr;
}

CCommonMenuWindow *CCommonMenuWindow::Root()
{
    CCommonMenuWindow *level = this;
    while (level->m_parentLevel)
        level = level->m_parentLevel;
    return level;
}

CCommonMenuWindow *CCommonMenuWindow::Deepest()
{
    CCommonMenuWindow *level = this;
    while (level->m_child)
        level = level->m_child;
    return level;
}

CCommonMenuWindow *CCommonMenuWindow::LevelAt(const wxPoint &screen)
{
    for (CCommonMenuWindow *level = Deepest(); level; level = level->m_parentLevel)
        if (level->GetScreenRect().Contains(screen))
            return level;
    return nullptr;
}

void CCommonMenuWindow::MoveSelection(int direction)
{
    const int count = int(m_items.size());
    for (int step = 1; step <= count; ++step) {
        const int position = ((m_selection < 0 ? (direction > 0 ? -1 : count) : m_selection) + direction * step +
                              2 * count) % count;
        if (m_menu.Entries()[position].id != 0) {
            Select(position);
            return;
        }
    }
}

void CCommonMenuWindow::HandleKey(int keyCode)
{
    CCommonMenuWindow *level = Deepest();
    switch (keyCode) {
    case WXK_ESCAPE:
        if (level->m_parentLevel)
            level->m_parentLevel->CloseChild();
        else
            Finish(0);
        break;
    case WXK_UP:
    case WXK_DOWN:
        level->MoveSelection(keyCode == WXK_DOWN ? 1 : -1);
        break;
    case WXK_LEFT:
        if (level->m_parentLevel)
            level->m_parentLevel->CloseChild();
        break;
    case WXK_RIGHT:
        if (level->m_parentLevel && level->m_selection < 0) // a sub-menu opened by the mouse
            level->MoveSelection(1);
        break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        level->Choose(level->m_selection);
        break;
    default:
        break;
    }
}

// Every pointer event arrives at the first level, which holds the capture.
void CCommonMenuWindow::OnMouse(wxMouseEvent &event)
{
    const wxPoint screen = ClientToScreen(event.GetPosition());
    CCommonMenuWindow *level = Root()->LevelAt(screen);
    const int position = level ? level->HitTest(level->ScreenToClient(screen)) : -1;
    if (event.Moving() || event.Dragging()) {
        if (level)
            level->Select(position);
        else
            Deepest()->Select(-1);
    } else if (event.ButtonDown() || event.ButtonDClick()) {
        if (!level)
            Finish(0);
        else
            m_pressedInside = true;
    } else if (event.ButtonUp()) {
        if (level && m_pressedInside)
            level->Choose(position);
        m_pressedInside = false;
    }
}

void CCommonMenuWindow::OnCaptureLost(wxMouseCaptureLostEvent &)
{
    Finish(0);
}

void CCommonMenuWindow::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CCommonMenuWindow::Render(wxDC &dc) const
{
    FrameSolid(dc, wxRect(GetClientSize()), kFrame);
    const auto &entries = m_menu.Entries();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const CCommonMenu::Entry &entry = entries[i];
        const MENUITEM item = entry.record ? *entry.record : MENUITEM{entry.text, entry.id};
        unsigned state = 0;
        if (int(i) == m_selection)
            state |= ODS_SELECTED;
        if (entry.state & MF_GRAYED)
            state |= ODS_GRAYED;
        if (entry.state & MF_CHECKED)
            state |= ODS_CHECKED;
        const wxRect &rect = m_items[i];
        m_menu.DrawItem(dc, item, rect, state);
        if (entry.popup) { // the platform's sub-menu arrow
            const int cx = rect.GetRight() - 8, cy = rect.y + rect.height / 2;
            for (int k = 0; k < 4; ++k)
                FillSolid(dc, wxRect(cx + k, cy - 3 + k, 1, 7 - 2 * k),
                          int(i) == m_selection ? m_menu.GetHighlightTextColour() : m_menu.GetNormalTextColour());
        }
    }
}
