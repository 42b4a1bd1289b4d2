#include "base/cp1252.h"

namespace klango::base {

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined positions.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace

char32_t cp1252ToCodePoint(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) {
        char32_t cp = kHigh[c - 0x80];
        return cp ? cp : char32_t(c);
    }
    return c;
}

char codePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp) return char(0x80 + i);
    }
    // The undefined positions round-trip through their C1 controls.
    if (cp == 0x81 || cp == 0x8D || cp == 0x8F || cp == 0x90 || cp == 0x9D) return char(cp);
    return '?';
}

std::string cp1252ToUtf8(std::string_view cp) {
    std::string out;
    out.reserve(cp.size() + cp.size() / 4);
    for (unsigned char c : cp) appendUtf8(out, cp1252ToCodePoint(c));
    return out;
}

std::string utf8ToCp1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += char(c);
            ++i;
            continue;
        }
        int len = (c >= 0xF0 && c < 0xF8) ? 4 : (c >= 0xE0) ? 3 : (c >= 0xC2 && c < 0xE0) ? 2 : 0;
        if (c >= 0xF8) len = 0;
        if (len == 0 || i + len > s.size()) {
            out += '?';
            ++i;
            continue;
        }
        char32_t cp = c & (0xFF >> (len + 1));
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        // Overlong forms and surrogates are malformed.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += '?';
        } else {
            out += codePointToCp1252(cp);
        }
        i += len;
    }
    return out;
}

std::string upperAZ(std::string_view text) {
    std::string out(text);
    upperAZInPlace(out);
    return out;
}

void upperAZInPlace(std::string& text) {
    for (char& c : text) c = upperAZ(c);
}

std::string_view trimRight(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return text.substr(0, n);
}

std::string_view trimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return text.substr(i);
}

std::string_view trim(std::string_view text) { return trimLeft(trimRight(text)); }

std::string padRight(std::string_view text, size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string padLeft(std::string_view text, size_t width) {
    if (text.size() >= width) return std::string(text.substr(0, width));
    return std::string(width - text.size(), ' ') + std::string(text);
}

}  // namespace klango::base
