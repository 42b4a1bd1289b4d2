#include "shell/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/profile_file.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace klango::shell {
namespace {

namespace fs = std::filesystem;

// A program folder and the shell started in it as the program starts (steps 2 to 8), with every
// hook recording its call.
class StartupTest : public ::testing::Test {
protected:
    // The start changes the current folder; the next test must not stand in a removed one.
    void SetUp() override {
        std::error_code ec;
        m_cwd = fs::current_path(ec);
        if (ec) m_cwd = fs::temp_directory_path();
    }
    void TearDown() override {
        fs::current_path(m_cwd);
        base::clearProfileCache();
    }

    void writeIni(const std::string& text) {
        test::writeFileBytes(home.root() / "KLANGO.INI", text);
        base::clearProfileCache();
    }

    void start() {
        startUp(shell, home.root());
        shell.hooks.PRINTERR = [this] { calls.push_back("PRINTERR"); };
        shell.hooks.SETUP = [this] {
            calls.push_back("SETUP");
            return false;
        };
        shell.hooks.CHKUPDATE = [this] { calls.push_back("CHKUPDATE"); };
        shell.hooks.MP3TABLE = [this](bool ask) {
            calls.push_back(ask ? "MP3TABLE ask" : "MP3TABLE " + shell.state.CFILE);
            return true;
        };
        shell.hooks.MP3DLGCLOSE = [this] { calls.push_back("MP3DLGCLOSE"); };
        shell.hooks.redrawMenu = [this] { calls.push_back("menu"); };
        shell.hooks.startProgram = [this](const std::string& line) {
            calls.push_back("start " + line);
            return true;
        };
        shell.hooks.startCall = [this](const platform::ProgramCall& call) {
            std::string text = "start " + call.program;
            for (const std::string& arg : call.args) text += " [" + arg + "]";
            calls.push_back(text);
            return true;
        };
        afterStartScreen(shell);
        buildMenu(shell);
    }

    test::TempHome home;
    ui::ScriptedUi ui;
    Shell shell{ui};
    std::vector<std::string> calls;

private:
    fs::path m_cwd;
};

TEST_F(StartupTest, StartInAFreshProgramFolder) {
    fs::remove_all(home.data());
    start();
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(home.root()));
    EXPECT_TRUE(fs::is_directory(home.data()));
    EXPECT_EQ(shell.state.CRELEASE, "Klango v1.50.17");
    EXPECT_EQ(calls, (std::vector<std::string>{"PRINTERR"}));
    ASSERT_TRUE(shell.areas);
    EXPECT_EQ(fs::canonical(shell.areas->defaultFolder()), fs::canonical(home.data()));

    // No settings file before the start: the settings dialog comes once, at the first move or
    // resize (the SETUP hook here never saves; the next start offers it again).
    calls.clear();
    const WindowPlacement p{.top = 0, .left = 0, .windowHeight = 480, .windowWidth = 640,
                            .clientWidth = 633, .clientHeight = 454};
    onMove(shell, p);
    onMove(shell, p);
    EXPECT_EQ(calls, (std::vector<std::string>{"SETUP"}));
}

TEST_F(StartupTest, WithASettingsFileTheDialogStaysAwayAndTheTitleIsRead) {
    writeIni("[Project]\r\nProgram=Mein Klango\r\nVersion=v2\r\n[System]\r\nAutoOpen=0\r\n");
    start();
    EXPECT_EQ(shell.state.CRELEASE, "Mein Klango v2");
    calls.clear();
    onMove(shell, {.top = 3, .left = 4, .windowHeight = 500, .windowWidth = 700, .clientWidth = 690,
                   .clientHeight = 450});
    EXPECT_TRUE(calls.empty());
    base::clearProfileCache();
    EXPECT_EQ(GETCOORDS(shell.state.settings()), (WindowRect{3, 4, 503, 704, 690, 450}));
}

