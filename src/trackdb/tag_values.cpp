#include "trackdb/tag_values.h"

#include <limits>

namespace klango::trackdb {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

}  // namespace

long long leadingNumber(std::string_view text) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

int trackNumber(std::string_view text) {
    long long n = leadingNumber(text);
    return (n > 0 && n <= kMaxTrack) ? static_cast<int>(n) : 0;
}

int yearNumber(std::string_view text) {
    size_t i = skipBlanks(text);
    int year = 0;
    for (int digits = 0; digits < 4 && i < text.size() && isDigit(text[i]); ++digits, ++i) {
        year = year * 10 + (text[i] - '0');
    }
    return year;
}

std::optional<int> secondsFromMilliseconds(std::string_view text) {
    long long ms = leadingNumber(text);
    if (ms <= 0) return std::nullopt;
    long long seconds = ms / 1000 + (ms % 1000 >= 500 ? 1 : 0);
    if (seconds > std::numeric_limits<int>::max()) seconds = std::numeric_limits<int>::max();
    return static_cast<int>(seconds);
}

std::string playLength(int seconds) {
    if (seconds < 0) seconds = 0;
    int rest = seconds % 60;
    return std::to_string(seconds / 60) + ":" + char('0' + rest / 10) + char('0' + rest % 10);
}

}  // namespace klango::trackdb
