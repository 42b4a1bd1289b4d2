// The first start across three starts of the program: the settings dialog comes at the first
// showing of the main window while the settings file holds nothing the dialog saved (LOADPUBLICS
// has made the file by then), once per start, and never again once the user saved.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/profile_file.h"
#include "settings/setup.h"
#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

// One start up to the main window's first showing and a later move; returns how often the
// settings dialog opened. user: what the user does in it.
int runStart(const test::TempHome& home,
             std::function<void(settings::SetupDialogModel&, ui::ScriptedUi&)> user) {
    base::clearProfileCache();
    ui::ScriptedUi ui;
    shell::Shell sh(ui);
    shell::startUp(sh, home.root());
    int opened = 0;
    sh.hooks.SETUP = [&] {
        ++opened;
        ui.expectDialog([&](ui::DialogModel& d) { user(static_cast<settings::SetupDialogModel&>(d), ui); });
        return settings::SETUP(sh.state, ui, {"", {}});
    };
    shell::afterStartScreen(sh);
    const shell::WindowPlacement p{.top = 0, .left = 0, .windowHeight = 480, .windowWidth = 640};
    shell::onResize(sh, p);
    shell::onMove(sh, p);
    EXPECT_TRUE(ui.unexpected().empty());
    return opened;
}

}  // namespace

TEST(FirstStart, TheDialogComesUntilTheUserSaved) {
    test::TempHome home;
    // First start: no settings file; the user leaves with "&Ende".
    EXPECT_EQ(runStart(home, [](auto& m, auto&) { m.end(); }), 1);
    EXPECT_TRUE(fs::exists(home.root() / "KLANGO.INI"));  // MyPath made it
    // Second start: the file exists, yet holds nothing the dialog saved; the user picks a player
    // and saves.
    EXPECT_EQ(runStart(home,
                       [](auto& m, ui::ScriptedUi& ui) {
                           ui.expectOpenFile("/usr/bin/mpv");
                           m.chooseAmpPath();
                           EXPECT_TRUE(m.save());
                       }),
              1);
    // Third start: the dialog stays away.
    EXPECT_EQ(runStart(home, [](auto&, auto&) { ADD_FAILURE() << "dialog opened"; }), 0);
}
