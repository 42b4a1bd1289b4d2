#include "table/track_grid_model.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "table/grid_test_table.h"

namespace klango::table {
namespace {

using gridtest::Track;

class TrackGridModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_table = gridtest::makeTrackTable(m_home, "Grid");
        ASSERT_TRUE(m_table);
        // Record numbers run against the artist order on purpose.
        m_zappa = gridtest::addTrack(*m_table, {.group = "Zappa", .album = "Apostrophe", .title = "Cosmik"});
        m_beatles = gridtest::addTrack(*m_table, {.group = "Beatles", .album = "Help", .title = "Yesterday"});
        m_abba = gridtest::addTrack(*m_table, {.group = "abba", .album = "Gold", .title = "Money"});
        m_table->setOrder(1);
    }

    test::TempHome m_home;
    std::unique_ptr<dbf::DbfTable> m_table;
    uint32_t m_zappa = 0, m_beatles = 0, m_abba = 0;
};

TEST_F(TrackGridModelTest, RowsFollowTheCurrentOrder) {
    TrackGridModel model(*m_table);
    ASSERT_EQ(model.rowCount(), 3);
    // Artist order compares in upper case: abba, Beatles, Zappa.
    EXPECT_EQ(model.recordAt(0), m_abba);
    EXPECT_EQ(model.recordAt(1), m_beatles);
    EXPECT_EQ(model.recordAt(2), m_zappa);
    EXPECT_EQ(model.rowOf(m_zappa), 2);
    EXPECT_EQ(model.cellText(0, kGroupColumn, false), " abba");

    // Album order: Apostrophe (Zappa), Gold (abba), Help (Beatles).
    m_table->setOrder(2);
    EXPECT_EQ(model.recordAt(0), m_zappa);
    EXPECT_EQ(model.recordAt(2), m_beatles);
    EXPECT_EQ(model.rowOf(m_abba), 1);
    for (int row = 0; row < model.rowCount(); ++row) EXPECT_EQ(model.rowOf(model.recordAt(row)), row);

    // Rows outside the grid and unknown records answer nothing instead of reading past the table.
    EXPECT_EQ(model.recordAt(-1), 0u);
    EXPECT_EQ(model.recordAt(3), 0u);
    EXPECT_EQ(model.rowOf(0), std::nullopt);
    EXPECT_EQ(model.rowOf(99), std::nullopt);
    EXPECT_EQ(model.cellText(3, kGroupColumn, false), "");
}

TEST_F(TrackGridModelTest, CurrentRowAndGoToRow) {
    TrackGridModel model(*m_table);
    m_table->setOrder(3);  // title order: Cosmik, Money, Yesterday
    ASSERT_TRUE(model.goToRow(1));
    EXPECT_EQ(m_table->recNo(), m_abba);
    EXPECT_EQ(model.currentRow(), 1);
    EXPECT_FALSE(model.goToRow(3));
    EXPECT_EQ(m_table->recNo(), m_abba);  // unchanged by a row outside the grid
    m_table->goBottom();
    m_table->skip(1);
    EXPECT_EQ(model.currentRow(), std::nullopt);
}

TEST_F(TrackGridModelTest, EditsAndDeletionsShowAtOnce) {
    TrackGridModel model(*m_table);
    // Renaming Zappa to "Aaron" moves it to the first row of the artist order.
    m_table->goTo(m_zappa);
    m_table->putC(trackdb::track::GROUP, "Aaron");
    m_table->flush();
    EXPECT_EQ(model.recordAt(0), m_zappa);
    EXPECT_EQ(model.cellText(0, kGroupColumn, false), " Aaron");

    m_table->goTo(m_beatles);
    m_table->deleteRecord();
    m_table->flush();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowOf(m_beatles), std::nullopt);

    // Without an order the rows are the visible records in record order.
    m_table->setOrder(0);
    model.refresh();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.recordAt(0), m_zappa);
    EXPECT_EQ(model.recordAt(1), m_abba);
    EXPECT_EQ(model.rowOf(m_abba), 1);
    EXPECT_EQ(model.rowOf(m_beatles), std::nullopt);
}

TEST_F(TrackGridModelTest, PicturesAndBackgroundsByRow) {
    TrackGridModel model(*m_table);
    m_table->goTo(m_beatles);
    m_table->putL(trackdb::track::TAGGED, true);
    m_table->flush();
    platform::FixedClock clock({{2026, 12, 9}, 12, 0, 0});
    EXPECT_STREQ(model.statePicture(1, clock), "MRed");
    EXPECT_STREQ(model.statePicture(0, clock), "MWhite");
    // Shading goes by the position in the order, not by the record number.
    EXPECT_EQ(model.background(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(model.background(1), (Rgb{227, 245, 241}));
}

TEST(TrackGridModelLarge, FetchesByPositionOverManyRows) {
    test::TempHome home;
    auto table = gridtest::makeTrackTable(home, "Large");
    ASSERT_TRUE(table);
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
        // Artist names descend while record numbers ascend.
        char name[16];
        std::snprintf(name, sizeof name, "G%05d", kRows - i);
        table->appendBlank();
        table->putC(trackdb::track::GROUP, name);
    }
    table->flush();
    table->setOrder(1);
    TrackGridModel model(*table);
    ASSERT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(model.recordAt(0), uint32_t(kRows));
    EXPECT_EQ(model.recordAt(kRows - 1), 1u);
    EXPECT_EQ(model.rowOf(1234), kRows - 1234);
}

}  // namespace
}  // namespace klango::table
