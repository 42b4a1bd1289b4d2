#include "base/german_sort.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/cp1252.h"

namespace klango::base {
namespace {

std::string cp(const char* utf8) { return utf8ToCp1252(utf8); }

TEST(GermanSortTest, FormsOfSingleTexts) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"abc xyz", "ABC XYZ"},
        {"Ärzte", "ARZTE"},
        {"öl Über", "OL UBER"},
        {"Straße", "STRASSE"},
        {"Œuvre", "OEUVRE"},
        {"Ægir", "AEGIR"},
        {"Þór", "THOR"},
        {"Beyoncé", "BEYONCE"},
        {"Škoda Žižek", "SKODA ZIZEK"},
        {"„Über“ alles", "UBER“ ALLES"},
        {"\"The Wall\"", "THE WALL\""},
        {"(What's the Story)", "WHAT'S THE STORY)"},
        {"  2 Unlimited", "2 UNLIMITED"},
        {"...", ""},
        {"", ""},
    };
    for (const auto& [text, sortForm] : cases) {
        EXPECT_EQ(cp1252ToUtf8(germanSortText(cp(text))), sortForm) << text;
    }
    // The fixed-width key: an expansion is cut at the width, a short text padded with blanks.
    char key[6];
    germanSortKey(cp("Straße"), key, 6);
    EXPECT_EQ(std::string(key, 6), "STRASS");
    germanSortKey(cp("„Ab"), key, 6);
    EXPECT_EQ(std::string(key, 6), "AB    ");
}

TEST(GermanSortTest, NamesSortAsAGermanReaderExpects) {
    std::vector<std::string> names;
    for (const char* n : {"Zucchero", "Œuvre", "ärzte", "Abba", "„Bläck Fööss“", "Strasse", "Bach",
                          "Straße", "Ärzte", "Ötzi", "Oasis", "yello", "Émile", "Eagles"})
        names.push_back(cp(n));
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return germanSortText(a) < germanSortText(b); });
    std::vector<std::string> sorted;
    for (const std::string& n : names) sorted.push_back(cp1252ToUtf8(n));
    const std::vector<std::string> expected = {"Abba",   "ärzte", "Ärzte",   "Bach",   "„Bläck Fööss“",
                                               "Eagles", "Émile", "Oasis",   "Œuvre",  "Ötzi",
                                               "Strasse", "Straße", "yello", "Zucchero"};
    EXPECT_EQ(sorted, expected);
}

}  // namespace
}  // namespace klango::base
