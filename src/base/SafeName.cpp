#include "base/SafeName.h"

#include "base/DebugLog.h"

namespace {

bool IsGbkTrailByte(char byte)
{
    const unsigned char c = static_cast<unsigned char>(byte);
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

} // namespace

bool IsSafeName(const std::string &name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\' || c == '\0')
            return false;
        if (c >= 0x81 && c <= 0xFE && i + 1 < name.size() && IsGbkTrailByte(name[i + 1]))
            ++i; // the trail byte of a GBK character, which may be 0x5C but never "/"
    }
    return true;
}

bool MakeLocalPath(const char *operation, const std::string &root, const std::string &name, size_t maxLength,
                   std::string &path)
{
    if (!IsSafeName(name)) {
        DebugLog("%s refused unsafe name [%s]", operation, name.c_str());
        return false;
    }
    if (root.size() + name.size() > maxLength) {
        DebugLog("%s refused path %s%s: longer than %zu", operation, root.c_str(), name.c_str(), maxLength);
        return false;
    }
    path = root + name;
    return true;
}
