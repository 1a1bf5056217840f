#include "net/ByteBuffer.h"

#include <algorithm>
#include <cstring>

bool CByteBuffer::Grow()
{
    if (Capacity() + kStep > kCap)
        return false;
    m_bytes.resize(m_bytes.size() + kStep, 0);
    return true;
}

int CByteBuffer::Append(const char *data, int length)
{
    if (length < 0 || length > kCap - m_length)
        return kErrorFull;
    while (FreeSize() < length)
        Grow();
    if (length > 0)
        std::memcpy(FreeRoom(), data, static_cast<size_t>(length));
    m_length += length;
    return 0;
}

void CByteBuffer::Consume(int count)
{
    count = std::clamp(count, 0, m_length);
    std::memmove(m_bytes.data(), m_bytes.data() + count, static_cast<size_t>(m_length - count));
    m_length -= count;
    std::fill(m_bytes.begin() + m_length, m_bytes.begin() + m_length + count, 0);
}
