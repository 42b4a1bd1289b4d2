// The statistics: the figures of the open database, the overall evaluation into "Statist.dbf"
// and figures too large for their pictures.
#include <gtest/gtest.h>

#include <filesystem>

#include "dbf/index_file.h"
#include "query/stats_dialog_model.h"
#include "query_fixture.h"

using namespace klango;
using query::AllStatsDialogModel;
using query::StatsDialogModel;
using test::Track;
using V = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

struct Shown {
    V lines;  // "label: value" as the command line prints the dialog
    std::string note, colors;
};

Shown statsOf(test::QueryFixture& f) {
    Shown out;
    f.ui.expectDialog([&](ui::DialogModel& dm) {
        auto& m = dynamic_cast<StatsDialogModel&>(dm);
        for (const auto& [label, value] : m.lines()) out.lines.push_back(label + ": " + value);
        out.note = m.note();
        out.colors = m.noteColors();
        m.close();
    });
    f.queries.stats.MP3STATS();
    return out;
}

Track timed(std::string title, std::string time, int played = 0, double size = 0) {
    return {.group = "G", .album = "A", .title = std::move(title), .genre = "Pop", .time = std::move(time),
            .played = played, .size = size};
}

}  // namespace

TEST(Statistics, FiguresOfTheOpenDatabase) {
    struct Case {
        const char* what;
        std::vector<Track> tracks;
        V lines;
        std::string note;
        std::string colors;
    };
    std::vector<Track> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(timed(i == 9 ? "INTRO" : "Intro" + std::string(i < 7 ? 1 : 0, char('0' + i)), "1:00", i < 4 ? 1 : 0, 1.5));
    const Case cases[] = {
        {"3:45 + 4:20 + 10:05",
         {timed("a", "3:45", 0, 1.25), timed("b", "4:20"), timed("c", "10:05", 2)},
         {"Interpreten: 1", "Songtitel: 3", "Alben: 1", "Musikrichtungen: 1", "Laufzeit: 0 Std. 18 Min. 10 Sek.",
          "gespielte Titel: 1 = 33,33 %", "Kapazit\xE4t: 1,25 MBytes"},
         "Alle Titel enthalten Laufzeiten.", "N/W"},
        {"Intro and INTRO once: 8 titles, 4 played", ten,
         {"Interpreten: 1", "Songtitel: 8", "Alben: 1", "Musikrichtungen: 1", "Laufzeit: 0 Std. 10 Min. 0 Sek.",
          "gespielte Titel: 4 = 50,00 %", "Kapazit\xE4t: 15,00 MBytes"},
         "Alle Titel enthalten Laufzeiten.", "N/W"},
        {"--:-- adds nothing, a blank length marks the note",
         {timed("a", "--:--", 1), timed("a", "", 1)},
         {"Interpreten: 1", "Songtitel: 1", "Alben: 1", "Musikrichtungen: 1", "Laufzeit: 0 Std. 0 Min. 0 Sek.",
          "gespielte Titel: 2 = 200,00 %", "Kapazit\xE4t: 0,00 MBytes"},
         "Kein Titel enth\xE4lt Laufzeiten !", "R+/W"},
        {"some lengths missing", {timed("a", "3:00"), timed("b", "")},
         {"Interpreten: 1", "Songtitel: 2", "Alben: 1", "Musikrichtungen: 1", "Laufzeit: 0 Std. 3 Min. 0 Sek.",
          "gespielte Titel: 0 = 0,00 %", "Kapazit\xE4t: 0,00 MBytes"},
         "Nicht alle Titel enthalten Laufzeiten !", "R+/W"},
        {"an empty database", {},
         {"Interpreten: 0", "Songtitel: 0", "Alben: 0", "Musikrichtungen: 0", "Laufzeit: 0 Std. 0 Min. 0 Sek.",
          "gespielte Titel: 0 = 0,00 %", "Kapazit\xE4t: 0,00 MBytes"},
         "Alle Titel enthalten Laufzeiten.", "N/W"},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        ASSERT_TRUE(f.open("Stats", c.tracks)) << c.what;
        const Shown s = statsOf(f);
        EXPECT_EQ(s.lines, c.lines) << c.what;
        EXPECT_EQ(s.note, c.note) << c.what;
        EXPECT_EQ(s.colors, c.colors) << c.what;
    }
}

