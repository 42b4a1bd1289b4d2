#include "trackdb/genre_table.h"

#include <gtest/gtest.h>

#include "base/profile_file.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/id3v2_content_type.h"
#include "trackdb/tag_values.h"

namespace klango::trackdb {
namespace {

using klango::test::TempHome;

GenreTable shippedGenres() {
    return GenreTable::fromFile(std::filesystem::path(KLANGO_BINARY_DIR) / "DBPARAMS.INI");
}

TEST(GenreTableTest, TheShippedFileHoldsThePublishedList) {
    GenreTable genres = shippedGenres();
    EXPECT_EQ(genres.name(0), "Blues");
    EXPECT_EQ(genres.name(17), "Rock");
    EXPECT_EQ(genres.name(79), "Hard Rock");
    EXPECT_EQ(genres.name(80), "Folk");
    EXPECT_EQ(genres.name(147), "Synthpop");
    EXPECT_EQ(genres.name(191), "Psybient");
    EXPECT_EQ(genres.name(192), "None");
    EXPECT_EQ(genres.name(255), "None");
    EXPECT_EQ(genres.name(-1), "None");
    EXPECT_EQ(genres.name(1000), "None");
}

TEST(GenreTableTest, FoundCaseBlindInTheProgramFolderAndMissingFileGivesNone) {
    TempHome home;
    EXPECT_EQ(GenreTable::fromProgramFolder(home.root()).name(0), "None");
    klango::test::writeFileBytes(home.root() / "dbparams.ini", "[genre]\r\n1 = Blau \r\n3=\r\n");
    base::clearProfileCache();
    GenreTable genres = GenreTable::fromProgramFolder(home.root());
    EXPECT_EQ(genres.name(0), "Blau");
    EXPECT_EQ(genres.name(1), "None");
    EXPECT_EQ(genres.name(2), "");
}

TEST(ContentTypeTest, ReferencesResolveThroughTheGenreTable) {
    GenreTable genres = shippedGenres();
    EXPECT_EQ(resolveContentType("(17)", genres), "Rock");
    EXPECT_EQ(resolveContentType("17", genres), "Rock");
    EXPECT_EQ(resolveContentType("(17)Rock", genres), "Rock");
    EXPECT_EQ(resolveContentType("(4)Eurodisco", genres), "Eurodisco");
    EXPECT_EQ(resolveContentType("(17)(80)", genres), "Rock");
    EXPECT_EQ(resolveContentType("(RX)", genres), "Remix");
    EXPECT_EQ(resolveContentType("(CR)", genres), "Cover");
    EXPECT_EQ(resolveContentType("RX", genres), "Remix");
    EXPECT_EQ(resolveContentType("(255)", genres), "None");
    EXPECT_EQ(resolveContentType("(99999999999)", genres), "None");
}

TEST(ContentTypeTest, TextGenresStayAsTheyAre) {
    GenreTable genres = shippedGenres();
    EXPECT_EQ(resolveContentType("Krautrock", genres), "Krautrock");
    EXPECT_EQ(resolveContentType("((Live) Rock", genres), "(Live) Rock");
    EXPECT_EQ(resolveContentType("(Live", genres), "(Live");
    EXPECT_EQ(resolveContentType("(Live) Rock", genres), "(Live) Rock");
    EXPECT_EQ(resolveContentType("2Pac Style", genres), "2Pac Style");
    EXPECT_EQ(resolveContentType("  ", genres), "");
}

TEST(TagValuesTest, TrackYearAndLength) {
    EXPECT_EQ(trackNumber("3/10"), 3);
    EXPECT_EQ(trackNumber(" 12"), 12);
    EXPECT_EQ(trackNumber("99"), 99);
    EXPECT_EQ(trackNumber("100"), 0);
    EXPECT_EQ(trackNumber("99999999999999999999999"), 0);
    EXPECT_EQ(trackNumber("-3"), 0);
    EXPECT_EQ(trackNumber("A1"), 0);

    EXPECT_EQ(yearNumber("2003"), 2003);
    EXPECT_EQ(yearNumber("2003-05-01"), 2003);
    EXPECT_EQ(yearNumber("2003-05-01T10:00"), 2003);
    EXPECT_EQ(yearNumber(" 1999"), 1999);
    EXPECT_EQ(yearNumber("123456"), 1234);
    EXPECT_EQ(yearNumber("95"), 95);
    EXPECT_EQ(yearNumber("circa 1990"), 0);

    EXPECT_EQ(secondsFromMilliseconds("245000"), 245);
    EXPECT_EQ(secondsFromMilliseconds("245499"), 245);
    EXPECT_EQ(secondsFromMilliseconds("245500"), 246);
    EXPECT_EQ(secondsFromMilliseconds("950000"), 950);
    EXPECT_FALSE(secondsFromMilliseconds("0"));
    EXPECT_FALSE(secondsFromMilliseconds("abc"));
    EXPECT_FALSE(secondsFromMilliseconds(""));

    EXPECT_EQ(playLength(245), "4:05");
    EXPECT_EQ(playLength(950), "15:50");
    EXPECT_EQ(playLength(0), "0:00");
    EXPECT_EQ(playLength(6000), "100:00");
}

}  // namespace
}  // namespace klango::trackdb
