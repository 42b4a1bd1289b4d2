#include "table/table_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "grid_test_table.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "base/profile_file.h"
#include "dbf/work_areas.h"
#include "shell/menu_commands.h"
#include "shell/startup.h"
#include "table/edit_dialog_model.h"
#include "table/table_sort.h"
#include "table/track_grid_model.h"
#include "ui/scripted_ui.h"

namespace klango::table {
namespace {

namespace fs = std::filesystem;
namespace track = trackdb::track;
using gridtest::Track;
using base::Date;
using ui::MessageItem;

constexpr Date kToday{2026, 12, 9};

// A panel that records what the table window asked of it.
class FakePanel : public TablePanelView {
public:
    int show(TableWindow& window, const std::array<double, kColumnCount>& w) override {
        calls.push_back("show");
        shownWith = &window;
        widths.assign(w.begin(), w.end());
        return 20;
    }
    std::vector<double> columnWidths() const override { return widths; }
    void close() override { calls.push_back("close"); }
    void refresh() override { calls.push_back("refresh"); }
    void showLastPage() override { calls.push_back("lastPage"); }
    void focusGrid() override { calls.push_back("focus"); }

    bool called(const std::string& what) const { return std::count(calls.begin(), calls.end(), what) > 0; }

    std::vector<std::string> calls;
    std::vector<double> widths;
    TableWindow* shownWith = nullptr;
};

// A started program folder with a database "Rock" in its data folder, and the table window.
class TableWindowTest : public ::testing::Test {
protected:
    TableWindowTest() : clock(platform::LocalTime{kToday, 10, 59, 0}) {}

    void SetUp() override {
        m_cwd = fs::current_path();
        shell::startUp(sh, home.root());
        shell::afterStartScreen(sh);
        sh.state.LS_MARKDATE = sh.state.LS_MARKHOUR = true;
        window.setView(&panel);
        window.install();
    }
    void TearDown() override {
        sh.areas->closeAll();
        fs::current_path(m_cwd);
        base::clearProfileCache();
    }

    // Writes the database with tracks; the last `deleted` of them are flagged as deleted.
    void makeDatabase(const std::string& name, const std::vector<Track>& tracks, int deleted = 0) {
        auto table = gridtest::makeTrackTable(home, name);
        ASSERT_TRUE(table);
        for (const Track& t : tracks) gridtest::addTrack(*table, t);
        for (int i = 0; i < deleted; ++i) {
            table->goTo(uint32_t(tracks.size()) - uint32_t(i));
            table->deleteRecord();
        }
        table->close();
    }

    std::string dataFileText(const std::string& name) const {
        return base::utf8ToCp1252((home.data() / name).string());
    }

    // Opens "Rock" through the open dialog.
    void openRock() {
        ui.expectOpenFile(dataFileText("ROCK.DBF"));
        ASSERT_EQ(window.MP3TABLE(true), std::optional<bool>(true));
        ASSERT_TRUE(ui.unexpected().empty());
    }

    std::string setting(const char* section, const char* key) const {
        base::clearProfileCache();
        return base::readProfileString(home.root() / "KLANGO.INI", section, key, "<none>");
    }

    std::string groupAtRow(int row) const {
        return std::string(base::trimRight(window.table()->view(window.rows()->recordAt(row)).raw(track::GROUP)));
    }

