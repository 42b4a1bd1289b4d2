#include "base/german_sort.h"

#include <array>
#include <cstring>

namespace klango::base {

namespace {

// What each CP1252 byte becomes: one or two bytes (second 0 when one). Bytes not listed stay.
struct Folding {
    std::array<std::array<char, 2>, 256> to{};
    std::array<bool, 256> startsText{};  // a letter or digit: where the sort form begins

    Folding() {
        for (int c = 0; c < 256; ++c) to[size_t(c)] = {char(c), 0};
        for (int c = 'a'; c <= 'z'; ++c) to[size_t(c)] = {char(c - 'a' + 'A'), 0};
        const auto map = [this](std::string_view bytes, const char* into) {
            for (unsigned char c : bytes) to[c] = {into[0], into[1]};
        };
        map("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5\xAA", "A");
        map("\xC6\xE6", "AE");
        map("\xC7\xE7", "C");
        map("\xD0\xF0", "D");
        map("\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", "E");
        map("\x83", "F");
        map("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "I");
        map("\xD1\xF1", "N");
        map("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8\xBA", "O");
        map("\x8C\x9C", "OE");
        map("\x8A\x9A", "S");
        map("\xDF", "SS");
        map("\xDE\xFE", "TH");
        map("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "U");
        map("\xDD\xFD\xFF\x9F", "Y");
        map("\x8E\x9E", "Z");
        for (int c = 0; c < 256; ++c) {
            const char first = to[size_t(c)][0];
            startsText[size_t(c)] = (first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9');
        }
    }
};

const Folding& folding() {
    static const Folding table;
    return table;
}

// Feeds the sort form of text, byte by byte, to put; put returns false to stop.
template <typename Put>
void fold(std::string_view text, Put put) {
    const Folding& f = folding();
    size_t i = 0;
    while (i < text.size() && !f.startsText[(unsigned char)text[i]]) ++i;
    for (; i < text.size(); ++i) {
        const auto& into = f.to[(unsigned char)text[i]];
        if (!put(into[0])) return;
        if (into[1] && !put(into[1])) return;
    }
}

}  // namespace

std::string germanSortText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    fold(text, [&out](char c) {
        out += c;
        return true;
    });
    return out;
}

void germanSortKey(std::string_view text, char* out, size_t width) {
    size_t n = 0;
    fold(text, [&](char c) {
        if (n == width) return false;
        out[n++] = c;
        return true;
    });
    std::memset(out + n, ' ', width - n);
}

}  // namespace klango::base
