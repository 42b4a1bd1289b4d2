// A calendar date as the tables store it (YYYYMMDD) and the program shows it (dd.mm.yyyy).
#pragma once

#include <string>
#include <string_view>

namespace klango::base {

struct Date {
    int year = 0;  // 0: the empty date
    int month = 0;
    int day = 0;

    bool isEmpty() const { return year == 0; }
    bool operator==(const Date&) const = default;
    auto operator<=>(const Date&) const = default;

    // "YYYYMMDD", or eight blanks for the empty date.
    std::string toDbf() const;
    // Eight digits as stored; anything else (blanks, garbage) is the empty date.
    static Date fromDbf(std::string_view text);
    // "dd.mm.yyyy"; the empty date shows as "  .  .    ".
    std::string toDisplay() const;
};

}  // namespace klango::base
