// Conversion between the GBK bytes the service and the catalogue use and the
// UTF-8 of the screen and the file system, always through the GB18030 codec.
#pragma once

#include <string>

// Bytes that do not convert (a cut-short multibyte character, an invalid
// sequence) become U+FFFD / '?' and conversion goes on, so text is never lost whole.
std::string GbkToUtf8(const std::string &gbk);
std::string Utf8ToGbk(const std::string &utf8);

// A GBK path as the file system wants it.
inline std::string FsPath(const std::string &gbkPath) { return GbkToUtf8(gbkPath); }
