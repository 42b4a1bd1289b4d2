#include "query/text_match.h"

#include <array>
#include <cstring>

namespace klango::query {

namespace {

std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[size_t(i)] = (unsigned char)i;
    for (int c = 'a'; c <= 'z'; ++c) t[size_t(c)] = (unsigned char)(c - 0x20);
    // à..þ to À..Þ, except ÷ (0xF7), which is no letter.
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) t[size_t(c)] = (unsigned char)(c - 0x20);
    }
    t[0x9A] = 0x8A;  // š Š
    t[0x9C] = 0x8C;  // œ Œ
    t[0x9E] = 0x8E;  // ž Ž
    t[0xFF] = 0x9F;  // ÿ Ÿ
    return t;
}

const std::array<unsigned char, 256> kFold = makeFoldTable();

// For each folded byte the bytes that fold to it (at most two: a letter's small and capital
// form), so that a search can look for a needle's first byte with memchr.
struct Unfold {
    unsigned char bytes[2];
    int count;
};
std::array<Unfold, 256> makeUnfoldTable() {
    std::array<Unfold, 256> t{};
    for (int b = 0; b < 256; ++b) {
        Unfold& u = t[kFold[size_t(b)]];
        if (u.count < 2) u.bytes[u.count++] = (unsigned char)b;
    }
    return t;
}

const std::array<Unfold, 256> kUnfold = makeUnfoldTable();

bool restMatches(const char* at, std::string_view foldedNeedle) {
    for (size_t k = 1; k < foldedNeedle.size(); ++k) {
        if (kFold[(unsigned char)at[k]] != (unsigned char)foldedNeedle[k]) return false;
    }
    return true;
}

}  // namespace

char foldCase(char c) { return char(kFold[(unsigned char)c]); }

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = foldCase(c);
    return out;
}

bool containsFolded(std::string_view text, std::string_view foldedNeedle) {
    const size_t n = foldedNeedle.size();
    if (n == 0) return true;
    // A needle ending in a non-blank cannot take in the text's trailing blanks: they are not
    // folded nor searched (most of a 40-character field is blanks).
    if (foldedNeedle.back() != ' ') {
        size_t end = text.size();
        while (end > 0 && text[end - 1] == ' ') --end;
        text = text.substr(0, end);
    }
    if (text.size() < n) return false;
    // Nothing is folded ahead: memchr finds each place where the needle's first byte stands in
    // either case, and only there the rest is compared folded.
    const Unfold& first = kUnfold[(unsigned char)foldedNeedle[0]];
    const char* begin = text.data();
    const size_t starts = text.size() - n + 1;  // places where the needle fits
    for (int v = 0; v < first.count; ++v) {
        const char* at = begin;
        size_t left = starts;
        while (left > 0) {
            const void* hit = std::memchr(at, first.bytes[v], left);
            if (!hit) break;
            const char* p = static_cast<const char*>(hit);
            if (restMatches(p, foldedNeedle)) return true;
            left -= size_t(p + 1 - at);
            at = p + 1;
        }
    }
    return false;
}

}  // namespace klango::query
