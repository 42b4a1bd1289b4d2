#include "table/track_columns.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/cp1252.h"
#include "base/text_format.h"
#include "shell/settings.h"
#include "trackdb/track_record.h"

namespace klango::table {

namespace track = trackdb::track;
using dbf::RecordView;

namespace {

// The widths the grid starts with before the user ever closed the panel.
constexpr std::array<double, 15> kDefaultWidths = {18.1,  208.15, 208.15, 253.4, 99.55, 54.3,  36.2, 271.5,
                                                   45.25, 45.25,  90.5,   54.3,  50.5,  50.5,  452.5};

std::string textField(const RecordView& record, int field) {
    return std::string(base::trimRight(record.raw(field)));
}

// A number field right-aligned in its own width, as str() shows it.
std::string numberInWidth(const RecordView& record, int field) {
    const auto& def = record.fields()[size_t(field)];
    return base::strNumber(record.number(field), def.width, def.decimals);
}

// The hour in the first two characters of a time of day ("10:59" gives 10).
int hourOf(std::string_view time) { return int(base::leadingNumber(time.substr(0, 2))); }

// The shortest text that reads back as the same number ("18.1", "208.15", "16").
std::string widthText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return "1";
    return std::string(buffer, result.ptr);
}

}  // namespace

const std::array<TrackColumn, kColumnCount>& trackColumns() {
    static const std::array<TrackColumn, kColumnCount> columns = {{
        {" ", kDefaultWidths[0], Align::kLeft, 0},
        {" Interpret", kDefaultWidths[1], Align::kLeft, 1},
        {" Albumtitel", kDefaultWidths[2], Align::kLeft, 2},
        {" Songtitel", kDefaultWidths[3], Align::kLeft, 3},
        {" Diskname", 100, Align::kLeft, 0},
        {" Genre", 80, Align::kLeft, 4},
        {" Jahr", 40, Align::kLeft, 0},
        {"LZeit ", 45, Align::kRight, 5},
        {"Note ", 30, Align::kRight, 6},
        {" Info", 200, Align::kLeft, 0},
        {"gesp. ", 45, Align::kRight, 0},
        {" am", 60, Align::kCenter, 0},
        {" um", 50, Align::kCenter, 0},
        {" Tag", 45, Align::kLeft, 0},
        {" Pfad", 400, Align::kLeft, 0},
        {"Gr\xF6\xDF" "e mb", 60, Align::kRight, 0},
    }};
    return columns;
}

int columnOfOrder(int order) {
    const auto& columns = trackColumns();
    for (int c = 0; c < kColumnCount; ++c) {
        if (order > 0 && columns[size_t(c)].order == order) return c;
    }
    return -1;
}

std::vector<double> MP3GETPARAM(const shell::Settings& settings) {
    namespace keys = shell::keys;
    if (settings.number(keys::kBrowseCount) == 0 || settings.number(keys::browseWidth(1)) == 0) {
        return {kDefaultWidths.begin(), kDefaultWidths.end()};
    }
    std::vector<double> widths;
    for (int n = keys::kFirstBrowseColumn; n <= keys::kLastBrowseColumn; ++n) {
        const std::string text = settings.text(keys::browseWidth(n));
        widths.push_back(base::leadingDecimal(text));
    }
    return widths;
}

std::array<double, kColumnCount> columnWidths(const shell::Settings& settings) {
    std::array<double, kColumnCount> widths{};
    const auto& columns = trackColumns();
    for (int c = 0; c < kColumnCount; ++c) widths[size_t(c)] = columns[size_t(c)].width;
    const std::vector<double> stored = MP3GETPARAM(settings);
    for (size_t c = 0; c < size_t(kStoredWidthColumns) && c < stored.size(); ++c) {
        // A stored width that is no usable number keeps the column visible with its default.
        if (std::isfinite(stored[c]) && stored[c] > 0) widths[c] = stored[c];
    }
    return widths;
}

bool saveColumnWidths(const shell::Settings& settings, const std::vector<double>& widths) {
    namespace keys = shell::keys;
    const int count = int(std::min<size_t>(widths.size(), size_t(keys::kLastBrowseColumn)));
    if (!settings.writeNumber(keys::kBrowseCount, count)) return false;
    for (int n = 1; n <= count; ++n) {
        if (!settings.write(keys::browseWidth(n), widthText(widths[size_t(n - 1)]))) return false;
    }
    return true;
}

std::string cellText(const RecordView& record, int column, bool showTrak) {
    switch (column) {
    case kGroupColumn:
        return " " + textField(record, track::GROUP);
    case kAlbumColumn:
        return " " + textField(record, track::ALBUM);
    case kTitleColumn: {
        std::string text = " ";
        if (showTrak) {
            const double number = record.number(track::TRACK);
            char digits[8];
            if (number >= 0 && number < 100) {
                std::snprintf(digits, sizeof digits, "%02d", int(number));
                text += digits;
            } else {
                text += base::strNumber(number, 2);
            }
            text += ' ';
        }
        return text + textField(record, track::TITLE);
    }
    case kDiscColumn:
        return textField(record, track::DISCNAME);
    case kGenreColumn:
        return textField(record, track::GENRE);
    case kYearColumn:
        return base::strNumber(record.number(track::YEAR), 5);
    case kTimeColumn:
        return std::string(record.raw(track::TIME)) + " ";
    case kRangeColumn:
        return record.number(track::RANGE) > 0 ? numberInWidth(record, track::RANGE) + " " : std::string();
    case kInfoColumn:
        return " " + textField(record, track::INFO);
    case kPlayedColumn:
        return record.number(track::PLAYED) > 0 ? numberInWidth(record, track::PLAYED) + " " : std::string();
    case kPlayDateColumn:
        return record.date(track::PLAYDATE).toDisplay();
    case kPlayTimeColumn:
        return std::string(record.raw(track::PLAYTIME));
    case kTagReadColumn:
        return " " + textField(record, track::TAGREAD);
    case kPathColumn:
        return " " + textField(record, track::PATH);
    case kSizeColumn: {
        std::string size = base::strNumber(record.number(track::TRSIZE), 9, 2);
        for (char& c : size) {
            if (c == '.') c = ',';
        }
        return size + " ";
    }
    default:
        return {};
    }
}

const char* statePicture(const RecordView& record, const platform::LocalTime& now) {
    if (record.logical(track::TAGGED)) return "MRed";
    if (record.date(track::PLAYDATE) == now.date && !now.date.isEmpty()) {
        if (now.hour - hourOf(record.raw(track::PLAYTIME)) < 2) return "MBlack";
        return "MBlue";
    }
    if (record.number(track::PLAYED) > 0) return "MWhite";
    const double import = record.number(track::IMPORT);
    if (import == 1) return "MGreen";
    if (import == 2) return "MPink";
    return "MWhite";
}

Rgb rowBackground(unsigned long position, bool deleted) {
    const bool even = position % 2 == 0;
    if (deleted) return even ? Rgb{255, 193, 193} : Rgb{255, 0, 0};
    return even ? Rgb{227, 245, 241} : Rgb{255, 255, 255};
}

}  // namespace klango::table
