// What a table file says about itself, read from its bytes without opening it as a table: the
// header, the field descriptors and where the records end. A table is consistent in itself when
// its field widths add up to the stored record length, the stored header length fits the
// descriptors and the file holds the header; records and a trailing part are counted from the
// file size, as opening does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "dbf/dbf_structure.h"

namespace klango::dbf {

struct TableFileFacts {
    bool readable = false;  // false: the file could not be read at all (missing, no access)
    std::string damage;     // empty when consistent; otherwise why not (German, CP1252)
    uint64_t fileSize = 0;
    int headerLength = 0;
    int recordLength = 0;        // as stored; equal to the widths' sum when consistent
    uint32_t storedCount = 0;    // the record count the header claims
    uint64_t wholeRecords = 0;   // whole records the file holds after the header
    uint64_t tailBytes = 0;      // bytes after the last whole record
    bool endMarkOnly = false;    // the tail is exactly the end mark 0x1A
    Structure fields;            // the descriptors, laid out; empty when damaged before them

    bool consistent() const { return readable && damage.empty(); }
    // Count and end mark as the program writes them: count == whole records, tail == 0x1A.
    bool closedCleanly() const { return storedCount == wholeRecords && endMarkOnly; }
};

TableFileFacts inspectTableFile(const std::filesystem::path& file);

// Cuts the bytes after the last whole record, ends the file with 0x1A and writes the count of
// whole records into the header (flushed to the disk). For a consistent table only; false when
// the file could not be written (the error handler has been told).
bool repairCountAndEndMark(const std::filesystem::path& file, const TableFileFacts& facts);

}  // namespace klango::dbf
