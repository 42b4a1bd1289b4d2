#include "trackdb/put_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "tag_builder.h"
#include "trackdb/track_record.h"

namespace klango::trackdb {
namespace {

namespace fs = std::filesystem;
using dbf::DbfTable;

// A track table with the two orders of an import attached, "PATH" current.
struct ImportTable {
    test::PlainTempDir dir;
    std::unique_ptr<DbfTable> table;

    ImportTable() {
        const fs::path file = dir.root() / "T.dbf";
        EXPECT_TRUE(DbfTable::create(file, trackStructure(), platform::clock().today()));
        table = DbfTable::open(file);
        dbf::OrderOptions path;
        path.name = kImportPathOrder;
        dbf::OrderOptions group;
        group.name = kImportGroupOrder;
        table->createOrder(dir.root() / "T.NT1", dbf::compileKey(table->structure(), kImportPathKey),
                           path);
        table->attachOrder(dir.root() / "T.NT2", dbf::compileKey(table->structure(), kImportGroupKey),
                           group);
    }
    std::string text(const fs::path& p) const { return base::utf8ToCp1252(p.string()); }
    std::string field(uint32_t recno, int f) const {
        return std::string(base::trimRight(table->view(recno).raw(f)));
    }
    double number(uint32_t recno, int f) const { return table->view(recno).number(f); }
};

TagResult tag(std::string artist, std::string title) {
    TagResult t;
    t.GROUP = std::move(artist);
    t.TITLE = std::move(title);
    t.ALBUM = "Album";
    t.GENRE = "Rock";
    t.YEAR = 1999;
    t.TRACK = 7;
    t.TIME = "3:25";
    t.TAGREAD = kTagReadId3v1;
    return t;
}

TEST(PutData, NewImportAppendsEveryFileWithItsSizeAndCutTexts) {
    ImportTable t;
    const fs::path song = t.dir.write("song.mp3", std::string(1572864, 'x'));  // 1.5 MB
    ImportSession s;
    s.CDRIVENAME = "Neu";
    TagResult long_ = tag(std::string(45, 'A'), "Title");
    long_.GENRE = std::string(25, 'g');
    PUTDATA(*t.table, s, t.text(song), long_);
    // The same file again is a second record: a new database never looks anything up.
    PUTDATA(*t.table, s, t.text(song), tag("Band", "Title"));

    ASSERT_EQ(t.table->lastRec(), 2u);
    EXPECT_EQ(s.NRECADD, 2);
    EXPECT_EQ(t.field(1, track::DISCNAME), "Neu");
    EXPECT_EQ(t.field(1, track::PATH), t.text(song));
    EXPECT_EQ(t.field(1, track::GROUP), std::string(40, 'A'));
    EXPECT_EQ(t.field(1, track::GENRE), std::string(20, 'g'));
    EXPECT_EQ(t.field(1, track::TIME), "3:25");
    EXPECT_EQ(t.field(1, track::TAGREAD), "ID3");
    EXPECT_EQ(t.field(1, track::TAGGED), "F");
    EXPECT_EQ(t.number(1, track::YEAR), 1999);
    EXPECT_EQ(t.number(1, track::TRACK), 7);
    EXPECT_EQ(t.number(1, track::IMPORT), 3);
    EXPECT_DOUBLE_EQ(t.number(1, track::TRSIZE), 1.5);
    EXPECT_EQ(t.number(2, track::IMPORT), 3);
}

TEST(PutData, PathLongerThanTheFieldIsCutAndHasNoSize) {
    ImportTable t;
    ImportSession s;
    const std::string longPath = t.text(t.dir.root()) + "/" + std::string(300, 'n') + ".mp3";
    PUTDATA(*t.table, s, longPath, tag("Band", "Song"));
    EXPECT_EQ(t.field(1, track::PATH), longPath.substr(0, 250));
    EXPECT_EQ(t.number(1, track::TRSIZE), 0);
    // An update finds the cut record again instead of adding a second one.
    s.LREFRESH = true;
    PUTDATA(*t.table, s, longPath, tag("Band", "Song"));
    EXPECT_EQ(t.table->lastRec(), 1u);
}

TEST(PutData, UpdateRefreshesTheRecordOfTheSamePathAndKeepsItsHistory) {
    ImportTable t;
    const fs::path song = t.dir.write("Music/Song.mp3", "x");
    const fs::path lower = t.dir.write("music/song.mp3", "x");
    ImportSession s;
    PUTDATA(*t.table, s, t.text(song), tag("Old", "Name"));
    t.table->goTo(1);
    t.table->putN(track::PLAYED, 12);
    t.table->putN(track::RANGE, 4);
    t.table->putC(track::INFO, "Lieblingslied");
    t.table->putL(track::TAGGED, true);
    t.table->flush();

    s = ImportSession{};
    s.LREFRESH = true;
    s.CDRIVENAME = "Musik";
    PUTDATA(*t.table, s, t.text(song), tag("New", "Title"));
    EXPECT_EQ(s.NRECADD, 0);
    ASSERT_EQ(t.table->lastRec(), 1u);
    EXPECT_EQ(t.field(1, track::GROUP), "New");
    EXPECT_EQ(t.field(1, track::DISCNAME), "Musik");
    EXPECT_EQ(t.number(1, track::PLAYED), 12);
    EXPECT_EQ(t.number(1, track::RANGE), 4);
    EXPECT_EQ(t.field(1, track::INFO), "Lieblingslied");
    EXPECT_EQ(t.field(1, track::TAGGED), "F");
    EXPECT_EQ(t.number(1, track::IMPORT), 3);  // found under its own path: left as it was

    // The same name in other letters is another file on this file system.
    PUTDATA(*t.table, s, t.text(lower), tag("Other", "Song"));
    EXPECT_EQ(s.NRECADD, 1);
    ASSERT_EQ(t.table->lastRec(), 2u);
    EXPECT_EQ(t.field(2, track::PATH), t.text(lower));
    EXPECT_EQ(t.number(2, track::IMPORT), 1);
    // A path that only begins like a stored one is not that record.
    PUTDATA(*t.table, s, t.text(song).substr(0, t.text(song).size() - 4), tag("X", "Y"));
    EXPECT_EQ(t.table->lastRec(), 3u);
}

TEST(PutData, UpdateTakesOverOnlyTheRecordOfAVanishedFile) {
    ImportTable t;
    const fs::path kept = t.dir.write("a/kept.mp3", "x");
    const fs::path gone = t.dir.root() / "a" / "gone.mp3";
    const fs::path moved = t.dir.write("b/moved.mp3", "x");
    const fs::path twin = t.dir.write("b/twin.mp3", "x");
    ImportSession s;
    PUTDATA(*t.table, s, t.text(kept), tag("Band", "Kept"));
    PUTDATA(*t.table, s, t.text(gone), tag("Band", "Gone"));

    s = ImportSession{};
    s.LREFRESH = true;
    // Artist and title are compared in capitals.
    PUTDATA(*t.table, s, t.text(moved), tag("BAND", "gone"));
    EXPECT_EQ(s.NRECADD, 0);
    ASSERT_EQ(t.table->lastRec(), 2u);
    EXPECT_EQ(t.field(2, track::PATH), t.text(moved));
    EXPECT_EQ(t.number(2, track::IMPORT), 2);

    // kept.mp3 still exists: its record stays its own, the twin gets a record of its own.
    PUTDATA(*t.table, s, t.text(twin), tag("Band", "Kept"));
    EXPECT_EQ(s.NRECADD, 1);
    ASSERT_EQ(t.table->lastRec(), 3u);
    EXPECT_EQ(t.field(1, track::PATH), t.text(kept));
    EXPECT_EQ(t.field(3, track::PATH), t.text(twin));
    EXPECT_EQ(t.number(3, track::IMPORT), 1);
}

}  // namespace
}  // namespace klango::trackdb
