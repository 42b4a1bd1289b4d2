#include "table/track_columns.h"

#include <gtest/gtest.h>

#include "shell/settings.h"
#include "test_helpers/test_helpers.h"
#include "table/grid_test_table.h"

namespace klango::table {
namespace {

using gridtest::Track;
using platform::LocalTime;

class TrackColumnsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_table = gridtest::makeTrackTable(m_home, "Cells");
        ASSERT_TRUE(m_table);
    }
    dbf::RecordView add(const Track& t) { return m_table->view(gridtest::addTrack(*m_table, t)); }

    test::TempHome m_home;
    std::unique_ptr<dbf::DbfTable> m_table;
};

TEST(TrackColumns, HeadersAlignmentAndSortableColumns) {
    const auto& c = trackColumns();
    EXPECT_STREQ(c[kStateColumn].header, " ");
    EXPECT_STREQ(c[kGroupColumn].header, " Interpret");
    EXPECT_STREQ(c[kTimeColumn].header, "LZeit ");
    EXPECT_STREQ(c[kRangeColumn].header, "Note ");
    EXPECT_STREQ(c[kPlayedColumn].header, "gesp. ");
    EXPECT_STREQ(c[kSizeColumn].header, "Gr\xF6\xDF" "e mb");  // CP1252 umlaut and sharp s
    EXPECT_EQ(c[kTimeColumn].align, Align::kRight);
    EXPECT_EQ(c[kPlayDateColumn].align, Align::kCenter);
    EXPECT_EQ(c[kYearColumn].align, Align::kLeft);
    // The sortable columns carry the six track orders, and the order table names the same headers.
    for (const auto& o : trackdb::trackOrders()) {
        const int column = columnOfOrder(o.number);
        ASSERT_GE(column, 0) << o.number;
        EXPECT_STREQ(c[size_t(column)].header, o.column);
    }
    EXPECT_EQ(columnOfOrder(0), -1);
    EXPECT_EQ(columnOfOrder(7), -1);
}

TEST(TrackColumns, WidthsWithoutStoredValuesAreTheDefaults) {
    test::TempHome home;
    shell::Settings settings(home.root() / "KLANGO.INI");
    const auto widths = columnWidths(settings);
    EXPECT_DOUBLE_EQ(widths[0], 18.1);
    EXPECT_DOUBLE_EQ(widths[1], 208.15);
    EXPECT_DOUBLE_EQ(widths[2], 208.15);
    EXPECT_DOUBLE_EQ(widths[3], 253.4);
    EXPECT_DOUBLE_EQ(widths[kDiscColumn], 100);
    EXPECT_DOUBLE_EQ(widths[kPathColumn], 400);
    EXPECT_EQ(MP3GETPARAM(settings).size(), 15u);
}

TEST(TrackColumns, StoredWidthsRoundTripAndOnlyTheFirstFourApply) {
    test::TempHome home;
    shell::Settings settings(home.root() / "KLANGO.INI");
    std::vector<double> current = {20.5, 150, 160.25, 170, 999, 999};
    for (size_t i = current.size(); i < kColumnCount; ++i) current.push_back(77);
    ASSERT_TRUE(saveColumnWidths(settings, current));
    EXPECT_EQ(settings.text(shell::keys::kBrowseCount), "16");
    EXPECT_EQ(settings.text(shell::keys::browseWidth(1)), "20.5");
    EXPECT_EQ(settings.text(shell::keys::browseWidth(3)), "160.25");

    const auto stored = MP3GETPARAM(settings);
    ASSERT_EQ(stored.size(), 20u);
    EXPECT_DOUBLE_EQ(stored[16], 1);  // keys 17..20 were never written
    const auto widths = columnWidths(settings);
    EXPECT_DOUBLE_EQ(widths[0], 20.5);
    EXPECT_DOUBLE_EQ(widths[2], 160.25);
    EXPECT_DOUBLE_EQ(widths[kDiscColumn], 100);  // fixed whatever was stored

    // A zero under Browse/1 falls back to all defaults.
    ASSERT_TRUE(settings.write(shell::keys::browseWidth(1), "0"));
    EXPECT_DOUBLE_EQ(columnWidths(settings)[1], 208.15);
}

