// The table panel's state that the marking commands read and set: the range-marking anchor and
// the state of the two buttons that follow the marks. Owned by the table panel for as long as it
// is shown; the marking commands change it, the view redraws the buttons from it afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace klango::table {

struct TablePanelState {
    // Range-marking anchor: the record last clicked without Shift (0: none yet) and its grid row
    // (1 = top visible row). The range itself is taken in the current order from the record
    // number; the row is kept for the grid only.
    uint32_t NLBXREC = 0;
    int NLBXPOS1 = 0;

    // OBPLAYLIST: enabled while at least one record is marked.
    bool playlistEnabled = false;
    // OBMARKALL: picture and tool-tip text, "mark all" or "remove all marks".
    std::string markAllPicture = "MARKALLK";
    std::string markAllText = "Alle Titel markieren";
};

}  // namespace klango::table
