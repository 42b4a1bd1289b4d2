#include "ui/help_index.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "test_helpers/test_helpers.h"

namespace klango::ui {
namespace {

TEST(HelpIndex, AnchorsOfTheTopics) {
    EXPECT_EQ(helpAnchor("Hauptauswahl"), "hauptauswahl");
    EXPECT_EQ(helpAnchor("Datensatz editieren"), "datensatz-editieren");
    EXPECT_EQ(helpAnchor("Statistik anzeigen"), "statistik-anzeigen");
    EXPECT_EQ(helpAnchor(" Playliste erzeugen"), "playliste-erzeugen");
    EXPECT_EQ(helpAnchor(base::utf8ToCp1252("Größe & Übersicht -- Teil 2!")), "groesse-uebersicht-teil-2");
    EXPECT_EQ(helpAnchor(""), "inhalt");
    EXPECT_EQ(helpAnchor(" - "), "inhalt");
}

TEST(HelpIndex, ReadsTheKeywordFileTolerantly) {
    test::TempHome home;
    const auto file = home.root() / "index.txt";
    test::writeFileBytes(file,
                         "Abspielen\ttitel-abspielen\n"
                         "Abspielz\xC3\xA4hler\ttabelle\r\n"
                         "ohne Tab\n"
                         "\tleer\n"
                         "kein Ziel\t \n"
                         "Suchen\tsuchen");
    const auto index = readHelpIndex(file);
    ASSERT_EQ(index.size(), 3u);
    EXPECT_EQ(index[0].keyword, "Abspielen");
    EXPECT_EQ(index[1].keyword, "Abspielz\xE4hler");
    EXPECT_EQ(index[1].anchor, "tabelle");
    EXPECT_EQ(index[2].anchor, "suchen");
    EXPECT_TRUE(readHelpIndex(home.root() / "fehlt.txt").empty());
}

}  // namespace
}  // namespace klango::ui
