// klango-cli search, filter and stats end to end against a temporary program folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "query_fixture.h"

using namespace klango;
using test::Track;
namespace fs = std::filesystem;

namespace {

test::CommandResult cli(const test::TempHome& home, const std::string& args) {
    return test::runCommand(test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " " + args + " 2>&1");
}


bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(QueryCli, SearchFilterAndStatsEndToEnd) {
    test::TempHome home;
    test::writeTracks(home.data() / "Rock.dbf",
                      {{.group = "Die \xC4rzte", .album = "Jazz ist anders", .title = "Lasse redn", .genre = "Punk",
                        .year = 2007, .time = "3:45", .played = 2},
                       {.group = "Beatles", .album = "Help", .title = "Yesterday", .genre = "Rock", .year = 1965,
                        .time = "2:05", .tagged = true}});
    test::writeTracks(home.data() / "abba.dbf",
                      {{.group = "Abba", .album = "Gold", .title = "SOS", .genre = "Pop", .year = 1975, .time = "3:20"}});

    auto r = cli(home, "search --artist \xC3\xA4rzte Rock");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(has(r.output, "Lasse redn") && !has(r.output, "Yesterday")) << r.output;

    r = cli(home, "search --all --words 'sos gold' --or1");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(has(r.output, "SOS") && !has(r.output, "Yesterday")) << r.output;
    EXPECT_TRUE(fs::exists(home.data() / "MP3SUCH.dbf"));

    r = cli(home, "search --all --title nirgends");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(has(r.output, "Die Suche war erfolglos.")) << r.output;
    EXPECT_FALSE(fs::exists(home.data() / "MP3SUCH.dbf"));

    // A damaged database is named and passed over; the hits of the others are printed, and the
    // exit code says that not everything was searched.
    test::writeFileBytes(home.data() / "Kaputt.dbf", "keine Tabelle");
    r = cli(home, "search --all --artist beatles");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(has(r.output, "nicht durchsucht: Kaputt.dbf") && has(r.output, "Yesterday")) << r.output;
    fs::remove(home.data() / "Kaputt.dbf");
    fs::remove(home.data() / "MP3SUCH.dbf");

    r = cli(home, "filter Rock --genre Rock --genre Punk --year 1965");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(has(r.output, "Yesterday") && !has(r.output, "Lasse redn")) << r.output;
    r = cli(home, "filter Rock --marks 'Markierte Datens\xC3\xA4tze'");
    EXPECT_TRUE(has(r.output, "Yesterday") && !has(r.output, "Lasse redn")) << r.output;
    r = cli(home, "filter Rock --hits 'Top 10'");
    EXPECT_LT(r.output.find("Lasse redn"), r.output.find("Yesterday")) << r.output;

    r = cli(home, "stats Rock");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(has(r.output, "Laufzeit: 0 Std. 5 Min. 50 Sek.\n")) << r.output;
    EXPECT_TRUE(has(r.output, "gespielte Titel: 1 = 50,00 %\n")) << r.output;
    EXPECT_TRUE(has(r.output, "Kapazität: 0,00 MBytes\n")) << r.output;

    // The rows come in the order of the name index: "A_x" before "Abba", which the file listing
    // gives the other way round.
    test::writeTracks(home.data() / "a_x.dbf", {{.group = "X", .title = "x"}});
    r = cli(home, "stats --all");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_LT(r.output.find(" A_x|"), r.output.find(" Abba|")) << r.output;
    EXPECT_LT(r.output.find(" Abba|"), r.output.find(" Rock|")) << r.output;
    EXPECT_TRUE(has(r.output, "gesamte Laufzeit: 0.00:09:10 (tt.hh:mm:ss)   in: 4 Titel   mit: 0,00 MB")) << r.output;
    EXPECT_TRUE(fs::exists(home.root() / "Statist.dbf"));
    EXPECT_TRUE(fs::exists(home.root() / "MP3TEMP.NTX"));
    fs::remove(home.data() / "a_x.dbf");

    // Bad input: a clear message, nothing written.
    const std::pair<const char*, const char*> bad[] = {
        {"filter Rock --marks Alles", "--marks kennt"},
        {"filter Rock --year neunzehn", "--year braucht"},
        {"filter Rock", "mindestens ein Kriterium"},
        {"filter Nirgends --genre Pop", "nicht gefunden"},
        {"search Rock", "braucht einen Suchbegriff"},
        {"search --artist x", "Datenbanknamen oder --all"},
        {"stats --bunt", "unbekanntes Argument"},
    };
    for (const auto& [args, message] : bad) {
        r = cli(home, args);
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_TRUE(has(r.output, message)) << args << ": " << r.output;
    }
    EXPECT_FALSE(fs::exists(home.data() / "Nirgends.dbf"));
}
