// The order of the track grid: a click on a sortable header makes its track order the
// controlling order of the open table, the active column is remembered for the header drawing,
// and the current record stays current. Also the letter jump of the button bar (MP3GOTO).
// Borrows the table; the grid view owns one per grid. GUI thread only.
#pragma once

#include <optional>
#include <string_view>

namespace klango::dbf {
class DbfTable;
}

namespace klango::table {

class TableSort {
public:
    // The table holds the six track orders attached as positions 1 to 6. No column is active
    // until selectInitial() or the first header click.
    explicit TableSort(dbf::DbfTable& table);

    // The first showing of a grid: the artist column becomes active and its order is selected.
    void selectInitial();
    // A click on the header of column (0-based): selects the column's order unless the column
    // has none, is already active, or its order is not attached. True when the order changed.
    // NTAB_SORT is not touched; the record pointer stays on the same record.
    bool headerClicked(int column);

    // The column whose header is drawn in red, -1 before the first selection.
    int activeColumn() const { return m_activeColumn; }
    // The track order (1..6) of the active column, 0 before the first selection.
    int activeOrder() const;

private:
    bool select(int column);

    dbf::DbfTable& m_table;
    int m_activeColumn = -1;
};

// MP3GOTO: moves to the first record whose key in the current order is at or after letter (a
// soft seek), or to the end of the table when no key is. The play-time and rating keys begin
// with digits, so a letter lands at the end there. Returns the row (0-based) the grid shows,
// nullopt at the end of the table or with no order current (the pointer then stays put).
std::optional<int> MP3GOTO(dbf::DbfTable& table, std::string_view letter);

}  // namespace klango::table
