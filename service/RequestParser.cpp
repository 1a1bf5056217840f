#include "RequestParser.h"

#include <cstdio>

namespace {

constexpr size_t kMaxDigits = 64;
constexpr size_t kMaxString = 4096; // the longest field of any request is 500 bytes

// The token layout of each request type: 'i' an integer, 's' a string.
const char *LayoutOf(int type)
{
    switch (type) {
    case 1: return "iss";     // MaxID, local address, hardware address
    case 2: return "i";       // Version
    case 3: return "ssiiii";  // local, hardware, Version, install state, MaxID, ChannelDate
    case 4: return "sii";     // local, file ID, percentage
    case 5: return "sss";     // local, subscribed, unsubscribed
    default: return nullptr;
    }
}

EParse ReadInteger(const std::string &bytes, size_t &pos, int64_t &value)
{
    if (pos >= bytes.size())
        return EParse::Incomplete;
    if (bytes[pos] != 'i')
        return EParse::Malformed;
    size_t p = pos + 1;
    bool negative = false;
    if (p < bytes.size() && bytes[p] == '-') {
        negative = true;
        ++p;
    }
    const size_t digitsStart = p;
    uint64_t magnitude = 0;
    while (p < bytes.size() && bytes[p] >= '0' && bytes[p] <= '9') {
        if (p - digitsStart >= 19)
            return EParse::Malformed;
        magnitude = magnitude * 10 + static_cast<uint64_t>(bytes[p] - '0');
        ++p;
    }
    if (p == bytes.size())
        return EParse::Incomplete;
    if (p == digitsStart || bytes[p] != 'e')
        return EParse::Malformed;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    pos = p + 1;
    return EParse::Complete;
}

EParse ReadString(const std::string &bytes, size_t &pos, std::string &value)
{
    size_t p = pos;
    size_t length = 0;
    while (p < bytes.size() && bytes[p] >= '0' && bytes[p] <= '9') {
        if (p - pos >= kMaxDigits)
            return EParse::Malformed;
        length = length * 10 + static_cast<size_t>(bytes[p] - '0');
        if (length > kMaxString)
            return EParse::Malformed;
        ++p;
    }
    if (p == bytes.size())
        return EParse::Incomplete;
    if (p == pos || bytes[p] != ':')
        return EParse::Malformed;
    ++p;
    if (bytes.size() - p < length)
        return EParse::Incomplete;
    value.assign(bytes, p, length);
    pos = p + length;
    return EParse::Complete;
}

} // namespace

EParse ParseServiceRequest(const std::string &bytes, TServiceRequest &request, size_t &consumed)
{
    request = TServiceRequest();
    size_t pos = 0;
    int64_t type = 0;
    EParse result = ReadInteger(bytes, pos, type);
    if (result != EParse::Complete)
        return result;
    const char *layout = type >= 1 && type <= 5 ? LayoutOf(static_cast<int>(type)) : nullptr;
    if (!layout)
        return EParse::Malformed;
    request.type = static_cast<int>(type);
    for (const char *kind = layout; *kind; ++kind) {
        if (*kind == 'i') {
            int64_t value = 0;
            result = ReadInteger(bytes, pos, value);
            request.numbers.push_back(value);
        } else {
            std::string value;
            result = ReadString(bytes, pos, value);
            request.strings.push_back(value);
        }
        if (result != EParse::Complete)
            return result;
    }
    consumed = pos;
    return EParse::Complete;
}

std::string EscapeBytes(const std::string &bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}
