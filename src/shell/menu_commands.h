// The actions of the main menu's entries: which commands the program has (a command whose hook
// is empty stays disabled) and what choosing an entry does. The Qt main window calls these when
// an entry is chosen and whenever a menu opens; no Qt here.
#pragma once

#include "shell/main_menu.h"
#include "shell/startup.h"

namespace klango::shell {

// Is every routine the command needs part of the program (its hooks filled)?
bool commandAvailable(MenuCommand command, const ShellHooks& hooks);

// Can the entry be chosen now (its rule holds and the command is available)?
bool entryEnabled(const Shell& shell, EnableRule rule, MenuCommand command);

// Carries out the entry's action; a command that is not available does nothing (the view keeps
// entries whose rule does not hold disabled). letter is the jump letter of
// the "&Gehe zu" entries.
void runMenuCommand(Shell& shell, MenuCommand command, char letter = 0);

}  // namespace klango::shell