    test::TempHome home;
    ui::ScriptedUi ui;
    shell::Shell sh{ui};
    platform::FixedClock clock;
    FakePanel panel;
    TableWindow window{sh, clock};

private:
    fs::path m_cwd;
};

std::vector<Track> band(std::initializer_list<const char*> groups) {
    std::vector<Track> tracks;
    for (const char* g : groups) tracks.push_back({.group = g, .title = std::string("Song of ") + g});
    return tracks;
}

TEST_F(TableWindowTest, OpeningFromTheDialogFillsTheMessageBarAndShowsThePanel) {
    std::vector<Track> tracks = band({"Queen", "Abba", "Nena", "Zappa"});
    tracks[2].tagged = true;
    makeDatabase("Rock", tracks, 1);

    openRock();
    const shell::AppState& s = sh.state;
    EXPECT_EQ(s.CFILE, "Rock");
    EXPECT_TRUE(s.LTAB_OPEN);
    EXPECT_TRUE(s.LTAB_TAGG);
    EXPECT_EQ(s.NTABROWS, 20);
    EXPECT_EQ(setting("Database", "File"), "Rock");
    const std::vector<std::string>& m = ui.messages();
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.front(), "W\xE4hlen Sie die MP3-Datenbank ...");
    EXPECT_NE(std::find(m.begin(), m.end(), "Erzeugen Datenbank"), m.end());
    EXPECT_EQ(m.back(), "");  // back to the default text
    EXPECT_EQ(ui.defaultMessage(), "Rechter Mausklick \xF6" "ffnet das Kontextmen\xFC");
    EXPECT_EQ(ui.messageItem(MessageItem::Base), "Rock");
    EXPECT_EQ(ui.messageItemWidth(MessageItem::Base), 32);
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 3");  // the deleted track is not counted
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 1");
    EXPECT_EQ(ui.messageItem(MessageItem::Filter), "kein Filter");
    EXPECT_EQ(ui.helpTopic(), "Hauptauswahl");
    EXPECT_FALSE(ui.waitCursor());
    EXPECT_TRUE(ui.calls().front().find("openFile: MP3-Datenbank \xF6" "ffnen") == 0) << ui.calls().front();

    // The panel: artist order with its header active, the stored-width defaults, marks shown.
    EXPECT_EQ(panel.shownWith, &window);
    EXPECT_EQ(window.sort()->activeColumn(), kGroupColumn);
    EXPECT_EQ(window.rows()->rowCount(), 3);
    EXPECT_EQ(groupAtRow(0), "Abba");
    EXPECT_EQ(std::vector<double>(panel.widths.begin(), panel.widths.begin() + 4),
              (std::vector<double>{18.1, 208.15, 208.15, 253.4}));
    EXPECT_EQ(window.panelState().markAllPicture, "UNMARKALLK");
    EXPECT_TRUE(window.panelState().playlistEnabled);
    EXPECT_EQ(window.panelState().NLBXREC, window.rows()->recordAt(0));

    // The menu's table entries follow.
    EXPECT_TRUE(shell::entryEnabled(sh, shell::EnableRule::TableOpen, shell::MenuCommand::Edit));
}

TEST_F(TableWindowTest, CancelledOrUnusableChoicesLeaveNoTableOpen) {
    makeDatabase("Rock", band({"Abba"}));
    openRock();

    ui.expectOpenFile("");
    EXPECT_EQ(window.MP3TABLE(true), std::nullopt);
    EXPECT_TRUE(panel.called("close"));
    EXPECT_FALSE(sh.state.LTAB_OPEN);
    EXPECT_EQ(window.table(), nullptr);
    EXPECT_EQ(ui.messageItem(MessageItem::Base), "");
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "");
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "");

    // A database outside the data folder is refused with a message; no empty namesake appears.
    const fs::path elsewhere = home.root() / "Elsewhere";
    fs::create_directories(elsewhere);
    test::writeFileBytes(elsewhere / "Pop.dbf", test::readFileBytes(home.data() / "Rock.dbf"));
    ui.expectOpenFile(base::utf8ToCp1252((elsewhere / "Pop.dbf").string()));
    EXPECT_EQ(window.MP3TABLE(true), std::nullopt);
    EXPECT_TRUE(std::any_of(ui.calls().begin(), ui.calls().end(),
                            [](const std::string& c) { return c.find("liegt nicht im Datenverzeichnis") != c.npos; }));
    EXPECT_FALSE(fs::exists(home.data() / "Pop.dbf"));
    EXPECT_EQ(setting("Database", "File"), "Rock");
}

