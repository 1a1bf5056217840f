// What the file lists and the detail pane draw with.
#pragma once

#include "skin/SkinAtlas.h"

#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <string>

// 9 points of "宋体". Where that face is missing the toolkit falls back to a
// face that has the characters, so Chinese titles stay readable.
wxFont ViewFont();

// Catalogue text (GBK) as the screen shows it.
wxString ScreenText(const std::string &gbk);

inline wxRect ToRect(const SkinRect &r)
{
    return wxRect(r.x, r.y, r.width, r.height);
}
