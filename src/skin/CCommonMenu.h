// Popup menus whose items the program paints itself: white, with a beige strip
// down the left, a framed light-blue highlight with blue text under the mouse,
// and etched separators. Built from a menu resource; the top level is a bar
// that is never shown, its popups are (GetSubMenu(0) for the usual menus).
#pragma once

#include "skin/MenuResource.h"

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/window.h>

#include <memory>
#include <vector>

// The data of one owner-drawn item.
struct MENUITEM {
    wxString text; // empty for a separator
    int id = 0;    // 0 separator, -1 opens a sub-menu, else the command id
};

// Item states of a draw request.
enum : unsigned {
    ODS_SELECTED = 0x1,
    ODS_GRAYED = 0x2,
    ODS_CHECKED = 0x8,
};

// Alignment of a popup against its x coordinate.
enum : unsigned {
    TPM_LEFTALIGN = 0x0,
    TPM_RIGHTBUTTON = 0x2,
    TPM_CENTERALIGN = 0x4,
    TPM_RIGHTALIGN = 0x8,
};

class CCommonMenu {
public:
    // One position of a menu.
    struct Entry {
        wxString text;
        int id = 0;                       // 0 separator, -1 popup, else the command id
        unsigned state = 0;               // MF_GRAYED, MF_CHECKED
        const MENUITEM *record = nullptr; // set for owner-drawn items
        CCommonMenu *popup = nullptr;     // the sub-menu this position opens
    };

    static constexpr int kSeparatorHeight = 10;
    static constexpr int kGlyphWidth = 16;
    static constexpr int kGlyphHeight = 15;
    static constexpr int kSubMenuExtra = 15;
    static constexpr int kStripWidth = kGlyphWidth + 5;
    static constexpr int kMaxPointSize = 9;

    CCommonMenu();
    ~CCommonMenu();
    CCommonMenu(const CCommonMenu &) = delete;
    CCommonMenu &operator=(const CCommonMenu &) = delete;

    // Builds the bar and its owner-drawn popups; returns nonzero.
    int LoadSkinMenu(int resourceId);
    int LoadSkinMenu(const std::vector<MenuResourceItem> &resource);

    // The popup opened by a position, or null.
    CCommonMenu *GetSubMenu(int position) const;
    const std::vector<Entry> &Entries() const { return m_entries; }

    // Size of an owner-drawn item: 10 high for a separator (width 0, left to the
    // menu), else text width + 16 (+ 15 when it opens a sub-menu) by 19.
    wxSize MeasureItem(const MENUITEM &item) const;
    // Paints an owner-drawn item into rect with the ODS_ state bits.
    void DrawItem(wxDC &dc, const MENUITEM &item, const wxRect &rect, unsigned itemState) const;
    const wxFont &GetFont() const { return m_font; }
    const wxColour &GetHighlightTextColour() const { return m_highlightText; }
    const wxColour &GetNormalTextColour() const { return m_normalText; }

    // Shows this menu at (x, y) on the screen and tracks it until an item is
    // chosen or the menu is dismissed. A chosen command reaches owner afterwards
    // as an ordinary wxEVT_MENU; the call returns its id, or 0.
    int TrackPopupMenu(unsigned flags, int x, int y, wxWindow *owner);

private:
    // Builds an owner-drawn popup from a resource's items. Runs on the object
    // LoadSkinMenu ran on, which owns every popup and record it makes.
    CCommonMenu *BuildOwnerDrawPopup(const std::vector<MenuResourceItem> &source);
    const MENUITEM *AddRecord(const wxString &text, int id);

    wxColour m_background;
    wxColour m_highlightText;
    wxColour m_normalText;
    wxFont m_font;
    std::vector<std::unique_ptr<CCommonMenu>> m_subMenus;
    std::vector<std::unique_ptr<MENUITEM>> m_records;
    std::vector<Entry> m_entries;
};
