#include "net/ReplyReader.h"

#include <limits>

ETokenResult CReplyReader::ReadNumber(char terminator, uint64_t &value)
{
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    value = 0;
    int digits = 0;
    for (;; ++m_position, ++digits) {
        if (m_position >= m_length)
            return ETokenResult::Short;
        const char c = m_data[m_position];
        if (c == terminator)
            break;
        if (c < '0' || c > '9' || digits == kMaxDigits)
            return ETokenResult::Bad;
        const unsigned digit = static_cast<unsigned>(c - '0');
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    if (digits == 0)
        return ETokenResult::Bad;
    ++m_position;
    return ETokenResult::Ok;
}

ETokenResult CReplyReader::ReadInt(int64_t &value)
{
    if (m_position >= m_length)
        return ETokenResult::Short;
    if (m_data[m_position] != 'i')
        return ETokenResult::Bad;
    ++m_position;
    uint64_t number = 0;
    const ETokenResult result = ReadNumber('e', number);
    if (result == ETokenResult::Ok)
        value = static_cast<int64_t>(number);
    return result;
}

ETokenResult CReplyReader::ReadString(const char *&text, size_t &length)
{
    if (m_position >= m_length)
        return ETokenResult::Short;
    uint64_t declared = 0;
    const ETokenResult result = ReadNumber(':', declared);
    if (result != ETokenResult::Ok)
        return result;
    if (declared > m_length - m_position)
        return ETokenResult::Short;
    text = m_data + m_position;
    length = static_cast<size_t>(declared);
    m_position += length;
    return ETokenResult::Ok;
}
