#include "RequestParser.h"

#include <gtest/gtest.h>

TEST(RequestParser, ReadsEveryRequestTypeWhole)
{
    TServiceRequest request;
    size_t consumed = 0;
    ASSERT_EQ(EParse::Complete, ParseServiceRequest("i3e9:127.0.0.112:0A1B2C3D4E5Fi12ei1ei1040ei-3e", request, consumed));
    EXPECT_EQ(3, request.type);
    EXPECT_EQ((std::vector<std::string>{"127.0.0.1", "0A1B2C3D4E5F"}), request.strings);
    EXPECT_EQ((std::vector<int64_t>{12, 1, 1040, -3}), request.numbers);

    ASSERT_EQ(EParse::Complete, ParseServiceRequest("i2ei12eEXTRA", request, consumed));
    EXPECT_EQ(7u, consumed);
    ASSERT_EQ(EParse::Complete, ParseServiceRequest("i5e4:NULL2:1,0:", request, consumed));
    EXPECT_EQ((std::vector<std::string>{"NULL", "1,", ""}), request.strings);
}

TEST(RequestParser, WaitsForCutShortRequestsAndRefusesMalformedOnes)
{
    TServiceRequest request;
    size_t consumed = 0;
    const std::string whole = "i1ei5e9:127.0.0.14:NULL";
    for (size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_EQ(EParse::Incomplete, ParseServiceRequest(whole.substr(0, cut), request, consumed)) << cut;
    for (const char *bad : {"x", "i9e", "i0e", "iie", "i1eixe", "i3e4x:abc", "i1ei5e99999999:", "i2ei12345678901234567890e",
                            "GET / HTTP/1.0\r\n"})
        EXPECT_EQ(EParse::Malformed, ParseServiceRequest(bad, request, consumed)) << bad;
}

TEST(RequestParser, EscapesEveryUnprintableByte)
{
    EXPECT_EQ("i4e\\x00\\xD6\\x5C\\x0A", EscapeBytes(std::string("i4e\0\xD6\\\n", 7)));
}
