#include "trackdb/put_data.h"

#include <filesystem>
#include <system_error>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "trackdb/track_record.h"

namespace klango::trackdb {

namespace fs = std::filesystem;

namespace {

constexpr size_t kPathWidth = 250;
constexpr size_t kTextWidth = 40;
constexpr size_t kGenreWidth = 20;

fs::path fileOf(std::string_view storedPath) { return fs::path(base::cp1252ToUtf8(storedPath)); }

// The record of exactly this path. The order's key is upper-cased, so records whose paths differ
// only in case share a key; on a case-sensitive file system they are different files.
bool findByPath(dbf::DbfTable& table, std::string_view stored) {
    if (!table.setOrder(kImportPathOrder)) return false;
    const std::string key = base::upperAZ(base::padRight(stored, kPathWidth));
    if (!table.seek(key)) return false;
    for (; !table.eof(); table.skip(1)) {
        std::string_view raw = table.raw(track::PATH);
        if (base::upperAZ(raw) != key) break;
        if (base::trimRight(raw) == stored) return true;
    }
    return false;
}

// A record of the same artist and title whose file no longer exists: the file has moved. A record
// whose file is still there belongs to that file and is not taken away from it.
bool findMoved(dbf::DbfTable& table, const TagResult& aTag) {
    if (!table.setOrder(kImportGroupOrder)) return false;
    const std::string key = base::upperAZ(base::padRight(aTag.GROUP, kTextWidth)) +
                            base::upperAZ(base::padRight(aTag.TITLE, kTextWidth));
    if (!table.seek(key)) return false;
    for (; !table.eof(); table.skip(1)) {
        const std::string recordKey =
            base::upperAZ(table.raw(track::GROUP)) + base::upperAZ(table.raw(track::TITLE));
        if (recordKey != key) break;
        if (!trackFileExists(base::trimRight(table.raw(track::PATH)))) return true;
    }
    return false;
}

}  // namespace

bool trackFileExists(std::string_view storedPath) {
    if (storedPath.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(fileOf(storedPath), ec);
}

bool PUTDATA(dbf::DbfTable& table, ImportSession& session, std::string_view cPath,
             const TagResult& aTag) {
    KLANGO_ROUTINE("PUTDATA");
    const std::string_view stored = base::trimRight(cPath.substr(0, kPathWidth));

    bool append = true;
    if (session.LREFRESH) {
        if (findByPath(table, stored)) {
            append = false;
        } else if (findMoved(table, aTag)) {
            append = false;
            table.putN(track::IMPORT, 2);
        }
    }
    if (append) {
        const uint32_t before = table.lastRec();
        table.appendBlank();
        if (table.lastRec() == before) return false;  // no room for it: nothing to fill
        table.putN(track::IMPORT, session.LREFRESH ? 1 : 3);
    }

    std::error_code ec;
    const uintmax_t bytes = fs::file_size(fileOf(stored), ec);
    table.putC(track::DISCNAME, session.CDRIVENAME);
    table.putC(track::PATH, stored);
    table.putN(track::TRSIZE, ec ? 0.0 : double(bytes) / 1024.0 / 1024.0);
    table.putC(track::ALBUM, std::string_view(aTag.ALBUM).substr(0, kTextWidth));
    table.putC(track::GROUP, std::string_view(aTag.GROUP).substr(0, kTextWidth));
    table.putC(track::TITLE, std::string_view(aTag.TITLE).substr(0, kTextWidth));
    table.putC(track::GENRE, std::string_view(aTag.GENRE).substr(0, kGenreWidth));
    table.putN(track::YEAR, aTag.YEAR);
    table.putC(track::TIME, aTag.TIME);
    table.putN(track::TRACK, aTag.TRACK);
    table.putN(track::TAG, aTag.TAG);
    table.putC(track::TAGREAD, aTag.TAGREAD);
    table.putL(track::TAGGED, false);
    if (!table.writeCurrent()) return false;
    if (append) ++session.NRECADD;
    return true;
}

}  // namespace klango::trackdb
