#include "shell/main_menu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "shell/menu_commands.h"
#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace klango::shell {
namespace {

std::string cp(const char* utf8) { return base::utf8ToCp1252(utf8); }

// The captions of a menu, separators as "-", in UTF-8 for readable failures.
std::vector<std::string> captions(const Menu& m) {
    std::vector<std::string> out;
    for (const MenuEntry& e : m.entries) out.push_back(e.separator ? "-" : base::cp1252ToUtf8(e.caption));
    return out;
}

TEST(MainMenu, MenusAndEntriesInOrder) {
    const MainMenu menu = MAKEMENU({});
    std::vector<std::string> bar;
    for (const Menu& m : menu.menus()) bar.push_back(base::cp1252ToUtf8(m.caption));
    EXPECT_EQ(bar, (std::vector<std::string>{"&Datei", "D&atensatz", "&Gehe zu", "&Filtern", "&Suchen",
                                             "&Einstellungen", "&Hilfe"}));
    EXPECT_EQ(captions(*menu.menu("&Datei")),
              (std::vector<std::string>{"&Neu", "&Öffnen", "&Anfügen aus", "&Speichern unter", "Datei &löschen", "-",
                                        "Alle Titel &markieren", "Alle Markierungen a&ufheben",
                                        "Ma&rkierte Titel löschen", "&Playliste erzeugen", "-",
                                        "Statistik an&zeigen", "Daten&kopie erstellen", "-", "&Verlassen"}));
    EXPECT_EQ(captions(*menu.menu(cp("D&atensatz"))),
              (std::vector<std::string>{"&Editieren", "&Löschen", "-", "Titel &abspielen"}));
    EXPECT_EQ(captions(*menu.menu("&Gehe zu")),
              (std::vector<std::string>{"&ABC", "&DEF", "&GHI", "&JKL", "&MNO", "&PQR", "&STU", "&VWX", "&YZ", "-",
                                        "Da&teianfang", "Datei&ende"}));
    EXPECT_EQ(captions(*menu.menu("&Filtern")), (std::vector<std::string>{"&Filter setzen", "Filter &aufheben"}));
    EXPECT_EQ(captions(*menu.menu("&Einstellungen")), (std::vector<std::string>{"Allgemeine &Einstellungen"}));
    EXPECT_EQ(captions(*menu.menu("&Hilfe")),
              (std::vector<std::string>{"&Dokumentation", "&Hilfeindex", "-", "&Über Klango"}));

    const Menu* suchen = menu.menu("&Suchen");
    ASSERT_NE(suchen, nullptr);
    EXPECT_FALSE(suchen->isPopup());
    EXPECT_EQ(suchen->command, MenuCommand::Search);
    EXPECT_EQ(suchen->message, "MP3-Tracks (in allen Dateien) suchen");
}

TEST(MainMenu, MessageTextsAndJumpLetters) {
    const MainMenu menu = MAKEMENU({});
    EXPECT_EQ(menu.entry(cp("&Öffnen"))->message, cp("Eine MP3-Datenbank öffnen"));
    EXPECT_EQ(menu.entry(cp("Ma&rkierte Titel löschen"))->message,
              "Die Markierung des ausgew\xE4hlten Titels entfernen");
    EXPECT_EQ(menu.entry("Alle Markierungen a&ufheben")->message, "Alle Markierungen in der Tabellen entfernen");
    EXPECT_EQ(menu.entry("&Verlassen")->message, "Klango beenden");
    // Every entry has a message-bar text.
    for (const Menu& m : menu.menus())
        for (const MenuEntry& e : m.entries)
            if (!e.separator) {
                EXPECT_FALSE(e.message.empty()) << e.caption;
            }
    // "&JKL" jumps to I, the others to their first letter.
    const std::string expected = "ADGIMPSVY";
    std::string letters;
    for (const MenuEntry& e : menu.menu("&Gehe zu")->entries)
        if (e.command == MenuCommand::GotoLetter) letters += e.letter;
    EXPECT_EQ(letters, expected);
    EXPECT_EQ(menu.entry("&JKL")->message, "Gehe zum ersten Datensatz beginnend mit 'I'");
}

TEST(MainMenu, OptionalHelpEntriesAndTheirSeparator) {
    // Home page alone: directly after "&Hilfeindex", no separator.
    {
        const MainMenu menu = MAKEMENU({"&Homepage", "www.example.org", "", ""});
        EXPECT_EQ(captions(*menu.menu("&Hilfe")),
                  (std::vector<std::string>{"&Dokumentation", "&Hilfeindex", "&Homepage", "-", "&Über Klango"}));
        EXPECT_EQ(menu.entry("&Homepage")->message, "Mit unserer Homepage verbinden");
    }
    // Mail alone, likewise.
    {
        const MainMenu menu = MAKEMENU({"", "", "&Mail", "a@b.de"});
        EXPECT_EQ(captions(*menu.menu("&Hilfe")),
                  (std::vector<std::string>{"&Dokumentation", "&Hilfeindex", "&Mail", "-", "&Über Klango"}));
    }
    // Both: a separator before them; the DOS captions are converted ("Grüße" typed in CP850).
    {
        const MainMenu menu = MAKEMENU({"Home&page", "www.example.org", "Gr\x81\xE1" "e &senden", "a@b.de"});
        EXPECT_EQ(captions(*menu.menu("&Hilfe")),
                  (std::vector<std::string>{"&Dokumentation", "&Hilfeindex", "-", "Home&page", "Grüße &senden", "-",
                                            "&Über Klango"}));
        EXPECT_EQ(menu.wwwTarget(), "www.example.org");
        EXPECT_EQ(menu.emailTarget(), "a@b.de");
        EXPECT_EQ(homePageCommand(menu.wwwTarget()), "explorer www.example.org");
        EXPECT_EQ(supportMailCommand(menu.emailTarget()), "start mailto:a@b.de");
    }
}

// The names of the entries that can be chosen in state, when every command is part of the program.
std::set<std::string> choosable(const MainMenu& menu, const MenuState& state) {
    std::set<std::string> out;
    for (const Menu& m : menu.menus()) {
        if (!m.isPopup() && MainMenu::isEnabled(m.rule, m.command, state, {}))
            out.insert(base::cp1252ToUtf8(m.caption));
        for (const MenuEntry& e : m.entries)
            if (!e.separator && MainMenu::isEnabled(e.rule, e.command, state, {}))
                out.insert(base::cp1252ToUtf8(e.caption));
    }
    return out;
}

TEST(MainMenu, EnableRulesWithAndWithoutATable) {
    const MainMenu menu = MAKEMENU({"&Web", "w", "&Mail", "m"});
    const std::set<std::string> always{"&Neu",      "&Öffnen", "Datei &löschen", "&Verlassen", "Allgemeine &Einstellungen",
                                       "&Dokumentation", "&Hilfeindex", "&Web", "&Mail", "&Über Klango"};
    EXPECT_EQ(choosable(menu, {}), always);

    std::set<std::string> open = always;
    for (const char* c : {"&Anfügen aus", "&Speichern unter", "Alle Titel &markieren", "Statistik an&zeigen",
                          "Daten&kopie erstellen", "&Editieren", "&Löschen", "Titel &abspielen", "&ABC", "&DEF", "&GHI",
                          "&JKL", "&MNO", "&PQR", "&STU", "&VWX", "&YZ", "Da&teianfang", "Datei&ende",
                          "&Filter setzen", "&Suchen"})
        open.insert(c);
    EXPECT_EQ(choosable(menu, {.tabOpen = true}), open);

    // Marks: the two mark entries; the playlist only with a player as well.
    std::set<std::string> tagged = open;
    tagged.insert("Alle Markierungen a&ufheben");
    tagged.insert("Ma&rkierte Titel löschen");
    EXPECT_EQ(choosable(menu, {.tabOpen = true, .tabTagg = true}), tagged);
    tagged.insert("&Playliste erzeugen");
    EXPECT_EQ(choosable(menu, {.tabOpen = true, .tabTagg = true, .playerSet = true}), tagged);

    // A filter: "Filter &aufheben" comes, "&Anfügen aus" goes.
    std::set<std::string> filtered = open;
    filtered.insert("Filter &aufheben");
    filtered.erase("&Anfügen aus");
    EXPECT_EQ(choosable(menu, {.tabOpen = true, .tabFilt = true}), filtered);

    // Marks left over after the table closed: the entries that follow the marks need a table too.
    EXPECT_EQ(choosable(menu, {.tabTagg = true, .tabFilt = true, .playerSet = true}), always);
    EXPECT_FALSE(MainMenu::RXSETMENU({.tabTagg = true}).delMark);

    const MainMenu::Switched sw = MainMenu::RXSETMENU({.tabOpen = true, .tabTagg = false, .tabFilt = true});
    EXPECT_TRUE(sw.suchen);
    EXPECT_FALSE(sw.delMark);
    EXPECT_TRUE(sw.filtOff);
}

TEST(MenuCommands, EntriesOfCommandsNotInTheProgramStayDisabled) {
    ui::ScriptedUi ui;
    Shell shell(ui);
    shell.state.LTAB_OPEN = true;
    shell.menu = MAKEMENU({"&Web", "www.example.org", "", ""});
    // Only the views of the main window are there: quit, about, help.
    int quits = 0, abouts = 0, helps = 0;
    shell.hooks.quit = [&] { ++quits; };
    shell.hooks.ABOUTINFO = [&](bool start) { abouts += start ? 100 : 1; };
    shell.hooks.helpContents = [&] { ++helps; };
    shell.hooks.helpIndex = [&] { ++helps; };
    std::vector<std::string> started;
    shell.hooks.startProgram = [&](const std::string& line) {
        started.push_back(line);
        return true;
    };

    std::set<std::string> enabled;
    for (const Menu& m : shell.menu.menus()) {
        if (!m.isPopup() && entryEnabled(shell, m.rule, m.command)) enabled.insert(m.caption);
        for (const MenuEntry& e : m.entries)
            if (!e.separator && entryEnabled(shell, e.rule, e.command))
                enabled.insert(base::cp1252ToUtf8(e.caption));
    }
    EXPECT_EQ(enabled, (std::set<std::string>{"&Verlassen", "&Dokumentation", "&Hilfeindex", "&Web", "&Über Klango"}));

    // A command without its routine does nothing; the ones that are there run.
    runMenuCommand(shell, MenuCommand::Open);
    runMenuCommand(shell, MenuCommand::Quit);
    runMenuCommand(shell, MenuCommand::About);
    runMenuCommand(shell, MenuCommand::Documentation);
    runMenuCommand(shell, MenuCommand::HomePage);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(abouts, 1);  // not the start screen
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(started, (std::vector<std::string>{"explorer www.example.org"}));

    // Filling the hook is all a later command needs: "&Öffnen" asks for the database.
    std::vector<bool> opened;
    shell.hooks.MP3TABLE = [&](bool ask) {
        opened.push_back(ask);
        return true;
    };
    EXPECT_TRUE(entryEnabled(shell, shell.menu.entry(cp("&Öffnen"))->rule, MenuCommand::Open));
    runMenuCommand(shell, MenuCommand::Open);
    EXPECT_EQ(opened, (std::vector<bool>{true}));
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST(MenuCommands, NewClosesThePanelAndOpensWhatTheImportMade) {
    const std::filesystem::path cwd = std::filesystem::current_path();
    test::TempHome home;
    ui::ScriptedUi ui;
    Shell shell(ui);
    startUp(shell, home.root());
    std::filesystem::current_path(cwd);
    tableEngineDefaults(shell);
    buildMenu(shell);
    shell.state.LTAB_OPEN = true;
    test::writeFileBytes(home.data() / "ROCK1.NTX", "x");
    std::vector<std::string> calls;
    shell.hooks.MP3DLGCLOSE = [&] { calls.push_back("close"); };
    shell.hooks.MP3IMPORT = [&] {
        calls.push_back(std::filesystem::exists(home.data() / "ROCK1.NTX") ? "import, index left" : "import");
        return true;
    };
    shell.hooks.MP3TABLE = [&](bool ask) {
        calls.push_back(ask ? "open asking" : "open");
        return true;
    };
    runMenuCommand(shell, MenuCommand::New);
    EXPECT_EQ(calls, (std::vector<std::string>{"close", "import", "open"}));

    // A cancelled import opens nothing.
    calls.clear();
    shell.state.LTAB_OPEN = false;
    shell.hooks.MP3IMPORT = [&] {
        calls.push_back("import");
        return false;
    };
    runMenuCommand(shell, MenuCommand::New);
    EXPECT_EQ(calls, (std::vector<std::string>{"import"}));
}

TEST(MenuCommands, AFailedProgramStartIsToldToTheUser) {
    ui::ScriptedUi ui;
    Shell shell(ui);
    shell.menu = MAKEMENU({"", "", "&Mail", "support@example.org"});
    shell.hooks.startProgram = [](const std::string&) { return false; };
    runMenuCommand(shell, MenuCommand::SupportMail);
    ASSERT_EQ(ui.calls().size(), 1u);
    EXPECT_NE(ui.calls()[0].find("start mailto:support@example.org"), std::string::npos) << ui.calls()[0];
    EXPECT_EQ(ui.calls()[0].rfind("warning:", 0), 0u);
}

// Saved settings reopen the database only when one was open.
TEST(MenuCommands, SettingsReopenOnlyAnOpenDatabase) {
    ui::ScriptedUi ui;
    Shell shell(ui);
    struct Case {
        bool open, saved;
        std::vector<std::string> calls;
    };
    for (const Case& c : {Case{true, true, {"setup", "open"}}, Case{true, false, {"setup"}},
                          Case{false, true, {"setup"}}, Case{false, false, {"setup"}}}) {
        std::vector<std::string> calls;
        shell.state.LTAB_OPEN = c.open;
        shell.hooks.SETUP = [&] {
            calls.push_back("setup");
            return c.saved;
        };
        shell.hooks.MP3TABLE = [&](bool) {
            calls.push_back("open");
            return true;
        };
        runMenuCommand(shell, MenuCommand::Settings);
        EXPECT_EQ(calls, c.calls) << c.open << c.saved;
    }
}

}  // namespace
}  // namespace klango::shell
