#include "skin/CChooseTree.h"

#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinPaint.h"

#include <wx/settings.h>

#include <vector>

const wxColour CChooseTree::kHighlightText(92, 108, 248);
const wxColour CChooseTree::kLine(120, 120, 120);

wxBEGIN_EVENT_TABLE(CChooseTree, CTreeCtrl)
    EVT_ERASE_BACKGROUND(CChooseTree::OnEraseBackground)
    EVT_LEFT_DOWN(CChooseTree::OnClick)
    EVT_LEFT_DCLICK(CChooseTree::OnDoubleClick)
wxEND_EVENT_TABLE()

CChooseTree::CChooseTree()
{
    LoadResourceGlyphs(IDB_EXPANDERS, m_expanders);
    LoadResourceGlyphs(IDB_CHECKBOXES, m_checkBoxes);
}

int CChooseTree::GetCheck(HTREEITEM item) const
{
    int image = 0, selected = 0;
    GetItemImage(item, image, selected);
    return selected;
}

void CChooseTree::SetCheck(HTREEITEM item, int check)
{
    SetItemImage(item, check, check);
}

void CChooseTree::SetCheckWithDescendants(HTREEITEM item, int check)
{
    std::vector<HTREEITEM> pending{item};
    while (!pending.empty()) {
        HTREEITEM next = pending.back();
        pending.pop_back();
        SetCheck(next, check);
        for (HTREEITEM child = GetChildItem(next); child; child = GetNextSiblingItem(child))
            pending.push_back(child);
    }
    UpdateAncestors(item);
    Refresh(false);
}

void CChooseTree::UpdateAncestors(HTREEITEM item)
{
    for (HTREEITEM parent = GetParentItem(item); parent; parent = GetParentItem(parent)) {
        int any = 0;
        for (HTREEITEM child = GetChildItem(parent); child && !any; child = GetNextSiblingItem(child))
            any = GetCheck(child) == 1 ? 1 : 0;
        SetCheck(parent, any);
    }
}

bool CChooseTree::HasExpander(HTREEITEM item) const
{
    return ItemHasChildren(item) || !GetParentItem(item);
}

wxRect CChooseTree::ImageBand(const wxRect &label)
{
    return wxRect(label.x + 2, label.y + 2, label.width - 2, label.height - 4);
}

// The check box follows the expander when there is one, as Render draws it.
bool CChooseTree::GetCheckBoxRect(HTREEITEM item, wxRect *rect) const
{
    wxRect label;
    if (!rect || !GetItemRect(item, &label, true))
        return false;
    const wxRect band = ImageBand(label);
    const int left = band.x + (HasExpander(item) ? m_expanders[0].GetWidth() + kImageGap : 0);
    *rect = wxRect(left, band.y, m_checkBoxes[0].GetWidth(), band.height);
    return true;
}

void CChooseTree::Render(wxDC &dc) const
{
    FillSolid(dc, wxRect(GetClientSize()), GetBackgroundColour());
    dc.SetFont(GetItemFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    ForEachShownLabel([&](HTREEITEM item, const wxRect &label) {
        DrawConnectors(dc, item, label, kLine);

        const wxRect band = ImageBand(label);
        const int middle = band.y + band.height / 2;
        int left = band.x;
        if (HasExpander(item)) {
            const wxBitmap &glyph = m_expanders[IsExpanded(item) ? 1 : 0];
            if (glyph.IsOk())
                dc.DrawBitmap(glyph, left, middle - glyph.GetHeight() / 2, true);
            left += m_expanders[0].GetWidth() + kImageGap;
        }
        const wxBitmap &box = m_checkBoxes[GetCheck(item) == 1 ? 1 : 0];
        if (box.IsOk())
            dc.DrawBitmap(box, left, middle - box.GetHeight() / 2, true);
        left += m_checkBoxes[0].GetWidth() + kImageGap + kImageGap;

        const wxString text = GetItemText(item);
        const int textWidth = dc.GetTextExtent(text).x;
        dc.SetTextForeground(IsHighlighted(item) ? kHighlightText : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
        dc.DrawLabel(text, wxRect(left, band.y, textWidth + 3, band.height), wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    });
}

void CChooseTree::OnEraseBackground(wxEraseEvent &)
{
}

// The platform's own click handling (focus, dragging) is left out, as in the other skinned trees.
void CChooseTree::OnClick(wxMouseEvent &event)
{
    const wxPoint point = event.GetPosition();
    HTREEITEM item = HitTest(point);
    if (!item || point.x < kClickInset)
        return;
    SelectItem(item);

    wxRect box;
    if (GetCheckBoxRect(item, &box) && box.Contains(point))
        SetCheckWithDescendants(item, GetCheck(item) == 1 ? 0 : 1);

    wxRect label;
    if (ItemHasChildren(item) && GetItemRect(item, &label, true) && point.x >= label.x &&
        point.x < label.x + kGlyphZone)
        Expand(item, IsExpanded(item) ? TVE_COLLAPSE : TVE_EXPAND);
}

void CChooseTree::OnDoubleClick(wxMouseEvent &)
{
    if (HTREEITEM item = GetSelectedItem())
        Expand(item, IsExpanded(item) ? TVE_COLLAPSE : TVE_EXPAND);
}
