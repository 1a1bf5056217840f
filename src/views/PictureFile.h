// Reading the picture files the lists and the detail pane show: thumbnails the
// picture fetcher stored and the default picture of the skin.
#pragma once

#include <wx/bitmap.h>
#include <wx/gdicmn.h>

#include <string>

// PicRoot + a picture name from the catalogue; empty for a name that must not
// become a local path (empty, absolute, with a separator, "." or "..") or a
// path longer than the catalogue allows.
std::string LocalPicturePath(const std::string &picRoot, const std::string &name);

// A regular file is there (a folder of that name is no picture).
bool PictureFileExists(const std::string &gbkPath);

// Reads the whole file at a GBK path and decodes it (JPEG, PNG, BMP, GIF, ICO),
// stretched to size by dropping or repeating pixels. False when the file cannot
// be opened (a folder cannot either); true once it was opened, with *picture
// null when the contents cannot be read or decoded.
bool LoadPictureFile(const std::string &gbkPath, const wxSize &size, wxBitmap *picture);
