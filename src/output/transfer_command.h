// MP3TRANSFER: the command behind "Daten&kopie erstellen" and the button MAKECOPY. Opens the copy
// dialog on the open table (DMP3), runs the copy from it and afterwards shows the open database
// again as it was (view, order, current record), or the copy database when the user asked for it.
// Called through the shell's hook MP3TRANSFER; GUI thread.
#pragma once

#include "platform/media.h"
#include "shell/startup.h"

namespace klango::output {

// False when the dialog did not open (no table, no marked track) or did not complete.
bool MP3TRANSFER(shell::Shell& shell, const platform::Media& media);

// The marked tracks' total size in MB (TRSIZE); the current record is kept.
double markedMegabytes(dbf::DbfTable& tracks);

// The destination as the dialog starts with it: a stored folder that is gone becomes the root
// drive; an empty one stays empty.
std::string startDestination(const std::string& stored);

}  // namespace klango::output
