#include "trackdb/file_name_tags.h"

#include <gtest/gtest.h>

#include "tag_builder.h"
#include "trackdb/mp3_tag_reader.h"

namespace klango::trackdb {
namespace {

using namespace klango::test;

class ReadTagTest : public ::testing::Test {
protected:
    // READTAG as if the file with these bytes lay at cPath.
    TagResult readTag(const std::string& cPath, const std::string& bytes, TagResult start = {}) {
        auto file = m_dir.write("f.mp3", bytes);
        FileWindow window(file);
        return READTAG(cPath, window, std::move(start), m_genres);
    }
    PlainTempDir m_dir;
    GenreTable m_genres = GenreTable::fromFile(std::filesystem::path(KLANGO_BINARY_DIR) / "DBPARAMS.INI");
};

TEST(PathPiecesTest, PiecesCountedTheWayNumtokenCounts) {
    PathPieces p("/music/abba/gold/01 waterloo.mp3");
    ASSERT_EQ(p.r(), 5);
    EXPECT_EQ(p.piece(p.r() - 1), "01 waterloo.mp3");
    EXPECT_EQ(p.piece(p.r() - 2), "gold");
    EXPECT_EQ(p.piece(p.r() - 3), "abba");
    EXPECT_EQ(p.piece(0), "");
    EXPECT_EQ(p.piece(5), "");
    EXPECT_EQ(PathPieces("").r(), 1);
    EXPECT_EQ(fileNameOf("/a/b/c.mp3"), "c.mp3");
    EXPECT_EQ(fileNameOf("c.mp3"), "c.mp3");
}

TEST(LeadingNumberTest, OnlyANumberOfAtMostTwoCharactersBeforeTheFirstBlank) {
    auto a = splitLeadingNumber("03 waterloo");
    EXPECT_EQ(a.number, 3);
    EXPECT_EQ(a.rest, "waterloo");
    auto b = splitLeadingNumber("7   lost  ");
    EXPECT_EQ(b.number, 7);
    EXPECT_EQ(b.rest, "lost");
    EXPECT_EQ(splitLeadingNumber("123 x").number, 0);
    EXPECT_EQ(splitLeadingNumber("123 x").rest, "123 x");
    EXPECT_EQ(splitLeadingNumber("ab cd").rest, "ab cd");
    EXPECT_EQ(splitLeadingNumber("00 zero").rest, "00 zero");
    EXPECT_EQ(splitLeadingNumber("waterloo").number, 0);
}

TEST_F(ReadTagTest, NamesFillOnlyWhatTheTagLeftEmpty) {
    TagResult start;
    start.ALBUM = "Best";
    start.TITLE = "From the tag";
    start.TIME = "4:05";
    start.YEAR = 2003;
    TagResult t = readTag("/music/abba - 03 waterloo.mp3", "", start);
    EXPECT_EQ(t.GROUP, "abba");
    EXPECT_EQ(t.TRACK, 3);
    EXPECT_EQ(t.TITLE, "From the tag");
    EXPECT_EQ(t.ALBUM, "Best");
    EXPECT_EQ(t.YEAR, 2003);
    EXPECT_EQ(t.TIME, "4:05");
    EXPECT_EQ(t.TAGREAD, "FILE1");
    EXPECT_EQ(t.GENRE, "");  // no ID3v1 tag: no genre

    TagResult bare = readTag("/music/abba - 03 waterloo.mp3", "");
    EXPECT_EQ(bare.TITLE, "waterloo");
    EXPECT_EQ(bare.TIME, "--:--");

    // A "-" only in a folder does not make the name "artist - title".
    TagResult f = readTag("/music/rock-pop/waterloo.mp3", "");
    EXPECT_EQ(f.TAGREAD, "FILE2");
    EXPECT_EQ(f.ALBUM, "Rock-Pop");
    EXPECT_EQ(f.TITLE, "waterloo");

    start = {};
    start.ALBUM = "From the tag";
    start.GENRE = "Jazz";
    start.TAGREAD = "ID3V2";
    TagResult t2 = readTag("/music/abba/gold/waterloo.mp3", "", start);
    EXPECT_EQ(t2.ALBUM, "From the tag");
    EXPECT_EQ(t2.GROUP, "Abba");
    EXPECT_EQ(t2.TITLE, "waterloo");
    EXPECT_EQ(t2.TAGREAD, "ID3V2");  // the first source that gave data
    EXPECT_EQ(t2.GENRE, "Jazz");

    TagResult shallow = readTag("/07 waterloo.mp3", "");
    EXPECT_EQ(shallow.ALBUM, "");
    EXPECT_EQ(shallow.GROUP, "");
    EXPECT_EQ(shallow.TRACK, 7);
    EXPECT_EQ(shallow.TITLE, "waterloo");
}

TEST_F(ReadTagTest, Id3v1TextsAndTheirStandIns) {
    std::string audio(1000, '\0');
    TagResult full = readTag("/music/x.mp3", audio + id3v1("Yesterday", "beatles", "help", "1965", 13));
    EXPECT_EQ(full.TITLE, "Yesterday");
    EXPECT_EQ(full.GROUP, "Beatles");
    EXPECT_EQ(full.ALBUM, "Help");
    EXPECT_EQ(full.YEAR, 1965);
    EXPECT_EQ(full.GENRE, "Pop");
    EXPECT_EQ(full.TAGREAD, "ID3");

    TagResult blank = readTag("/music/abba/gold/01 waterloo.mp3", audio + id3v1("", "   ", "", "", 17));
    EXPECT_EQ(blank.TITLE, "Waterloo.Mp3");
    EXPECT_EQ(blank.GROUP, "Abba");
    EXPECT_EQ(blank.ALBUM, "Gold");
    EXPECT_EQ(blank.GENRE, "Rock");
    EXPECT_EQ(blank.TRACK, 1);

    // Texts of an incomplete ID3v2 tag are kept; only empty slots are filled.
    TagResult start;
    start.TITLE = "Song";
    start.YEAR = 2003;
    TagResult kept = readTag("/m/x.mp3", audio + id3v1("12 Other", "Band", "Album", "1999", 255), start);
    EXPECT_EQ(kept.TITLE, "Song");
    EXPECT_EQ(kept.YEAR, 2003);
    EXPECT_EQ(kept.GENRE, "");  // 255: no genre
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("T", "", "", "", 200)).GENRE, "None");  // not in the table
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("12 Other", "", "", " -1999", 0)).TITLE, "Other");
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("", "", "", "-199", 0)).YEAR, 199);
}

