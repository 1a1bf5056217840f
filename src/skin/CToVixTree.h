// The main window's channel tree: a light tree with dotted connector lines,
// its own plus/minus glyphs for categories and bullets for channels. A click
// on an item's label selects it and tells the parent (WM_SHOW_CHANNEL with
// the item's data); the glyph opens a category and closes every other one.
#pragma once

#include "skin/CTreeCtrl.h"

#include <wx/bitmap.h>

class CToVixTree : public CTreeCtrl {
public:
    static constexpr int kClickExtra = 15; // the click zone reaches this far right of the label rectangle
    static constexpr int kGlyphZone = 15;  // the first pixels of the label rectangle: the glyph
    static const wxColour kHighlight;
    static const wxColour kLine;

    CToVixTree();

    void Render(wxDC &dc) const override;

    // A category has children or is at the top level; it shows a plus or minus glyph.
    bool IsCategory(HTREEITEM item) const;
    // The glyph an item shows now.
    const wxBitmap &GlyphOf(HTREEITEM item) const;

private:
    void OnLButtonDown(wxMouseEvent &event);
    void OnLButtonDblClk(wxMouseEvent &event);

    // The item whose click zone (label rectangle + 15 pixels) holds the point, or null.
    HTREEITEM ClickedItem(const wxPoint &point, wxRect *label) const;
    // Closes an open item; opens a closed one after closing every open category.
    void ToggleAccordion(HTREEITEM item);
    void DrawConnectors(wxDC &dc, HTREEITEM item, const wxRect &label) const;

    wxBitmap m_expanders[2]; // collapsed, expanded
    wxBitmap m_bullets[2];   // normal, highlighted

    wxDECLARE_EVENT_TABLE();
};
