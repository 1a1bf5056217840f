// The images the generator writes; each returns false when its file cannot be written.
#pragma once

#include <string>

bool DrawMainSkin(const std::string &path);
bool DrawSubSkin(const std::string &path);
bool DrawItemStatusSkin(const std::string &path);
bool DrawDefaultPicture(const std::string &path);
// The glyph bitmaps and the application icon: written as files into folder and
// compiled into the program through the generated source file.
bool DrawResources(const std::string &folder, const std::string &sourceFile);
