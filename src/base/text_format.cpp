#include "base/text_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

namespace klango::base {

namespace {

constexpr int kMaxDecimals = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return i;
}

// The digits of |value| rounded to decimals places, without sign or decimal point, and whether
// the rounded value is negative. Halves round away from zero; a nudge by a few units in the last
// place makes a literal such as 2.675 (stored as 2.67499999...) round the way its text reads.
struct Rounded {
    std::string digits;  // at least decimals + 1 digits
    bool negative = false;
    bool valid = false;
};

Rounded roundDigits(double value, int decimals) {
    Rounded r;
    if (!std::isfinite(value)) return r;
    double scaled = value * std::pow(10.0, decimals);
    if (!std::isfinite(scaled)) return r;
    double mag = std::fabs(scaled);
    // From 2^52 on every double is a whole number: nothing to round. Below, the nudge is capped:
    // from about 5.6e14 on, four ulps would reach half a unit and lift every whole number by one
    // (1e15 showed as 1000000000000001), while the doubles there are still 1/16 or more apart, so
    // a cap of 1/64 only ever catches a value that reads as a half.
    if (mag < 4503599627370496.0) mag = std::round(mag + std::min(mag * 4 * DBL_EPSILON, 1.0 / 64));
    char buf[400];
    int n = std::snprintf(buf, sizeof buf, "%.0f", mag);
    if (n <= 0 || n >= int(sizeof buf)) return r;
    r.digits.assign(buf, size_t(n));
    if (r.digits.size() < size_t(decimals) + 1)
        r.digits.insert(0, size_t(decimals) + 1 - r.digits.size(), '0');
    // A value that rounds to zero shows without sign, as "0" and not "-0".
    r.negative = value < 0 && r.digits.find_first_not_of('0') != std::string::npos;
    r.valid = true;
    return r;
}

std::string fit(std::string text, int width) {
    if (width < 1) return text;
    if (text.size() > size_t(width)) return std::string(size_t(width), '*');
    text.insert(0, size_t(width) - text.size(), ' ');
    return text;
}

std::string plainNumber(double value, int decimals, bool* ok) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    Rounded r = roundDigits(value, decimals);
    *ok = r.valid;
    if (!r.valid) return {};
    std::string out = r.negative ? "-" : "";
    size_t intLen = r.digits.size() - size_t(decimals);
    out.append(r.digits, 0, intLen);
    if (decimals > 0) {
        out += '.';
        out.append(r.digits, intLen, std::string::npos);
    }
    return out;
}

std::string groupDigits(std::string_view digits, char sep) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return out;
}

}  // namespace

long long leadingNumber(std::string_view text) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long mag = 0;
    const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        unsigned d = unsigned(text[i] - '0');
        if (mag > (limit - d) / 10) {
            mag = limit;
            break;
        }
        mag = mag * 10 + d;
    }
    if (negative) return mag == limit ? LLONG_MIN : -static_cast<long long>(mag);
    return static_cast<long long>(mag);
}

double leadingDecimal(std::string_view text) {
    size_t i = skipBlanks(text);
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digitsStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    size_t intDigits = i - digitsStart;
    size_t fracDigits = 0;
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) ++j;
        fracDigits = j - i - 1;
        if (intDigits + fracDigits > 0) i = j;
    }
    if (intDigits + fracDigits == 0) return 0.0;
    // from_chars takes no '+' and no trailing lone point; give it just sign, digits and fraction.
    std::string number;
    if (text[start] == '-') number += '-';
    number.append(text.substr(digitsStart, i - digitsStart));
    if (!number.empty() && number.back() == '.') number.pop_back();
    double value = 0.0;
    auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

std::string strNumber(double value, int width, int decimals) {
    bool ok = false;
    std::string text = plainNumber(value, decimals, &ok);
    if (!ok) return width < 1 ? std::string("*") : std::string(size_t(width), '*');
    return fit(std::move(text), width);
}

std::string trimmedNumber(double value, int decimals) { return strNumber(value, 0, decimals); }

std::string pictureE(double value, int width, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    Rounded r = roundDigits(value, decimals);
    if (!r.valid) return width < 1 ? std::string("*") : std::string(size_t(width), '*');
    size_t intLen = r.digits.size() - size_t(decimals);
    std::string out = r.negative ? "-" : "";
    out += groupDigits(std::string_view(r.digits).substr(0, intLen), '.');
    if (decimals > 0) {
        out += ',';
        out.append(r.digits, intLen, std::string::npos);
    }
    return fit(std::move(out), width);
}

std::string groupThousands(long long value, char sep) {
    // Through unsigned so that the smallest long long has a magnitude too.
    unsigned long long mag =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(mag);
    return (value < 0 ? "-" : "") + groupDigits(digits, sep);
}

std::string formatDate(const Date& date) { return date.toDisplay(); }

std::string hhmm(int hour, int minute) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", std::clamp(hour, 0, 99), std::clamp(minute, 0, 99));
    return buf;
}

std::string hhmmss(int hour, int minute, int second) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", std::clamp(hour, 0, 99), std::clamp(minute, 0, 99),
                  std::clamp(second, 0, 99));
    return buf;
}

}  // namespace klango::base