TEST_F(ReadTagTest, Id3v1TrackNumbers) {
    std::string audio(1000, '\0');
    // ID3v1.1 byte.
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("T", "A", "B", "2000", 1, 5, "comment")).TRACK, 5);
    // No ID3v1.1 track: two leading digits of the file name below 20.
    EXPECT_EQ(readTag("/m/07 x.mp3", audio + id3v1("T", "A", "B", "2000", 1)).TRACK, 7);
    EXPECT_EQ(readTag("/m/23 x.mp3", audio + id3v1("T", "A", "B", "2000", 1)).TRACK, 0);
    // A full 30-byte comment is no ID3v1.1 track.
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("T", "A", "B", "2000", 1, 0, std::string(30, 'c'))).TRACK, 0);
    // A track byte the field cannot hold gives 0, then the file name may still tell.
    EXPECT_EQ(readTag("/m/x.mp3", audio + id3v1("T", "A", "B", "2000", 1, 200)).TRACK, 0);
    // The ID3v2 track number comes first.
    TagResult start;
    start.TRACK = 9;
    EXPECT_EQ(readTag("/m/07 x.mp3", audio + id3v1("T", "A", "B", "2000", 1, 5), start).TRACK, 9);
}

TEST_F(ReadTagTest, ShortFilesHaveNoId3v1Tag) {
    // "TAG" at the very start of a file shorter than 128 bytes is no tag.
    TagResult t = readTag("/m/a/b.mp3", id3v1("T", "A", "B", "2000", 1).substr(0, 127));
    EXPECT_EQ(t.TAGREAD, "FILE2");
    EXPECT_EQ(readTag("/m/a/b.mp3", id3v1("T", "A", "B", "2000", 1)).TAGREAD, "ID3");
}

}  // namespace
}  // namespace klango::trackdb
