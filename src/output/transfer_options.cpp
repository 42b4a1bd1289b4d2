#include "output/transfer_options.h"

#include "base/cp1252.h"
#include "shell/settings_keys.h"

namespace klango::output {

TransferOptions readTransferOptions(const shell::Settings& s, bool tableHasMarks) {
    TransferOptions o;
    o.CPATH = s.text(shell::keys::kDestPath);
    o.NAUSWAHL = s.number(shell::keys::kAuswahl) == 2 ? 2 : 1;
    const long long note = s.number(shell::keys::kNote);
    o.NNOTE = note < 0 ? 0 : note > 9 ? 9 : int(note);
    o.LTAGGED = tableHasMarks && s.on(shell::keys::kTransferTagged);
    o.LORDNER = s.on(shell::keys::kOrdner);
    o.LGROUP = s.on(shell::keys::kInterpret);
    o.LALBUM = s.on(shell::keys::kTransferAlbum);
    o.LTRACK = s.on(shell::keys::kTrack);
    o.LTITEL = s.on(shell::keys::kTitel);
    return o;
}

void writeTransferOptions(const shell::Settings& s, const TransferOptions& o, bool tableHasMarks) {
    s.write(shell::keys::kDestPath, o.CPATH);
    s.writeNumberRight10(shell::keys::kAuswahl, o.NAUSWAHL);
    s.writeNumberRight10(shell::keys::kNote, o.NNOTE);
    if (tableHasMarks) s.writeSwitch(shell::keys::kTransferTagged, o.LTAGGED);
    s.writeSwitch(shell::keys::kOrdner, o.LORDNER);
    s.writeSwitch(shell::keys::kInterpret, o.LGROUP);
    s.writeSwitch(shell::keys::kTransferAlbum, o.LALBUM);
    s.writeSwitch(shell::keys::kTrack, o.LTRACK);
    s.writeSwitch(shell::keys::kTitel, o.LTITEL);
}

}  // namespace klango::output
