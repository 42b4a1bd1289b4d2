// The numbers of the track record read from tag texts: leading numeric values, track numbers,
// years and the "m:ss" play length. Pure functions on CP1252 text; used by the tag reader units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klango::trackdb {

// The widest track number the record's two-digit TRACK field holds.
constexpr int kMaxTrack = 99;

// The numeric value of a text: leading blanks skipped, an optional sign, then the digits up to the
// first other character ("5/12" gives 5, "abc" gives 0). Saturates instead of overflowing.
long long leadingNumber(std::string_view text);

// A track number text ("3", "3/10"); 0 when it is none or does not fit the field (100 or more).
int trackNumber(std::string_view text);

// The year of a year text: its first four digits after leading blanks ("2003-05-01" gives 2003,
// "95" gives 95); 0 when it starts with no digit.
int yearNumber(std::string_view text);

// Seconds from a TLEN text (milliseconds), rounded; nullopt when it holds no positive number.
std::optional<int> secondsFromMilliseconds(std::string_view text);

// "m:ss": minutes without leading zeros, seconds with two digits (245 gives "4:05").
std::string playLength(int seconds);

}  // namespace klango::trackdb
