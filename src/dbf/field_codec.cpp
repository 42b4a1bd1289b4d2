#include "dbf/field_codec.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/cp1252.h"

namespace klango::dbf::codec {

namespace {

bool isBlank(std::string_view raw) {
    for (char c : raw) {
        if (c != ' ') return false;
    }
    return true;
}

// Exact powers of ten as doubles: every one up to 1e22 is representable.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Rounds the decimal text "digits[.fraction]" (no sign) to decimals places, half away from zero.
std::string roundDecimalText(std::string_view text, int decimals) {
    std::string intPart;
    std::string frac;
    size_t dot = text.find('.');
    if (dot == std::string_view::npos) {
        intPart = std::string(text);
    } else {
        intPart = std::string(text.substr(0, dot));
        frac = std::string(text.substr(dot + 1));
    }
    if (intPart.empty()) intPart = "0";
    bool roundUp = frac.size() > size_t(decimals) && frac[size_t(decimals)] >= '5';
    if (frac.size() > size_t(decimals)) frac.resize(size_t(decimals));
    frac.append(size_t(decimals) - frac.size(), '0');
    std::string digits = intPart + frac;
    if (roundUp) {
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[size_t(i)] == '9') digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++digits[size_t(i)];
        } else {
            digits.insert(digits.begin(), '1');
        }
    }
    size_t intLen = digits.size() - size_t(decimals);
    std::string out = digits.substr(0, intLen);
    // Strip leading zeros of the integer part but keep one.
    size_t nz = out.find_first_not_of('0');
    out = nz == std::string::npos ? "0" : out.substr(nz);
    if (decimals > 0) out += "." + digits.substr(intLen);
    return out;
}

}  // namespace

void encodeCharacter(std::string_view text, char* out, int width) {
    size_t n = std::min(text.size(), size_t(width));
    std::memcpy(out, text.data(), n);
    std::memset(out + n, ' ', size_t(width) - n);
}

std::optional<std::string> formatNumeric(double value, int width, int decimals) {
    if (width <= 0 || !std::isfinite(value)) return std::nullopt;
    if (decimals < 0) decimals = 0;
    // Nothing at or beyond 1e21 fits a field of at most 20 bytes; this also bounds the text below.
    if (std::fabs(value) >= 1e21) return std::nullopt;
    // The shortest fixed-point text that reads back as value: rounding works on what a person
    // would write, not on the binary neighbour (2.675 is stored as 2.67499999...).
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    if (ec != std::errc()) return std::nullopt;
    std::string text = roundDecimalText(std::string_view(buf, size_t(end - buf)), decimals);
    bool allZero = text.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !allZero) text.insert(text.begin(), '-');
    if (text.size() > size_t(width)) return std::nullopt;
    return base::padLeft(text, size_t(width));
}

bool encodeNumeric(double value, int width, int decimals, char* out) {
    std::optional<std::string> text = formatNumeric(value, width, decimals);
    if (!text) {
        std::memset(out, '*', size_t(std::max(width, 0)));
        return false;
    }
    std::memcpy(out, text->data(), size_t(width));
    return true;
}

double decodeNumeric(std::string_view raw) {
    size_t i = 0;
    const size_t n = raw.size();
    while (i < n && raw[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (raw[i] == '-' || raw[i] == '+')) {
        negative = raw[i] == '-';
        ++i;
        while (i < n && raw[i] == ' ') ++i;
    }
    // Digits gathered as one integer mantissa; up to 15 significant digits stay exact, so the
    // one division by an exact power of ten gives the correctly rounded value.
    uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;
    bool seenDot = false;
    bool any = false;
    size_t start = i;
    for (; i < n; ++i) {
        char c = raw[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (mantissa == 0 && c == '0') {
                if (seenDot) ++scale;
                continue;
            }
            mantissa = mantissa * 10 + uint64_t(c - '0');
            ++digits;
            if (seenDot) ++scale;
        } else if (c == '.' && !seenDot) {
            seenDot = true;
        } else {
            break;
        }
    }
    if (!any) return 0;
    double v;
    if (digits <= 15 && scale <= 22) {
        v = double(mantissa) / kPow10[scale];
    } else {
        // Long digit strings: let the library round them.
        std::string text(raw.substr(start, i - start));
        v = std::strtod(text.c_str(), nullptr);
    }
    return negative ? -v : v;
}

void encodeDate(base::Date date, char* out) {
    std::string text = date.toDbf();
    std::memcpy(out, text.data(), 8);
}

base::Date decodeDate(std::string_view raw) { return base::Date::fromDbf(raw); }

void encodeLogical(bool value, char* out) { *out = value ? 'T' : 'F'; }

bool decodeLogical(std::string_view raw) {
    if (raw.empty()) return false;
    char c = raw[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

namespace {

// A text that reads as a date: "YYYYMMDD" or "dd.mm.yyyy"; the empty date otherwise.
base::Date dateFromText(std::string_view text) {
    text = base::trim(text);
    if (text.size() == 8) return base::Date::fromDbf(text);
    if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
        std::string dbf = std::string(text.substr(6, 4)) + std::string(text.substr(3, 2)) +
                          std::string(text.substr(0, 2));
        return base::Date::fromDbf(dbf);
    }
    return {};
}

}  // namespace

bool convertField(std::string_view raw, const FieldDef& from, const FieldDef& to, char* out) {
    const int width = to.width;
    std::memset(out, ' ', size_t(width));
    if (isBlank(raw)) return true;
    switch (to.type) {
        case FieldType::kCharacter:
            switch (from.type) {
                case FieldType::kCharacter:
                case FieldType::kDate: encodeCharacter(raw, out, width); break;
                case FieldType::kNumeric: encodeCharacter(base::trim(raw), out, width); break;
                case FieldType::kLogical: {
                    char c = decodeLogical(raw) ? 'T' : 'F';
                    encodeCharacter(std::string_view(&c, 1), out, width);
                    break;
                }
            }
            return true;
        case FieldType::kNumeric:
            if (from.type == FieldType::kNumeric && from.width == to.width && from.decimals == to.decimals) {
                std::memcpy(out, raw.data(), size_t(width));
                return true;
            }
            if (from.type == FieldType::kNumeric || from.type == FieldType::kCharacter) {
                return encodeNumeric(decodeNumeric(raw), width, to.decimals, out);
            }
            return true;
        case FieldType::kDate:
            if (from.type == FieldType::kDate) {
                encodeDate(decodeDate(raw), out);
            } else if (from.type == FieldType::kCharacter) {
                encodeDate(dateFromText(raw), out);
            }
            return true;
        case FieldType::kLogical:
            if (from.type == FieldType::kLogical || from.type == FieldType::kCharacter) {
                encodeLogical(decodeLogical(base::trimLeft(raw)), out);
            }
            return true;
    }
    return true;
}

}  // namespace klango::dbf::codec
