// The player's argument vector from the player setting: one program, its own switches, the add
// switch of known players and the playlist as one argument, whatever blanks and quotes it holds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/player_command.h"
#include "test_helpers/test_helpers.h"

using namespace klango;
using namespace klango::shell;

TEST(PlayerCommand, ArgumentVectors) {
    test::TempHome home;
    const std::string spaced = (home.root() / "My Player" / "play it").string();
    std::filesystem::create_directories(home.root() / "My Player");
    test::writeFileBytes(spaced, "#!/bin/sh\n");
    ::chmod(spaced.c_str(), 0755);
    const std::string list = "/tmp/a \"b\" $(touch x) \xC3\xBC.M3U";
    struct Case {
        std::string setting;
        bool append;
        std::string program;
        std::vector<std::string> args;
    } cases[] = {
        {"mpv", false, "mpv", {list}},
        {"mpv --shuffle", true, "mpv", {"--shuffle", list}},
        {"\"/opt/a b/vlc\" --x", true, "/opt/a b/vlc", {"--x", "--one-instance", "--playlist-enqueue", list}},
        {"/usr/bin/audacious -p", true, "/usr/bin/audacious", {"-p", "--enqueue", list}},
        {"/usr/bin/audacious -p", false, "/usr/bin/audacious", {"-p", list}},
        {spaced, true, spaced, {list}},  // the whole setting is the program, blanks and all
        {"  mpv  ", false, "mpv", {list}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        const auto call = playerCall(c.setting, c.append, list);
        ASSERT_TRUE(call);
        EXPECT_EQ(call->program, c.program);
        EXPECT_EQ(call->args, c.args);
    }
    EXPECT_FALSE(playerCall("", false, list));
    EXPECT_FALSE(playerCall("   ", true, list));
}
