#include "skin/CToVixTree.h"

#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"

const wxColour CToVixTree::kHighlight(234, 244, 251);
const wxColour CToVixTree::kLine(120, 120, 120);

namespace {

// Two images of a glyph resource, side by side.
void SplitGlyphs(int resourceId, wxBitmap (&images)[2])
{
    const wxBitmap strip = LoadResourceBitmap(resourceId);
    if (!strip.IsOk())
        return;
    const int width = strip.GetWidth() / 2;
    for (int i = 0; i < 2; ++i)
        images[i] = strip.GetSubBitmap(wxRect(i * width, 0, width, strip.GetHeight()));
}

// Every second pixel from the start, the end itself never.
void DottedVertical(wxDC &dc, int x, int y1, int y2)
{
    for (int y = y1; y < y2; y += 2)
        FillSolid(dc, wxRect(x, y, 1, 1), CToVixTree::kLine);
}

void DottedHorizontal(wxDC &dc, int x1, int x2, int y)
{
    for (int x = x1; x < x2; x += 2)
        FillSolid(dc, wxRect(x, y, 1, 1), CToVixTree::kLine);
}

} // namespace

wxBEGIN_EVENT_TABLE(CToVixTree, CTreeCtrl)
    EVT_LEFT_DOWN(CToVixTree::OnLButtonDown)
    EVT_LEFT_DCLICK(CToVixTree::OnLButtonDblClk)
wxEND_EVENT_TABLE()

CToVixTree::CToVixTree()
{
    SplitGlyphs(IDB_EXPANDERS, m_expanders);
    SplitGlyphs(IDB_BULLETS, m_bullets);
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

void CToVixTree::DrawConnectors(wxDC &dc, HTREEITEM item, const wxRect &label) const
{
    const int indent = GetIndent();
    const int left = label.x, top = label.y, bottom = label.GetBottom() + 1;
    const int mid = top + (bottom - top) / 2;
    const int column = left - indent + 6; // under the middle of the parent's glyph
    if (GetParentItem(item)) {
        DottedVertical(dc, column, top, mid);
        DottedHorizontal(dc, column, left, mid);
    }
    if (GetChildItem(item) && IsExpanded(item))
        DottedVertical(dc, left + 6, mid, bottom);
    if (GetNextSiblingItem(item))
        DottedVertical(dc, column, mid, bottom);
    if (GetItemDepth(item) >= 2) {
        int k = 2;
        for (HTREEITEM up = GetParentItem(item); up; up = GetParentItem(up), ++k)
            if (GetNextSiblingItem(up))
                DottedVertical(dc, left - k * indent + 6, top, bottom);
    }
}

void CToVixTree::Render(wxDC &dc) const
{
    const wxSize client = GetClientSize();
    FillSolid(dc, wxRect(client), GetBackgroundColour());
    HTREEITEM item = GetFirstVisibleItem();
    if (!item)
        return;
    dc.SetFont(GetItemFont());
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (; item; item = GetNextVisibleItem(item)) {
        wxRect label;
        if (!GetItemRect(item, &label, true))
            continue;
        if (label.y >= client.y)
            break;
        DrawConnectors(dc, item, label);

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
    }
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
