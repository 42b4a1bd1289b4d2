// ShellHooks: the one place through which the start-up, the main window's handlers and the main
// menu call routines that live elsewhere: the commands of later subsystems (opening a database,
// the import, the settings dialog, the error-log review, ...), the views of the Qt layer (about
// box, help, grid refresh) and the program start. An empty hook means "not part of the program
// yet": the start-up skips it and the menu keeps its entry disabled. Filled by the program's entry
// routine (and by tests); read by startup.cpp and menu_commands.cpp.
#pragma once

#include <functional>
#include <string>

#include "platform/program_start.h"

namespace klango::shell {

struct ShellHooks {
    // Start-up and the main window's handlers.
    std::function<void()> PRINTERR;          // offer an error log left by an earlier run
    std::function<bool()> SETUP;             // the settings dialog; true when saved with another
                                             // font size (the table window is rebuilt)
    std::function<void()> CHKUPDATE;         // a pending structure update of the databases
    std::function<bool(bool ask)> MP3TABLE;  // open a database (ask: choose it in a dialog)
    std::function<void()> MP3DLGCLOSE;       // close the table panel (DMP3 stays open)

    // Commands of the main menu.
    std::function<bool()> MP3IMPORT;
    std::function<bool()> APPENDFROM;
    std::function<void()> MP3SAVEAS;
    std::function<void()> MP3FDELETE;
    std::function<void()> MARKALL;
    std::function<void()> DELMARKED;
    std::function<void()> MP3TDELETE;
    std::function<void()> M3UEXPORT;
    std::function<void()> MP3STATS;
    std::function<void()> MP3TRANSFER;
    std::function<void()> MP3EDIT;  // re-reads the current record first
    std::function<void()> MP3DELETE;
    std::function<void()> M3UEXSINGLE;
    std::function<void(char letter)> MP3GOTO;
    std::function<void()> gotoTop;
    std::function<void()> gotoBottom;
    std::function<void()> MP3FILTER;
    std::function<void()> MP3KILLFILTER;
    std::function<bool()> MP3SUCH;

    // The views.
    std::function<void()> quit;  // close the main window
    std::function<void(bool start)> ABOUTINFO;
    std::function<void()> helpContents;
    std::function<void()> helpIndex;
    std::function<void()> refreshGrid;
    std::function<void()> focusGrid;
    std::function<void()> redrawMenu;  // after RXSETMENU

    // Starting another program from a command line (CP1252), detached; true when it started.
    // Empty: the platform's program start.
    std::function<bool(const std::string& commandLine)> startProgram;
    // Starting a program with its arguments (the player with a playlist), detached; true when it
    // started. Empty: the platform's program start.
    std::function<bool(const platform::ProgramCall& call)> startCall;
};

}  // namespace klango::shell
