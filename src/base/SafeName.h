// Names that come from the service (Location, Torrent, Pic, AD) are joined to
// local folders; a hostile name must never reach outside them.
#pragma once

#include <cstddef>
#include <string>

// False for an empty name, an absolute one, one containing "/" or "\" (GBK trail
// bytes that happen to be 0x5C are not separators), and for "." and "..".
bool IsSafeName(const std::string &name);

// root + name when the name is safe and the whole path has at most maxLength
// bytes; otherwise logs one line naming the operation and returns false.
bool MakeLocalPath(const char *operation, const std::string &root, const std::string &name, size_t maxLength,
                   std::string &path);
