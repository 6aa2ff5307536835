#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, ConvertsBothWays)
{
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    // Byte values from the published Windows-1252 table.
    const Case cases[] = {
        {"abc", "abc"},
        {"\xC2\xB5m", "\xB5m"},           // micro sign
        {"\xE2\x82\xAC", "\x80"},         // euro sign
        {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
        {"\xE2\x80\x94", "\x97"},         // em dash
        {"\xC5\x93", "\x9C"},             // oe ligature
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(CodePage, UnmappableAndMalformedBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1252("\xCE\xB1"), "?");              // Greek alpha
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x");    // outside the BMP
    EXPECT_EQ(Utf8ToCp1252("a\xFF" "b"), "a?b");           // not UTF-8
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");                  // truncated sequence
}

TEST(CodePage, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}
