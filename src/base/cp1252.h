// Windows-1252 text, the single-byte character set in which the core keeps every text.
// Conversion to and from UTF-8 happens only at the borders (Qt views, file names);
// the upper-case rule of keys and searches changes only the letters a to z.
#pragma once

#include <string>
#include <string_view>

namespace klango::base {

// UTF-8 -> CP1252. Characters the code page cannot represent (and malformed UTF-8) become '?'.
std::string utf8ToCp1252(std::string_view utf8);
// CP1252 -> UTF-8. The five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// of the same number, so that a round trip keeps every byte.
std::string cp1252ToUtf8(std::string_view cp);
// The Unicode code point of one CP1252 byte.
char32_t cp1252ToCodePoint(unsigned char c);
// The CP1252 byte of a code point, or '?' when the code page has none.
char codePointToCp1252(char32_t cp);

// Upper case of a to z only; every other byte stays as it is.
std::string upperAZ(std::string_view text);
void upperAZInPlace(std::string& text);
inline char upperAZ(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Blanks (0x20) only, as the table engine pads with blanks.
std::string_view trimRight(std::string_view text);
std::string_view trimLeft(std::string_view text);
std::string_view trim(std::string_view text);
// Left-aligned in width: cut or padded with blanks.
std::string padRight(std::string_view text, size_t width);
// Right-aligned in width: padded with blanks on the left; a longer text keeps its first width bytes.
std::string padLeft(std::string_view text, size_t width);

}  // namespace klango::base