TEST_F(StartupTest, MainWindowRectangle) {
    writeIni("[System]\r\n0_Top=100\r\n0_Left=200\r\n0_Bottom=700\r\n0_Right=1000\r\n0_Width=790\r\n"
             "0_Height=570\r\n");
    start();
    placeMainWindow(shell, {0, 0, 480, 640});
    const AppState& s = shell.state;
    EXPECT_EQ((std::vector<int>{s.NW_TOP, s.NW_LEFT, s.NW_BOTTOM, s.NW_RIGHT, s.NW_WIDTH, s.NW_HEIGHT}),
              (std::vector<int>{0, 0, 480, 640, 633, 454}));
    EXPECT_EQ(s.AWNDSIZE, (std::array<int, 4>{0, 0, 480, 640}));
    placeMainWindow(shell, {0, 0, 768, 1024});
    EXPECT_EQ((std::vector<int>{s.NW_TOP, s.NW_LEFT, s.NW_BOTTOM, s.NW_RIGHT, s.NW_WIDTH, s.NW_HEIGHT}),
              (std::vector<int>{100, 200, 700, 1000, 790, 570}));
}

// With a table open the panel follows the new size by its layout: it is not closed and built
// again, so the grid keeps its order, its current record and its column widths.
TEST_F(StartupTest, ResizeRunsTheUpdateThenAutoOpenAndLeavesAnOpenPanelAlone) {
    writeIni("[System]\r\nAutoOpen=1\r\n[Database]\r\nFile=Rock\r\n");
    start();
    calls.clear();
    const WindowPlacement p{.top = 0, .left = 0, .windowHeight = 480, .windowWidth = 640};
    onResize(shell, p);
    EXPECT_EQ(calls, (std::vector<std::string>{"CHKUPDATE", "MP3TABLE Rock", "menu"}));
    EXPECT_TRUE(shell.state.LAUTOOPEN);
    EXPECT_FALSE(ui.waitCursor());

    calls.clear();
    shell.state.LTAB_OPEN = true;
    onResize(shell, p);
    EXPECT_EQ(calls, (std::vector<std::string>{"CHKUPDATE"}));
    EXPECT_FALSE(shell.state.LAUTOOPEN);

    calls.clear();
    onCloseRequest(shell);
    EXPECT_EQ(calls, (std::vector<std::string>{"MP3DLGCLOSE"}));
}

TEST_F(StartupTest, AutoOpenCases) {
    const std::string player = "[Player]\r\nPlayPath=/opt/player/play\r\n";
    const fs::path old = home.root() / "KLANGO.OLD";
    const fs::path m3u = home.root() / "KLANGO.M3U";

    // AutoOpen off: nothing at all, whatever AutoStart says.
    writeIni(player + "[System]\r\nAutoOpen=0\r\nAutoStart=1\r\n[Database]\r\nFile=Rock\r\n");
    test::writeFileBytes(old, "#EXTM3U\r\n/m/a.mp3\r\n");
    start();
    calls.clear();
    EXPECT_TRUE(CHKAUTOOPEN(shell));
    EXPECT_EQ(calls, (std::vector<std::string>{"menu"}));

    // AutoOpen on, no last database: nothing is opened and no player started, even with AutoStart.
    writeIni(player + "[System]\r\nAutoOpen=1\r\nAutoStart=1\r\n[Database]\r\nFile=\r\n");
    calls.clear();
    CHKAUTOOPEN(shell);
    EXPECT_EQ(calls, (std::vector<std::string>{"menu"}));
    EXPECT_FALSE(fs::exists(m3u));

    // AutoStart on but no "KLANGO.OLD": the database opens, no player.
    fs::remove(old);
    writeIni(player + "[System]\r\nAutoOpen=1\r\nAutoStart=1\r\n[Database]\r\nFile=Rock\r\n");
    calls.clear();
    CHKAUTOOPEN(shell);
    EXPECT_EQ(calls, (std::vector<std::string>{"MP3TABLE Rock", "menu"}));

    // Both on with the last playlist: it is copied back and the player plays it, then the database opens.
    test::writeFileBytes(old, "#EXTM3U\r\n/m/a.mp3\r\n");
    calls.clear();
    CHKAUTOOPEN(shell);
    const std::string list = (home.root() / "KLANGO.M3U").string();
    EXPECT_EQ(calls, (std::vector<std::string>{"start /opt/player/play [" + list + "]", "MP3TABLE Rock", "menu"}));
    EXPECT_EQ(test::readFileBytes(m3u), "#EXTM3U\r\n/m/a.mp3\r\n");

    // AutoStart without a player command: the playlist is not handed to nothing.
    writeIni("[System]\r\nAutoOpen=1\r\nAutoStart=1\r\n[Database]\r\nFile=Jazz\r\n");
    LOADPUBLICS(shell.state, home.root());
    calls.clear();
    CHKAUTOOPEN(shell);
    EXPECT_EQ(calls, (std::vector<std::string>{"MP3TABLE Jazz", "menu"}));
    EXPECT_FALSE(ui.waitCursor());
}

