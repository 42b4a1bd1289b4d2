// PUTDATA: writes what the tag reader found for one MP3 file into the track table being
// imported into, appending a record or, in an update import, refreshing the record of the file.
// Called by the import's file loop only, with the orders "PATH" and "GROUP" attached.
#pragma once

#include <string>
#include <string_view>

#include "trackdb/import_session.h"
#include "trackdb/tag_result.h"

namespace klango::dbf {
class DbfTable;
}

namespace klango::trackdb {

// Key expressions and names of the two orders an import attaches to its target.
constexpr const char* kImportPathOrder = "PATH";
constexpr const char* kImportPathKey = "upper(DMP3->PATH)";
constexpr const char* kImportGroupOrder = "GROUP";
constexpr const char* kImportGroupKey = "upper(DMP3->GROUP)+upper(DMP3->TITLE)";

// cPath is the file's path as stored (CP1252, case kept). In an update import the record whose
// PATH is exactly cPath is refreshed; else a record with the same artist and title whose file is
// gone is taken over (IMPORT 2); else a record is appended (IMPORT 1 in an update, 3 in a new
// database) and session.NRECADD counts it once it is written. Play statistics, rating and
// comment stay. The record is written at once, the header is not (the caller flushes now and
// then). False when the record could not be written (the error handler was told).
bool PUTDATA(dbf::DbfTable& table, ImportSession& session, std::string_view cPath, const TagResult& aTag);

// Does the stored path text name an existing file?
bool trackFileExists(std::string_view storedPath);

}  // namespace klango::trackdb
