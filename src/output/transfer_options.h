// TransferOptions: the copy dialog's values (section "Transfer" of the settings file) under their
// given names, read when the dialog opens and written back when it closes. The copy run, the
// dialog model and klango-cli's "copy" share them.
#pragma once

#include <string>

#include "shell/settings.h"

namespace klango::output {

struct TransferOptions {
    std::string CPATH;    // destination folder (CP1252)
    int NAUSWAHL = 1;     // 1 all tracks, 2 by rating
    int NNOTE = 1;        // minimum rating for selection 2
    bool LTAGGED = false; // only marked tracks
    bool LORDNER = true;  // structured copy
    bool LGROUP = false;  // flat copy: artist
    bool LALBUM = false;  // flat copy: album
    bool LTRACK = false;  // flat copy: track number
    bool LTITEL = false;  // read and written back only
};

// The keys of section Transfer; LTAGGED is forced off when the table has no marked track.
TransferOptions readTransferOptions(const shell::Settings& settings, bool tableHasMarks);
// Writes them back; Tagged only when the table has marked tracks.
void writeTransferOptions(const shell::Settings& settings, const TransferOptions& options, bool tableHasMarks);

}  // namespace klango::output