TEST_F(TableWindowTest, TheSearchResultTableIsNotRememberedAsTheDatabase) {
    makeDatabase("Rock", band({"Abba"}));
    makeDatabase("mp3such", band({"Nena"}));
    openRock();
    ui.expectOpenFile(dataFileText("mp3such.dbf"));
    ASSERT_EQ(window.MP3TABLE(true), std::optional<bool>(true));
    EXPECT_EQ(sh.state.CFILE, "Mp3such");
    EXPECT_EQ(ui.messageItem(MessageItem::Base), "Mp3such");
    EXPECT_EQ(setting("Database", "File"), "Rock");
}

TEST_F(TableWindowTest, ClosingThePanelStoresTheColumnWidthsAndKeepsTheTable) {
    makeDatabase("Rock", band({"Abba", "Queen"}));
    openRock();
    panel.widths[0] = 18.1;
    panel.widths[1] = 250;
    window.headerClicked(kGenreColumn);
    EXPECT_TRUE(window.MP3DLGCLOSE());
    EXPECT_FALSE(sh.state.LTAB_OPEN);
    EXPECT_FALSE(window.panelShown());
    EXPECT_NE(window.table(), nullptr);  // DMP3 stays open
    EXPECT_EQ(setting("Browse", "0"), "16");
    EXPECT_EQ(setting("Browse", "1"), "18.1");
    EXPECT_EQ(setting("Browse", "2"), "250");
    EXPECT_EQ(setting("Browse", "16"), "60");

    // The next panel takes the stored widths and starts in the artist order again.
    ASSERT_TRUE(window.MP3STABLE());
    EXPECT_EQ(panel.widths[1], 250);
    EXPECT_EQ(window.sort()->activeColumn(), kGroupColumn);

    // A second close while none is shown changes nothing.
    panel.calls.clear();
    window.MP3DLGCLOSE();
    window.MP3DLGCLOSE();
    EXPECT_EQ(std::count(panel.calls.begin(), panel.calls.end(), "close"), 1);
}

TEST_F(TableWindowTest, ClicksMarkTheClickedRecordAndShiftMarksTheRangeInTheShownOrder) {
    // Record numbers run against the genre order, so a range by record numbers would be wrong.
    std::vector<Track> tracks = band({"A1", "A2", "A3", "A4", "A5"});
    const char* genres[] = {"Pop", "Jazz", "Rock", "Blues", "Funk"};  // genre order: 4 5 2 1 3
    for (size_t i = 0; i < tracks.size(); ++i) tracks[i].genre = genres[i];
    makeDatabase("Rock", tracks);
    openRock();
    ASSERT_TRUE(window.headerClicked(kGenreColumn));
    EXPECT_FALSE(window.headerClicked(kGenreColumn));  // the second click does nothing
    EXPECT_FALSE(window.headerClicked(kYearColumn));   // not sortable
    EXPECT_EQ(window.sort()->activeColumn(), kGenreColumn);

    window.rowClicked(1, false);  // A5 (Funk)
    window.rowClicked(3, true);   // A1 (Pop): Funk, Jazz, Pop marked
    dbf::DbfTable& t = *window.table();
    auto tagged = [&](uint32_t recno) { return t.view(recno).logical(track::TAGGED); };
    EXPECT_TRUE(tagged(5) && tagged(2) && tagged(1));
    EXPECT_FALSE(tagged(4) || tagged(3));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 3");
    EXPECT_EQ(window.panelState().markAllText, "Alle Markierungen entfernen");
    EXPECT_EQ(window.panelState().NLBXREC, 1u);
    EXPECT_TRUE(panel.called("refresh"));

    // The double click toggles with DblClick 1, on the clicked row whatever the pointer says.
    sh.state.NS_DBLCLICK = 1;
    t.goTo(4);
    window.rowActivated(3);
    EXPECT_FALSE(tagged(1));
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 2");

    // "Markierung &beginnt hier" / "&endet hier" from the context menu do the same as Shift.
    window.currentRowChanged(0);  // Blues
    window.run(PanelCommand::RangeStart);
    window.currentRowChanged(1);
    window.run(PanelCommand::RangeEnd);
    EXPECT_TRUE(tagged(4));
    EXPECT_FALSE(tagged(5));
}

