// xBase colour strings such as "N*/W" (black on white) and "W*+/R" (bright white on red): a
// foreground and a background part separated by '/', each made of the colour letters N B G R W
// (combinations such as "BG" or "GR" mix them), '+' for the bright shade and '*' for a bright
// background. Parsed into plain RGB values that a view can draw. Any layer may call it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace klango::ui {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct ColorPair {
    Rgb foreground;
    Rgb background;
    friend bool operator==(const ColorPair&, const ColorPair&) = default;
};

// The colours of text, or nothing when it is no colour string (unknown letter, more than one '/',
// an empty part). Letters are case-blind, blanks are ignored, '+' and '*' may stand anywhere in
// their part. A missing background ("R+") means white.
//   plain:  N black, B blue, G green, BG cyan, R red, RB magenta, GR brown, W white
//   bright: N+ grey and the full shades of the others; W stays white.
// '*' in the foreground part (the blink flag of text screens) makes the background bright, the
// way a window without blinking shows it: "W*+/R" is white on bright red.
std::optional<ColorPair> parseColorString(std::string_view text);

// The same with a fallback of black on white for a string that does not parse.
ColorPair colorPairOr(std::string_view text, ColorPair fallback = {{0, 0, 0}, {255, 255, 255}});

// An xBase colour number (0x00BBGGRR, as NCOLB 13697023 is red 255, green 255, blue 208).
Rgb rgbFromNumber(long number);

}  // namespace klango::ui
