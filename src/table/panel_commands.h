// The commands of the table panel and the two places that offer them: the button bar across the
// top of the panel and the grid's context menu, as data (pictures, captions, tool tips,
// message-bar texts, groups). The table window carries the commands out and says which are
// enabled; the Qt panel builds its buttons and menu from these lists. Texts are CP1252.
#pragma once

#include <string>
#include <vector>

namespace klango::table {

enum class PanelCommand {
    NewFile,      // a new database by import, then open it
    OpenFile,     // choose a database and open it
    SaveAs,       // save the table under a new name
    MarkAllOrNone,  // mark all, or remove all marks while any record is marked
    ToggleMark,   // (un)mark the current record
    MarkAll,
    UnmarkAll,
    RangeStart,   // the range-marking anchor becomes the current record
    RangeEnd,     // mark the range from the anchor to the current record
    Edit,
    Play,         // play the current record
    Delete,       // delete the current record
    Playlist,
    DataCopy,
    Statistics,
    GotoLetter,
    Search,
    SetFilter,
    KillFilter,
    ShowAll,      // all records again, the filter settings kept
    Settings,
    Help,
    Quit,
};

struct BarButton {
    const char* picture;
    const char* disabledPicture;  // nullptr: the picture greyed
    const char* toolTip;
    const char* message;  // message-bar text while the mouse is on it
    PanelCommand command;
    char letter;      // the jump letter of the "Gehe zu" buttons
    bool groupStart;  // a new group begins before this button
};

// BUILDBAR: the buttons left to right. The mark-all button shows the picture and texts of
// markAllButton(tagged) instead of its listed ones.
const std::vector<BarButton>& barButtons();
struct MarkAllLook {
    const char* picture;
    const char* text;
};
MarkAllLook markAllButton(bool tagged);

struct ContextEntry {
    const char* caption;  // "&" before the access key
    const char* message;
    PanelCommand command;
    bool inMarkMenu;       // an entry of the sub-menu "Titel &markieren"
    bool separatorBefore;
};

// BUILDMENU: the entries top to bottom; the sub-menu stands first and holds the inMarkMenu entries.
inline constexpr const char* kMarkMenuCaption = "Titel &markieren";
const std::vector<ContextEntry>& contextEntries();

// The grid's message-bar text while it has the focus, and the default text while a table is open.
inline constexpr const char* kGridFocusMessage = "Rechtsklick \xF6" "ffnet das Kontextmen\xFC ...";
inline constexpr const char* kTableDefaultMessage = "Rechter Mausklick \xF6" "ffnet das Kontextmen\xFC";

}  // namespace klango::table
