#include "table/table_sort.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"

#include "table/grid_test_table.h"
#include "table/track_columns.h"
#include "table/track_grid_model.h"

namespace klango::table {
namespace {

using gridtest::Track;

class TableSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_table = gridtest::makeTrackTable(m_home, "Sort");
        ASSERT_TRUE(m_table);
        Track beatles{.group = "Beatles", .album = "Help", .title = "Yesterday", .genre = "Pop", .time = "02:05"};
        beatles.range = 5;
        Track doors{.group = "Doors", .album = "LA Woman", .title = "Riders", .genre = "Rock", .time = "07:14"};
        doors.range = 2;
        Track abba{.group = "Abba", .album = "Gold", .title = "Money", .genre = "Disco", .time = "03:05"};
        Track moby{.group = "Moby", .album = "Play", .title = "Porcelain", .genre = "Electro", .time = "04:01"};
        moby.range = 3;
        m_beatles = gridtest::addTrack(*m_table, beatles);
        m_doors = gridtest::addTrack(*m_table, doors);
        m_abba = gridtest::addTrack(*m_table, abba);
        m_moby = gridtest::addTrack(*m_table, moby);
    }

    test::TempHome m_home;
    std::unique_ptr<dbf::DbfTable> m_table;
    uint32_t m_beatles = 0, m_doors = 0, m_abba = 0, m_moby = 0;
};

TEST_F(TableSortTest, InitialSelectionIsTheArtistOrder) {
    m_table->setOrder(6);
    TableSort sort(*m_table);
    EXPECT_EQ(sort.activeColumn(), -1);
    EXPECT_EQ(sort.activeOrder(), 0);
    sort.selectInitial();
    EXPECT_EQ(sort.activeColumn(), kGroupColumn);
    EXPECT_EQ(m_table->orderNumber(), 1);
}

TEST_F(TableSortTest, SortableHeaderSelectsItsOrderAndKeepsTheRecord) {
    TableSort sort(*m_table);
    sort.selectInitial();
    TrackGridModel model(*m_table);
    m_table->goTo(m_doors);
    ASSERT_EQ(model.currentRow(), 2);  // Abba, Beatles, Doors, Moby

    EXPECT_TRUE(sort.headerClicked(kTimeColumn));
    EXPECT_EQ(m_table->orderNumber(), 5);
    EXPECT_EQ(sort.activeColumn(), kTimeColumn);
    EXPECT_EQ(m_table->recNo(), m_doors);
    EXPECT_EQ(model.currentRow(), 3);  // the longest play time comes last

    // A second click on the same header does nothing.
    EXPECT_FALSE(sort.headerClicked(kTimeColumn));
    EXPECT_EQ(m_table->orderNumber(), 5);

    // Each sortable header selects the order named beside it.
    for (const auto& o : trackdb::trackOrders()) {
        const int column = columnOfOrder(o.number);
        sort.headerClicked(column);
        EXPECT_EQ(m_table->orderNumber(), o.number) << o.column;
        EXPECT_EQ(sort.activeOrder(), o.number);
        EXPECT_EQ(m_table->recNo(), m_doors);
    }
}

TEST_F(TableSortTest, UnsortableHeadersChangeNothing) {
    TableSort sort(*m_table);
    sort.selectInitial();
    ASSERT_TRUE(sort.headerClicked(kGenreColumn));
    m_table->goTo(m_abba);
    for (int column : {int(kStateColumn), int(kYearColumn), int(kPathColumn), int(kDiscColumn), int(kSizeColumn),
                       -1, kColumnCount}) {
        EXPECT_FALSE(sort.headerClicked(column)) << column;
        EXPECT_EQ(m_table->orderNumber(), 4);
        EXPECT_EQ(sort.activeColumn(), kGenreColumn);
        EXPECT_EQ(m_table->recNo(), m_abba);
    }
}