// With a filter in force the sums cover the view, the distinct counts the whole table; the view
// and the sort order stay in force afterwards.
TEST(Statistics, KeepTheViewInForce) {
    test::QueryFixture f;
    dbf::DbfTable* t = f.open("Stats", {timed("a", "3:00", 1), timed("b", "4:00"), {.group = "X", .title = "c", .genre = "Rock", .time = "9:00"}});
    ASSERT_TRUE(t);
    ASSERT_EQ(f.queries.filter.FILTERNOW({V{"Pop"}}), 2u);
    const int view = t->orderNumber();
    const Shown s = statsOf(f);
    EXPECT_EQ(s.lines[0], "Interpreten: 2");
    EXPECT_EQ(s.lines[4], "Laufzeit: 0 Std. 7 Min. 0 Sek.");
    EXPECT_EQ(t->orderNumber(), view);
    EXPECT_EQ(f.shown(), (V{"a", "b"}));
    EXPECT_TRUE(f.shell.state.LTAB_FILT);
}

// "&Mehr": every database in name order, case-blind, also two whose names share 20 characters;
// "Statist.dbf" in the program folder, read back by another dBase reader; the grand total with
// days; the view of the open database still in force.
TEST(Statistics, AllDatabases) {
    test::QueryFixture f;
    std::vector<Track> zeta;
    for (int i = 0; i < 19; ++i) zeta.push_back(timed("z" + std::to_string(i), "95:00", i % 2, 2));
    test::writeTracks(f.dbf("Zeta"), zeta);
    test::writeTracks(f.dbf("b"), {timed("x", "", 1, 1000000 - 0.01)});
    test::writeTracks(f.dbf("Sammlungklassikteil01"), {timed("k1", "")});
    test::writeTracks(f.dbf("Sammlungklassikteil02"), {timed("k2", ""), timed("k3", "")});
    ASSERT_TRUE(f.open("A", {timed("a", "", 1), {.group = "Y", .title = "y", .genre = "Rock"}}));
    ASSERT_EQ(f.queries.filter.FILTERNOW({V{"Rock"}}), 1u);

    std::vector<V> grid;
    std::string summary;
    f.ui.expectDialog([](ui::DialogModel& dm) { dynamic_cast<StatsDialogModel&>(dm).more(); });
    f.ui.expectDialog([&](ui::DialogModel& dm) {
        auto& m = dynamic_cast<AllStatsDialogModel&>(dm);
        for (int r = 0; r < m.rowCount(); ++r) {
            V row;
            for (int col = 0; col < AllStatsDialogModel::kColumns; ++col) row.push_back(m.cellText(r, col));
            grid.push_back(row);
        }
        summary = m.summary();
        m.close();
    });
    f.queries.stats.MP3STATS();
    EXPECT_TRUE(f.ui.scriptDone());
    ASSERT_EQ(grid.size(), 5u);
    EXPECT_EQ(grid[0], (V{" A", "        2 ", "        2 ", "        2 ", "        2 ", "  1 ", " 50 ", "      0,00 ",
                          "   0:00:00"}));
    EXPECT_EQ(grid[1][0], " B");
    EXPECT_EQ(grid[1][7], "999.999,99 ");
    EXPECT_EQ(grid[2][0], " Sammlungklassikteil01");
    EXPECT_EQ(grid[3][0], " Sammlungklassikteil02");
    EXPECT_EQ(grid[4], (V{" Zeta", "        1 ", "        1 ", "       19 ", "        1 ", "  9 ", " 47 ", "     38,00 ",
                          "  30:05:00"}));
    EXPECT_EQ(summary, "gesamte Laufzeit: 1.06:05:00 (tt.hh:mm:ss)   in: 25 Titel   mit: 1.000.037,99 MB");

    EXPECT_TRUE(f.shell.state.LTAB_FILT);
    EXPECT_EQ(f.shown(), (V{"y"}));
    EXPECT_FALSE(fs::exists(f.home.data() / "Statist.dbf"));
    const fs::path table = f.home.root() / "Statist.dbf";
    auto r = test::runPython(R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252')
print([f.name + f.type + str(f.length) for f in t.fields])
for r in t:
    print(r['FILENAME'], r['ALBUM'], r['GROUP'], r['TITLE'], r['GENRE'], r['STD'], r['MIN'], r['SEK'], repr(r['PLTIME']), r['PLAYED'], r['PLPROZ'], r['TRSIZE'])
)",
                             {table.string()});
    EXPECT_EQ(r.output,
              "['FILENAMEC20', 'ALBUMN9', 'GROUPN9', 'TITLEN9', 'GENREN9', 'STDN3', 'MINN2', 'SEKN2', 'PLTIMEC9', "
              "'PLAYEDN3', 'PLPROZN3', 'TRSIZEN12']\n"
              "A 2 2 2 2 0 0 0 '  0:00:00' 1 50 0.0\n"
              "B 1 1 1 1 0 0 0 '  0:00:00' 1 100 999999.99\n"
              "Sammlungklassikteil0 1 1 1 1 0 0 0 '  0:00:00' 0 0 0.0\n"
              "Sammlungklassikteil0 1 1 2 1 0 0 0 '  0:00:00' 0 0 0.0\n"
              "Zeta 1 1 19 1 30 5 0 ' 30:05:00' 9 47 38.0\n");
}

