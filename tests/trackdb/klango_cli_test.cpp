// End-to-end runs of klango-cli against a temporary program folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;
using namespace klango;
using trackdb::track::Field;

namespace {

test::CommandResult cli(const test::TempHome& home, const std::string& args) {
    return test::runCommand(test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " " + args);
}

void addTrack(dbf::DbfTable& t, const std::string& group, const std::string& title, int track, double size) {
    t.appendBlank();
    t.putC(Field::GROUP, group);
    t.putC(Field::TITLE, title);
    t.putN(Field::TRACK, track);
    t.putN(Field::TRSIZE, size);
    t.putC(Field::PATH, "/musik/" + title + ".mp3");
}

}  // namespace

TEST(KlangoCli, CheckCreatesTheDatabaseAndReportsIt) {
    test::TempHome home;
    auto r = cli(home, "check rock");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Felder: 19"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Satzlänge: 528"), std::string::npos);
    EXPECT_NE(r.output.find("Datensätze: 0"), std::string::npos);
    EXPECT_NE(r.output.find("Rock6.NTX"), std::string::npos);
    EXPECT_TRUE(fs::exists(home.data() / "Rock.dbf"));

    // A table the import named in capitals keeps its index files in the same case, whatever case
    // the name is given in.
    ASSERT_TRUE(dbf::DbfTable::create(home.data() / "MUSIK.dbf", trackdb::trackStructure(), base::Date{2026, 12, 9}));
    for (const char* name : {"musik", "Musik", "MUSIK"}) {
        ASSERT_EQ(cli(home, std::string("list ") + name).exitCode, 0) << name;
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(home.data()))
            if (entry.path().filename().string().rfind("Rock", 0) != 0) files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"MUSIK.dbf", "MUSIK1.NTX", "MUSIK2.NTX", "MUSIK3.NTX", "MUSIK4.NTX",
                                                   "MUSIK5.NTX", "MUSIK6.NTX"}))
            << name;
    }
}

// The name is CP1252 inside the program; on the disk the file is named in UTF-8 like any other.
TEST(KlangoCli, ADatabaseNameWithAnUmlautIsAUtf8FileName) {
    test::TempHome home;
    auto r = cli(home, "check \xC3\x84rzte");  // "Ärzte"
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fs::exists(home.data() / "\xC3\x84rzte.dbf"));
    EXPECT_TRUE(fs::exists(home.data() / "\xC3\x84rzte1.NTX"));
    EXPECT_EQ(cli(home, "list \xC3\x84rzte").exitCode, 0);
}

TEST(KlangoCli, ListWritesCsvInTheChosenOrder) {
    test::TempHome home;
    ASSERT_EQ(cli(home, "check Mix").exitCode, 0);
    {
        dbf::WorkAreas areas(home.data());
        auto* t = areas.use("Mix", "DMP3");
        ASSERT_NE(t, nullptr);
        addTrack(*t, "Zeta", "Alpha, \"quoted\"", 2, 3.5);
        addTrack(*t, "\xC4rzte", "Beta", 1, 0);  // Ärzte, stored in CP1252
        areas.closeAll();
    }
    auto r = cli(home, "list mix --csv --order 3");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const std::string header =
        "DISCNAME,PATH,ALBUM,GROUP,TITLE,GENRE,YEAR,TIME,TRACK,PLAYED,PLAYDATE,PLAYTIME,RANGE,INFO,TAGGED,TAG,"
        "TAGREAD,IMPORT,TRSIZE\r\n";
    ASSERT_EQ(r.output.substr(0, header.size()), header);
    const std::string first = ",\"/musik/Alpha, \"\"quoted\"\".mp3\",,Zeta,\"Alpha, \"\"quoted\"\"\",,0,,2,0,,,0,,F,0,,0,3.50\r\n";
    const std::string second = ",/musik/Beta.mp3,,\xC3\x84rzte,Beta,,0,,1,0,,,0,,F,0,,0,0.00\r\n";
    EXPECT_EQ(r.output.substr(header.size()), first + second);

    auto byArtist = cli(home, "list Mix --csv");
    ASSERT_EQ(byArtist.exitCode, 0);
    EXPECT_LT(byArtist.output.find("\xC3\x84rzte"), byArtist.output.find("Zeta"));  // Ä sorts with the A

    auto aligned = cli(home, "list Mix");
    ASSERT_EQ(aligned.exitCode, 0);
    EXPECT_NE(aligned.output.find("DISCNAME"), std::string::npos);
    EXPECT_NE(aligned.output.find("\xC3\x84rzte"), std::string::npos);
}

