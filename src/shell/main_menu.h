// The main menu as data (MAKEMENU): every menu, entry, separator, caption with its "&" access
// key, message-bar text, command and enable rule. Built once at start, when the optional Help
// entries are decided; the main window's view builds its Qt menu from it and asks it, whenever a
// menu opens, which entries can be chosen. No Qt; the shell and the views use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace klango::shell {

// What the enable rules look at (LTAB_OPEN, LTAB_TAGG, LTAB_FILT and whether CS_AMPPATH is set).
struct MenuState {
    bool tabOpen = false;
    bool tabTagg = false;
    bool tabFilt = false;
    bool playerSet = false;
};

enum class MenuCommand {
    None,  // separators
    New,
    Open,
    AppendFrom,
    SaveAs,
    DeleteFile,
    MarkAll,
    UnmarkAll,
    DeleteMarked,
    MakePlaylist,
    Statistics,
    DataCopy,
    Quit,
    Edit,
    DeleteRecord,
    PlayTrack,
    GotoLetter,
    GotoTop,
    GotoBottom,
    SetFilter,
    KillFilter,
    Search,
    Settings,
    Documentation,
    HelpIndex,
    HomePage,
    SupportMail,
    About,
};

// When an entry can be chosen.
enum class EnableRule {
    Always,
    TableOpen,           // LTAB_OPEN
    TableOpenNoFilter,   // LTAB_OPEN and not LTAB_FILT
    Tagged,              // LTAB_TAGG, while a table is open
    TableOpenTaggedPlayer,  // LTAB_OPEN, LTAB_TAGG and a player command set
    TableOpenFiltered,   // LTAB_OPEN and LTAB_FILT
};

bool ruleHolds(EnableRule rule, const MenuState& state);

struct MenuEntry {
    bool separator = false;
    std::string caption;  // CP1252, "&" before the access key
    std::string message;  // shown in the message bar while the entry is highlighted
    MenuCommand command = MenuCommand::None;
    EnableRule rule = EnableRule::Always;
    char letter = 0;  // the letter of a "&Gehe zu" jump
};

// One menu of the bar. A top-level entry without a sub-menu ("&Suchen") has no entries and
// carries its own command, message and rule.
struct Menu {
    std::string caption;
    std::vector<MenuEntry> entries;
    MenuCommand command = MenuCommand::None;
    std::string message;
    EnableRule rule = EnableRule::Always;
    bool isPopup() const { return !entries.empty(); }
};

// The captions of the two optional Help entries, as they stand in the settings file (DOS code
// page), and their targets. Empty caption: no entry.
struct HelpLinks {
    std::string wwwCaption;    // CS_WWW_M
    std::string wwwTarget;     // CS_WWW
    std::string emailCaption;  // CS_EMAIL_M
    std::string emailTarget;   // CS_EMAIL
};

class MainMenu {
public:
    const std::vector<Menu>& menus() const { return m_menus; }

    // The menu whose caption is caption ("&Datei"), or nullptr.
    const Menu* menu(const std::string& caption) const;
    // The first entry with the caption in any menu (or a top-level command), or nullptr.
    const MenuEntry* entry(const std::string& caption) const;

    // Whether an entry can be chosen now: its rule holds and the command is available (a command
    // whose routine is not part of the program yet stays disabled).
    static bool isEnabled(EnableRule rule, MenuCommand command, const MenuState& state,
                          const std::function<bool(MenuCommand)>& available);

    // RXSETMENU: the three entries it switches ("&Suchen", "Ma&rkierte Titel löschen",
    // "Filter &aufheben") follow LTAB_OPEN, LTAB_TAGG and LTAB_FILT.
    struct Switched {
        bool suchen = false;
        bool delMark = false;
        bool filtOff = false;
    };
    static Switched RXSETMENU(const MenuState& state);

    // The targets of the optional Help entries, for the commands HomePage and SupportMail.
    const std::string& wwwTarget() const { return m_wwwTarget; }
    const std::string& emailTarget() const { return m_emailTarget; }

private:
    friend MainMenu MAKEMENU(const HelpLinks& links);
    std::vector<Menu> m_menus;
    std::string m_wwwTarget;
    std::string m_emailTarget;
};

// Builds the menu; the optional Help entries are decided here once: a separator after
// "&Hilfeindex" only when both captions are set, each entry only when its caption is set,
// captions converted from the DOS code page to CP1252.
MainMenu MAKEMENU(const HelpLinks& links);

// The program line that a Help link starts: "explorer " + address, "start mailto:" + address.
std::string homePageCommand(const std::string& address);
std::string supportMailCommand(const std::string& address);

}  // namespace klango::shell