// 100 000 tracks: every figure whole in the dialogs; in "Statist.dbf" the numbers too wide
// for their fields are stars, each told to the error handler.
TEST(Statistics, LargeFiguresAreNeverCut) {
    test::QueryFixture f;
    std::vector<Track> tracks(100000);
    for (int i = 0; i < 100000; ++i) tracks[size_t(i)] = timed("T" + std::to_string(i), "59:59", 5, 999999.99);
    ASSERT_TRUE(f.open("Big", tracks));
    V lines, big;
    f.ui.expectDialog([&](ui::DialogModel& dm) {
        auto& m = dynamic_cast<StatsDialogModel&>(dm);
        for (const auto& [label, value] : m.lines()) lines.push_back(label + ": " + value);
        m.more();
    });
    f.ui.expectDialog([&](ui::DialogModel& dm) {
        auto& m = dynamic_cast<AllStatsDialogModel&>(dm);
        for (int col = 0; col < AllStatsDialogModel::kColumns; ++col) big.push_back(m.cellText(0, col));
        big.push_back(m.summary());
    });
    f.queries.stats.MP3STATS();
    EXPECT_EQ(lines, (V{"Interpreten: 1", "Songtitel: 100000", "Alben: 1", "Musikrichtungen: 1",
                        "Laufzeit: 99972 Std. 13 Min. 20 Sek.", "gespielte Titel: 100000 = 100,00 %",
                        "Kapazit\xE4t: 99.999.999.000,00 MBytes"}));
    EXPECT_EQ(big, (V{" Big", "        1 ", "        1 ", "   100000 ", "        1 ", "100000 ", "100 ",
                      "99.999.999.000,00 ", " 99972:13:20",
                      "gesamte Laufzeit: 4165.12:13:20 (tt.hh:mm:ss)   in: 100000 Titel   mit: 99.999.999.000,00 MB"}));
    int widthErrors = 0;
    for (const auto& e : f.errors) widthErrors += e.genCode == base::kErrDataWidth ? 1 : 0;
    EXPECT_EQ(widthErrors, 3);  // STD, PLAYED, TRSIZE
    const std::string bytes = test::readFileBytes(f.home.root() / "Statist.dbf");
    EXPECT_NE(bytes.find("***"), std::string::npos);
}