TEST(KlangoCli, BadInputGivesAMessageAndExitCodeOne) {
    test::TempHome home;
    for (const char* args : {"list Nirgends", "list", "list Mix --order 7", "bogus", "check", ""}) {
        auto r = cli(home, args);
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_FALSE(r.output.empty()) << args;
    }
    EXPECT_EQ(cli(home, "--help").exitCode, 0);
}

TEST(KlangoCli, RefusesACorruptTableWithoutTouchingIt) {
    test::TempHome home;
    test::writeFileBytes(home.data() / "Kaputt.dbf", std::string("\x03garbage", 8));
    auto r = cli(home, "list Kaputt");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_EQ(test::readFileBytes(home.data() / "Kaputt.dbf"), std::string("\x03garbage", 8));
}

namespace {

// An MP3 file with nothing but an ID3v1 tag: title, artist, album, year, genre byte.
void writeId3v1File(const fs::path& file, const std::string& title, const std::string& artist,
                    const std::string& album, const std::string& year, unsigned char genre) {
    std::string tag = "TAG";
    auto field = [&](const std::string& v, size_t w) { tag += v.substr(0, w) + std::string(w - std::min(w, v.size()), '\0'); };
    field(title, 30);
    field(artist, 30);
    field(album, 30);
    field(year, 4);
    field("", 30);
    tag += char(genre);
    fs::create_directories(file.parent_path());
    test::writeFileBytes(file, std::string(1000, '\0') + tag);
}

}  // namespace

TEST(KlangoCli, ImportFillsUpdatesAndReportsTheCounters) {
    test::TempHome home;
    const fs::path source = home.root() / "Quelle";
    writeId3v1File(source / "Abba" / "Gold" / "waterloo.mp3", "Waterloo", "ABBA", "Gold", "1974", 13);
    writeId3v1File(source / "b.mp3", "Song", "Band", "Best", "2003", 17);

    auto r = cli(home, "import " + test::shellQuote(source.string()) + " --db Pop");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Angefügt: 2"), std::string::npos) << r.output;
    auto list = cli(home, "list Pop --csv --order 3");
    ASSERT_EQ(list.exitCode, 0) << list.output;
    EXPECT_NE(list.output.find("/b.mp3,Best,Band,Song,"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("Gold,ABBA,Waterloo,"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(",ID3,3,"), std::string::npos);
    EXPECT_LT(list.output.find("Song"), list.output.find("Waterloo"));  // title order

    fs::remove(source / "b.mp3");
    writeId3v1File(source / "c.mp3", "Neu", "Band", "Best", "2004", 17);
    auto update = cli(home, "import " + test::shellQuote(source.string()) + " --db Pop --update --delete-missing");
    ASSERT_EQ(update.exitCode, 0) << update.output;
    EXPECT_NE(update.output.find("Angefügt: 1"), std::string::npos) << update.output;
    EXPECT_NE(update.output.find("Gelöscht: 1"), std::string::npos) << update.output;
    auto after = cli(home, "list Pop --csv");
    EXPECT_EQ(after.output.find("/b.mp3"), std::string::npos);
    EXPECT_NE(after.output.find("/c.mp3"), std::string::npos);

    EXPECT_EQ(cli(home, "import " + test::shellQuote((home.root() / "fehlt").string())).exitCode, 1);
    EXPECT_EQ(cli(home, "import " + test::shellQuote(source.string()) + " --delete-missing").exitCode, 1);
}

namespace {

// The header's record count and whether the file is whole for another reader: the end byte
// right after the last record counted.
std::string headerOf(const fs::path& table) {
    auto r = test::runPython(R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1])
data = open(sys.argv[1], 'rb').read()
print(t.header.numrecords, len(data) == t.header.headerlen + t.header.numrecords * t.header.recordlen + 1 and data[-1] == 0x1A)
)",
                             {table.string()});
    return r.output;
}

}  // namespace

