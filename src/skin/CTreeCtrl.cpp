#include "skin/CTreeCtrl.h"

#include "skin/CCommonScrollBar.h"
#include "skin/SkinEvents.h"

#include <wx/dcbuffer.h>

#include <algorithm>

struct TREEITEM {
    wxString text;
    wxIntPtr data = 0;
    int image = 0;
    int selectedImage = 0;
    bool expanded = false;
    TREEITEM *parent = nullptr; // null at the top level
    size_t index = 0;           // among its siblings
    int row = -1;               // while visible, else -1
    std::vector<std::unique_ptr<TREEITEM>> children;
};

wxBEGIN_EVENT_TABLE(CTreeCtrl, wxWindow)
    EVT_PAINT(CTreeCtrl::OnPaint)
    EVT_SIZE(CTreeCtrl::OnSize)
    EVT_KEY_DOWN(CTreeCtrl::OnKeyDown)
    EVT_MOUSEWHEEL(CTreeCtrl::OnMouseWheel)
    EVT_SET_FOCUS(CTreeCtrl::OnFocus)
    EVT_KILL_FOCUS(CTreeCtrl::OnFocus)
    EVT_SKIN_VSCROLL(CTreeCtrl::OnScrollBar)
wxEND_EVENT_TABLE()

CTreeCtrl::CTreeCtrl() = default;
CTreeCtrl::~CTreeCtrl() = default;

bool CTreeCtrl::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size, long style)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, style | wxBORDER_NONE | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE))
        return false;
    m_bar = new CCommonScrollBar(this, wxID_ANY);
    m_bar->Hide();
    Relayout();
    return true;
}

HTREEITEM CTreeCtrl::InsertItem(const wxString &text, HTREEITEM parent)
{
    auto &siblings = parent ? parent->children : m_items;
    auto item = std::make_unique<TREEITEM>();
    item->text = text;
    item->parent = parent;
    item->index = siblings.size();
    siblings.push_back(std::move(item));
    Relayout();
    return siblings.back().get();
}

void CTreeCtrl::DeleteAllItems()
{
    m_rows.clear();
    m_items.clear();
    m_selected = nullptr;
    m_firstRow = 0;
    m_scrollX = 0;
    ++m_generation;
    Relayout();
}

const std::vector<std::unique_ptr<TREEITEM>> &CTreeCtrl::Siblings(HTREEITEM item) const
{
    return item->parent ? item->parent->children : m_items;
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    return m_items.empty() ? nullptr : m_items.front().get();
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    const auto &siblings = Siblings(item);
    return item->index + 1 < siblings.size() ? siblings[item->index + 1].get() : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const
{
    return item && !item->children.empty() ? item->children.front().get() : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const
{
    return item ? item->parent : nullptr;
}

bool CTreeCtrl::ItemHasChildren(HTREEITEM item) const
{
    return item && !item->children.empty();
}

int CTreeCtrl::GetItemDepth(HTREEITEM item) const
{
    int depth = 0;
    for (HTREEITEM up = item ? item->parent : nullptr; up; up = up->parent)
        ++depth;
    return depth;
}

wxString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    return item ? item->text : wxString();
}

wxIntPtr CTreeCtrl::GetItemData(HTREEITEM item) const
{
    return item ? item->data : 0;
}

void CTreeCtrl::SetItemData(HTREEITEM item, wxIntPtr data)
{
    if (item)
        item->data = data;
}

void CTreeCtrl::GetItemImage(HTREEITEM item, int &image, int &selectedImage) const
{
    image = item ? item->image : 0;
    selectedImage = item ? item->selectedImage : 0;
}

void CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage)
{
    if (!item)
        return;
    item->image = image;
    item->selectedImage = selectedImage;
    Refresh(false);
}

bool CTreeCtrl::IsExpanded(HTREEITEM item) const
{
    return item && item->expanded;
}

bool CTreeCtrl::Expand(HTREEITEM item, int code)
{
    if (!ItemHasChildren(item) || (code != TVE_EXPAND && code != TVE_COLLAPSE && code != TVE_TOGGLE))
        return false;
    const bool expand = code == TVE_EXPAND || (code == TVE_TOGGLE && !item->expanded);
    item->expanded = expand;
    if (!expand)
        for (HTREEITEM up = m_selected ? m_selected->parent : nullptr; up; up = up->parent)
            if (up == item)
                m_selected = item;
    Relayout();
    return true;
}

