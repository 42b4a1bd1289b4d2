// The settings dialog model driven as a user would through ScriptedUi: the linked boxes and enable
// rules, saving (order, number format, playlist folders) read back from the settings file, the
// rebuild rule of the font size, and the refusals that keep the dialog open.
#include "settings/setup_dialog_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "base/profile_file.h"
#include "settings/setup.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using settings::SetupControl;
using settings::SetupDialogModel;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

class SetupTest : public ::testing::Test {
  protected:
    SetupTest() {
        base::clearProfileCache();
        shell::LOADPUBLICS(state, home.root());
    }
    void writeIni(const std::string& text) {
        test::writeFileBytes(home.root() / "KLANGO.INI", text);
        base::clearProfileCache();
        shell::LOADPUBLICS(state, home.root());
    }
    std::string ini() const { return test::readFileBytes(home.root() / "KLANGO.INI"); }
    settings::PlayerSearchPlaces nowhere() const { return {"", {}}; }

    test::TempHome home;
    shell::AppState state;
    ui::ScriptedUi ui;
};

}  // namespace

TEST_F(SetupTest, LinkedBoxesAndEnableRules) {
    SetupDialogModel m(state, ui, nowhere());
    // Defaults: WinAmp in use without a path, so nothing can be saved yet.
    EXPECT_TRUE(m.values().ampUseIt);
    EXPECT_FALSE(m.values().pl2UseIt);
    EXPECT_FALSE(m.enabled(SetupControl::Save));
    EXPECT_FALSE(m.enabled(SetupControl::AmpInterrupt));

    struct Step {
        std::function<void()> action;
        bool ampUseIt, pl2UseIt, markDate, markHour, markHourEnabled;
    };
    const std::vector<Step> steps = {
        {[&] { m.setAmpUseIt(false); }, false, true, true, true, true},
        {[&] { m.setAmpUseIt(true); }, true, false, true, true, true},
        {[&] { m.setPl2UseIt(true); }, false, true, true, true, true},
        {[&] { m.setPl2UseIt(false); }, true, false, true, true, true},
        {[&] { m.setMarkDate(false); }, true, false, false, false, false},
        {[&] { m.setMarkHour(true); }, true, false, false, false, false},  // not while today's box is off
        {[&] { m.setMarkDate(true); }, true, false, true, false, true},
        {[&] { m.setMarkHour(true); }, true, false, true, true, true},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].action();
        const auto& v = m.values();
        EXPECT_EQ(v.ampUseIt, steps[i].ampUseIt) << i;
        EXPECT_EQ(v.pl2UseIt, steps[i].pl2UseIt) << i;
        EXPECT_EQ(v.markDate, steps[i].markDate) << i;
        EXPECT_EQ(v.markHour, steps[i].markHour) << i;
        EXPECT_EQ(m.enabled(SetupControl::MarkHour), steps[i].markHourEnabled) << i;
    }

    // "&Speichern" follows the path of the player in use.
    ui.expectOpenFile("/opt/player2/pl.exe");
    m.choosePl2Path();
    EXPECT_EQ(m.values().pl2PList, state.CPRGPATH + "/");  // no such folder to write the playlist to
    EXPECT_FALSE(m.enabled(SetupControl::Save));           // WinAmp is in use and has no path
    m.setPl2UseIt(true);
    EXPECT_TRUE(m.enabled(SetupControl::Save));
    // A cancelled picker keeps the path; a path with a line break is refused with a message.
    ui.expectOpenFile("");
    m.choosePl2Path();
    EXPECT_EQ(m.values().pl2Path, "/opt/player2/pl.exe");
    ui.expectOpenFile("/opt/evil\nPlayPath=x");
    m.choosePl2Path();
    EXPECT_EQ(m.values().pl2Path, "/opt/player2/pl.exe");
    EXPECT_NE(ui.calls().back().find("Zeilenumbruch"), std::string::npos);
    EXPECT_EQ(ui.calls()[ui.calls().size() - 2].rfind("openFile: Player-2 Programmpfad | /opt/player2/", 0),
              0u);
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(SetupTest, SavingWritesEveryKeyInOrderAndTheUsedPlayer) {
    writeIni("[Project]\r\nProgram=Klango\r\n[System]\r\nDimension=7\r\nFontSize=1\r\n");
    const fs::path player = home.root() / "Winamp" / "winamp.exe";
    fs::create_directories(player.parent_path());
    test::writeFileBytes(player, "");
    const std::string folder = (home.root() / "Winamp").string();

    ui.expectDialog([&](ui::DialogModel& d) {
        auto& m = static_cast<SetupDialogModel&>(d);
        m.setAutoOpen(true);
        ui.expectOpenFile(player.string());
        m.chooseAmpPath();
        m.setAmpAddPl(false);
        ui.expectOpenFile("D:\\Tools\\pl.exe");
        m.choosePl2Path();
        m.setMarkDate(false);
        m.setShowTrak(false);
        m.setDblClick(2);
        m.setFontSize(3);
        EXPECT_TRUE(m.save());
    });
    EXPECT_TRUE(settings::SETUP(state, ui, nowhere()));  // the font size changed
    EXPECT_EQ(ui.helpTopic(), "Hauptauswahl");

    const std::vector<std::string> expected = {"[Project]",
                                               "Program=Klango",
                                               "MyPath=" + state.CPRGPATH,
                                               "[System]",
                                               "Dimension=         7",
                                               "FontSize=         3",
                                               "AutoOpen=1",
                                               "AutoStart=0",
                                               "MarkDate=0",
                                               "MarkHour=0",
                                               "MarkSort=1",
                                               "ShowTrak=0",
                                               "DblClick=         2",
                                               "[Setup]",
                                               "AmpPath=" + player.string(),
                                               "AmpPList=" + folder,
                                               "AmpAddPl=0",
                                               "AmpUseIt=1",
                                               "Pl2Path=D:\\Tools\\pl.exe",
                                               "Pl2PList=" + state.CPRGPATH + "/",
                                               "Pl2AddPl=0",
                                               "Pl2UseIt=0",
                                               "[Player]",
                                               "PlayPath=" + player.string(),
                                               "PlayList=" + folder,
                                               "AddPList=0"};
    EXPECT_EQ(lines(ini()), expected);
    EXPECT_EQ(state.CS_AMPPATH, player.string());
    EXPECT_EQ(state.NS_FONTSIZE, 3);
    EXPECT_EQ(state.NS_DBLCLICK, 2);
    EXPECT_FALSE(state.LS_MARKDATE);

    // Player 2 in use, and a WinAmp folder no file can be written to: the program folder instead.
    ui.expectDialog([&](ui::DialogModel& d) {
        auto& m = static_cast<SetupDialogModel&>(d);
        ui.expectOpenFile("C:\\Programme\\Winamp\\winamp.exe");
        m.chooseAmpPath();
        m.setPl2UseIt(true);
        m.setPl2AddPl(true);
        EXPECT_TRUE(m.save());
    });
    EXPECT_FALSE(settings::SETUP(state, ui, nowhere()));  // same font size: no rebuild
    const auto after = lines(ini());
    auto has = [&](const std::string& l) { return std::find(after.begin(), after.end(), l) != after.end(); };
    EXPECT_TRUE(has("AmpPList=" + state.CPRGPATH));
    EXPECT_TRUE(has("PlayPath=D:\\Tools\\pl.exe"));
    EXPECT_TRUE(has("PlayList=" + state.CPRGPATH + "/"));
    EXPECT_TRUE(has("AddPList=1"));
    EXPECT_EQ(state.CS_AMPPATH, "D:\\Tools\\pl.exe");
    EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
}

