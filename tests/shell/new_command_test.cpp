// "&Neu" before the table window exists: the import alone enables the entry, and what it made is
// told in the message bar.
#include <gtest/gtest.h>

#include "dbf/dbf_table.h"
#include "shell/menu_commands.h"
#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/check_data.h"
#include "ui/scripted_ui.h"

namespace klango::shell {
namespace {

TEST(NewCommand, WithoutTheTableWindowTheMessageBarShowsTheNewDatabase) {
    const std::filesystem::path cwd = std::filesystem::current_path();
    test::TempHome home;
    ui::ScriptedUi ui;
    Shell shell(ui);
    startUp(shell, home.root());
    std::filesystem::current_path(cwd);
    tableEngineDefaults(shell);
    buildMenu(shell);
    EXPECT_FALSE(commandAvailable(MenuCommand::New, shell.hooks));

    // The import stands in: it makes "Rock" with three titles and leaves no table open.
    int imports = 0;
    shell.hooks.MP3IMPORT = [&] {
        ++imports;
        shell.state.CFILE = "Rock";
        if (!trackdb::CHECKDATA(*shell.areas, ui, "Rock")) return false;
        dbf::DbfTable* t = shell.areas->use("Rock.dbf", "DMP3");
        if (!t) return false;
        for (int i = 0; i < 3; ++i) t->appendBlank();
        shell.areas->closeAll();
        return true;
    };
    EXPECT_TRUE(commandAvailable(MenuCommand::New, shell.hooks));
    runMenuCommand(shell, MenuCommand::New);
    EXPECT_EQ(imports, 1);
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Base), "Rock");
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Records), "Titel: 3");
    // Counting must not leave the table open (it is opened exclusively).
    EXPECT_EQ(shell.areas->get("DMP3"), nullptr);

    // A cancelled import changes nothing in the bar.
    shell.hooks.MP3IMPORT = [&] {
        shell.state.CFILE = "Leer";
        return false;
    };
    runMenuCommand(shell, MenuCommand::New);
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Records), "Titel: 3");
}

}  // namespace
}  // namespace klango::shell