TEST_F(StartupTest, PlaylistFolderFromThePlayerSettings) {
    start();
    EXPECT_EQ(playlistFolder(shell.state), shell.state.CRUNIN);
    const fs::path lists = home.root() / "Listen mit Blank";
    fs::create_directory(lists);
    for (const std::string& written : {lists.string(), lists.string() + "/", lists.string() + "//"}) {
        writeIni("[Player]\r\nPlayList=" + written + "\r\n");
        EXPECT_EQ(playlistFile(shell.state, kPlaylistFile), lists / "KLANGO.M3U") << written;
    }
    writeIni("[Player]\r\nPlayList=Listen mit Blank\\\r\n");
    EXPECT_EQ(playlistFile(shell.state, kOldPlaylistFile), shell.state.CRUNIN / "Listen mit Blank" / "KLANGO.OLD");

    // The player gets the playlist as one argument, also when its folder has blanks.
    writeIni("[Player]\r\nPlayPath=play\r\nPlayList=Listen mit Blank\r\n[System]\r\nAutoOpen=1\r\nAutoStart=1\r\n"
             "[Database]\r\nFile=Rock\r\n");
    LOADPUBLICS(shell.state, home.root());
    test::writeFileBytes(lists / "klango.old", "x\r\n");  // found whatever its case
    calls.clear();
    CHKAUTOOPEN(shell);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "start play [" + (lists / "KLANGO.M3U").string() + "]");
    EXPECT_EQ(test::readFileBytes(lists / "KLANGO.M3U"), "x\r\n");
}

TEST_F(StartupTest, ExitCleanupKeepsTheLastPlaylistAndDeletesEveryWorkingFile) {
    start();
    const fs::path root = home.root(), data = home.data();
    std::vector<fs::path> working = {root / "KLANGO.M3U",  root / "MP3FILT.NTX", root / "mp3temp.ntx",
                                     root / "MP3SORT.NTX", data / "ROCK1.NTX",   data / "Rock6.ntx",
                                     data / "MP3TEMP.NT1", data / "mp3such.dbf", root / "Statist.dbf",
                                     root / "STATIST.NTX"};
    for (const fs::path& f : working) test::writeFileBytes(f, "w");
    test::writeFileBytes(root / "KLANGO.M3U", "#EXTM3U\r\n/m/last.mp3\r\n");
    test::writeFileBytes(root / "KLANGO.OLD", "older\r\n");
    const std::vector<fs::path> kept = {data / "ROCK.DBF", data / "ROCK.NTXBAK", root / "KLANGO.INI",
                                        data / ".hidden.NTX"};
    for (const fs::path& f : kept) test::writeFileBytes(f, "k");
    // An open table is closed before its files go.
    dbf::Structure fields{{"NAME", dbf::FieldType::kCharacter, 10, 0, 0}};
    ASSERT_TRUE(shell.areas->create("Offen.dbf", fields));
    ASSERT_NE(shell.areas->use("Offen", "DMP3"), nullptr);

    exitCleanup(shell);

    for (const fs::path& f : working) EXPECT_FALSE(fs::exists(f)) << f;
    for (const fs::path& f : kept) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_TRUE(shell.areas->aliases().empty());
    EXPECT_EQ(test::readFileBytes(root / "KLANGO.OLD"), "#EXTM3U\r\n/m/last.mp3\r\n");
    // Nothing half-written is left beside it.
    for (const auto& e : fs::directory_iterator(root))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

    // Without a playlist the old one stays.
    exitCleanup(shell);
    EXPECT_EQ(test::readFileBytes(root / "KLANGO.OLD"), "#EXTM3U\r\n/m/last.mp3\r\n");
}

// Regression: the playlist was deleted even when it could not be kept as "KLANGO.OLD".
TEST_F(StartupTest, ExitCleanupKeepsThePlaylistWhenItCannotBeCopied) {
    start();
    fs::create_directory(home.root() / "KLANGO.OLD");  // stands in the copy's way
    test::writeFileBytes(home.root() / "KLANGO.M3U", "#EXTM3U\r\n");
    exitCleanup(shell);
    EXPECT_EQ(test::readFileBytes(home.root() / "KLANGO.M3U"), "#EXTM3U\r\n");
}

}  // namespace
}  // namespace klango::shell
