// The sort form of German text in CP1252: what the track orders compare instead of the bytes, so
// that names sort as a German reader expects (DIN 5007, variant 1). Pure functions; used by the
// key builder of the table engine and by whoever seeks in such an order (the letter jumps).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace klango::base {

// The sort form of text: case-blind for every CP1252 letter, umlauts and accented letters as their
// base letter ("Ä" as "A", "é" as "E"), "ß" as "SS", ligatures spelled out ("Œ" as "OE", "Æ" as
// "AE", "þ" as "TH"), and whatever stands before the first letter or digit left out (quotes such
// as „ or ", brackets, blanks), so "„Über“" sorts as "UBER“". Every other byte stays.
std::string germanSortText(std::string_view text);

// The same into exactly width bytes: cut, or padded with blanks, as a fixed-width key needs.
void germanSortKey(std::string_view text, char* out, size_t width);

}  // namespace klango::base
