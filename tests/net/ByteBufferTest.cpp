#include "net/ByteBuffer.h"

#include <gtest/gtest.h>
#include <string>

TEST(ByteBuffer, GrowsInZeroedStepsUpToTheCap)
{
    CByteBuffer buffer;
    EXPECT_EQ(256, buffer.Capacity());
    const std::string text(300, 'x');
    ASSERT_EQ(0, buffer.Append(text.data(), 300));
    EXPECT_EQ(512, buffer.Capacity());
    EXPECT_EQ(text, std::string(buffer.Data(), 300));
    EXPECT_EQ(std::string(212, '\0'), std::string(buffer.Data() + 300, 212));

    while (buffer.Grow()) {
    }
    EXPECT_EQ(CByteBuffer::kCap, buffer.Capacity());
    const std::string rest(CByteBuffer::kCap - 300, 'y');
    EXPECT_EQ(CByteBuffer::kErrorFull, buffer.Append(rest.data(), static_cast<int>(rest.size()) + 1));
    EXPECT_EQ(300, buffer.Length());
    EXPECT_EQ(0, buffer.Append(rest.data(), static_cast<int>(rest.size())));
    EXPECT_TRUE(buffer.Full());
}

TEST(ByteBuffer, ConsumeKeepsTheUnsentTail)
{
    CByteBuffer buffer;
    buffer.Append("abcdef", 6);
    buffer.Consume(4);
    EXPECT_EQ("ef", std::string(buffer.Data(), buffer.Length()));
    EXPECT_EQ('\0', buffer.Data()[2]);
    buffer.Consume(10);
    EXPECT_EQ(0, buffer.Length());
}
