// The DOS code page 850, in which some texts of the settings file were typed (the optional Help
// menu captions). Conversion to Windows-1252 the way the system's OEM-to-ANSI call does it.
// Free functions without state; any layer may call them.
#pragma once

#include <string>
#include <string_view>

namespace klango::base {

// The Unicode code point of one CP850 byte (bytes below 0x80 are ASCII).
char32_t cp850ToCodePoint(unsigned char c);

// CP850 -> CP1252. Letters, signs and the no-break space keep their meaning (0x84 'ä' becomes
// 0xE4); the line-drawing characters become '-', '|' or '+'; the other characters that Windows-1252
// lacks (shades, blocks, dotless i, double low line) become '?'. ASCII stays as it is.
std::string cp850ToCp1252(std::string_view dos);

}  // namespace klango::base