TEST_F(TableWindowTest, DoubleClickEditsAndTheSavedRecordMovesInTheArtistOrder) {
    makeDatabase("Rock", band({"Abba", "Nena", "Queen"}));
    openRock();
    ASSERT_EQ(groupAtRow(0), "Abba");
    ui.expectDialog([](ui::DialogModel& m) {
        auto& edit = dynamic_cast<EditDialogModel&>(m);
        edit.enterField(EditDialogModel::Group);
        edit.typeText(EditDialogModel::Group, "Zappa");
        edit.save();
    });
    sh.state.NS_DBLCLICK = 3;
    window.rowActivated(0);  // DblClick neither 1 nor 2: the edit dialog
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
    EXPECT_EQ(groupAtRow(2), "Zappa");
    EXPECT_EQ(window.rows()->currentRow(), std::optional<int>(2));
    EXPECT_EQ(ui.helpTopic(), "Hauptauswahl");

    // Leaving the dialog with "&Beenden" keeps the record as it was.
    ui.expectDialog([](ui::DialogModel& m) {
        auto& edit = dynamic_cast<EditDialogModel&>(m);
        edit.enterField(EditDialogModel::Group);
        edit.typeText(EditDialogModel::Group, "Abc");
        edit.quit();
    });
    sh.hooks.MP3EDIT();  // the main menu's entry edits the current record
    EXPECT_EQ(groupAtRow(2), "Zappa");
}

TEST_F(TableWindowTest, LetterJumpsAndTheEndsOfTheTable) {
    std::vector<Track> tracks = band({"Abba", "Dio", "Queen"});
    tracks[0].range = 5;
    makeDatabase("Rock", tracks);
    openRock();
    ASSERT_TRUE(window.MP3GOTO("D"));
    EXPECT_EQ(window.rows()->currentRow(), std::optional<int>(1));

    // The rating keys begin with digits: a letter lands on the last record.
    window.headerClicked(kRangeColumn);
    panel.calls.clear();
    window.MP3GOTO("A");
    EXPECT_TRUE(panel.called("lastPage"));
    EXPECT_EQ(window.rows()->currentRow(), std::optional<int>(2));

    shell::runMenuCommand(sh, shell::MenuCommand::GotoTop);
    EXPECT_EQ(window.rows()->currentRow(), std::optional<int>(0));
    shell::runMenuCommand(sh, shell::MenuCommand::GotoBottom);
    EXPECT_EQ(window.rows()->currentRow(), std::optional<int>(2));
    shell::runMenuCommand(sh, shell::MenuCommand::GotoLetter, 'Q');
    EXPECT_EQ(groupAtRow(*window.rows()->currentRow()), "Abba");  // rating order: Abba (5) is last
}

TEST_F(TableWindowTest, ButtonsFollowTheMarksThePlayerAndTheCommandsOfTheProgram) {
    makeDatabase("Rock", band({"Abba", "Nena"}));
    openRock();
    EXPECT_FALSE(window.enabled(PanelCommand::UnmarkAll));
    EXPECT_FALSE(window.enabled(PanelCommand::KillFilter));
    EXPECT_FALSE(window.enabled(PanelCommand::ShowAll));
    EXPECT_FALSE(window.enabled(PanelCommand::Statistics));  // its routine is not in the program yet

    window.run(PanelCommand::MarkAllOrNone);
    EXPECT_TRUE(sh.state.LTAB_TAGG);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 2");
    EXPECT_EQ(window.panelState().markAllPicture, "UNMARKALLK");
    EXPECT_TRUE(window.enabled(PanelCommand::UnmarkAll));
    EXPECT_FALSE(window.enabled(PanelCommand::Playlist));  // no player, no export yet
    sh.state.CS_AMPPATH = "player";
    sh.hooks.M3UEXPORT = [] {};
    EXPECT_TRUE(window.enabled(PanelCommand::Playlist));

    window.run(PanelCommand::MarkAllOrNone);
    EXPECT_FALSE(sh.state.LTAB_TAGG);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_EQ(window.panelState().markAllText, "Alle Titel markieren");
    EXPECT_FALSE(window.enabled(PanelCommand::Playlist));

    // After the panel closed, the mark commands of the main menu act on nothing.
    window.run(PanelCommand::MarkAll);
    window.MP3DLGCLOSE();
    shell::runMenuCommand(sh, shell::MenuCommand::UnmarkAll);
    EXPECT_TRUE(window.table()->view(1).logical(track::TAGGED));
}

