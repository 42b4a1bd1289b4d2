// The structure update after a program upgrade: the marker, the loop over the databases, the stop
// that lets the database in work finish, a database that cannot be converted, once per start,
// and `klango-cli update` end to end.
#include "settings/database_update.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using settings::UpdateResult;

namespace {

// The record layout of the version before the file size was kept.
dbf::Structure oldLayout() {
    dbf::Structure s = trackdb::trackStructure();
    s.pop_back();
    return s;
}

void makeOldTable(const fs::path& file, int records) {
    ASSERT_TRUE(dbf::DbfTable::create(file, oldLayout(), {2003, 5, 1}));
    auto t = dbf::DbfTable::open(file);
    ASSERT_TRUE(t);
    for (int i = 0; i < records; ++i) {
        t->appendBlank();
        t->putC(t->fieldPos("GROUP"), "Band " + std::to_string(i));
        t->putC(t->fieldPos("PATH"), "/musik/" + std::to_string(i) + ".mp3");
    }
}

int fieldCount(const fs::path& file) {
    auto t = dbf::DbfTable::open(file);
    return t ? int(t->fieldCount()) : -1;
}

class DatabaseUpdateTest : public ::testing::Test {
  protected:
    DatabaseUpdateTest() {
        state.CRUNIN = home.root() / "";
        for (const char* name : kNames) makeOldTable(home.data() / (std::string(name) + ".dbf"), 3);
        test::writeFileBytes(marker(), "");
    }
    fs::path marker() const { return home.root() / "KLANGO.upd"; }
    std::vector<int> fieldCounts() const {
        std::vector<int> out;
        for (const char* name : kNames) out.push_back(fieldCount(home.data() / (std::string(name) + ".dbf")));
        return out;
    }

    static constexpr const char* kNames[] = {"a", "b", "c", "d", "e"};
    test::TempHome home;
    shell::AppState state;
    dbf::WorkAreas areas{home.data()};
    ui::ScriptedUi ui;
    settings::DatabaseUpdate update;
};

}  // namespace

TEST_F(DatabaseUpdateTest, EveryDatabaseIsConvertedOnceAndTheMarkerGoes) {
    ui.expectDialog();
    EXPECT_EQ(update.CHKUPDATE(state, areas, ui), UpdateResult::Done);
    EXPECT_EQ(fieldCounts(), (std::vector<int>{19, 19, 19, 19, 19}));
    EXPECT_FALSE(fs::exists(marker()));
    EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();

    // A marker that turns up later in the same run waits for the next start.
    test::writeFileBytes(marker(), "");
    EXPECT_EQ(update.CHKUPDATE(state, areas, ui), UpdateResult::AlreadyRan);
    EXPECT_TRUE(fs::exists(marker()));
    settings::DatabaseUpdate nextStart;
    ui.expectDialog();
    EXPECT_EQ(nextStart.CHKUPDATE(state, areas, ui), UpdateResult::Done);

    // Without the marker nothing is shown.
    settings::DatabaseUpdate third;
    const size_t calls = ui.calls().size();
    EXPECT_EQ(third.CHKUPDATE(state, areas, ui), UpdateResult::NoMarker);
    EXPECT_EQ(ui.calls().size(), calls);
}

TEST_F(DatabaseUpdateTest, AStopDuringTheThirdFinishesItAndSkipsTheRest) {
    std::vector<std::string> shown;
    int eventsAtThird = 0;
    ui.expectDialog();
    ui.whileDialogOpen([&](ui::DialogModel& m, int) {
        auto& dialog = static_cast<settings::UpdateDialogModel&>(m);
        if (!dialog.file().empty() && (shown.empty() || shown.back() != dialog.file()))
            shown.push_back(dialog.file());
        // The click made while the third is converted reaches the dialog only when events are
        // let through after it, as on the screen.
        if (dialog.position() == 3 && ++eventsAtThird == 2) dialog.interrupt();
    });
    EXPECT_EQ(update.CHKUPDATE(state, areas, ui), UpdateResult::Stopped);
    EXPECT_EQ(shown, (std::vector<std::string>{"A.dbf", "B.dbf", "C.dbf"}));
    EXPECT_EQ(fieldCounts(), (std::vector<int>{19, 19, 19, 18, 18}));
    EXPECT_TRUE(fs::exists(marker()));
    EXPECT_EQ(ui.calls().back(),
              "warning: Problem | Das Datenbankupdate wurde unterbrochen, das Program wird beendet !");
}

TEST_F(DatabaseUpdateTest, ADatabaseThatCannotBeConvertedIsNamedAndTheMarkerStays) {
    const std::string junk = "this is no table at all";
    test::writeFileBytes(home.data() / "c.dbf", junk);
    ui.expectDialog();
    EXPECT_EQ(update.CHKUPDATE(state, areas, ui), UpdateResult::Failed);
    EXPECT_EQ(fieldCounts(), (std::vector<int>{19, 19, -1, 19, 19}));
    EXPECT_EQ(test::readFileBytes(home.data() / "c.dbf"), junk);
    EXPECT_TRUE(fs::exists(marker()));
    EXPECT_NE(ui.calls().back().find("konnten nicht aktualisiert werden: c.dbf"), std::string::npos)
        << ui.calls().back();
}

TEST(DatabaseUpdate, AnEmptyDataFolderOpensAndClosesTheDialogAndDropsTheMarker) {
    test::TempHome home;
    shell::AppState state;
    state.CRUNIN = home.root() / "";
    test::writeFileBytes(home.root() / "klango.UPD", "");  // found whatever its case
    dbf::WorkAreas areas{home.data()};
    ui::ScriptedUi ui;
    ui.expectDialog([](ui::DialogModel& m) { EXPECT_EQ(m.title(), "Datenbank-Update"); });
    settings::DatabaseUpdate update;
    EXPECT_EQ(update.CHKUPDATE(state, areas, ui), UpdateResult::Done);
    EXPECT_FALSE(fs::exists(home.root() / "klango.UPD"));
    EXPECT_TRUE(ui.scriptDone());
}

TEST(KlangoCliUpdate, UpdatesEveryDatabaseAndReportsEach) {
    test::TempHome home;
    makeOldTable(home.data() / "Rock.dbf", 4);
    makeOldTable(home.data() / "pop.dbf", 2);
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " update";
    auto r = test::runCommand(cli);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("keine Datei KLANGO.upd"), std::string::npos) << r.output;
    EXPECT_EQ(fieldCount(home.data() / "Rock.dbf"), 18);

    test::writeFileBytes(home.root() / "KLANGO.upd", "");
    r = test::runCommand(cli);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("1/2 Rock.dbf\n2/2 Pop.dbf\nUpdate abgeschlossen"), std::string::npos)
        << r.output;
    EXPECT_EQ(fieldCount(home.data() / "Rock.dbf"), 19);
    EXPECT_FALSE(fs::exists(home.root() / "KLANGO.upd"));
    // The converted table reads back in a second dBase reader with every record.
    auto py = test::runPython("import dbfread,sys\nprint(len(list(dbfread.DBF(sys.argv[1]))))",
                              {(home.data() / "Rock.dbf").string()});
    EXPECT_EQ(py.output, "4\n");
}
