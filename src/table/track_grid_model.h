// The rows of the track grid: the visible records of the open track table in its current
// order, fetched one logical position at a time so that a million tracks never get read at once.
// Borrows the table; the grid view asks it for rows, cells and pictures. GUI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "table/track_columns.h"

namespace klango::dbf {
class DbfTable;
}

namespace klango::table {

class TrackGridModel {
public:
    explicit TrackGridModel(dbf::DbfTable& table);

    dbf::DbfTable& table() const { return m_table; }

    // Rows (0-based) are the logical positions of the current order minus one. The count and
    // the row-to-record mapping follow the order at once; only the natural order (no order
    // current) keeps a list, which refresh() renews after deletions or appends.
    int rowCount() const;
    // The record number shown in a row, 0 for a row outside 0..rowCount()-1.
    uint32_t recordAt(int row) const;
    // The row of a record, nullopt when the current order does not hold it.
    std::optional<int> rowOf(uint32_t recno) const;
    // The row of the table's current record, nullopt at the end of the table.
    std::optional<int> currentRow() const;
    // Makes the record of a row the table's current one; false for a row outside the grid.
    bool goToRow(int row);
    void refresh();

    // Text, picture and background of a row; empty or "MWhite" for a row outside the grid.
    std::string cellText(int row, int column, bool showTrak) const;
    const char* statePicture(int row, const platform::Clock& clock) const;
    Rgb background(int row) const;

private:
    const std::vector<uint32_t>& naturalRows() const;

    dbf::DbfTable& m_table;
    mutable std::vector<uint32_t> m_natural;  // visible records in record order, when needed
    mutable bool m_naturalValid = false;
};

}  // namespace klango::table
