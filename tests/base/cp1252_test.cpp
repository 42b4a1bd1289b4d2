#include "base/cp1252.h"

#include <gtest/gtest.h>

using namespace klango::base;

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += char(c);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, ConvertsTheHighRangeAndUmlauts) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");           // euro sign
    EXPECT_EQ(cp1252ToUtf8("Gr\xFC\xDF"), "Gr\xC3\xBC\xC3\x9F");  // Grüß
    EXPECT_EQ(utf8ToCp1252("\xE2\x80\x9E" "a"), "\x84" "a");     // low double quote
}

TEST(Cp1252, UnrepresentableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("\xE6\x97\xA5"), "?");          // a CJK character
    EXPECT_EQ(utf8ToCp1252("\xF0\x9F\x8E\xB5x"), "?x");    // an emoji
    EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?");                // cut sequence
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");             // overlong
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80"), "?");          // surrogate
}

TEST(Cp1252, UpperCaseTouchesOnlyAToZ) {
    EXPECT_EQ(upperAZ("abc xyz \xE4\xF6\xFC"), "ABC XYZ \xE4\xF6\xFC");
}

TEST(Cp1252, TrimsAndPadsWithBlanks) {
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(padRight("ab", 4), "ab  ");
    EXPECT_EQ(padRight("abcdef", 4), "abcd");
    EXPECT_EQ(padLeft("7", 3), "  7");
}