// The grid of "Statistik aller MP3-Datenbanken" shows the rows through the unique name index
// "MP3TEMP.NTX" (tag FILENAME) of "Statist.dbf" in the program folder: ascending by the bytes of
// the stored name, not in the order of the file listing. A database whose 20-character name an
// earlier row holds (or that differs only in case) keeps its row behind that one.
TEST(Statistics, TheGridFollowsTheNameIndex) {
    struct Case {
        const char* what;
        V files;               // written in this order
        V grid;                // first column, top to bottom
        std::vector<uint32_t> entries, shadow;  // of the index file (records in listing order)
    };
    const Case cases[] = {
        {"the stored name decides, not the listing", {"aa", "a_x", "B"}, {" A_x", " Aa", " B"}, {2, 1, 3}, {}},
        {"names sharing 20 characters",
         {"Zeta", "Sammlungklassikteil02", "Sammlungklassikteil01", "ab"},
         {" Ab", " Sammlungklassikteil01", " Sammlungklassikteil02", " Zeta"}, {1, 2, 4}, {3}},
        {"names differing in case", {"rock", "ROCK", "pop"}, {" Pop", " Rock", " Rock"}, {1, 2}, {3}},
    };
    for (const Case& c : cases) {
        test::QueryFixture f;
        for (const std::string& name : c.files) test::writeTracks(f.dbf(name), {timed(name, "1:00")});
        // The open database keeps its view and stays the selected table.
        ASSERT_TRUE(f.open("Offen", {timed("o1", "1:00"), {.group = "X", .title = "o2", .genre = "Rock"}})) << c.what;
        ASSERT_EQ(f.queries.filter.FILTERNOW({V{"Rock"}}), 1u) << c.what;
        V grid;
        f.ui.expectDialog([](ui::DialogModel& dm) { dynamic_cast<StatsDialogModel&>(dm).more(); });
        f.ui.expectDialog([&](ui::DialogModel& dm) {
            auto& m = dynamic_cast<AllStatsDialogModel&>(dm);
            for (int r = 0; r < m.rowCount(); ++r) {
                if (m.cellText(r, 0) != " Offen") grid.push_back(m.cellText(r, 0));
            }
            m.close();
        });
        f.queries.stats.MP3STATS();
        EXPECT_EQ(grid, c.grid) << c.what;

        const auto index = dbf::IndexFile::read(f.home.root() / "MP3TEMP.NTX");
        ASSERT_TRUE(index) << c.what;
        EXPECT_EQ(index->name, "FILENAME") << c.what;
        EXPECT_EQ(index->expression, "FILENAME") << c.what;
        EXPECT_TRUE(index->flags & dbf::ntx::kFlagUnique) << c.what;
        // The open database "Offen" has its row too; the record numbers are compared as if it had
        // none.
        auto table = dbf::DbfTable::open(f.home.root() / "Statist.dbf");
        ASSERT_TRUE(table) << c.what;
        auto withoutOpen = [&](const std::vector<uint32_t>& recnos) {
            std::vector<uint32_t> out;
            uint32_t offen = 0;
            for (uint32_t r = 1; r <= table->lastRec(); ++r) {
                if (base::trimRight(table->view(r).raw(0)) == "Offen") offen = r;
            }
            for (uint32_t r : recnos) {
                if (r != offen) out.push_back(r < offen ? r : r - 1);
            }
            return out;
        };
        EXPECT_EQ(withoutOpen(index->entries), c.entries) << c.what;
        EXPECT_EQ(withoutOpen(index->shadow), c.shadow) << c.what;
        EXPECT_FALSE(fs::exists(f.home.data() / "MP3TEMP.NTX")) << c.what;
        table.reset();
        EXPECT_EQ(f.shell.areas->selectedAlias(), "DMP3") << c.what;
        EXPECT_EQ(f.shell.areas->get("DSTAT"), nullptr) << c.what;
        EXPECT_EQ(f.shown(), (V{"o2"})) << c.what;
    }
}