TEST_F(TrackColumnsTest, CellTexts) {
    Track t{.group = "Abba", .album = "Gold", .title = "Waterloo"};
    t.track = 3;
    t.range = 4;
    t.played = 12;
    t.year = 1974;
    t.time = "02:46";
    t.playDate = {2026, 12, 8};
    t.playTime = "10:59";
    add(t);
    m_table->putN(trackdb::track::TRSIZE, 2.5);
    m_table->putC(trackdb::track::INFO, "Live \xE4");
    m_table->flush();
    const auto v = m_table->current();

    EXPECT_EQ(cellText(v, kStateColumn, false), "");
    EXPECT_EQ(cellText(v, kGroupColumn, false), " Abba");
    EXPECT_EQ(cellText(v, kTitleColumn, false), " Waterloo");
    EXPECT_EQ(cellText(v, kTitleColumn, true), " 03 Waterloo");
    EXPECT_EQ(cellText(v, kDiscColumn, false), "CD1");
    EXPECT_EQ(cellText(v, kYearColumn, false), " 1974");
    EXPECT_EQ(cellText(v, kTimeColumn, false), "02:46 ");
    EXPECT_EQ(cellText(v, kRangeColumn, false), "4 ");
    EXPECT_EQ(cellText(v, kInfoColumn, false), " Live \xE4");
    EXPECT_EQ(cellText(v, kPlayedColumn, false), "   12 ");
    EXPECT_EQ(cellText(v, kPlayDateColumn, false), "08.12.2026");
    EXPECT_EQ(cellText(v, kPlayTimeColumn, false), "10:59");
    EXPECT_EQ(cellText(v, kSizeColumn, false), "     2,50 ");
    EXPECT_EQ(cellText(v, 99, false), "");

    // No rating and never played: both cells stay empty; a missing date shows its points.
    const auto blank = add(Track{.group = "X", .album = "Y", .title = "Z"});
    EXPECT_EQ(cellText(blank, kRangeColumn, false), "");
    EXPECT_EQ(cellText(blank, kPlayedColumn, false), "");
    EXPECT_EQ(cellText(blank, kPlayDateColumn, false), "  .  .    ");
}

TEST_F(TrackColumnsTest, StatePictures) {
    const base::Date today{2026, 12, 9};
    auto at = [&](int hour, int minute) { return LocalTime{today, hour, minute, 0}; };

    Track t{.group = "A", .album = "B", .title = "C"};
    t.playDate = today;
    t.playTime = "10:59";
    t.played = 1;
    const auto playedToday = add(t);
    // Only the hours count: 10:59 stays black through 11:59 and turns blue at 12:00.
    EXPECT_STREQ(statePicture(playedToday, at(10, 59)), "MBlack");
    EXPECT_STREQ(statePicture(playedToday, at(11, 59)), "MBlack");
    EXPECT_STREQ(statePicture(playedToday, at(12, 0)), "MBlue");
    // The next day it is a track played before.
    EXPECT_STREQ(statePicture(playedToday, LocalTime{{2026, 12, 10}, 9, 0, 0}), "MWhite");

    t.tagged = true;
    EXPECT_STREQ(statePicture(add(t), at(11, 0)), "MRed");  // marked wins over everything

    Track imported{.group = "D", .album = "E", .title = "F"};
    imported.import = 1;
    EXPECT_STREQ(statePicture(add(imported), at(11, 0)), "MGreen");
    imported.import = 2;
    EXPECT_STREQ(statePicture(add(imported), at(11, 0)), "MPink");
    imported.played = 3;  // played before wins over the import state
    EXPECT_STREQ(statePicture(add(imported), at(11, 0)), "MWhite");
    imported.played = 0;
    imported.import = 0;
    EXPECT_STREQ(statePicture(add(imported), at(11, 0)), "MWhite");
}

}  // namespace
}  // namespace klango::table
