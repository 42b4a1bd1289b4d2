// The figures of the statistics: the running sums of one evaluation (MP3STATIME), the distinct
// artists, albums, song titles and genres, and what the two statistics dialogs and the table
// "Statist.dbf" show of them, with every figure whole however large. Stateless functions over
// an open table; used by the statistics commands and klango-cli.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/dbf_structure.h"
#include "dbf/record_view.h"

namespace klango::dbf {
class DbfTable;
}

namespace klango::query {

// The running sums.
struct StatSums {
    long long minutes = 0;  // raw sums of the lengths' minutes and seconds
    long long seconds = 0;
    bool allLengths = true;  // false once a track with a blank TIME is met
    long long played = 0;    // tracks with PLAYED > 0
    long long sizeCents = 0;  // sum of TRSIZE in hundredths, so that a million sizes add up exactly

    double size() const { return double(sizeCents) / 100.0; }
};

// The fields the sums read, found by name in a table's structure (-1: missing).
struct StatFields {
    explicit StatFields(const dbf::Structure& fields);
    int time, played, size, group, album, title, genre;
};

// MP3STATIME: adds one record to the sums.
void MP3STATIME(StatSums& sums, const dbf::RecordView& record, const StatFields& fields);

struct StatFigures {
    long long artists = 0, albums = 0, titles = 0, genres = 0;
    StatSums sums;

    // The running time reduced: seconds below 60, minutes below 60.
    long long hours() const;
    int minutesPart() const;
    int secondsPart() const;
    // 100 / distinct song titles * played, 0 without song titles.
    double percent() const;
};

// The figures of a table: the sums over the records it shows in its current order (wholeTable:
// over every record), the distinct counts always over every record; deleted records left out.
StatFigures tableFigures(const dbf::DbfTable& table, bool wholeTable);

// The time note under the figures and its colours ("N/W" or "R+/W").
std::string timeNote(const StatFigures& figures);
std::string timeNoteColors(const StatFigures& figures);

// Number texts as the dialogs show them: right-aligned in width, or wider when the number needs
// it; "@E" with a decimal comma (and points between thousands when grouped).
std::string wholeNumber(double value, int width);
std::string pictureNumber(double value, int width, int decimals, bool grouped);

// One row of the overall evaluation.
struct DatabaseStats {
    std::string name;  // the base name, each word with a capital first letter
    StatFigures figures;
};
// The running time as PLTIME: hours right-aligned in 3 (wider when needed), minutes, seconds.
std::string playTimeText(const StatFigures& figures);
// Grand totals of the rows: time "ddd.hh:mm:ss (tt.hh:mm:ss)" (days in 3 characters) and the
// summary line under the grid.
struct GrandTotals {
    long long minutes = 0, seconds = 0, tracks = 0;
    long long sizeCents = 0;
};
GrandTotals grandTotals(const std::vector<DatabaseStats>& rows);
std::string totalTimeText(const GrandTotals& totals);
std::string summaryLine(const GrandTotals& totals);

// MAKEDATA and the rows: writes "Statist.dbf" (twelve fields) anew at file with one row per
// database. A value too wide for its field is filled with "*" and told to the error handler.
// False when the table could not be written.
bool writeStatisticsTable(const std::filesystem::path& file, const std::vector<DatabaseStats>& rows);
const dbf::Structure& statisticsStructure();

}  // namespace klango::query
