// The one definition of the track record: the nineteen fields every table of tracks uses (track
// databases, the search result table, the copy database), the six orders of a track database
// with their keys, and the names of a database's files in the data folder.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "dbf/dbf_structure.h"
#include "dbf/order_spec.h"

namespace klango::trackdb {

// Field positions (0-based) in the track record.
namespace track {
enum Field : int {
    DISCNAME,
    PATH,
    ALBUM,
    GROUP,
    TITLE,
    GENRE,
    YEAR,
    TIME,
    TRACK,
    PLAYED,
    PLAYDATE,
    PLAYTIME,
    RANGE,
    INFO,
    TAGGED,
    TAG,
    TAGREAD,
    IMPORT,
    TRSIZE,
};
constexpr int kFieldCount = 19;
constexpr int kRecordLength = 528;
}  // namespace track

// The structure list of the track record, offsets filled.
const dbf::Structure& trackStructure();

// The expected record length of a structure list: 1 + the sum of its widths.
int NEWHEADLEN(const dbf::Structure& fields);

struct TrackOrder {
    int number;              // 1..6, also the digit of the index file name
    const char* expression;  // key expression over the track record
    const char* column;      // header of the grid column it sorts
};
const std::array<TrackOrder, 6>& trackOrders();
// The compiled key of a track order over a table of this structure: text in the German sort form,
// so that "Ärzte" stands with the A and "œuvre" with the O. Every builder of the six orders uses it.
dbf::KeySpec trackOrderKey(const dbf::Structure& fields, const TrackOrder& order);

// The database name of a table name as a caller gives it: the folder and a ".dbf" extension
// (any case) are dropped, the rest is kept as it is.
std::string databaseBaseName(std::string_view name);
// The German message that refuses a database name the user gave (as the fronts convert it to
// CP1252), or "" when the name can be used. A character the code page cannot hold has become a
// "?" on the way, and no file name may hold a "?" on the desktop's home system either.
std::string databaseNameRefusal(std::string_view name);
// A file of a database: name + suffix in the case of the table file on the disk, or resolved
// case-blind when there is no table file.
std::filesystem::path databaseFile(const std::filesystem::path& dataFolder, std::string_view name,
                                   std::string_view suffix);
// The index file of order n (1..6) of a database: name + n + ".NTX" in the case of the table file
// on the disk, or resolved case-blind when there is no table file.
std::filesystem::path indexFile(const std::filesystem::path& dataFolder, std::string_view name, int n);

}  // namespace klango::trackdb
