// RXGETFILE on the Ui: the chosen file or its folder, and what a cancelled picker returns.
#include <gtest/gtest.h>

#include "ui/scripted_ui.h"

using namespace klango;

TEST(RxGetFile, ChosenFileOrFolderAndTheCancelledDefaults) {
    struct Case {
        std::string chosen;
        bool folder;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"/opt/player/pl.exe", false, "/opt/player/pl.exe"},
        {"/opt/player/pl.exe", true, "/opt/player/"},
        {"C:\\Tools\\pl.exe", true, "C:\\Tools\\"},
        {"", false, "/usr/bin/mpv"},  // cancelled: the current value
        {"", true, "/start/"},        // cancelled: the start folder
    };
    for (const Case& c : cases) {
        ui::ScriptedUi ui;
        ui.expectOpenFile(c.chosen);
        EXPECT_EQ(ui.RXGETFILE("Player | *.exe", "Titel", 1, "/start/", c.folder, "/usr/bin/mpv"), c.expected)
            << c.chosen << " " << c.folder;
        EXPECT_EQ(ui.calls().front(), "openFile: Titel | /start/");
    }
}
