// The skin images every skinned window draws from, and the program's compiled-in
// glyph bitmaps and icon. Skin files are found relative to the working folder.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/string.h>

// Loaded once at start-up by LoadSkinBitmaps; borrowed by every window and
// never changed afterwards. A file that cannot be loaded leaves its bitmap null.
extern wxBitmap g_hMainSkin;       // "Skins/Main.bmp"
extern wxBitmap g_hItemStatusSkin; // "Skins/ItemStatus.bmp"
extern wxBitmap g_hSubSkin;        // "Skins/Sub.bmp"

void LoadSkinBitmaps();

// Any image file (BMP, JPEG, PNG, GIF) as a bitmap; a null bitmap when the file
// is missing or cannot be decoded. Nothing is reported.
wxBitmap LoadSkinBitmap(const wxString &path);

// A glyph bitmap resource (IDB_EXPANDERS, IDB_BULLETS, IDB_CHECKBOXES); null
// for an unknown number.
wxBitmap LoadResourceBitmap(int id);
// The two images of a glyph resource, which lie side by side; left null for an unknown number.
void LoadResourceGlyphs(int id, wxBitmap (&images)[2]);
// The application icon (IDR_MAINFRAME) in every size it is stored in.
wxIconBundle LoadResourceIcons(int id);
