// Menu resources: the description a CCommonMenu is built from. Like a menu
// template, the top level is a bar whose popups hold the items.
#pragma once

#include <wx/string.h>

#include <vector>

enum : unsigned {
    MF_GRAYED = 0x1,
    MF_CHECKED = 0x8,
};

struct MenuResourceItem {
    wxString text;   // empty for a separator
    int id = 0;      // 0 separator, -1 popup (with items), else the command id
    unsigned state = 0; // MF_GRAYED, MF_CHECKED
    std::vector<MenuResourceItem> items;
};

// The items of a menu resource's top level (IDR_MENU_CAPTION, IDR_MENU_TRAY);
// empty for an unknown number.
std::vector<MenuResourceItem> LoadMenuResource(int resourceId);
