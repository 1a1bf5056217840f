// Reads the tokens of a reply from the bytes received so far: an integer is
// "i", 1 to 64 decimal digits, "e"; a string is 1 to 64 digits of length, ":",
// then that many bytes. Nothing is read beyond the bytes received.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ETokenResult {
    Ok,
    Short, // the bytes end inside the token: more may still arrive
    Bad,   // the token is malformed
};

class CReplyReader {
public:
    static constexpr int kMaxDigits = 64;

    CReplyReader(const char *data, size_t length) : m_data(data), m_length(length) {}

    // Values beyond the 64-bit range read as the largest one.
    ETokenResult ReadInt(int64_t &value);
    // text points into the received bytes; it is not terminated.
    ETokenResult ReadString(const char *&text, size_t &length);

private:
    // Digits up to the terminator; the position then stands on the terminator.
    ETokenResult ReadNumber(char terminator, uint64_t &value);

    const char *m_data;
    size_t m_length;
    size_t m_position = 0;
};
