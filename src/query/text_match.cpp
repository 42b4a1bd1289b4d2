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
    // Fields are short (40 characters): fold into a buffer on the stack, then one find.
    char buffer[256];
    if (text.size() > sizeof buffer) return foldCase(text).find(foldedNeedle) != std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) buffer[i] = char(kFold[(unsigned char)text[i]]);
    return std::string_view(buffer, text.size()).find(foldedNeedle) != std::string_view::npos;
}

}  // namespace klango::query
