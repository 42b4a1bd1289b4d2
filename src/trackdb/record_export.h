// Field values of a table as plain text for other programs and for people: the command-line
// listing (CSV and aligned columns) and any later export use these renderings.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "dbf/record_view.h"

namespace klango::dbf {
class DbfTable;
}

namespace klango::trackdb {

// One field as CSV data, UTF-8: texts without their padding, numbers as plain decimals with the
// field's decimals, dates YYYYMMDD or empty, logicals T or F.
std::string exportValue(const dbf::RecordView& record, int field);
// RFC 4180 quoting of one value.
std::string csvQuote(const std::string& value);

// Writes the visible records of table in its current order, from the top: with csv a header line
// of the field names and CRLF line ends, else columns aligned for a person. Returns the row count.
size_t writeRecords(dbf::DbfTable& table, std::ostream& out, bool csv);

}  // namespace klango::trackdb
