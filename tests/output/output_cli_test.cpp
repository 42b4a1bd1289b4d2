// klango-cli mark, playlist and play end to end: a track whose folder and name hold blanks,
// quotes, "$(...)" and umlauts goes through the import, the playlist and a recording fake player
// (no shell may see the names), and mpv plays the written playlist.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "test_helpers/test_helpers.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

test::CommandResult cli(const test::TempHome& home, const std::string& args) {
    return test::runCommand(test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " " + args);
}

// Waits for the detached player to leave its record.
std::string awaitFile(const fs::path& file) {
    for (int i = 0; i < 100 && !fs::exists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(file) ? test::readFileBytes(file) : std::string("(player not started)");
}

}  // namespace

TEST(OutputCli, PlaylistOfAnAwkwardPathThroughTheFakePlayerAndMpv) {
    test::TempHome home;
    const fs::path folder = home.root() / "a \"b\" $(touch PWNED) Ärzte";
    fs::create_directories(folder);
    const fs::path song = folder / "Müller 'x' $(touch PWNED2).mp3";
    auto made = test::runCommand("head -c 44100 /dev/zero | lame --quiet -r -s 44.1 -m m --bitwidth 16 - " +
                                 test::shellQuote(song.string()));
    ASSERT_EQ(made.exitCode, 0) << made.output;

    const fs::path player = home.root() / "fake player" / "record args";
    fs::create_directories(player.parent_path());
    const fs::path args = home.root() / "args.txt";
    test::writeFileBytes(player, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                     test::shellQuote(args.string()) + ".part\nmv " + test::shellQuote(args.string()) +
                                     ".part " + test::shellQuote(args.string()) + "\n");
    ::chmod(player.c_str(), 0755);
    test::writeFileBytes(home.root() / "KLANGO.INI", "[Player]\r\nPlayPath=" + player.string() + "\r\n");

    auto r = cli(home, "import " + test::shellQuote(folder.string()) + " --db party");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = cli(home, "mark party --where " + test::shellQuote("title=nobody"));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Markiert: 0"), std::string::npos);
    r = cli(home, "playlist party --play");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("keine Title"), std::string::npos) << r.output;

    r = cli(home, "mark party --all");
    ASSERT_NE(r.output.find("Markiert: 1"), std::string::npos) << r.output;
    r = cli(home, "playlist party --play --out " + test::shellQuote((home.root() / "out" / "Fest").string()));
    EXPECT_NE(r.exitCode, 0) << "a missing folder is a write failure";
    EXPECT_NE(r.output.find("konnte nicht geschrieben werden"), std::string::npos) << r.output;

    r = cli(home, "playlist party --play");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const fs::path m3u = home.root() / "KLANGO.M3U";
    EXPECT_EQ(test::readFileBytes(m3u), song.string() + "\r\n");
    EXPECT_EQ(awaitFile(args), m3u.string() + "\n");
    r = cli(home, "list party --csv");
    EXPECT_NE(r.output.find(",1,20"), std::string::npos) << "played once, today: " << r.output;

    fs::remove(args);
    r = cli(home, "play party --record 1");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(awaitFile(args), m3u.string() + "\n");
    EXPECT_FALSE(fs::exists(home.root() / "PWNED"));
    EXPECT_FALSE(fs::exists(home.root() / "PWNED2"));
    EXPECT_FALSE(fs::exists(fs::current_path() / "PWNED2"));

    // A real player reads the playlist: the umlaut path opens, and no stray entry fails.
    r = test::runCommand("mpv --no-config --vo=null --ao=null --end=0.2 --playlist=" + test::shellQuote(m3u.string()) +
                         " 2>&1");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("Errors"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Failed"), std::string::npos) << r.output;
}
