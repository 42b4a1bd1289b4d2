// The player search: the Linux players in a fake PATH, the folder tree of a drive (a link loop,
// an unreadable folder, a dotted folder, the root left untested, STUDIO before WINAMP), the stop
// between folders, and the search run from the settings dialog with its messages and enable rules.
#include "settings/player_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/profile_file.h"
#include "settings/setup_dialog_model.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using settings::PlayerSearch;
using settings::SetupControl;
using settings::SetupDialogModel;

namespace {

void touch(const fs::path& file, bool executable = false) {
    fs::create_directories(file.parent_path());
    test::writeFileBytes(file, "#!/bin/sh\n");
    if (executable) fs::permissions(file, fs::perms::owner_all, fs::perm_options::add);
}

}  // namespace

TEST(PlayerSearch, LinuxPlayersInThePathByPlayerOrder) {
    test::TempHome home;
    const fs::path a = home.root() / "bin1", b = home.root() / "bin2";
    touch(a / "mpv", true);
    touch(b / "vlc", true);
    touch(a / "audacious");  // not executable: no player
    const std::string both = a.string() + ":" + b.string();
    struct Case {
        std::string path;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {both, (b / "vlc").string()},  // vlc comes before mpv, whatever the folder order
        {a.string(), (a / "mpv").string()},
        {"relative/bin::" + a.string() + "/", (a / "mpv").string()},  // relative and empty entries skipped
        {"", ""},
        {(home.root() / "nothing").string(), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(settings::findPlayerInPath(c.path), c.expected) << c.path;
}

TEST(PlayerSearch, FolderTreeOfADrive) {
    test::TempHome home;
    const fs::path root = home.root() / "drive";
    fs::create_directories(root / "a" / "deep");
    fs::create_directory_symlink("..", root / "a" / "loop");  // a link loop is not entered
    touch(root / "winamp.exe");                               // the root itself is not tested
    touch(root / "Programme" / "Player.v5" / "WinAmp.EXE");   // found inside a dotted folder
    touch(root / "Programme" / "Player.v5" / "Studio.exe");   // STUDIO wins in the same folder
    touch(root / "zzz" / "x" / "y" / "z" / "winamp.exe");     // deeper: breadth-first finds the other first
    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);

    std::atomic<bool> stop{false};
    PlayerSearch search(stop);
    std::vector<std::string> seen;
    search.onFolder = [&](const std::string& f) { seen.push_back(f); };
    ASSERT_TRUE(search.MAKETREE(root));
    EXPECT_EQ(search.found(), (root / "Programme" / "Player.v5" / "Studio.exe").string());
    for (const std::string& f : seen) EXPECT_EQ(f.find("loop"), std::string::npos) << f;
    fs::permissions(root / "locked", fs::perms::owner_all);

    // MAKETREE2 lists the sub-folders only, sorted, without the link.
    std::vector<std::string> names;
    for (const fs::path& p : search.MAKETREE2(root / "a")) names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"deep"}));
    // A folder where another file system is mounted is not entered.
    PlayerSearch otherMounts(stop, {(root / "Programme").string()});
    ASSERT_TRUE(otherMounts.MAKETREE(root));
    EXPECT_EQ(otherMounts.found(), (root / "zzz" / "x" / "y" / "z" / "winamp.exe").string());

    // A stop request takes effect between folders: after the first, nothing more is looked at.
    seen.clear();
    search.onFolder = [&](const std::string& f) {
        seen.push_back(f);
        stop = true;
    };
    EXPECT_FALSE(search.MAKETREE(root));
    EXPECT_TRUE(search.stopped());
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(search.folderCount(), 1u);
}

class SearchInDialogTest : public ::testing::Test {
  protected:
    SearchInDialogTest() {
        base::clearProfileCache();
        shell::LOADPUBLICS(state, home.root());
        touch(drive / "Apps" / "Winamp" / "winamp.exe");
    }
    settings::PlayerSearchPlaces places(std::string pathList = {}) {
        return {std::move(pathList), [this] { return std::vector<fs::path>{home.root() / "empty", drive}; }};
    }

    // "Su&chen" in the open dialog; intro: the user's answer to "WinAmp suchen".
    void search(SetupDialogModel& m, bool proceed) {
        ui.expectDialog([&m](ui::DialogModel&) { m.search(); });
        ui.expectDialog([proceed](ui::DialogModel& d) {
            auto& intro = static_cast<settings::SearchIntroModel&>(d);
            proceed ? intro.proceed() : intro.cancel();
        });
        ui.runDialog(m);
    }

