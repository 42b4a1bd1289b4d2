#include "table/marking.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "table/table_panel_state.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace klango::table {
namespace {

namespace fs = std::filesystem;
namespace track = trackdb::track;
using base::Date;
using ui::MessageItem;

constexpr Date kToday{2026, 12, 9};
constexpr Date kYesterday{2026, 12, 8};

struct Track {
    const char* title;
    Date playDate{};
    const char* playTime = "";
    bool tagged = false;
    int import = 0;
    std::string path = {};
};

// A track table in a temporary program folder, shown in title order, and one Marking over it.
class MarkingTest : public ::testing::Test {
protected:
    MarkingTest() : clock(platform::LocalTime{kToday, 10, 59, 0}) {
        state.LTAB_OPEN = true;
        state.LS_MARKDATE = true;  // the settings' defaults
        state.LS_MARKHOUR = true;
    }

    void open(const std::vector<Track>& tracks) {
        const fs::path file = home.data() / "TEST.DBF";
        ASSERT_TRUE(dbf::DbfTable::create(file, trackdb::trackStructure(), kToday));
        table = dbf::DbfTable::open(file);
        ASSERT_TRUE(table);
        for (const Track& t : tracks) {
            table->appendBlank();
            table->putC(track::TITLE, t.title);
            table->putD(track::PLAYDATE, t.playDate);
            table->putC(track::PLAYTIME, t.playTime);
            table->putL(track::TAGGED, t.tagged);
            table->putN(track::IMPORT, t.import);
            table->putC(track::PATH, t.path);
        }
        ASSERT_TRUE(table->createOrder(home.data() / "TEST3.NTX",
                                       dbf::compileKey(table->structure(), trackdb::trackOrders()[2].expression)));
        table->goTop();
    }

    Marking marking(dbf::DbfTable* t) { return Marking(t, state, ui, panel, clock); }
    Marking marking() { return marking(table.get()); }

    bool tagged(uint32_t recno) {
        table->goTo(recno);
        return table->getL(track::TAGGED);
    }
    int importState(uint32_t recno) {
        table->goTo(recno);
        return int(table->getN(track::IMPORT));
    }
    bool deleted(uint32_t recno) {
        table->goTo(recno);
        return table->isDeleted();
    }
    // A file in the program folder whose name is given as the table stores it (CP1252).
    std::string trackFile(const std::string& cp1252Name) {
        const std::string path = base::utf8ToCp1252(home.root().string()) + "/" + cp1252Name;
        test::writeFileBytes(fs::path(base::cp1252ToUtf8(path)), "ID3");
        return path;
    }
    static bool exists(const std::string& cp1252Path) { return fs::exists(fs::path(base::cp1252ToUtf8(cp1252Path))); }

    void expectScriptKept() {
        EXPECT_TRUE(ui.unexpected().empty()) << (ui.unexpected().empty() ? "" : ui.unexpected().front());
        EXPECT_TRUE(ui.scriptDone());
    }

    test::TempHome home;
    shell::AppState state;
    ui::ScriptedUi ui;
    TablePanelState panel;
    platform::FixedClock clock;
    std::unique_ptr<dbf::DbfTable> table;
};

TEST(PlayState, HoursCountByTheirFirstTwoDigits) {
    const platform::LocalTime at1059{kToday, 10, 59, 0};
    const platform::LocalTime at1100{kToday, 11, 0, 0};
    EXPECT_TRUE(playedWithinTwoHours(kToday, "08:10", at1059));
    EXPECT_FALSE(playedWithinTwoHours(kToday, "08:10", at1100));
    EXPECT_TRUE(playedWithinTwoHours(kToday, " 9:50", at1100));
    EXPECT_FALSE(playedWithinTwoHours(kYesterday, "10:30", at1100));
    EXPECT_TRUE(playedToday(kToday, at1100));
    EXPECT_FALSE(playedToday(Date{}, platform::LocalTime{}));  // never played, clock unset
}

TEST_F(MarkingTest, MarkHourOffAsksUpToTwoHoursByTheClock) {
    open({{"A", kToday, "08:10", false, 2}});
    state.LS_MARKHOUR = false;

    ui.expectYesNo(false, "in den letzten 2 Stunden");
    EXPECT_FALSE(marking().MP3TAGGIT(1));
    EXPECT_FALSE(tagged(1));
    EXPECT_EQ(importState(1), 2);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "");  // nothing to refresh