bool CTreeCtrl::SelectItem(HTREEITEM item)
{
    m_selected = item;
    Refresh(false);
    return true;
}

bool CTreeCtrl::IsHighlighted(HTREEITEM item) const
{
    return item && item == m_selected && (HasFocus() || HasFlag(TVS_SHOWSELALWAYS));
}

HTREEITEM CTreeCtrl::GetFirstVisibleItem() const
{
    return m_firstRow < int(m_rows.size()) ? m_rows[m_firstRow] : nullptr;
}

HTREEITEM CTreeCtrl::GetNextVisibleItem(HTREEITEM item) const
{
    if (!item || item->row < 0 || item->row + 1 >= int(m_rows.size()))
        return nullptr;
    return m_rows[item->row + 1];
}

HTREEITEM CTreeCtrl::GetPrevVisibleItem(HTREEITEM item) const
{
    if (!item || item->row <= 0)
        return nullptr;
    return m_rows[item->row - 1];
}

HTREEITEM CTreeCtrl::GetLastVisibleItem() const
{
    return m_rows.empty() ? nullptr : m_rows.back();
}

bool CTreeCtrl::GetItemRect(HTREEITEM item, wxRect *rect, bool textOnly) const
{
    if (!item || item->row < 0 || !rect)
        return false;
    const int height = GetItemHeight();
    const int y = (item->row - m_firstRow) * height;
    if (!textOnly) {
        *rect = wxRect(0, y, ItemsWidth(), height);
        return true;
    }
    const wxFont font = GetItemFont();
    int textWidth = 0, textHeight = 0;
    GetTextExtent(item->text, &textWidth, &textHeight, nullptr, nullptr, &font);
    const int x = kLeftMargin + GetItemDepth(item) * m_indent - m_scrollX;
    *rect = wxRect(x, y, textWidth + 2 * kTextPadding, height);
    return true;
}

HTREEITEM CTreeCtrl::HitTest(const wxPoint &point) const
{
    if (point.x < 0 || point.x >= ItemsWidth() || point.y < 0)
        return nullptr;
    const int row = m_firstRow + point.y / GetItemHeight();
    return row < int(m_rows.size()) ? m_rows[row] : nullptr;
}

void CTreeCtrl::SetIndent(int indent)
{
    m_indent = indent;
    Refresh(false);
}

int CTreeCtrl::GetItemHeight() const
{
    const wxFont font = GetItemFont();
    int width = 0, height = 0;
    GetTextExtent("Ag", &width, &height, nullptr, nullptr, &font);
    return std::max(kMinItemHeight, height + 4);
}

wxFont CTreeCtrl::GetItemFont() const
{
    const wxWindow *parent = GetParent();
    return parent && parent->GetFont().IsOk() ? parent->GetFont() : GetFont();
}

void CTreeCtrl::EnsureVisible(HTREEITEM item)
{
    if (!item)
        return;
    bool expanded = false;
    for (HTREEITEM up = item->parent; up; up = up->parent)
        if (!up->expanded)
            up->expanded = expanded = true;
    if (expanded)
        Relayout();
    const int rows = std::max(1, RowsInWindow());
    if (item->row < m_firstRow)
        ScrollToRow(item->row);
    else if (item->row >= m_firstRow + rows)
        ScrollToRow(item->row - rows + 1);
}

bool CTreeCtrl::SelectSetFirstVisible(HTREEITEM item)
{
    if (!item || item->row < 0)
        return false;
    ScrollToRow(item->row);
    return true;
}

void CTreeCtrl::SetScrollX(int x)
{
    int widest = 0;
    for (HTREEITEM item : m_rows) {
        wxRect rect;
        GetItemRect(item, &rect, true);
        widest = std::max(widest, rect.GetRight() + 1 + m_scrollX);
    }
    // Room for what derived trees draw right of a label rectangle.
    const int limit = std::max(0, widest + m_indent - ItemsWidth());
    m_scrollX = std::clamp(x, 0, limit);
    Refresh(false);
}

int CTreeCtrl::RowsInWindow() const
{
    return GetClientSize().y / GetItemHeight();
}