// "Neu" from the button bar or the main menu that imports nothing (cancelled, or refused after
// the name was chosen) shows the database that was open again, whatever the import chose.
TEST_F(TableWindowTest, NewWithoutAnImportShowsTheOpenDatabaseAgain) {
    makeDatabase("Rock", band({"Abba"}));
    for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu ? "main menu" : "button bar");
        openRock();
        const std::string opened = sh.state.CFILE;
        int imports = 0;
        sh.hooks.MP3IMPORT = [&] {
            ++imports;
            sh.state.CFILE = "Pop";
            return false;
        };
        if (fromMenu) {
            shell::runMenuCommand(sh, shell::MenuCommand::New);
        } else {
            window.run(PanelCommand::NewFile);
        }
        EXPECT_EQ(imports, 1);
        ASSERT_NE(window.table(), nullptr);
        EXPECT_TRUE(window.panelShown());
        EXPECT_TRUE(sh.state.LTAB_OPEN);
        EXPECT_EQ(sh.state.CFILE, opened);
        EXPECT_EQ(ui.messageItem(MessageItem::Base), "Rock");
        EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 1");
        EXPECT_EQ(window.rows()->rowCount(), 1);
        EXPECT_FALSE(fs::exists(home.data() / "Pop.dbf"));
    }
}

TEST_F(TableWindowTest, DeletingFromTheContextMenuUpdatesTheCounter) {
    std::vector<Track> tracks = band({"Abba", "Nena"});
    tracks[0].tagged = tracks[1].tagged = true;
    makeDatabase("Rock", tracks);
    openRock();
    window.currentRowChanged(1);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(false, "MP3-Datei");
    window.run(PanelCommand::Delete);
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_EQ(window.rows()->rowCount(), 1);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 1");
    EXPECT_TRUE(panel.called("refresh"));
}

// The questions name what goes; the counter follows every deletion and the grid stays where the
// user was.
TEST_F(TableWindowTest, DeletingNamesWhatGoesAndKeepsTheCountAndThePlace) {
    std::vector<Track> tracks = band({"Abba", "Beatles", "Cure", "Doors", "Eagles", "Queen"});
    tracks[1].tagged = tracks[2].tagged = tracks[5].tagged = true;
    makeDatabase("Rock", tracks);
    openRock();
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 6");
    auto currentGroup = [&] { return groupAtRow(window.rows()->currentRow().value_or(-1)); };

    window.currentRowChanged(0);
    ui.expectYesNo(true, "Wollen Sie diesen Titel l\xF6schen ?\rAbba - Song of Abba");
    ui.expectYesNo(false, "Soll die MP3-Datei auch gel\xF6scht werden ?");
    window.run(PanelCommand::Delete);
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 5");

    // Standing on a marked track: the grid goes to the next one that stays.
    window.currentRowChanged(1);
    ASSERT_EQ(currentGroup(), "Cure");
    ui.expectYesNo(true, "Wollen Sie alle markierten Titel l\xF6schen ?\r3 markierte Titel");
    ui.expectYesNo(false, "Sollen die MP3-Dateien auch gel\xF6scht werden ?\r3 MP3-Dateien");
    shell::runMenuCommand(sh, shell::MenuCommand::DeleteMarked);
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 2");
    EXPECT_EQ(currentGroup(), "Doors");

    // Nothing after it stays: the last track that stays.
    window.currentRowChanged(1);
    window.run(PanelCommand::ToggleMark);  // Eagles
    ui.expectYesNo(true, "\r1 markierter Titel");
    ui.expectYesNo(false, "\r1 MP3-Datei");
    shell::runMenuCommand(sh, shell::MenuCommand::DeleteMarked);
    EXPECT_EQ(currentGroup(), "Doors");
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 1");
    EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();

    // Nothing marked: nothing to ask.
    shell::runMenuCommand(sh, shell::MenuCommand::DeleteMarked);
    EXPECT_TRUE(ui.unexpected().empty());

    ASSERT_EQ(window.MP3TABLE(false), std::optional<bool>(true));
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 1");
}