    ui.expectYesNo(true, "in den letzten 2 Stunden");
    EXPECT_TRUE(marking().MP3TAGGIT(1));
    EXPECT_TRUE(tagged(1));
    EXPECT_EQ(importState(1), 0);

    // Unmarking never asks; at 11:00 the difference is 3 hours and marking asks nothing.
    EXPECT_TRUE(marking().MP3TAGGIT(1));
    EXPECT_FALSE(tagged(1));
    clock.set({kToday, 11, 0, 0});
    EXPECT_TRUE(marking().MP3TAGGIT(1));
    EXPECT_TRUE(tagged(1));
    expectScriptKept();
}

TEST_F(MarkingTest, WarningsFollowBothSettings) {
    open({{"A", kToday, "10:05"}, {"B", kYesterday, "10:05"}});
    // Both on: marking a track played minutes ago asks nothing.
    EXPECT_TRUE(marking().MP3TAGGIT(1));
    EXPECT_TRUE(marking().MP3TAGGIT(1));

    // Both off: the two questions in turn; a No to the first ends it.
    state.LS_MARKDATE = false;
    state.LS_MARKHOUR = false;
    ui.expectYesNo(false, "heute bereits gespielt");
    EXPECT_FALSE(marking().MP3TAGGIT(1));
    ui.expectYesNo(true, "heute bereits gespielt");
    ui.expectYesNo(true, "in den letzten 2 Stunden");
    EXPECT_TRUE(marking().MP3TAGGIT(1));
    EXPECT_TRUE(tagged(1));
    // Played yesterday: no question.
    EXPECT_TRUE(marking().MP3TAGGIT(2));
    EXPECT_TRUE(tagged(2));
    expectScriptKept();
}

TEST_F(MarkingTest, ToggleWorksOnTheClickedRecordAndFollowsTheButtons) {
    open({{"A"}, {"B"}, {"C"}});
    table->goTo(1);  // the table's pointer elsewhere than the clicked row
    EXPECT_TRUE(marking().MP3TAGGIT(3));
    EXPECT_FALSE(tagged(1));
    EXPECT_TRUE(tagged(3));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 1");
    EXPECT_TRUE(state.LTAB_TAGG);
    EXPECT_TRUE(panel.playlistEnabled);
    EXPECT_EQ(panel.markAllPicture, "UNMARKALLK");
    EXPECT_EQ(panel.markAllText, "Alle Markierungen entfernen");

    table->goTo(2);
    EXPECT_TRUE(marking().MP3TAGGIT(3));
    EXPECT_EQ(table->recNo(), 3u);
    EXPECT_FALSE(tagged(3));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_FALSE(state.LTAB_TAGG);
    EXPECT_FALSE(panel.playlistEnabled);
    EXPECT_EQ(panel.markAllPicture, "MARKALLK");
    EXPECT_EQ(panel.markAllText, "Alle Titel markieren");

    // A deleted record is not one the user can click.
    table->goTo(2);
    table->deleteRecord();
    EXPECT_FALSE(marking().MP3TAGGIT(2));
}

