// Read access to the bytes of one record, shared by the table, its orders and their key and
// condition functions. It borrows the bytes; it never outlives the call it is handed to.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/date.h"
#include "dbf/dbf_structure.h"

namespace klango::dbf {

class RecordView {
public:
    RecordView(const Structure& fields, const char* bytes) : m_fields(&fields), m_bytes(bytes) {}

    const Structure& fields() const { return *m_fields; }
    const char* bytes() const { return m_bytes; }
    bool isDeleted() const { return m_bytes[0] == '*'; }

    // The field's bytes exactly as stored (padded, right-aligned numbers).
    std::string_view raw(int field) const {
        const FieldDef& f = (*m_fields)[field];
        return {m_bytes + f.offset, size_t(f.width)};
    }
    // Decoded values, by the reading rules of the format.
    double number(int field) const;
    base::Date date(int field) const;
    bool logical(int field) const;

private:
    const Structure* m_fields;
    const char* m_bytes;
};

// The reading rules, usable on any field bytes.
double decodeNumber(std::string_view raw);  // leading blanks skipped, blanks alone read 0
bool decodeLogical(std::string_view raw);   // "T", "t", "Y", "y" are true

}  // namespace klango::dbf
