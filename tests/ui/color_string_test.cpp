#include "ui/color_string.h"

#include <gtest/gtest.h>

namespace klango::ui {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

TEST(ColorString, TheStringsTheProgramUses) {
    EXPECT_EQ(parseColorString("N*/W"), (ColorPair{kBlack, kWhite}));
    EXPECT_EQ(parseColorString("W*+/R"), (ColorPair{kWhite, Rgb{255, 0, 0}}));
    EXPECT_EQ(parseColorString("N/W"), (ColorPair{kBlack, kWhite}));
    EXPECT_EQ(parseColorString("R+/W"), (ColorPair{Rgb{255, 0, 0}, kWhite}));
    // The main window: black on the bright black of the text palette, a mid grey.
    EXPECT_EQ(parseColorString("N*/N"), (ColorPair{kBlack, Rgb{128, 128, 128}}));
}

TEST(ColorString, MixedLettersShadesAndSpelling) {
    EXPECT_EQ(parseColorString("BG/N"), (ColorPair{Rgb{0, 128, 128}, kBlack}));
    EXPECT_EQ(parseColorString("GB+/RB"), (ColorPair{Rgb{0, 255, 255}, Rgb{128, 0, 128}}));
    EXPECT_EQ(parseColorString("gr+/b"), (ColorPair{Rgb{255, 255, 0}, Rgb{0, 0, 128}}));
    EXPECT_EQ(parseColorString(" +W / B+ "), (ColorPair{kWhite, Rgb{0, 0, 255}}));
    EXPECT_EQ(parseColorString("N+"), (ColorPair{Rgb{128, 128, 128}, kWhite}));
}

TEST(ColorString, RefusesWhatIsNoColourString) {
    EXPECT_FALSE(parseColorString(""));
    EXPECT_FALSE(parseColorString("/W"));
    EXPECT_FALSE(parseColorString("N/"));
    EXPECT_FALSE(parseColorString("X/W"));
    EXPECT_FALSE(parseColorString("N/W/R"));
    EXPECT_FALSE(parseColorString("+*/W"));
    EXPECT_EQ(colorPairOr("Q/Q"), (ColorPair{kBlack, kWhite}));
}

TEST(ColorString, ColourNumbersAreBlueGreenRed) {
    EXPECT_EQ(rgbFromNumber(13697023), (Rgb{255, 255, 208}));
    EXPECT_EQ(rgbFromNumber(9240575), (Rgb{255, 255, 140}));
    EXPECT_EQ(rgbFromNumber(1), (Rgb{1, 0, 0}));
}

}  // namespace
}  // namespace klango::ui
