// The settings dialog's channel tree: every item carries a check box, and
// categories an expander glyph. Ticking an item ticks or clears all its
// descendants; a parent is ticked while at least one of its children is.
#pragma once

#include "skin/CTreeCtrl.h"

#include <wx/bitmap.h>

class CChooseTree : public CTreeCtrl {
public:
    static constexpr int kClickInset = 5;   // the row's first pixels do not react to a click
    static constexpr int kGlyphZone = 13;   // the first pixels of the label rectangle: the expander
    static constexpr int kImageGap = 3;     // after each image, and once more before the text
    static const wxColour kHighlightText;
    static const wxColour kLine;

    CChooseTree();

    void Render(wxDC &dc) const override;

    // An item's check state is its selected-image number: 1 ticked, 0 not.
    int GetCheck(HTREEITEM item) const;
    void SetCheck(HTREEITEM item, int check);
    // Sets the state on the item and every descendant, then brings its ancestors in line.
    void SetCheckWithDescendants(HTREEITEM item, int check);
    // Ticks each ancestor that has a ticked child and clears the others, up to the top.
    void UpdateAncestors(HTREEITEM item);

    // Categories (items with children, and every top-level item) show an expander.
    bool HasExpander(HTREEITEM item) const;
    // Where the item's check box lies; false while the item is hidden.
    bool GetCheckBoxRect(HTREEITEM item, wxRect *rect) const;

    const wxBitmap &ExpanderImage(int index) const { return m_expanders[index]; }
    const wxBitmap &CheckBoxImage(int index) const { return m_checkBoxes[index]; }

private:
    void OnEraseBackground(wxEraseEvent &event);
    void OnClick(wxMouseEvent &event);
    void OnDoubleClick(wxMouseEvent &event);

    // The label rectangle with its left and top edges 2 pixels in and its bottom 2 pixels up.
    static wxRect ImageBand(const wxRect &label);

    wxBitmap m_expanders[2];  // collapsed, expanded
    wxBitmap m_checkBoxes[2]; // empty, ticked

    wxDECLARE_EVENT_TABLE();
};
