// The sixteen columns of the track grid: header, width, alignment and the order each sortable
// column carries, the text of every cell of a track record, and the state picture of a record.
// Plain functions over a record's bytes; the grid model and the Qt view call them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "dbf/record_view.h"

namespace klango::shell {
class Settings;
}

namespace klango::table {

enum class Align { kLeft, kRight, kCenter };

struct TrackColumn {
    const char* header;  // exactly as shown, blanks included; the header aligns like its cells
    double width;        // pixels; the first four columns take their stored width instead
    Align align;
    int order;           // the track order (1..6) a header click selects, 0 for none
};

constexpr int kColumnCount = 16;
// Columns, 0-based.
enum Column : int {
    kStateColumn,
    kGroupColumn,
    kAlbumColumn,
    kTitleColumn,
    kDiscColumn,
    kGenreColumn,
    kYearColumn,
    kTimeColumn,
    kRangeColumn,
    kInfoColumn,
    kPlayedColumn,
    kPlayDateColumn,
    kPlayTimeColumn,
    kTagReadColumn,
    kPathColumn,
    kSizeColumn,
};
// The columns whose width comes from the settings file.
constexpr int kStoredWidthColumns = 4;

const std::array<TrackColumn, kColumnCount>& trackColumns();
// The column that carries track order n (1..6), -1 for any other n.
int columnOfOrder(int order);

// MP3GETPARAM: the width list kept under Browse. With Browse/0 or Browse/1 zero or missing the
// fifteen defaults, otherwise the twenty stored widths (each 1 when missing).
std::vector<double> MP3GETPARAM(const shell::Settings& settings);
// The widths the grid applies: the first four from MP3GETPARAM, the others fixed.
std::array<double, kColumnCount> columnWidths(const shell::Settings& settings);
// What closing the panel stores: Browse/0 := the number of columns, Browse/1.. := each width as a
// number without leading blanks, fractions kept. At most twenty widths have a key; false when the
// file could not be written.
bool saveColumnWidths(const shell::Settings& settings, const std::vector<double>& widths);

// The CP1252 text of a cell. The state column has no text (it shows a picture). Text columns
// drop the trailing blanks of their field; right-aligned ones keep the field's width.
std::string cellText(const dbf::RecordView& record, int column, bool showTrak);

// The name of the state picture: "MRed" marked, "MBlack" played today within the last two hours
// (only the hours count), "MBlue" played today, "MWhite" played before, "MGreen" and "MPink" by
// IMPORT 1 and 2, "MWhite" otherwise.
const char* statePicture(const dbf::RecordView& record, const platform::LocalTime& now);

// Cell background (red, green, blue) by the 1-based logical position in the current order and
// the record's deletion flag.
struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};
Rgb rowBackground(unsigned long position, bool deleted);

}  // namespace klango::table
