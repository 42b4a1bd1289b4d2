#include "base/profile_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "test_helpers/test_helpers.h"

using namespace klango::base;
using klango::test::readFileBytes;
using klango::test::TempHome;
using klango::test::writeFileBytes;
namespace fs = std::filesystem;

namespace {

// Puts bytes into a file and drops the cached parse, as another program editing the file would.
void handEdit(const fs::path& file, const std::string& bytes) {
    writeFileBytes(file, bytes);
    clearProfileCache();
}

size_t entriesIn(const fs::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(ProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
    TempHome home;
    fs::path ini = home.root() / "KLANGO.INI";
    EXPECT_EQ(readProfileString(ini, "System", "DblClick", "1"), "1");
    EXPECT_EQ(readProfileString(home.root() / "no" / "such.ini", "A", "b", "x"), "x");
    handEdit(ini, "[System]\r\nMarkDate=0\r\n");
    EXPECT_EQ(readProfileString(ini, "System", "DblClick", "1"), "1");
    EXPECT_EQ(readProfileString(ini, "Player", "MarkDate", "d"), "d");
    EXPECT_EQ(readProfileString(ini, "System", "MarkDate", "1"), "0");
}

TEST(ProfileRead, SectionsAndKeysAreCaseBlindAndTrimmed) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini, "[ system ]\nDBLCLICK =  2 \t\n\tFontSize\t=\t3\n");
    EXPECT_EQ(readProfileString(ini, "System", "DblClick", "?"), "2");
    EXPECT_EQ(readProfileString(ini, "SYSTEM", "fontsize", "?"), "3");
    EXPECT_EQ(readProfileString(ini, "system ", " FontSize", "?"), "3");
}

TEST(ProfileRead, QuotesAndEmptyValues) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini, "[S]\nq=\" und \"\nsingle=' x '\nmixed=\"abc'\nlone=\"\nempty=\ninner=a \"b\" c\n");
    EXPECT_EQ(readProfileString(ini, "S", "q", "?"), " und ");
    EXPECT_EQ(readProfileString(ini, "S", "single", "?"), " x ");
    EXPECT_EQ(readProfileString(ini, "S", "mixed", "?"), "\"abc'");
    EXPECT_EQ(readProfileString(ini, "S", "lone", "?"), "\"");
    EXPECT_EQ(readProfileString(ini, "S", "empty", "?"), "");  // present but empty: not the default
    EXPECT_EQ(readProfileString(ini, "S", "inner", "?"), "a \"b\" c");
}

TEST(ProfileRead, CommentsGarbageAndDuplicatesFollowTheFirstOccurrence) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini,
             "top=before any section\n"
             "[S]\n"
             ";k=commented\n"
             "just some words\n"
             "[broken\n"
             "=nokey\n"
             "\x01\xff\x80 binary\n"
             "k=first\n"
             "k=second\n"
             "[T]\nk=other\n"
             "[s]\nk=late\nextra=in second S\n");
    EXPECT_EQ(readProfileString(ini, "S", "k", "?"), "first");
    EXPECT_EQ(readProfileString(ini, "T", "k", "?"), "other");
    EXPECT_EQ(readProfileString(ini, "S", "extra", "?"), "?");
    EXPECT_EQ(readProfileString(ini, "S", ";k", "?"), "?");
    EXPECT_EQ(readProfileString(ini, "", "top", "?"), "?");
    EXPECT_EQ(profileKeys(ini, "s"), (std::vector<std::string>{"k"}));
}

TEST(ProfileRead, LfCrlfBomAndMissingFinalLineEnd) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini, "\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\ny=2");
    EXPECT_EQ(readProfileString(ini, "A", "x", "?"), "1");
    EXPECT_EQ(readProfileString(ini, "B", "y", "?"), "2");
}

TEST(ProfileWrite, CreatesFileSectionAndKeyWithCrlf) {
    TempHome home;
    fs::path ini = home.root() / "KLANGO.INI";
    ASSERT_TRUE(writeProfileString(ini, "Project", "MyPath", "/opt/klango"));
    EXPECT_EQ(readFileBytes(ini), "[Project]\r\nMyPath=/opt/klango\r\n");
    ASSERT_TRUE(writeProfileString(ini, "System", "DblClick", "2"));
    ASSERT_TRUE(writeProfileString(ini, "Project", "Program", "Klango"));
    EXPECT_EQ(readFileBytes(ini),
              "[Project]\r\nMyPath=/opt/klango\r\nProgram=Klango\r\n\r\n[System]\r\nDblClick=2\r\n");
    EXPECT_EQ(readProfileString(ini, "system", "dblclick", "?"), "2");
    EXPECT_EQ(entriesIn(home.root()), 2u);  // KLANGO.INI and Daten: no temporary file left
}

