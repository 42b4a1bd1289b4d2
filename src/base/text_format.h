// Number, date and time texts as the program shows and stores them: the xBase str() rule, the "@E"
// picture (German decimal comma), and reading the leading number of a text.
// Free functions without state; any layer may call them.
#pragma once

#include <string>
#include <string_view>

#include "base/date.h"

namespace klango::base {

// The number at the start of text: blanks and tabs before it are skipped, an optional '+' or '-'
// follows, then digits. No digits gives 0; "12abc" gives 12. A value beyond the range of long long
// stops at its limit rather than wrapping.
long long leadingNumber(std::string_view text);
// The same with an optional decimal point ("3.5", ".5", "7."); the decimal sign is always '.'.
double leadingDecimal(std::string_view text);

// xBase str(): value rounded to decimals places (halves away from zero), '.' as decimal sign,
// right-aligned in width. A number that does not fit (and NaN or infinity) gives width '*'.
// A width below 1 means "as wide as needed". Decimals are clamped to 0..15.
std::string strNumber(double value, int width, int decimals = 0);
// The same number without padding ("a number trimmed").
std::string trimmedNumber(double value, int decimals = 0);

// The "@E" picture: ',' as decimal sign and '.' between thousands, right-aligned in width;
// 1234567.5 with width 12 and 2 decimals gives "1.234.567,50". Too wide gives width '*'.
std::string pictureE(double value, int width, int decimals);
// Digits with sep between every three from the right: groupThousands(-1234567, '.') is "-1.234.567".
std::string groupThousands(long long value, char sep);

// "dd.mm.yyyy" (the empty date shows blanks between the points).
std::string formatDate(const Date& date);
// "hh:mm" and "hh:mm:ss", two digits each.
std::string hhmm(int hour, int minute);
std::string hhmmss(int hour, int minute, int second);

}  // namespace klango::base