// Either player's playlist folder is taken from its program only where a playlist can be written;
// else the program folder holds the playlists. Player 2's keeps its trailing separator.
TEST_F(SetupTest, PlaylistFolderOfEitherPlayerIsOneThatCanBeWritten) {
    const fs::path own = home.root() / "Player";
    fs::create_directories(own);
    const std::string prg = state.CPRGPATH;
    struct Row {
        std::string program;
        bool player2;
        std::string list;
    };
    const std::vector<Row> rows = {
        {(own / "winamp.exe").string(), false, own.string()},
        {(own / "pl").string(), true, own.string() + "/"},
        {"/proc/winamp.exe", false, prg},  // a folder no file can be made in
        {"/proc/pl", true, prg + "/"},
        {"C:\\Programme\\Winamp\\winamp.exe", false, prg},  // a folder not on this system
        {"D:\\Tools\\pl.exe", true, prg + "/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.program);
        SetupDialogModel m(state, ui, nowhere());
        ui.expectOpenFile(row.program);
        if (row.player2) {
            m.choosePl2Path();
            EXPECT_EQ(m.values().pl2PList, row.list);
            m.setPl2UseIt(true);
        } else {
            m.chooseAmpPath();
            m.setAmpUseIt(true);
        }
        ASSERT_TRUE(m.save());
        const auto saved = lines(ini());
        auto has = [&](const std::string& l) {
            return std::find(saved.begin(), saved.end(), l) != saved.end();
        };
        EXPECT_TRUE(has((row.player2 ? "Pl2PList=" : "AmpPList=") + row.list));
        EXPECT_TRUE(has("PlayList=" + row.list));
    }
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(SetupTest, EndAndRefusedSavesLeaveFileAndRunUntouched) {
    writeIni("[System]\r\nAutoOpen=0\r\n[Setup]\r\nAmpPath=/usr/bin/mpv\r\n");
    const std::string before = ini();
    ui.expectDialog([&](ui::DialogModel& d) {
        auto& m = static_cast<SetupDialogModel&>(d);
        m.setFontSize(3);
        m.setMarkDate(false);
        m.end();
    });
    EXPECT_FALSE(settings::SETUP(state, ui, nowhere()));
    EXPECT_EQ(ini(), before);
    EXPECT_EQ(state.NS_FONTSIZE, 1);
    EXPECT_TRUE(state.LS_MARKDATE);

    // A settings file that cannot be written: told, the dialog stays open, nothing taken over.
    fs::remove(home.root() / "KLANGO.INI");
    fs::create_directory(home.root() / "KLANGO.INI");
    base::clearProfileCache();
    SetupDialogModel m(state, ui, nowhere());
    ui.expectOpenFile("/usr/bin/vlc");
    m.chooseAmpPath();
    m.setFontSize(2);
    EXPECT_FALSE(m.save());
    EXPECT_FALSE(m.closeRequested());
    EXPECT_NE(ui.calls().back().find("konnten nicht in die Datei"), std::string::npos) << ui.calls().back();
    EXPECT_EQ(state.NS_FONTSIZE, 1);
    EXPECT_EQ(state.CS_AMPPATH, "");
}