TEST(ProfileWrite, KeepsEveryOtherLineAndTheKeysSpelling) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini,
             "; Klango settings\n"
             "[System]\n"
             "  DBLCLICK = 1\n"
             "garbage line\n"
             "FontSize=1\n"
             "\n"
             "\n"
             "[Player]\n"
             "PlayPath=\"C:\\Programme\\amp.exe\"\n");
    ASSERT_TRUE(writeProfileString(ini, "system", "dblclick", "         3"));
    ASSERT_TRUE(writeProfileString(ini, "System", "MarkDate", "0"));
    EXPECT_EQ(readFileBytes(ini),
              "; Klango settings\r\n"
              "[System]\r\n"
              "DBLCLICK=         3\r\n"
              "garbage line\r\n"
              "FontSize=1\r\n"
              "MarkDate=0\r\n"
              "\r\n"
              "\r\n"
              "[Player]\r\n"
              "PlayPath=\"C:\\Programme\\amp.exe\"\r\n");
    // The reader trims, so a right-aligned number still reads as its digits.
    EXPECT_EQ(readProfileString(ini, "System", "DblClick", "?"), "3");
    EXPECT_EQ(readProfileString(ini, "Player", "PlayPath", "?"), "C:\\Programme\\amp.exe");
    EXPECT_EQ(profileKeys(ini, "SYSTEM"), (std::vector<std::string>{"DBLCLICK", "FontSize", "MarkDate"}));
}

TEST(ProfileWrite, ReadsSeeOwnWritesAtOnce) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    // Same size and, within the file system's time resolution, the same time: only the
    // invalidation by the writer itself makes the second value visible.
    for (char c = '0'; c <= '9'; ++c) {
        ASSERT_TRUE(writeProfileString(ini, "S", "k", std::string(1, c)));
        EXPECT_EQ(readProfileString(ini, "S", "k", "?"), std::string(1, c));
    }
}

TEST(ProfileWrite, RefusesTextThatWouldBreakTheLines) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    ASSERT_TRUE(writeProfileString(ini, "S", "k", "old"));
    const std::string before = readFileBytes(ini);
    EXPECT_FALSE(writeProfileString(ini, "S", "k", "two\r\n[Evil]\r\nx=1"));
    EXPECT_FALSE(writeProfileString(ini, "S", "a=b", "1"));
    EXPECT_FALSE(writeProfileString(ini, "S", ";k", "1"));
    EXPECT_FALSE(writeProfileString(ini, "S", "[k", "1"));
    EXPECT_FALSE(writeProfileString(ini, "S]", "k", "1"));
    EXPECT_FALSE(writeProfileString(ini, "S", " ", "1"));
    EXPECT_FALSE(writeProfileString(ini, "", "k", "1"));
    EXPECT_EQ(readFileBytes(ini), before);
    EXPECT_TRUE(writeProfileString(ini, "S", "k", "a = b ; c"));  // '=' and ';' inside a value are fine
    EXPECT_EQ(readProfileString(ini, "S", "k", "?"), "a = b ; c");
}

TEST(ProfileWrite, FailureLeavesTheOldFileIntact) {
    TempHome home;
    // A folder in the way of the file: nothing is written, nothing is lost.
    fs::create_directory(home.root() / "dir.ini");
    EXPECT_FALSE(writeProfileString(home.root() / "dir.ini", "S", "k", "v"));
    EXPECT_TRUE(fs::is_directory(home.root() / "dir.ini"));
    EXPECT_FALSE(writeProfileString(home.root() / "missing" / "a.ini", "S", "k", "v"));
    EXPECT_FALSE(fs::exists(home.root() / "missing"));
}

TEST(ProfileWrite, UnwritableFolderLeavesTheOldFileIntact) {
    TempHome home;
    fs::path folder = home.root() / "ro";
    fs::create_directory(folder);
    fs::path ini = folder / "KLANGO.INI";
    handEdit(ini, "[S]\nk=old\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    bool immutable = false;
    if (access(folder.c_str(), W_OK) == 0) {
        // Permission bits do not bind root; an immutable folder does.
        immutable =
            klango::test::runCommand("chattr +i " + klango::test::shellQuote(folder.string())).exitCode == 0;
    }
    std::ofstream probe(folder / "probe");
    const bool folderWritable = bool(probe);
    probe.close();
    if (folderWritable) {
        fs::remove(folder / "probe");
        fs::permissions(folder, fs::perms::owner_all);
        GTEST_SKIP() << "cannot make a folder unwritable here";
    }
    EXPECT_FALSE(writeProfileString(ini, "S", "k", "new"));
    EXPECT_EQ(readFileBytes(ini), "[S]\nk=old\n");
    EXPECT_EQ(readProfileString(ini, "S", "k", "?"), "old");
    if (immutable) klango::test::runCommand("chattr -i " + klango::test::shellQuote(folder.string()));
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(entriesIn(folder), 1u);
}

TEST(ProfileWrite, WriteErrorHalfWayKeepsTheOldFile) {
    TempHome home;
    fs::path ini = home.root() / "a.ini";
    handEdit(ini, "[S]\nk=old\n");
    // A file size limit makes the write of the new content fail part way, like a full disk.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool ok = writeProfileString(ini, "S", "k", std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(readFileBytes(ini), "[S]\nk=old\n");
    EXPECT_EQ(entriesIn(home.root()), 2u);  // a.ini and Daten: the half-written temporary is gone
}

TEST(ProfileWrite, WritesThroughASymbolicLink) {
    TempHome home;
    fs::path real = home.root() / "real.ini";
    fs::path link = home.root() / "link.ini";
    handEdit(real, "[S]\nk=1\n");
    fs::create_symlink(real, link);
    ASSERT_TRUE(writeProfileString(link, "S", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readProfileString(real, "S", "k", "?"), "2");
    EXPECT_EQ(readProfileString(link, "S", "k", "?"), "2");
}
