#include "base/GbkText.h"
#include "base/SafeName.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";       // 中文
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87"; // 中文
} // namespace

TEST(GbkText, RoundTripsChineseAndLeavesAsciiAlone)
{
    EXPECT_EQ(kUtf8Chinese, GbkToUtf8(kGbkChinese));
    EXPECT_EQ(kGbkChinese, Utf8ToGbk(kUtf8Chinese));
    EXPECT_EQ("plain/path.avi", GbkToUtf8("plain/path.avi"));
    // A character whose trail byte is 0x5C survives both ways.
    const std::string trail5C = "\x81\x5C";
    EXPECT_EQ(trail5C, Utf8ToGbk(GbkToUtf8(trail5C)));
}

TEST(GbkText, CutShortOrInvalidInputKeepsTheRest)
{
    // A lone lead byte at the end would make a naive conversion return nothing.
    EXPECT_EQ(kUtf8Chinese + "\xEF\xBF\xBD", GbkToUtf8(kGbkChinese + "\xD6"));
    EXPECT_EQ("a?b", Utf8ToGbk("a\xFF" "b"));
}

TEST(SafeName, RefusesEveryNameThatLeavesItsFolder)
{
    // A byte after a GBK lead byte is only a trail byte in 0x40-0xFE (not 0x7F): "/" never is.
    for (const char *bad : {"", ".", "..", "../x", "/etc/passwd", "a/b", "a\\b", "..\\..\\x", "\\x", "\x81/x",
                            "\xD6\xD0\xFE/..", "x\x81/"})
        EXPECT_FALSE(IsSafeName(bad)) << bad;
    for (const char *good : {"a.avi", "..a", "a..b", "x.torrent", "\xD6\xD0\xCE\xC4.jpg", "\x81\x5C.jpg"})
        EXPECT_TRUE(IsSafeName(good)) << good;
}

TEST(SafeName, MakeLocalPathLogsOneLineForARefusal)
{
    CTestFolder folder;
    std::string path = "untouched";
    EXPECT_FALSE(MakeLocalPath("Op", "videos/", "../../x", 258, path));
    EXPECT_EQ("untouched", path);
    EXPECT_FALSE(MakeLocalPath("Op", "videos/", std::string(300, 'a'), 258, path));
    EXPECT_TRUE(MakeLocalPath("Op", "videos/", std::string(251, 'a'), 258, path));
    EXPECT_EQ("videos/" + std::string(251, 'a'), path);
    const auto lines = folder.LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Op refused unsafe name [../../x]", lines[0]);
    EXPECT_EQ(0u, lines[1].find("Op refused path videos/aaa"));
}
