#include "base/date.h"

#include <cstdio>

namespace klango::base {

std::string Date::toDbf() const {
    if (isEmpty()) return std::string(8, ' ');
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year % 10000, month % 100, day % 100);
    return buf;
}

Date Date::fromDbf(std::string_view text) {
    if (text.size() < 8) return {};
    int v[8];
    for (int i = 0; i < 8; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return {};
        v[i] = c - '0';
    }
    Date d{v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]};
    if (d.year == 0 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return {};
    return d;
}

std::string Date::toDisplay() const {
    if (isEmpty()) return "  .  .    ";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", day % 100, month % 100, year % 10000);
    return buf;
}

}  // namespace klango::base