// A full disk (a file size limit: the table holds the header and four records) stops the import
// at the first record that cannot be written; the count tells what reached the table and the
// exit code the failure. A re-import leaves the old table as it was.
TEST(KlangoCli, AFullDiskStopsTheImportAndFailsIt) {
    struct Case {
        const char* name;
        bool before;          // a first import of one file made the database
        const char* options;  // of the import under the limit
        const char* added;
        const char* header;  // record count and whether the file is whole
    };
    const Case cases[] = {
        {"new", false, "", "Angefügt: 4\n", "4 True\n"},
        {"update", true, " --update", "Angefügt: 3\n", "4 True\n"},
        {"re-import", true, "", "Angefügt: 0\n", "1 True\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome home;
        const fs::path source = home.root() / "Quelle";
        for (int i = 0; i < 8; ++i)
            writeId3v1File(source / ("s" + std::to_string(i) + ".mp3"), "Titel " + std::to_string(i), "Band", "", "", 0);
        const fs::path table = home.data() / "VOLL.dbf";
        std::string old;
        if (c.before) {
            const fs::path first = home.root() / "Erst";
            fs::create_directories(first);
            fs::copy_file(source / "s0.mp3", first / "s0.mp3");
            ASSERT_EQ(cli(home, "import " + test::shellQuote(first.string()) + " --db Voll").exitCode, 0);
            old = test::readFileBytes(table);
        }
        // The limit's signal is ignored, so that writes beyond it fail as on a full disk.
        auto r = test::runCommand("trap '' XFSZ; prlimit --fsize=3000 " + test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") +
                                  " --home " + test::shellQuote(home.root().string()) + " import " +
                                  test::shellQuote(source.string()) + " --db Voll" + c.options);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("Die Datenbank konnte nicht geschrieben werden"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(c.added), std::string::npos) << r.output;
        EXPECT_EQ(headerOf(table), c.header);
        if (c.before && std::string(c.options).empty()) {
            EXPECT_TRUE(test::readFileBytes(table) == old) << "the old table changed";
        }
        std::vector<std::string> files;  // no working table left behind
        for (const auto& entry : fs::directory_iterator(home.data())) files.push_back(entry.path().filename().string());
        EXPECT_EQ(files, std::vector<std::string>{"VOLL.dbf"});
    }
}

// A name CP1252 cannot hold is refused by every command before anything is created.
TEST(KlangoCli, ADatabaseNameOutsideTheCodePageIsRefused) {
    test::TempHome home;
    const fs::path source = home.root() / "Quelle";
    writeId3v1File(source / "a.mp3", "Titel", "Band", "", "", 0);
    for (const std::string& args : std::vector<std::string>{"check \xE6\x97\xA5\xE6\x9C\xAC", "list \xE6\x97\xA5\xE6\x9C\xAC",
                                   "import " + test::shellQuote(source.string()) + " --db Caf\xC3\xA9\xE2\x88\x9E"}) {
        auto r = cli(home, args);
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_NE(r.output.find("Der Datenbankname enthält Zeichen"), std::string::npos) << r.output;
        EXPECT_TRUE(fs::is_empty(home.data())) << args;
    }
}

// The program folder may follow the command as well; a missing folder name is refused.
TEST(KlangoCli, HomeAfterTheCommand) {
    test::TempHome home;
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli");
    auto r = test::runCommand(cli + " check pop --home " + test::shellQuote(home.root().string()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fs::exists(home.data() / "Pop.dbf"));
    r = test::runCommand(cli + " list pop --csv --home");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("--home braucht einen Ordner"), std::string::npos) << r.output;
}
