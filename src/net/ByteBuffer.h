// A connection's byte buffer: starts with 256 zeroed bytes and grows 256 bytes
// at a time up to a fixed cap, so no reply can make the client hold more.
#pragma once

#include <vector>

class CByteBuffer {
public:
    static constexpr int kStep = 256;
    static constexpr int kCap = 1024000;
    // An append that would need more than the cap.
    static constexpr int kErrorFull = -3;

    CByteBuffer() : m_bytes(kStep, 0) {}

    const char *Data() const { return m_bytes.data(); }
    int Length() const { return m_length; }
    int Capacity() const { return static_cast<int>(m_bytes.size()); }
    bool Full() const { return m_length == Capacity(); }

    // One more step of zeroed room; false at the cap.
    bool Grow();
    // Copies bytes to the end, growing in steps as needed; 0, or kErrorFull with nothing changed.
    int Append(const char *data, int length);
    // Drops the first count bytes (those sent).
    void Consume(int count);

    // The room after the content, and how the length grows when bytes were read into it.
    char *FreeRoom() { return m_bytes.data() + m_length; }
    int FreeSize() const { return Capacity() - m_length; }
    void Commit(int count) { m_length += count; }

private:
    std::vector<char> m_bytes;
    int m_length = 0;
};