// A command that closes every table while the panel is shown (a search over all databases, a
// structure update) must not leave the grid reading a closed table.
TEST_F(TableWindowTest, TablesClosedUnderThePanelTakeThePanelWithThem) {
    makeDatabase("Rock", band({"Abba", "Queen"}));
    openRock();
    sh.areas->closeAll();
    EXPECT_FALSE(window.panelShown());
    EXPECT_EQ(window.rows(), nullptr);
    EXPECT_TRUE(panel.called("close"));
    EXPECT_FALSE(sh.state.LTAB_OPEN);
    EXPECT_EQ(setting("Browse", "0"), "16");
    // The commands find no table and do nothing.
    window.run(PanelCommand::MarkAll);
    window.rowClicked(0, true);
    shell::runMenuCommand(sh, shell::MenuCommand::GotoBottom);
    EXPECT_EQ(window.table(), nullptr);
}

// Database names are CP1252 in the program and UTF-8 on the disk.
TEST_F(TableWindowTest, ADatabaseWithAnUmlautInItsNameOpensWithItsTracks) {
    makeDatabase("\xC3\x84rzte", band({"Die \xC4rzte", "Farin", "Bela"}));  // "Ärzte.dbf" on the disk
    ui.expectOpenFile(dataFileText("\xC3\x84rzte.dbf"));
    ASSERT_EQ(window.MP3TABLE(true), std::optional<bool>(true));
    EXPECT_EQ(sh.state.CFILE, "\xC4rzte");
    EXPECT_EQ(window.rows()->rowCount(), 3);
    EXPECT_EQ(ui.messageItem(MessageItem::Base), "\xC4rzte");
    EXPECT_TRUE(fs::exists(home.data() / "\xC3\x84rzte1.NTX"));
    EXPECT_FALSE(fs::exists(home.data() / "\xC4rzte.dbf"));  // no empty namesake in raw CP1252

    // Reopened by name, as the auto-open and the settings dialog do.
    ASSERT_EQ(window.MP3TABLE(false), std::optional<bool>(true));
    EXPECT_EQ(window.rows()->rowCount(), 3);
}

TEST_F(TableWindowTest, MainMenuEntriesReachTheSameCommands) {
    std::vector<Track> tracks = band({"Abba", "Nena", "Queen"});
    tracks[1].tagged = true;
    makeDatabase("Rock", tracks);
    openRock();
    shell::runMenuCommand(sh, shell::MenuCommand::MarkAll);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 3");
    EXPECT_EQ(window.panelState().markAllPicture, "UNMARKALLK");

    window.currentRowChanged(0);
    ui.expectYesNo(true, "diesen Titel");
    ui.expectYesNo(false, "MP3-Datei");
    shell::runMenuCommand(sh, shell::MenuCommand::DeleteRecord);
    EXPECT_EQ(window.rows()->rowCount(), 2);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 2");

    ui.expectYesNo(true, "alle markierten");
    ui.expectYesNo(false, "MP3-Dateien");
    shell::runMenuCommand(sh, shell::MenuCommand::DeleteMarked);
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_EQ(window.rows()->rowCount(), 0);
    EXPECT_EQ(ui.messageItem(MessageItem::Tagged), "Markiert: 0");
    EXPECT_FALSE(sh.state.LTAB_TAGG);
    EXPECT_EQ(window.panelState().markAllText, "Alle Titel markieren");
    EXPECT_EQ(ui.messageItem(MessageItem::Records), "Titel: 0");

    // An empty view: the commands on the current record find none and do nothing.
    window.run(PanelCommand::ToggleMark);
    window.run(PanelCommand::Edit);
    shell::runMenuCommand(sh, shell::MenuCommand::GotoBottom);
    EXPECT_TRUE(ui.scriptDone());
}

}  // namespace
}  // namespace klango::table