    test::TempHome home;
    fs::path drive = home.root() / "drive";
    shell::AppState state;
    ui::ScriptedUi ui;
};

TEST_F(SearchInDialogTest, FoundNotFoundAndCancelled) {
    fs::create_directories(home.root() / "empty");
    SetupDialogModel m(state, ui, places());
    std::vector<std::string> enabledDuringSearch;
    ui.whileDialogOpen([&](ui::DialogModel&, int) {
        if (!m.searching() || !enabledDuringSearch.empty()) return;
        for (auto c : {SetupControl::Save, SetupControl::Help, SetupControl::End, SetupControl::AmpPathButton,
                       SetupControl::AmpSearch, SetupControl::AmpUseIt, SetupControl::AmpInterrupt})
            enabledDuringSearch.push_back(m.enabled(c) ? "on" : "off");
    });
    // The intro's "&Abbruch": nothing happens.
    search(m, false);
    EXPECT_EQ(m.values().ampPath, "");
    EXPECT_EQ(ui.calls().back(), "dialog: WinAmp suchen");

    // "&Weiter": the first drive in vain, the second holds the program.
    search(m, true);
    const std::string found = (drive / "Apps" / "Winamp" / "winamp.exe").string();
    EXPECT_EQ(m.values().ampPath, found);
    EXPECT_EQ(ui.calls().back(), "info: Fertig | WinAmp gefunden in '" + found + "'");
    EXPECT_TRUE(m.values().ampAddPl);
    EXPECT_TRUE(m.enabled(SetupControl::AmpAddPl));
    EXPECT_TRUE(m.enabled(SetupControl::Save));
    EXPECT_FALSE(m.enabled(SetupControl::AmpInterrupt));
    // Only "&Unterbrechen" is usable while the search runs (seen when events were let through).
    EXPECT_EQ(enabledDuringSearch,
              (std::vector<std::string>{"off", "off", "off", "off", "off", "off", "on"}));

    // Nothing anywhere: the path is emptied, the playlist box cleared and disabled.
    fs::remove_all(drive / "Apps");
    search(m, true);
    EXPECT_EQ(m.values().ampPath, "");
    EXPECT_EQ(ui.calls().back(), "warning: Problem | WinAmp wurde nicht gefunden !");
    EXPECT_FALSE(m.values().ampAddPl);
    EXPECT_FALSE(m.enabled(SetupControl::AmpAddPl));
    EXPECT_FALSE(m.enabled(SetupControl::Save));
    EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
}

TEST_F(SearchInDialogTest, PathFirstAStopBeforeTheStartAndClosingDuringTheSearch) {
    const fs::path bin = home.root() / "bin";
    touch(bin / "qmmp", true);
    SetupDialogModel m(state, ui, places(bin.string()));
    search(m, true);
    EXPECT_EQ(m.values().ampPath, (bin / "qmmp").string());

    // A stop requested while no search runs stops the next one before it starts: path kept.
    m.interrupt();
    const size_t calls = ui.calls().size();
    search(m, true);
    EXPECT_EQ(m.values().ampPath, (bin / "qmmp").string());
    EXPECT_EQ(ui.calls().size(), calls + 2);  // the dialog and the intro: no message

    // The close box during a search stops it first, then the dialog closes without a message.
    SetupDialogModel other(state, ui, places());
    ui.whileDialogOpen([&](ui::DialogModel&, int) {
        if (other.searching()) other.closeBox();
    });
    search(other, true);
    EXPECT_TRUE(other.closeRequested());
    EXPECT_EQ(ui.calls().back(), "dialog: WinAmp suchen");
    EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
}

TEST(KlangoCliFindPlayer, PathFirstThenTheFoldersGiven) {
    test::TempHome home;
    touch(home.root() / "bin" / "deadbeef", true);
    touch(home.root() / "disk" / "Winamp 5" / "WINAMP.EXE");
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") +
                            " findplayer " + test::shellQuote((home.root() / "disk").string());
    auto r = test::runCommand("env PATH=" + test::shellQuote((home.root() / "bin").string()) + " " + cli);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, (home.root() / "bin" / "deadbeef").string() + "\n");
    r = test::runCommand("env PATH= " + cli);
    EXPECT_EQ(r.output, (home.root() / "disk" / "Winamp 5" / "WINAMP.EXE").string() + "\n");
    r = test::runCommand("env PATH= " + cli + "/Winamp\\ 5/nothing");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("WinAmp wurde nicht gefunden !"), std::string::npos) << r.output;
}