TEST_F(TableSortTest, HeaderWithoutItsIndexDoesNothing) {
    // A table with only the first two orders attached: the rating header has nothing to select.
    m_table->detachOrders();
    for (int n = 1; n <= 2; ++n) {
        const auto& o = trackdb::trackOrders()[size_t(n - 1)];
        m_table->attachOrder(m_home.data() / ("Sort" + std::to_string(n) + ".NTX"),
                             dbf::compileKey(m_table->structure(), o.expression));
    }
    TableSort sort(*m_table);
    sort.selectInitial();
    EXPECT_FALSE(sort.headerClicked(kRangeColumn));
    EXPECT_EQ(sort.activeColumn(), kGroupColumn);
    EXPECT_TRUE(sort.headerClicked(kAlbumColumn));
}

TEST_F(TableSortTest, LetterJumps) {
    TableSort sort(*m_table);
    sort.selectInitial();
    // Artist order: Abba, Beatles, Doors, Moby.
    EXPECT_EQ(MP3GOTO(*m_table, "D"), 2);
    EXPECT_EQ(m_table->recNo(), m_doors);
    EXPECT_EQ(MP3GOTO(*m_table, "C"), 2);  // soft: the next key after the letter
    EXPECT_EQ(MP3GOTO(*m_table, "A"), 0);
    EXPECT_EQ(MP3GOTO(*m_table, "Y"), std::nullopt);  // nothing at or after Y
    EXPECT_TRUE(m_table->eof());

    // The song title order jumps by title: Money, Porcelain, Riders, Yesterday.
    sort.headerClicked(kTitleColumn);
    EXPECT_EQ(MP3GOTO(*m_table, "P"), 1);
    EXPECT_EQ(m_table->recNo(), m_moby);

    // Play-time and rating keys begin with digits: every letter lands at the end of the table.
    for (int column : {int(kTimeColumn), int(kRangeColumn)}) {
        m_table->goTo(m_abba);
        ASSERT_TRUE(sort.headerClicked(column));
        for (const char* letter : {"A", "M", "Y"}) {
            EXPECT_EQ(MP3GOTO(*m_table, letter), std::nullopt) << column << letter;
            EXPECT_TRUE(m_table->eof());
        }
    }
}

}  // namespace
// German names in a table of their own: the artist order and the letter jumps on it follow the
// German sort form, whatever the case, umlauts, "ß", ligatures and quotes at the start.
TEST(GermanOrderTest, ArtistOrderAndLetterJumps) {
    test::TempHome home;
    auto table = gridtest::makeTrackTable(home, "Deutsch");
    ASSERT_TRUE(table);
    for (const char* name : {"Zucchero", "Œuvre", "ärzte", "„Bläck Fööss“", "Strasse", "Straße", "Ötzi",
                             "Oasis", "yello", "Émile", "abba"})
        gridtest::addTrack(*table, {.group = base::utf8ToCp1252(name)});
    TableSort sort(*table);
    sort.selectInitial();
    std::vector<std::string> shown;
    for (table->goTop(); !table->eof(); table->skip())
        shown.push_back(base::cp1252ToUtf8(base::trimRight(table->getC(trackdb::track::GROUP))));
    const std::vector<std::string> expected = {"abba",  "ärzte",  "„Bläck Fööss“", "Émile", "Oasis", "Œuvre",
                                               "Ötzi",  "Strasse", "Straße",       "yello", "Zucchero"};
    EXPECT_EQ(shown, expected);

    const std::vector<std::pair<const char*, int>> jumps = {{"A", 0}, {"B", 2}, {"D", 3}, {"G", 4},
                                                            {"O", 4}, {"S", 7}, {"Y", 9}, {"Ä", 0}};
    for (const auto& [letter, row] : jumps) {
        EXPECT_EQ(MP3GOTO(*table, base::utf8ToCp1252(letter)), row) << letter;
    }
}

}  // namespace klango::table
