#include "shell/main_menu.h"

#include "base/cp1252.h"
#include "base/cp850.h"

namespace klango::shell {

namespace {

// The menu texts are written here in UTF-8 and kept in CP1252 like every text of the core.
std::string cp(const char* utf8) { return base::utf8ToCp1252(utf8); }

MenuEntry item(const char* caption, const char* message, MenuCommand command, EnableRule rule,
               char letter = 0) {
    MenuEntry e;
    e.caption = cp(caption);
    e.message = cp(message);
    e.command = command;
    e.rule = rule;
    e.letter = letter;
    return e;
}

MenuEntry separator() {
    MenuEntry e;
    e.separator = true;
    return e;
}

Menu datei() {
    Menu m;
    m.caption = cp("&Datei");
    m.entries = {
        item("&Neu", "Eine neue MP3-Datenbank erstellen", MenuCommand::New, EnableRule::Always),
        item("&Öffnen", "Eine MP3-Datenbank öffnen", MenuCommand::Open, EnableRule::Always),
        item("&Anfügen aus", "Eine MP3-Datenbank an die geöffnete Datenbank anfügen", MenuCommand::AppendFrom,
             EnableRule::TableOpenNoFilter),
        item("&Speichern unter", "Die aktuelle Tabelle in einer neuen Datei speichern", MenuCommand::SaveAs,
             EnableRule::TableOpen),
        item("Datei &löschen", "Eine MP3-Datenbank aus dem Verzeichnis löschen", MenuCommand::DeleteFile,
             EnableRule::Always),
        separator(),
        item("Alle Titel &markieren", "Alle Titel in der Tabelle markieren", MenuCommand::MarkAll,
             EnableRule::TableOpen),
        item("Alle Markierungen a&ufheben", "Alle Markierungen in der Tabellen entfernen", MenuCommand::UnmarkAll,
             EnableRule::Tagged),
        item("Ma&rkierte Titel löschen", "Die Markierung des ausgewählten Titels entfernen",
             MenuCommand::DeleteMarked, EnableRule::Tagged),
        item("&Playliste erzeugen", "Eine Playliste für den MP3-Player erzeugen", MenuCommand::MakePlaylist,
             EnableRule::TableOpenTaggedPlayer),
        separator(),
        item("Statistik an&zeigen", "Statistische Auswertungen anzeigen", MenuCommand::Statistics,
             EnableRule::TableOpen),
        item("Daten&kopie erstellen", "Eine Kopie der ausgewählten Tracks erstellen", MenuCommand::DataCopy,
             EnableRule::TableOpen),
        separator(),
        item("&Verlassen", "Klango beenden", MenuCommand::Quit, EnableRule::Always),
    };
    return m;
}

Menu datensatz() {
    Menu m;
    m.caption = cp("D&atensatz");
    m.entries = {
        item("&Editieren", "Details des gewählten Datensatzes bearbeiten", MenuCommand::Edit, EnableRule::TableOpen),
        item("&Löschen", "Den ausgewählten Datensatz löschen", MenuCommand::DeleteRecord, EnableRule::TableOpen),
        separator(),
        item("Titel &abspielen", "Den ausgewählten Datensatz sofort abspielen", MenuCommand::PlayTrack,
             EnableRule::TableOpen),
    };
    return m;
}

Menu geheZu() {
    // "&JKL" jumps to 'I' (the button bar's "Gehe zu 'J'" jumps to 'J'); users know it that way.
    struct Jump {
        const char* caption;
        char letter;
    };
    static constexpr Jump kJumps[] = {{"&ABC", 'A'}, {"&DEF", 'D'}, {"&GHI", 'G'}, {"&JKL", 'I'}, {"&MNO", 'M'},
                                      {"&PQR", 'P'}, {"&STU", 'S'}, {"&VWX", 'V'}, {"&YZ", 'Y'}};
    Menu m;
    m.caption = cp("&Gehe zu");
    for (const Jump& j : kJumps) {
        const std::string message = std::string("Gehe zum ersten Datensatz beginnend mit '") + j.letter + "'";
        m.entries.push_back(
            item(j.caption, message.c_str(), MenuCommand::GotoLetter, EnableRule::TableOpen, j.letter));
    }
    m.entries.push_back(separator());
    m.entries.push_back(
        item("Da&teianfang", "Gehe zum ersten Datensatz", MenuCommand::GotoTop, EnableRule::TableOpen));
    m.entries.push_back(
        item("Datei&ende", "Gehe zum letzten Datensatz", MenuCommand::GotoBottom, EnableRule::TableOpen));
    return m;
}

Menu filtern() {
    Menu m;
    m.caption = cp("&Filtern");
    m.entries = {
        item("&Filter setzen", "Daten in der Tabelle filtern", MenuCommand::SetFilter, EnableRule::TableOpen),
        item("Filter &aufheben", "Alle Filter aufheben", MenuCommand::KillFilter, EnableRule::TableOpenFiltered),
    };
    return m;
}

Menu suchen() {
    Menu m;
    m.caption = cp("&Suchen");
    m.command = MenuCommand::Search;
    m.message = cp("MP3-Tracks (in allen Dateien) suchen");
    m.rule = EnableRule::TableOpen;
    return m;
}

Menu einstellungen() {
    Menu m;
    m.caption = cp("&Einstellungen");
    m.entries = {item("Allgemeine &Einstellungen", "Individuelle Einstellungen vornehmen", MenuCommand::Settings,
                      EnableRule::Always)};
    return m;
}

Menu hilfe(const HelpLinks& links) {
    Menu m;
    m.caption = cp("&Hilfe");
    m.entries.push_back(
        item("&Dokumentation", "Die Dokumentation aufrufen", MenuCommand::Documentation, EnableRule::Always));
    m.entries.push_back(item("&Hilfeindex", "Den Index der Dokumentation aufrufen", MenuCommand::HelpIndex,
                             EnableRule::Always));
    if (!links.wwwCaption.empty() && !links.emailCaption.empty()) m.entries.push_back(separator());
    if (!links.wwwCaption.empty()) {
        MenuEntry e = item("", "Mit unserer Homepage verbinden", MenuCommand::HomePage, EnableRule::Always);
        e.caption = base::cp850ToCp1252(links.wwwCaption);
        m.entries.push_back(e);
    }
    if (!links.emailCaption.empty()) {
        MenuEntry e = item("", "Eine Email an den Support versenden", MenuCommand::SupportMail, EnableRule::Always);
        e.caption = base::cp850ToCp1252(links.emailCaption);
        m.entries.push_back(e);
    }
    m.entries.push_back(separator());
    m.entries.push_back(item("&Über Klango", "Informationen über Klango anzeigen", MenuCommand::About,
                             EnableRule::Always));
    return m;
}

}  // namespace

bool ruleHolds(EnableRule rule, const MenuState& s) {
    switch (rule) {
        case EnableRule::Always:
            return true;
        case EnableRule::TableOpen:
            return s.tabOpen;
        case EnableRule::TableOpenNoFilter:
            return s.tabOpen && !s.tabFilt;
        case EnableRule::Tagged:
            // The marks belong to the open table; with none open there is nothing to act on.
            return s.tabOpen && s.tabTagg;
        case EnableRule::TableOpenTaggedPlayer:
            return s.tabOpen && s.tabTagg && s.playerSet;
        case EnableRule::TableOpenFiltered:
            return s.tabOpen && s.tabFilt;
    }
    return false;
}

const Menu* MainMenu::menu(const std::string& caption) const {
    for (const Menu& m : m_menus)
        if (m.caption == caption) return &m;
    return nullptr;
}

const MenuEntry* MainMenu::entry(const std::string& caption) const {
    for (const Menu& m : m_menus)
        for (const MenuEntry& e : m.entries)
            if (!e.separator && e.caption == caption) return &e;
    return nullptr;
}

bool MainMenu::isEnabled(EnableRule rule, MenuCommand command, const MenuState& state,
                         const std::function<bool(MenuCommand)>& available) {
    if (command == MenuCommand::None) return false;
    if (available && !available(command)) return false;
    return ruleHolds(rule, state);
}

MainMenu::Switched MainMenu::RXSETMENU(const MenuState& state) {
    return {state.tabOpen, state.tabOpen && state.tabTagg, state.tabFilt};
}

MainMenu MAKEMENU(const HelpLinks& links) {
    MainMenu menu;
    menu.m_menus = {datei(), datensatz(), geheZu(), filtern(), suchen(), einstellungen(), hilfe(links)};
    menu.m_wwwTarget = links.wwwTarget;
    menu.m_emailTarget = links.emailTarget;
    return menu;
}

std::string homePageCommand(const std::string& address) { return "explorer " + address; }
std::string supportMailCommand(const std::string& address) { return "start mailto:" + address; }

}  // namespace klango::shell
