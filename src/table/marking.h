// The marking and deleting commands of the track table: one mark, a range of marks in the current
// order, all marks on or off, deleting one track or all marked tracks (with their MP3 files when
// the user says so). Holds references only; GUI thread; called by the table panel's grid, button
// bar and context menu and by the main menu, on the open track table (alias DMP3).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace klango::dbf {
class DbfTable;
}  // namespace klango::dbf

namespace klango::ui {
class Ui;
}

namespace klango::shell {
struct AppState;
}

namespace klango::table {

struct TablePanelState;

// The play-state tests of the marking warnings. Played today: PLAYDATE is today's date. Played
// within two hours: played today, and the hour of now minus the hour of PLAYTIME (the number in
// its first two characters) is at most 2, so 08:10 counts as recent up to 10:59.
bool playedToday(const base::Date& playDate, const platform::LocalTime& now);
bool playedWithinTwoHours(const base::Date& playDate, std::string_view playTime, const platform::LocalTime& now);

class Marking {
public:
    // table: the open track table, nullptr when none is open. Every command does nothing (and
    // returns false) while no table is open, so menu entries that follow LTAB_TAGG alone cannot
    // act on a table that was closed behind them.
    Marking(dbf::DbfTable* table, shell::AppState& state, ui::Ui& ui, TablePanelState& panel,
            const platform::Clock& clock = platform::clock());

    // Toggles the mark of record nRec (the record the user clicked, whatever the table's pointer
    // stood on) and leaves the pointer there. Marking a track played today or within two hours
    // asks first, unless LS_MARKDATE / LS_MARKHOUR allow it; declining returns false, record
    // unchanged. False also when nRec is not a record the table shows.
    bool MP3TAGGIT(uint32_t nRec);

    // Toggles the marks of the records from the anchor nRecFrom to the clicked record nRecTo, both
    // included, in the current order (whichever of the two comes first there); a record the
    // warnings would ask about is skipped without a question. The pointer ends on nRecTo. An
    // anchor that is not shown (none yet, deleted, outside the filter) makes the range nRecTo
    // alone. False when nRecTo is not shown.
    bool MP3TAGMORE(uint32_t nRecFrom, uint32_t nRecTo);

    // Marks every shown record without warnings (IMPORT unchanged) / removes every mark of the
    // shown records and clears IMPORT. The pointer returns to the record it stood on.
    void MARKALL();
    void DELMARKED();

    // Deletes the current record after confirmation, and its MP3 file when the user says so; a
    // file that cannot be deleted asks whether to remove the entry anyway. The questions name the
    // track (artist - title) and the file. The pointer moves one record back. False when nothing
    // was deleted.
    bool MP3DELETE();
    // Deletes every marked shown record after confirmation, with the MP3 files when the user says
    // so; files that cannot be deleted are listed in one message afterwards, their entries are
    // removed all the same. The questions name the number of marked tracks. The pointer stays on
    // the current record, or goes to the first one after it that stays, else to the last one that
    // stays. False when declined or when nothing is marked (then nothing is asked).
    bool MP3TDELETE();

private:
    bool tableOpen() const;
    // Goes to recno; true when the table shows it in the current order (not deleted, not
    // outside the order's condition).
    bool goToShown(uint32_t recno);
    bool marked() const;
    bool warnsOnMark() const;  // the current record is one the warnings are about
    void setMark(bool on);
    void followUp();
    void showMarkAllLook(bool tagged);
    void showTagged(long count);
    std::string trackName() const;  // "artist - title" of the current record
    // Removes the MP3 file named by the current record's PATH (trailing blanks removed, returned
    // in path). False when it could not be removed: missing, not a plain file, no permission.
    bool deleteTrackFile(std::string& path) const;

    dbf::DbfTable* m_table;
    shell::AppState& m_state;
    ui::Ui& m_ui;
    TablePanelState& m_panel;
    const platform::Clock& m_clock;
    int m_tagged = -1;
    int m_import = -1;
    int m_path = -1;
    int m_playDate = -1;
    int m_playTime = -1;
};

}  // namespace klango::table
