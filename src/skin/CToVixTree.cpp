#include "skin/CToVixTree.h"

#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"

const wxColour CToVixTree::kHighlight(234, 244, 251);
const wxColour CToVixTree::kLine(120, 120, 120);


wxBEGIN_EVENT_TABLE(CToVixTree, CTreeCtrl)
    EVT_LEFT_DOWN(CToVixTree::OnLButtonDown)
    EVT_LEFT_DCLICK(CToVixTree::OnLButtonDblClk)
wxEND_EVENT_TABLE()

CToVixTree::CToVixTree()
{
    LoadResourceGlyphs(IDB_EXPANDERS, m_expanders);
    LoadResourceGlyphs(IDB_BULLETS, m_bullets);
}

bool CToVixTree::IsCategory(HTREEITEM item) const
{
    return ItemHasChildren(item) || !GetParentItem(item);
}

const wxBitmap &CToVixTree::GlyphOf(HTREEITEM item) const
{
    if (IsCategory(item))
        return m_expanders[IsExpanded(item) ? 1 : 0];
    return m_bullets[IsHighlighted(item) ? 1 : 0];
}

void CToVixTree::Render(wxDC &dc) const
{
    FillSolid(dc, wxRect(GetClientSize()), GetBackgroundColour());
    dc.SetFont(GetItemFont());
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    ForEachShownLabel([&](HTREEITEM item, const wxRect &label) {
        DrawConnectors(dc, item, label, kLine);

        int left = label.x + 2;
        const int top = label.y + 2, bottom = label.GetBottom() + 1 - 2;
        const bool category = IsCategory(item);
        const wxBitmap &glyph = GlyphOf(item);
        const int glyphHeight = (category ? m_expanders : m_bullets)[1].GetHeight();
        if (glyph.IsOk()) {
            dc.DrawBitmap(glyph, left, (top + bottom) / 2 - glyphHeight / 2);
            left += glyph.GetWidth();
        }
        left += 3 + 3;

        const wxString text = GetItemText(item);
        const int textWidth = dc.GetTextExtent(text).x;
        if (IsHighlighted(item))
            FillSolid(dc, wxRect(left - 3, top, textWidth + 6, bottom - top), kHighlight);
        dc.DrawLabel(text, wxRect(left, top, textWidth + 3, bottom - top), wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    });
}

HTREEITEM CToVixTree::ClickedItem(const wxPoint &point, wxRect *label) const
{
    HTREEITEM item = HitTest(point);
    if (!item || !GetItemRect(item, label, true))
        return nullptr;
    label->width += kClickExtra;
    return label->Contains(point) ? item : nullptr;
}

void CToVixTree::ToggleAccordion(HTREEITEM item)
{
    if (IsExpanded(item)) {
        Expand(item, TVE_COLLAPSE);
        return;
    }
    for (HTREEITEM root = GetRootItem(); root; root = GetNextSiblingItem(root))
        if (ItemHasChildren(root))
            Expand(root, TVE_COLLAPSE);
    Expand(item, TVE_EXPAND);
}

// The platform's own click handling (focus, selection, dragging) is left out.
void CToVixTree::OnLButtonDown(wxMouseEvent &event)
{
    wxRect label;
    HTREEITEM item = ClickedItem(event.GetPosition(), &label);
    if (!item)
        return;
    SelectItem(item);
    const unsigned generation = GetGeneration();
    SendWindowMessage(GetParent(), WM_SHOW_CHANNEL, 0, GetItemData(item));
    if (GetGeneration() != generation) // the parent refilled the tree: the item is gone
        return;
    if (GetChildItem(item) && event.GetX() < label.x + kGlyphZone)
        ToggleAccordion(item);
}

void CToVixTree::OnLButtonDblClk(wxMouseEvent &event)
{
    wxRect label;
    HTREEITEM item = ClickedItem(event.GetPosition(), &label);
    if (!item)
        return;
    SelectItem(item);
    if (GetChildItem(item))
        ToggleAccordion(item);
}
