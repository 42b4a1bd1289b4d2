#include "platform/program_start.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "test_helpers/test_helpers.h"

namespace fs = std::filesystem;
using klango::platform::commandFor;
using klango::platform::splitCommandLine;
using klango::platform::startDetached;

namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> pieces;
};

TEST(ProgramStartTest, SplitsByWindowsQuotingRules) {
    const std::vector<SplitCase> cases = {
        {"", {}},
        {"  \t ", {}},
        {"prog", {"prog"}},
        {"  prog  a   b  ", {"prog", "a", "b"}},
        {"prog\ta\tb", {"prog", "a", "b"}},
        // The program piece keeps backslashes and ends at the next quote, whatever follows.
        {R"("C:\Program Files\amp.exe" list.m3u)", {R"(C:\Program Files\amp.exe)", "list.m3u"}},
        {R"(C:\amp\amp.exe "C:\My Lists\a.m3u")", {R"(C:\amp\amp.exe)", R"(C:\My Lists\a.m3u)"}},
        {R"("a\"b c)", {R"(a\)", "b", "c"}},
        {R"("unclosed program)", {"unclosed program"}},
        // Backslashes: literal unless a quote follows.
        {R"(p a\\b c\d)", {"p", R"(a\\b)", R"(c\d)"}},
        {R"(p a\"b)", {"p", R"(a"b)"}},
        {R"(p a\\"b c")", {"p", R"(a\b c)"}},
        {R"(p a\\\"b)", {"p", R"(a\"b)"}},
        {R"(p "a\\")", {"p", R"(a\)"}},
        {R"(p "dir\\" next)", {"p", R"(dir\)", "next"}},
        // Quotes: "" outside gives an empty piece, inside a literal quote that closes the part.
        {R"(p "" x)", {"p", "", "x"}},
        {R"(p "a""b")", {"p", R"(a"b)"}},
        {R"(p "a""b c")", {"p", R"(a"b)", "c"}},
        {R"(p """a""")", {"p", R"("a")"}},
        {R"(p a"b c"d)", {"p", "ab cd"}},
        {R"(p "open to end)", {"p", "open to end"}},
        {R"(p /add "C:\Player\PARTY.M3U")", {"p", "/add", R"(C:\Player\PARTY.M3U)"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitCommandLine(c.line), c.pieces) << "line: " << c.line;
    }
}

TEST(ProgramStartTest, AddressesOpenWithXdgOpen) {
    auto call = commandFor("explorer http://www.example.de/");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->program, "xdg-open");
    EXPECT_EQ(call->args, std::vector<std::string>{"http://www.example.de/"});

    call = commandFor("start mailto:support@example.de");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->program, "xdg-open");
    EXPECT_EQ(call->args, std::vector<std::string>{"mailto:support@example.de"});

    call = commandFor("EXPLORER.EXE \"http://x/a b\"");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->program, "xdg-open");
    EXPECT_EQ(call->args, std::vector<std::string>{"http://x/a b"});

    // An address left empty (an empty setting) starts nothing.
    EXPECT_FALSE(commandFor("explorer "));
    EXPECT_FALSE(commandFor(""));
    EXPECT_FALSE(commandFor("   "));
}

TEST(ProgramStartTest, UnquotedProgramWithBlanksIsFoundLikeWindowsDoes) {
    klango::test::TempHome home;
    fs::path folder = home.root() / "My Player";
    fs::create_directories(folder);
    fs::path player = folder / "play";
    klango::test::writeFileBytes(player, "#!/bin/sh\n");
    fs::permissions(player, fs::perms::owner_all);

    auto call = commandFor(player.string() + " " + home.root().string() + "/Listen/a b.m3u");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->program, player.string());
    EXPECT_EQ(call->args, (std::vector<std::string>{home.root().string() + "/Listen/a", "b.m3u"}));

    // Without any existing prefix the first piece stays the program (and will fail to start).
    call = commandFor("/nonexistent/prog arg");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->program, "/nonexistent/prog");
    EXPECT_EQ(call->args, std::vector<std::string>{"arg"});
}

TEST(ProgramStartTest, CommandLineIsCp1252AndReachesTheSystemInUtf8) {
    auto call = commandFor("/usr/bin/player \"M\xfcller.m3u\"");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->args, std::vector<std::string>{"M\xc3\xbcller.m3u"});
}

bool waitForFile(const fs::path& file) {
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(file) && fs::file_size(file) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(ProgramStartTest, StartsDetachedWithoutShellQuoting) {
    klango::test::TempHome home;
    fs::path out = home.root() / "out file.txt";
    // The script and the file name travel as single arguments; no shell parses the call itself.
    const std::string script =
        "{ echo \"$1\"; cut -d' ' -f6 /proc/$$/stat; } > \"$2.part\"; mv \"$2.part\" \"$2\"";
    ASSERT_TRUE(startDetached("/bin/sh", {"-c", script, "sh", "hello; rm -rf nothing", out.string()}));
    ASSERT_TRUE(waitForFile(out));
    // A session of its own, so that closing our terminal or process group does not end it.
    std::string text = klango::test::readFileBytes(out);
    std::string first = text.substr(0, text.find('\n'));
    EXPECT_EQ(first, "hello; rm -rf nothing");
    std::string sid = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_NE(sid, std::to_string(::getsid(0)) + "\n");
    EXPECT_NE(sid, "0\n");
}

TEST(ProgramStartTest, StartedProgramInheritsNoDescriptorOfOurs) {
    klango::test::TempHome home;
    fs::path held = home.root() / "held.dbf";
    klango::test::writeFileBytes(held, "x");
    // Opened without close-on-exec, the way a library might hold a file.
    int fd = ::open(held.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, 57), 57);
    ::close(fd);
    fs::path out = home.root() / "fds.txt";
    const bool started = startDetached(
        "/bin/sh", {"-c", "ls /proc/$$/fd > \"$1.part\"; mv \"$1.part\" \"$1\"", "sh", out.string()});
    ::close(57);
    ASSERT_TRUE(started);
    ASSERT_TRUE(waitForFile(out));
    std::string fds = "\n" + klango::test::readFileBytes(out);
    EXPECT_NE(fds.find("\n0\n"), std::string::npos) << fds;
    EXPECT_EQ(fds.find("\n57\n"), std::string::npos) << fds;
}

TEST(ProgramStartTest, StartProgramRunsAWholeCommandLine) {
    klango::test::TempHome home;
    fs::path out = home.root() / "line.txt";
    ASSERT_TRUE(klango::platform::startProgram("/bin/sh -c \"echo started > '" + out.string() +
                                               ".part'; mv '" + out.string() + ".part' '" + out.string() +
                                               "'\""));
    ASSERT_TRUE(waitForFile(out));
    EXPECT_EQ(klango::test::readFileBytes(out), "started\n");
}

TEST(ProgramStartTest, ReportsAProgramThatCannotBeStarted) {
    klango::test::TempHome home;
    EXPECT_FALSE(startDetached((home.root() / "missing").string(), {}));
    EXPECT_FALSE(startDetached("klango-no-such-program-here", {"x"}));
    EXPECT_FALSE(startDetached(home.root().string(), {}));  // a folder
    EXPECT_FALSE(startDetached("", {}));
    EXPECT_FALSE(klango::platform::startProgram(""));
    EXPECT_FALSE(klango::platform::startProgram("/nonexistent/player list.m3u"));
}

}  // namespace
