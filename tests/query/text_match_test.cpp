#include "query/text_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace klango::query {
namespace {

// Matching agrees with folding both texts and a plain find: named cases (every CP1252 letter
// pair, trailing and leading blanks, needles at either end) and many random texts over a small
// alphabet, so that near-misses and repeats of the first byte are common.
TEST(TextMatch, AgreesWithFoldingBothSides) {
    struct Case {
        std::string text, needle;
        bool found;
    };
    const std::vector<Case> cases = {
        {"Die \xC4rzte     ", "\xC4RZTE", true},  {"die \xE4rzte", "\xC4RZTE", true},
        {"\x9A" "kola", "\x8AKOLA", true},         {"\xFF" "es", "\x9F" "ES", true},
        {"Stra\xDF" "e", "STRASSE", false},        {"Stra\xDF" "e   ", "STRA\xDF" "E", true},
        {"Rock   ", "ROCK ", true},                {"Rock", "ROCK ", false},
        {"  Fire", "  FIRE", true},                 {"Fir", "FIRE", false},
        {"fifire", "FIRE", true},                   {"anything", "", true},
        {"\xF7", "\xD7", false},                    {"aXa", "A", true},
    };
    for (const Case& c : cases) EXPECT_EQ(containsFolded(c.text, c.needle), c.found) << c.text << " / " << c.needle;

    std::mt19937 rng(17);
    const std::string alphabet = "aAbB \xE4\xC4\xDF\xFF\x9F";
    auto random = [&](size_t maxLen) {
        std::string s(rng() % (maxLen + 1), ' ');
        for (char& ch : s) ch = alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string text = random(12), needle = foldCase(random(3));
        const bool expected = foldCase(text).find(needle) != std::string::npos;
        ASSERT_EQ(containsFolded(text, needle), expected) << '"' << text << "\" / \"" << needle << '"';
    }
}

}  // namespace
}  // namespace klango::query