TEST_F(MarkingTest, RangeMarkingFollowsTheSortedView) {
    // Title order: 2 A, 4 B, 5 C, 3 D, 1 E, 6 F.
    open({{"E"}, {"A"}, {"D", kToday, "10:30"}, {"B"}, {"C", {}, "", true, 0}, {"F"}});
    state.LS_MARKDATE = false;

    // Anchor B (4), clicked E (1): B, C, D, E toggle; D was played today and is skipped silently.
    EXPECT_TRUE(marking().MP3TAGMORE(4, 1));
    EXPECT_TRUE(tagged(4));
    EXPECT_FALSE(tagged(5));
    EXPECT_FALSE(tagged(3));
    EXPECT_TRUE(tagged(1));
    EXPECT_FALSE(tagged(2));
    EXPECT_FALSE(tagged(6));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 2");
    expectScriptKept();

    // The other way round (anchor below the clicked row) covers the same rows; the pointer ends
    // on the clicked record.
    EXPECT_TRUE(marking().MP3TAGMORE(1, 4));
    EXPECT_EQ(table->recNo(), 4u);
    EXPECT_FALSE(tagged(4));
    EXPECT_TRUE(tagged(5));
    EXPECT_FALSE(tagged(3));
    EXPECT_FALSE(tagged(1));

    // No anchor yet: the clicked record alone.
    EXPECT_TRUE(marking().MP3TAGMORE(0, 6));
    EXPECT_TRUE(tagged(6));
    EXPECT_FALSE(tagged(2));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 2");
}

TEST_F(MarkingTest, MarkAllIgnoresThePlayWarningsAndDelMarkedClearsTheNewPictures) {
    open({{"A", kToday, "10:30", false, 1}, {"B", kToday, "10:40", false, 2}, {"C", kToday, "09:00"}});
    state.LS_MARKDATE = false;
    state.LS_MARKHOUR = false;
    table->goTo(2);

    marking().MARKALL();
    EXPECT_TRUE(tagged(1) && tagged(2) && tagged(3));
    EXPECT_EQ(importState(1), 1);  // left alone
    EXPECT_EQ(importState(2), 2);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 3");
    EXPECT_TRUE(state.LTAB_TAGG);
    EXPECT_TRUE(panel.playlistEnabled);
    EXPECT_EQ(panel.markAllPicture, "UNMARKALLK");
    EXPECT_FALSE(ui.waitCursor());
    expectScriptKept();

    table->goTo(2);
    marking().DELMARKED();
    EXPECT_EQ(table->recNo(), 2u);
    EXPECT_FALSE(tagged(1) || tagged(2) || tagged(3));
    EXPECT_EQ(importState(1), 0);
    EXPECT_EQ(importState(2), 0);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_FALSE(state.LTAB_TAGG);
    EXPECT_FALSE(panel.playlistEnabled);
    EXPECT_EQ(panel.markAllPicture, "MARKALLK");
    EXPECT_EQ(panel.markAllText, "Alle Titel markieren");
}

TEST_F(MarkingTest, MarkAllOnAnEmptyViewClaimsNoMarks) {
    open({});
    marking().MARKALL();
    EXPECT_FALSE(state.LTAB_TAGG);
    EXPECT_FALSE(panel.playlistEnabled);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
}

TEST_F(MarkingTest, DeleteOneTrackWithAndWithoutItsFile) {
    const std::string kept = trackFile("kept.mp3");
    const std::string gone = trackFile("M\xFCller.mp3");  // a CP1252 name reaches the file system as UTF-8
    open({{"A", {}, "", false, 0, kept}, {"B", {}, "", true, 0, gone}, {"C"}});

    // Declined: nothing changes.
    table->goTo(2);
    ui.expectYesNo(false, "diesen Titel");
    EXPECT_FALSE(marking().MP3DELETE());
    EXPECT_FALSE(deleted(2));

    // With the file: the file and the entry go, the pointer moves one back in the order.
    table->goTo(2);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(true, "MP3-Datei auch");
    EXPECT_TRUE(marking().MP3DELETE());
    EXPECT_EQ(table->recNo(), 1u);
    EXPECT_TRUE(deleted(2));
    EXPECT_FALSE(exists(gone));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_FALSE(panel.playlistEnabled);

    // Without the file: the entry goes, the file stays; the first record falls back to the top.
    table->goTo(1);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(false, "MP3-Datei auch");
    EXPECT_TRUE(marking().MP3DELETE());
    EXPECT_TRUE(deleted(1));
    EXPECT_TRUE(exists(kept));
    table->goTop();
    EXPECT_EQ(table->recNo(), 3u);
    expectScriptKept();
}

