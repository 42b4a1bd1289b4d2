// How the player is started with a playlist: the player setting split once into the program and
// its own switches, the "add to the running playlist" wish turned into the switch the program
// understands, and the playlist path as one argument of its own. No shell ever sees a name.
// Called by the playlist export, the single-track play and the start-up's AutoStart; pure apart
// from looking at files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/program_start.h"

namespace klango::shell {

// The switches that ask a known player to add a playlist to the one it is playing (what " /add "
// asks of the player the setting was written for); empty for a player that has none.
std::vector<std::string> addSwitchesFor(const std::string& program);

// setting: Player/PlayPath (CP1252). When the whole setting names an executable file, that file
// is the program, blanks and all; otherwise the Windows quoting rules split it into the program
// and its switches. The result ends with the add switches (when append) and then playlist (a
// path as the file system names it). nullopt when the setting names no program.
std::optional<platform::ProgramCall> playerCall(const std::string& setting, bool append,
                                                const std::string& playlist);

}  // namespace klango::shell
