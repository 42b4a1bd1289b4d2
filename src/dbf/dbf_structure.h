// The field list of a table: what a table is created from and what an open table reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace klango::dbf {

enum class FieldType : char { kCharacter = 'C', kNumeric = 'N', kDate = 'D', kLogical = 'L' };

struct FieldDef {
    std::string name;  // capitals, at most 10 characters
    FieldType type = FieldType::kCharacter;
    int width = 0;
    int decimals = 0;
    int offset = 0;  // byte offset in the record (the deletion flag is byte 0); set by the table

    bool operator==(const FieldDef& o) const {
        return name == o.name && type == o.type && width == o.width && decimals == o.decimals;
    }
};

using Structure = std::vector<FieldDef>;

// 1 + the sum of the widths: the record length of a table made from this list.
int recordLengthOf(const Structure& fields);
// Fills the offsets of a field list in place (first field at 1).
void layoutFields(Structure& fields);
// Index of the field with this name (case-blind), or -1.
int fieldIndexOf(const Structure& fields, std::string_view name);

}  // namespace klango::dbf
