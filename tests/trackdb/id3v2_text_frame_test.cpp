#include "trackdb/id3v2_text_frame.h"

#include <gtest/gtest.h>

namespace klango::trackdb {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += char(b);
    return s;
}

TEST(Id3v2TextFrameTest, Latin1IsTakenByteForByteUpToTheFirstNul) {
    EXPECT_EQ(decodeId3v2Text(bytes({0}) + "Gr\xFC\xDF" + "e"), "Gr\xFC\xDF" "e");
    EXPECT_EQ(decodeId3v2Text(bytes({0}) + std::string("One\0Two", 7)), "One");
    EXPECT_EQ(decodeId3v2Text(bytes({0, 0}) + "late"), "");
    EXPECT_EQ(decodeId3v2Text(bytes({0})), "");
    EXPECT_EQ(decodeId3v2Text(""), "");
    // An unknown encoding byte reads like encoding 0.
    EXPECT_EQ(decodeId3v2Text(bytes({9}) + "Abc"), "Abc");
}

TEST(Id3v2TextFrameTest, Utf16WithEitherByteOrderMark) {
    // "Ä€" little-endian, then big-endian; the euro sign has CP1252 byte 0x80.
    EXPECT_EQ(decodeId3v2Text(bytes({1, 0xFF, 0xFE, 0xC4, 0x00, 0xAC, 0x20})), "\xC4\x80");
    EXPECT_EQ(decodeId3v2Text(bytes({1, 0xFE, 0xFF, 0x00, 0xC4, 0x20, 0xAC})), "\xC4\x80");
    // Without a mark: little-endian, as Windows writers mean it.
    EXPECT_EQ(decodeId3v2Text(bytes({1, 'H', 0, 'i', 0})), "Hi");
    // Ends at the NUL code unit, not at a zero byte inside a character.
    EXPECT_EQ(decodeId3v2Text(bytes({1, 0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0})), "A");
    // An odd trailing byte is dropped.
    EXPECT_EQ(decodeId3v2Text(bytes({1, 0xFF, 0xFE, 'A', 0, 'B'})), "A");
}

TEST(Id3v2TextFrameTest, Utf16BigEndianAndCharactersOutsideTheCodePage) {
    EXPECT_EQ(decodeId3v2Text(bytes({2, 0x00, 'O', 0x00, 0xDF})), "O\xDF");
    // Japanese and a surrogate pair (U+1F3B5) become one '?' each; a lone surrogate as well.
    EXPECT_EQ(decodeId3v2Text(bytes({2, 0x65, 0xE5, 0xD8, 0x3C, 0xDF, 0xB5, 0x00, 'x', 0xDC, 0x00})), "??x?");
}

TEST(Id3v2TextFrameTest, Utf8IsConverted) {
    EXPECT_EQ(decodeId3v2Text(bytes({3}) + "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xE6\x97\xA5"), "Gr\xFC\xDF" "e \x80 ?");
    EXPECT_EQ(decodeId3v2Text(bytes({3, 0xEF, 0xBB, 0xBF}) + "Bom"), "Bom");
    EXPECT_EQ(decodeId3v2Text(bytes({3}) + std::string("a\0b", 3)), "a");
    EXPECT_EQ(decodeId3v2Text(bytes({3, 0xC3})), "?");
}

}  // namespace
}  // namespace klango::trackdb
