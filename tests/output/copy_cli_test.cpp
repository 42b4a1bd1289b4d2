// klango-cli copy end to end: real files copied into a folder, the copy database read back by a
// second dBase reader, a missing medium named, and bad arguments refused without a change.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_helpers/test_helpers.h"
#include "transfer_test_support.h"

namespace klango::output {
namespace {

namespace fs = std::filesystem;

test::CommandResult cli(const test::TransferHome& h, const std::string& args) {
    return test::runCommand(test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(h.home.root().string()) + " " + args + " 2>&1");
}

TEST(CopyCli, CopiesTheMarkedTracksAndListsThemInTheCopyDatabase) {
    test::TransferHome h;
    h.open({{"", "src/a/1.mp3", "Abba", "Waterloo", 3, true, 70000},
            {"", "src/b/2.mp3", "Beck", "Loser", 0, true, 5000, "Mellow", 4},
            {"", "src/c/3.mp3", "Cure", "Lovesong", 1, false, 100}});
    h.areas.closeAll();
    const fs::path out = h.at("out");
    fs::create_directories(out);

    // Refused before anything is touched.
    for (const std::string& bad : {std::string("copy Musik"), "copy Musik --to " + h.at("nirgends").string(),
                                   "copy Musik --to " + out.string() + " --artist",
                                   "copy Musik --to " + out.string() + " --database musik"}) {
        const auto r = cli(h, bad);
        EXPECT_EQ(r.exitCode, 1) << bad << r.output;
        EXPECT_TRUE(fs::is_empty(out)) << bad;
    }
    EXPECT_NE(cli(h, "copy Musik --to " + out.string() + " --database musik").output.find("ge\xC3\xB6" "ffnete Datenbank"),
              std::string::npos);

    auto r = cli(h, "copy Musik --to " + test::shellQuote(out.string()) + " --flat --artist --number --database kopie");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("2 Titel kopiert"), std::string::npos) << r.output;
    EXPECT_EQ(test::readFileBytes(out / "Abba - 03 Waterloo.mp3"), test::readFileBytes(h.at("src/a/1.mp3")));
    EXPECT_EQ(test::readFileBytes(out / "Beck - Loser.mp3"), test::readFileBytes(h.at("src/b/2.mp3")));
    EXPECT_FALSE(fs::exists(out / "Cure - 01 Lovesong.mp3"));

    const auto read = test::runPython(
        "import sys, dbfread\n"
        "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
        "    print(r['PATH'], r['GROUP'], r['TAGGED'], r['RANGE'])\n",
        {(h.home.data() / "Kopie.dbf").string()});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.output, (out / "Abba - 03 Waterloo.mp3").string() + " Abba False 0\n" +
                               (out / "Beck - Loser.mp3").string() + " Beck False 4\n");
    // The marks of the copied tracks are cleared; the other keeps its state.
    const auto marks = test::runPython(
        "import sys, dbfread\nprint([r['TAGGED'] for r in dbfread.DBF(sys.argv[1])])\n",
        {(h.home.data() / "Musik.dbf").string()});
    EXPECT_EQ(marks.output, "[False, False, False]\n");

    // Rating from 4 on, all tracks, structured: only the second, below its folders.
    r = cli(h, "copy Musik --to " + out.string() + " --all --from-note 4");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    // The path below the drive (wherever the temporary folder is mounted) is kept.
    std::vector<std::string> copied;
    for (const auto& e : fs::recursive_directory_iterator(out))
        if (e.is_regular_file() && e.path().parent_path() != out) copied.push_back(e.path().string());
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_NE(copied[0].find("/src/b/2.mp3"), std::string::npos) << copied[0];
}

TEST(CopyCli, AMissingMediumEndsTheRunNamingIt) {
    test::TransferHome h;
    h.open({{"", "src/a.mp3", "A", "First"}, {"XYZ-Disk", "src/b.mp3", "B", "Second"}});
    h.areas.closeAll();
    fs::create_directories(h.at("out"));
    const auto r = cli(h, "copy Musik --to " + h.at("out").string() + " --flat");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("'XYZ-Disk'"), std::string::npos) << r.output;
    EXPECT_TRUE(fs::exists(h.at("out/First.mp3")));
    EXPECT_FALSE(fs::exists(h.at("out/Second.mp3")));
}

}  // namespace
}  // namespace klango::output
