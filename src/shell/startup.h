// The start-up and shutdown of the desktop program (MAIN) as steps the Qt entry routine calls in
// order, the main window's move, resize and close handlers, the auto-open check CHKAUTOOPEN and
// the exit clean-up. Shell owns what lives for the whole run: the application state, the work
// areas, the main menu and the hooks. No Qt; app/klango_main.cpp and the tests drive it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/program_start.h"

#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "shell/main_menu.h"
#include "shell/shell_hooks.h"
#include "shell/window_coords.h"
#include "ui/ui.h"

namespace klango::shell {

struct Shell {
    explicit Shell(ui::Ui& ui) : ui(&ui) {}

    ui::Ui* ui;
    AppState state;
    std::unique_ptr<dbf::WorkAreas> areas;  // the table engine; made by tableEngineDefaults
    MainMenu menu;                               // made by buildMenu
    ShellHooks hooks;
};

// The working files that the exit clean-up deletes from the program folder.
inline constexpr const char* kProgramWorkFiles[] = {"MP3FILT.NTX", "MP3TEMP.NTX", "MP3SORT.NTX"};
inline constexpr const char* kPlaylistFile = "KLANGO.M3U";
inline constexpr const char* kOldPlaylistFile = "KLANGO.OLD";
inline constexpr const char* kSearchTable = "MP3SUCH.DBF";

// Steps 2 to 4: the program folder becomes the current folder, "Daten" is made, LOADPUBLICS.
// programFolder is the folder of the program file.
void startUp(Shell& shell, const std::filesystem::path& programFolder);

// Steps 6 to 8, after the start screen: PRINTERR, the table-engine settings, "Daten" again.
void afterStartScreen(Shell& shell);

// "Daten" below the program folder, created when missing; a failure is not reported (later table
// operations fail and go to the error handler).
void ensureDataFolder(const AppState& state);

// The table-engine settings of the whole run: the work areas open and create tables in the data
// folder; the network-error flag starts clear. (Dates as "dd.mm.yyyy", deleted records hidden and
// exact seeks are the engine's fixed rules.)
void tableEngineDefaults(Shell& shell);

// Step 9: the desktop goes to AWNDSIZE and the main window's start rectangle to NW_TOP ...
// NW_HEIGHT (startRectangle: the small-desktop rule, the stored rectangle or, at the first
// start, first centred). Returns the rectangle.
WindowRect placeMainWindow(Shell& shell, const DesktopRect& desktop, const FirstSize& first = {});

// MAKEMENU with the Help links held in the state.
void buildMenu(Shell& shell);

// What the menu's enable rules look at, from the state.
MenuState menuState(const AppState& state);

// RXSETMENU: the three entries it switches, then the view redraws the menu.
MainMenu::Switched RXSETMENU(Shell& shell);

// The main window moved: the settings dialog while no settings file exists, then PUTCOORDS.
void onMove(Shell& shell, const WindowPlacement& placement);
// The main window was resized (also once when it is first shown): as onMove, then CHKUPDATE,
// then, while no table is open, the auto-open check (an open table panel follows by its layout).
void onResize(Shell& shell, const WindowPlacement& placement);
// The main window is asked to close: the table panel closes first.
void onCloseRequest(Shell& shell);

// The folder of "KLANGO.M3U" and "KLANGO.OLD": Player/PlayList, or the program folder when that
// is empty. A relative PlayList counts from the program folder.
std::filesystem::path playlistFolder(const AppState& state);
// A playlist file in that folder, found whatever the case of its name.
std::filesystem::path playlistFile(const AppState& state, const char* name);

// CHKAUTOOPEN: with System/AutoOpen on, opens Database/File; with AutoStart on too and a
// "KLANGO.OLD" from the previous run, copies it back to "KLANGO.M3U" and starts the player on it.
bool CHKAUTOOPEN(Shell& shell);

// Step 15, after the main window has closed: the last playlist is kept as "KLANGO.OLD", all
// tables are closed, every working file is deleted.
void exitCleanup(Shell& shell);

// Copies from to to by way of a temporary file beside to, so that to is either the old file or
// the whole new one. False when the copy failed (to is then unchanged).
bool copyFileWhole(const std::filesystem::path& from, const std::filesystem::path& to);

// Starts a command line through the hook (or the platform); a failure is told to the user.
bool startProgramLine(Shell& shell, const std::string& commandLine);
// The same for a program with its arguments (the player): hooks.startCall or a detached start.
bool startProgramCall(Shell& shell, const platform::ProgramCall& call);

}  // namespace klango::shell
