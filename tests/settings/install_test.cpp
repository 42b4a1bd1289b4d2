// The installation into a temporary prefix: the program folder, the links, the launcher that
// desktop-file-validate accepts, the icon, and the update marker of an install over databases,
// which the installed klango-cli then runs from its own program folder. The prefix holds a blank
// and the characters the launcher's Exec line must escape.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_helpers/test_helpers.h"

namespace fs = std::filesystem;
using namespace klango;

TEST(Install, IntoAPrefixAndOverDatabases) {
    test::TempHome home;
    const fs::path prefix = home.root() / "Programme von \"Ich\" $HOME `x` 100%";
    const std::string install = "cmake --install " + test::shellQuote(KLANGO_BINARY_DIR) + " --prefix " +
                                test::shellQuote(prefix.string());
    auto r = test::runCommand(install);
    ASSERT_EQ(r.exitCode, 0) << r.output;

    const fs::path program = prefix / "lib" / "klango";
    for (const char* file : {"klango-cli", "DBPARAMS.INI", "help/klango.html", "help/index.txt"})
        EXPECT_TRUE(fs::is_regular_file(program / file)) << file;
    EXPECT_FALSE(fs::exists(program / "KLANGO.upd"));  // a fresh install has nothing to update
    EXPECT_EQ(fs::read_symlink(prefix / "bin" / "klango-cli"), fs::path("../lib/klango/klango-cli"));
    const bool gui = fs::exists(fs::path(KLANGO_BINARY_DIR) / "klango");
    if (gui) {
        EXPECT_TRUE(fs::is_regular_file(program / "klango"));
        EXPECT_TRUE(fs::is_regular_file(program / "art" / "klango.svg"));
        EXPECT_EQ(fs::read_symlink(prefix / "bin" / "klango"), fs::path("../lib/klango/klango"));
        EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/scalable/apps/klango.svg"));
        const fs::path desktop = prefix / "share/applications/klango.desktop";
        auto v = test::runCommand("desktop-file-validate " + test::shellQuote(desktop.string()));
        EXPECT_EQ(v.exitCode, 0) << v.output;
        // One quoted argument: '"', '`' and '$' escaped by a backslash, which the string escapes of
        // the file double; '%' doubled. TryExec is a plain string.
        const std::string root = home.root().string();
        const std::string text = test::readFileBytes(desktop);
        EXPECT_NE(text.find("\nExec=\"" + root +
                            "/Programme von \\\\\"Ich\\\\\" \\\\$HOME \\\\`x\\\\` 100%%/bin/klango\"\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("\nTryExec=" + (prefix / "bin" / "klango").string() + "\n"), std::string::npos)
            << text;
    }

    // The installed command-line tool runs through its link, in its own program folder.
    const std::string cli = test::shellQuote((prefix / "bin" / "klango-cli").string());
    r = test::runCommand(cli + " --help");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("update"), std::string::npos);
    ASSERT_EQ(test::runCommand(cli + " check rock").exitCode, 0);
    EXPECT_TRUE(fs::exists(program / "Daten" / "Rock.dbf"));

    // Installing again over the databases leaves the marker; the next start runs the update.
    r = test::runCommand(install);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fs::exists(program / "KLANGO.upd"));
    r = test::runCommand(cli + " update");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("1/1 Rock.dbf"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(program / "KLANGO.upd"));
}
