// The tree control under the skinned trees, which paint every item
// themselves: it keeps the items (text, data, two image numbers, expanded
// state) and the selection, lays the visible items out in rows of label
// rectangles, scrolls with the skin's scroll bar, the wheel and the keyboard,
// and moves the selection with the keys without telling anyone. Derived
// trees draw the items (Render) and decide what the mouse does.
#pragma once

#include <wx/window.h>

#include <memory>
#include <vector>

struct TREEITEM; // an item; its handle stays valid until DeleteAllItems
using HTREEITEM = TREEITEM *;

class CCommonScrollBar;
class CScrollBarEvent;

enum : long {
    TVS_SHOWSELALWAYS = 0x0020, // the selected item stays highlighted without the focus
};

enum : int {
    TVE_COLLAPSE = 1,
    TVE_EXPAND = 2,
    TVE_TOGGLE = 3,
};

class CTreeCtrl : public wxWindow {
public:
    static constexpr int kDefaultIndent = 19;
    static constexpr int kLeftMargin = 3;  // label rectangle of a top-level item starts here
    static constexpr int kTextPadding = 2; // on each side of the text in its label rectangle
    static constexpr int kMinItemHeight = 18;
    static constexpr int kWheelRows = 3;

    CTreeCtrl();
    ~CTreeCtrl() override;
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize, long style = 0);

    // Appends an item under parent (null: at the top level).
    HTREEITEM InsertItem(const wxString &text, HTREEITEM parent = nullptr);
    void DeleteAllItems();
    // Counts the DeleteAllItems calls: a handle taken under another count is gone.
    unsigned GetGeneration() const { return m_generation; }

    HTREEITEM GetRootItem() const; // the first top-level item
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetChildItem(HTREEITEM item) const; // the first child
    HTREEITEM GetParentItem(HTREEITEM item) const;
    bool ItemHasChildren(HTREEITEM item) const;
    int GetItemDepth(HTREEITEM item) const; // 0 for a top-level item

    wxString GetItemText(HTREEITEM item) const;
    wxIntPtr GetItemData(HTREEITEM item) const;
    void SetItemData(HTREEITEM item, wxIntPtr data);
    void GetItemImage(HTREEITEM item, int &image, int &selectedImage) const;
    void SetItemImage(HTREEITEM item, int image, int selectedImage);

    bool IsExpanded(HTREEITEM item) const;
    // Expands, collapses or toggles an item with children; false for one without.
    // A selection hidden by the collapse moves to the collapsed item.
    bool Expand(HTREEITEM item, int code);

    HTREEITEM GetSelectedItem() const { return m_selected; }
    bool SelectItem(HTREEITEM item); // null clears the selection
    // Selected, and the tree has the focus or the TVS_SHOWSELALWAYS style.
    bool IsHighlighted(HTREEITEM item) const;

    // Visible items are those whose ancestors are all expanded, one row each.
    HTREEITEM GetFirstVisibleItem() const; // the first row in the window
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const;
    HTREEITEM GetPrevVisibleItem(HTREEITEM item) const;
    HTREEITEM GetLastVisibleItem() const;
    // The item's row across the window, or with textOnly its label rectangle:
    // the text and 2 pixels each side, indented by depth. False while hidden.
    bool GetItemRect(HTREEITEM item, wxRect *rect, bool textOnly) const;
    // The item on whose row the point lies, or null.
    HTREEITEM HitTest(const wxPoint &point) const;

    int GetIndent() const { return m_indent; }
    void SetIndent(int indent);
    int GetItemHeight() const;
    // The font items are measured and drawn in: the parent's.
    wxFont GetItemFont() const;

    // Expands the item's ancestors and scrolls it into the window.
    void EnsureVisible(HTREEITEM item);
    // Scrolls so that the item is the first row.
    bool SelectSetFirstVisible(HTREEITEM item);
    int GetScrollX() const { return m_scrollX; }
    void SetScrollX(int x);
    CCommonScrollBar *GetScrollBar() const { return m_bar; }

    // Paints the whole client area.
    virtual void Render(wxDC &dc) const = 0;

private:
    void OnPaint(wxPaintEvent &event);
    void OnSize(wxSizeEvent &event);
    void OnKeyDown(wxKeyEvent &event);
    void OnMouseWheel(wxMouseEvent &event);
    void OnFocus(wxFocusEvent &event);
    void OnScrollBar(CScrollBarEvent &event);

    const std::vector<std::unique_ptr<TREEITEM>> &Siblings(HTREEITEM item) const;
    // Lays out the rows again after a change of the items or their states.
    void Relayout();
    int RowsInWindow() const;
    int ItemsWidth() const; // the client width left of the scroll bar
    void ScrollToRow(int row);
    void MoveSelection(HTREEITEM item);

    std::vector<std::unique_ptr<TREEITEM>> m_items;
    std::vector<HTREEITEM> m_rows; // the visible items, in order
    HTREEITEM m_selected = nullptr;
    unsigned m_generation = 0;
    int m_indent = kDefaultIndent;
    int m_firstRow = 0;
    int m_scrollX = 0;
    CCommonScrollBar *m_bar = nullptr; // owned by wx as a child

    wxDECLARE_EVENT_TABLE();
};
