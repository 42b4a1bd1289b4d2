#include "ui/color_string.h"

#include <string>

namespace klango::ui {

namespace {

struct Part {
    int bits = 0;  // 1 blue, 2 green, 4 red; black is 0
    bool bright = false;
    bool blink = false;
};

std::optional<Part> parsePart(std::string_view text) {
    Part part;
    bool sawColour = false;
    for (char c : text) {
        switch (c) {
            case ' ':
                break;
            case '+':
                part.bright = true;
                break;
            case '*':
                part.blink = true;
                break;
            case 'N':
            case 'n':
                sawColour = true;
                break;
            case 'B':
            case 'b':
                part.bits |= 1;
                sawColour = true;
                break;
            case 'G':
            case 'g':
                part.bits |= 2;
                sawColour = true;
                break;
            case 'R':
            case 'r':
                part.bits |= 4;
                sawColour = true;
                break;
            case 'W':
            case 'w':
                part.bits |= 7;
                sawColour = true;
                break;
            default:
                return std::nullopt;
        }
    }
    if (!sawColour) return std::nullopt;
    return part;
}

Rgb shade(int bits, bool bright) {
    if (bits == 7) return {255, 255, 255};
    if (bits == 0) return bright ? Rgb{128, 128, 128} : Rgb{0, 0, 0};
    // Brown (red and green, not bright) is the darker yellow of the text palette.
    const std::uint8_t on = bright ? 255 : 128;
    return {std::uint8_t(bits & 4 ? on : 0), std::uint8_t(bits & 2 ? on : 0), std::uint8_t(bits & 1 ? on : 0)};
}

}  // namespace

std::optional<ColorPair> parseColorString(std::string_view text) {
    const size_t slash = text.find('/');
    std::string_view fore = text.substr(0, slash);
    std::string_view back = slash == std::string_view::npos ? std::string_view("W") : text.substr(slash + 1);
    if (back.find('/') != std::string_view::npos) return std::nullopt;
    auto f = parsePart(fore);
    auto b = parsePart(back);
    if (!f || !b) return std::nullopt;
    const bool brightBack = b->bright || f->blink || b->blink;
    return ColorPair{shade(f->bits, f->bright), shade(b->bits, brightBack)};
}

ColorPair colorPairOr(std::string_view text, ColorPair fallback) {
    auto parsed = parseColorString(text);
    return parsed ? *parsed : fallback;
}

Rgb rgbFromNumber(long number) {
    const unsigned long n = static_cast<unsigned long>(number);
    return {std::uint8_t(n & 0xFF), std::uint8_t((n >> 8) & 0xFF), std::uint8_t((n >> 16) & 0xFF)};
}

}  // namespace klango::ui