TEST_F(MarkingTest, DeleteOneTrackWhoseFileCannotBeDeleted) {
    const std::string folder = base::utf8ToCp1252((home.root() / "Album").string());
    fs::create_directory(home.root() / "Album");
    open({{"A", {}, "", false, 0, folder}, {"B", {}, "", false, 0, folder + "/missing.mp3"}});

    // A folder is never removed; No keeps the entry.
    table->goTo(1);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(true, "MP3-Datei auch");
    ui.expectYesNo(false, "Die Datei " + folder + " konnte nicht gel\xF6scht werden !\rDen Eintrag trotzdem");
    EXPECT_FALSE(marking().MP3DELETE());
    EXPECT_FALSE(deleted(1));
    EXPECT_TRUE(fs::is_directory(home.root() / "Album"));

    // Yes removes the entry all the same.
    table->goTo(2);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(true, "MP3-Datei auch");
    ui.expectYesNo(true, "missing.mp3 konnte nicht");
    EXPECT_TRUE(marking().MP3DELETE());
    EXPECT_TRUE(deleted(2));
    expectScriptKept();
}

TEST_F(MarkingTest, DeleteMarkedTracksWithTheirFilesReportsTheOnesLeft) {
    const std::string a = trackFile("a.mp3");
    const std::string c = trackFile("c.mp3");
    const std::string missing = base::utf8ToCp1252(home.root().string()) + "/weg.mp3";
    open({{"A", {}, "", true, 0, a}, {"B", {}, "", false, 0, trackFile("b.mp3")}, {"C", {}, "", true, 0, c},
          {"D", {}, "", true, 0, missing}});

    ui.expectYesNo(false, "alle markierten");
    EXPECT_FALSE(marking().MP3TDELETE());
    EXPECT_FALSE(deleted(1));

    ui.expectYesNo(true, "alle markierten");
    ui.expectYesNo(true, "MP3-Dateien auch");
    EXPECT_TRUE(marking().MP3TDELETE());
    EXPECT_TRUE(deleted(1) && deleted(3) && deleted(4));
    EXPECT_FALSE(deleted(2));
    EXPECT_FALSE(exists(a) || exists(c));
    table->goTop();
    EXPECT_EQ(table->recNo(), 2u);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_FALSE(state.LTAB_TAGG);
    EXPECT_FALSE(ui.waitCursor());
    ASSERT_FALSE(ui.calls().empty());
    EXPECT_EQ(ui.calls().back(), "warning: Problem | Die Datei " + missing +
                                     " konnte nicht gel\xF6scht werden !\rDie Eintr\xE4ge wurden aus der Datenbank entfernt.");
    expectScriptKept();
}

TEST_F(MarkingTest, DeleteMarkedTracksKeepsTheFilesWhenTold) {
    const std::string b = trackFile("b.mp3");
    open({{"A"}, {"B", {}, "", true, 0, b}});
    ui.expectYesNo(true, "alle markierten");
    ui.expectYesNo(false, "MP3-Dateien auch");
    EXPECT_TRUE(marking().MP3TDELETE());
    EXPECT_TRUE(deleted(2));
    EXPECT_FALSE(deleted(1));
    EXPECT_TRUE(exists(b));
    EXPECT_EQ(ui.calls().back().rfind("warning", 0), std::string::npos);
    expectScriptKept();
}

TEST_F(MarkingTest, NothingHappensWithoutAnOpenTable) {
    open({{"A", {}, "", true}});
    // The table was closed but LTAB_TAGG stayed set: the commands must not act on a stale table.
    state.LTAB_OPEN = false;
    state.LTAB_TAGG = true;
    marking().DELMARKED();
    EXPECT_FALSE(marking().MP3TDELETE());
    EXPECT_FALSE(marking().MP3TAGGIT(1));
    EXPECT_TRUE(tagged(1));
    EXPECT_FALSE(deleted(1));

    Marking none = marking(nullptr);
    none.MARKALL();
    none.DELMARKED();
    EXPECT_FALSE(none.MP3DELETE());
    EXPECT_FALSE(none.MP3TAGMORE(1, 1));
    EXPECT_TRUE(ui.calls().empty());
}

}  // namespace
}  // namespace klango::table