int CTreeCtrl::ItemsWidth() const
{
    const int width = GetClientSize().x;
    return m_bar && m_bar->IsShown() ? width - CCommonScrollBar::kBarWidth : width;
}

void CTreeCtrl::Relayout()
{
    for (HTREEITEM item : m_rows)
        item->row = -1;
    m_rows.clear();
    // depth-first, through expanded items only
    std::vector<HTREEITEM> pending;
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        pending.push_back(it->get());
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        item->row = int(m_rows.size());
        m_rows.push_back(item);
        if (item->expanded)
            for (auto it = item->children.rbegin(); it != item->children.rend(); ++it)
                pending.push_back(it->get());
    }
    ScrollToRow(m_firstRow);
}

void CTreeCtrl::ScrollToRow(int row)
{
    const int total = int(m_rows.size());
    const int visible = std::max(1, RowsInWindow());
    m_firstRow = std::clamp(row, 0, std::max(0, total - visible));
    if (m_bar) {
        const wxSize client = GetClientSize();
        const bool needed = total > visible;
        if (needed) {
            m_bar->SetSize(client.x - CCommonScrollBar::kBarWidth, 0, CCommonScrollBar::kBarWidth, client.y);
            m_bar->SetBarInfo(visible, m_firstRow, total);
            m_bar->Refresh(false);
        }
        m_bar->Show(needed);
    }
    Refresh(false);
}

void CTreeCtrl::MoveSelection(HTREEITEM item)
{
    if (!item)
        return;
    SelectItem(item);
    EnsureVisible(item);
}

void CTreeCtrl::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CTreeCtrl::OnSize(wxSizeEvent &)
{
    ScrollToRow(m_firstRow);
}

void CTreeCtrl::OnKeyDown(wxKeyEvent &event)
{
    HTREEITEM current = m_selected && m_selected->row >= 0 ? m_selected : nullptr;
    const int page = std::max(1, RowsInWindow() - 1);
    auto rowItem = [&](int row) { return m_rows.empty() ? nullptr : m_rows[std::clamp(row, 0, int(m_rows.size()) - 1)]; };
    switch (event.GetKeyCode()) {
    case WXK_UP:
        MoveSelection(current ? GetPrevVisibleItem(current) : GetFirstVisibleItem());
        break;
    case WXK_DOWN:
        MoveSelection(current ? GetNextVisibleItem(current) : GetFirstVisibleItem());
        break;
    case WXK_HOME:
        MoveSelection(GetRootItem());
        break;
    case WXK_END:
        MoveSelection(GetLastVisibleItem());
        break;
    case WXK_PAGEUP:
        MoveSelection(rowItem(current ? current->row - page : m_firstRow));
        break;
    case WXK_PAGEDOWN:
        MoveSelection(rowItem(current ? current->row + page : m_firstRow));
        break;
    case WXK_LEFT:
        if (current && current->expanded)
            Expand(current, TVE_COLLAPSE);
        else if (current)
            MoveSelection(current->parent);
        break;
    case WXK_RIGHT:
        if (current && ItemHasChildren(current) && !current->expanded)
            Expand(current, TVE_EXPAND);
        else if (current)
            MoveSelection(GetChildItem(current));
        break;
    default:
        event.Skip();
        break;
    }
}

void CTreeCtrl::OnMouseWheel(wxMouseEvent &event)
{
    const int steps = event.GetWheelRotation() / std::max(1, event.GetWheelDelta());
    if (event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL || event.ShiftDown())
        SetScrollX(m_scrollX - steps * m_indent);
    else
        ScrollToRow(m_firstRow - steps * kWheelRows);
}

void CTreeCtrl::OnFocus(wxFocusEvent &event)
{
    Refresh(false);
    event.Skip();
}

void CTreeCtrl::OnScrollBar(CScrollBarEvent &event)
{
    const int visible = std::max(1, RowsInWindow());
    switch (event.Code()) {
    case SB_PAGEUP:
        ScrollToRow(m_firstRow - visible);
        break;
    case SB_PAGEDOWN:
        ScrollToRow(m_firstRow + visible);
        break;
    default: // the bar has moved its position by a line or by the thumb
        ScrollToRow(m_bar->GetPos());
        break;
    }
}
