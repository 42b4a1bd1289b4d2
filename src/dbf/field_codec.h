// The byte encodings of the four field types of a table, one small unit per type: how a value is
// written into a field of a given width and how stored bytes read back. Used by the table, by
// record views and by anyone converting values between fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/date.h"
#include "dbf/dbf_structure.h"

namespace klango::dbf::codec {

// "C": the bytes as they are, left-aligned, padded with blanks, cut to the width.
void encodeCharacter(std::string_view text, char* out, int width);

// "N": digits right-aligned in width, padded with blanks, a minus sign in front of negative
// values, "." and exactly decimals digits when decimals > 0, rounded half away from zero on the
// shortest decimal form of the value (so 2.675 rounds to 2.68). Returns false when the value
// does not fit (or is not finite); the field is then filled with "*".
bool encodeNumeric(double value, int width, int decimals, char* out);
// The text encodeNumeric would write, or nullopt when it does not fit.
std::optional<std::string> formatNumeric(double value, int width, int decimals);
// Leading blanks skipped, an optional sign, digits, an optional "." and digits; reading stops
// at the first other byte. Blanks alone (or no digits) read 0.
double decodeNumeric(std::string_view raw);

// "D": eight digits YYYYMMDD, eight blanks for the empty date; anything else reads as empty.
void encodeDate(base::Date date, char* out);
base::Date decodeDate(std::string_view raw);

// "L": "T" or "F"; "T", "t", "Y" and "y" read as true, anything else as false.
void encodeLogical(bool value, char* out);
bool decodeLogical(std::string_view raw);

// Carries the stored bytes of a field of one type into a field of another (or the same) type,
// as appending records from another table does: text cut or padded, numbers re-rendered in the
// target width, dates and logicals kept; a blank source stays blank; types without a sensible
// conversion leave the target blank. Returns false only when a number did not fit its target
// (the target is then "*" filled).
bool convertField(std::string_view raw, const FieldDef& from, const FieldDef& to, char* out);

}  // namespace klango::dbf::codec
