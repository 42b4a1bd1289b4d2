#include "trackdb/check_data.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_names.h"
#include "base/cp1252.h"
#include "dbf/key_expression.h"
#include "dbf/dbf_table.h"
#include "base/error.h"
#include "dbf/work_areas.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/msg_meter.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using dbf::DbfTable;
using trackdb::track::Field;

namespace {

// The layout of the version before the file size was kept: the track record without TRSIZE.
dbf::Structure oldLayout() {
    dbf::Structure s = trackdb::trackStructure();
    s.pop_back();
    return s;
}

void addOld(DbfTable& t, const std::string& group, const std::string& title, int year, bool tagged) {
    t.appendBlank();
    t.putC(t.fieldPos("GROUP"), group);
    t.putC(t.fieldPos("TITLE"), title);
    t.putN(t.fieldPos("YEAR"), year);
    t.putL(t.fieldPos("TAGGED"), tagged);
}

std::vector<std::string> titles(DbfTable& t) {
    std::vector<std::string> out;
    for (t.goTop(); !t.eof(); t.skip()) out.emplace_back(base::trimRight(t.raw(Field::TITLE)));
    return out;
}

class CheckDataTest : public ::testing::Test {
protected:
    test::TempHome home;
    dbf::WorkAreas areas{home.data()};
    ui::ScriptedUi ui;

    bool indexFilesExist(const std::string& base) {
        for (int n = 1; n <= 6; ++n) {
            if (!fs::exists(home.data() / (base + std::to_string(n) + ".NTX"))) return false;
        }
        return true;
    }
};

}  // namespace

TEST_F(CheckDataTest, TrackRecordIs528BytesIn19Fields) {
    EXPECT_EQ(trackdb::NEWHEADLEN(trackdb::trackStructure()), 528);
    EXPECT_EQ(trackdb::trackStructure().size(), 19u);
    EXPECT_EQ(trackdb::trackStructure()[Field::TRSIZE].decimals, 2);
}

TEST_F(CheckDataTest, NewDatabaseIsCreatedEmptyWithSixIndexFilesAndNothingLeftOpen) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "rock"));
    EXPECT_TRUE(fs::exists(home.data() / "Rock.dbf"));
    EXPECT_EQ(fs::file_size(home.data() / "Rock.dbf"), 643u);
    EXPECT_TRUE(indexFilesExist("Rock"));
    EXPECT_TRUE(areas.aliases().empty());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Erzeugen der Datenbank ...", "Generieren Suchdateien ..."}));
    EXPECT_FALSE(ui.waitCursor());
}

TEST_F(CheckDataTest, NamesInAnyCaseMeanOneDatabase) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Rock"));
    {
        DbfTable* t = areas.use("Rock", "DMP3");
        ASSERT_NE(t, nullptr);
        addOld(*t, "Band", "Song", 2001, false);
        areas.closeAll();
    }
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "ROCK"));
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "rock.dbf"));
    int tables = 0;
    for (const auto& e : fs::directory_iterator(home.data())) tables += platform::matchesMask(e.path().filename().string(), "*.dbf");
    EXPECT_EQ(tables, 1);
    DbfTable* t = areas.use("rock", "DMP3");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->lastRec(), 1u);
}

TEST_F(CheckDataTest, CurrentTableIsTakenAsItIsWithoutCopy) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Pop"));
    DbfTable* t = areas.use("Pop", "DMP3");
    addOld(*t, "A", "x", 1999, true);
    areas.closeAll();
    std::string before = test::readFileBytes(home.data() / "Pop.dbf");
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Pop"));
    EXPECT_EQ(test::readFileBytes(home.data() / "Pop.dbf"), before);
    EXPECT_FALSE(fs::exists(home.data() / "Pop.bak"));
}

TEST_F(CheckDataTest, OldLayoutIsConvertedByFieldNameWithoutDeletedRecords) {
    const fs::path file = home.data() / "Alt.dbf";
    ASSERT_TRUE(DbfTable::create(file, oldLayout(), {2003, 5, 1}));
    {
        auto t = DbfTable::open(file);
        ASSERT_TRUE(t);
        addOld(*t, "Zappa", "Peaches", 1969, true);
        addOld(*t, "Gone", "Deleted", 1970, false);
        t->deleteRecord();
        addOld(*t, "Abba", "Waterloo", 1974, false);
        t->close();
    }
    ASSERT_EQ(fs::file_size(file), 32u + 32 * 18 + 2 + 3 * 519 + 1);

    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "alt"));
    EXPECT_FALSE(fs::exists(home.data() / "Alt.bak"));
    EXPECT_TRUE(indexFilesExist("Alt"));
    DbfTable* t = areas.use("Alt", "DMP3");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->fieldCount(), 19);
    EXPECT_EQ(t->recordLength(), 528);
    EXPECT_EQ(t->lastRec(), 2u);
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"Peaches", "Waterloo"}));
    t->goTo(1);
    EXPECT_EQ(t->getN(Field::YEAR), 1969);
    EXPECT_TRUE(t->getL(Field::TAGGED));
    EXPECT_EQ(t->getN(Field::TRSIZE), 0);
    t->goTo(2);
    EXPECT_EQ(std::string(base::trimRight(t->raw(Field::GROUP))), "Abba");
}

TEST_F(CheckDataTest, ConversionResumesFromALeftBackup) {
    // A stop during an earlier conversion left the old table as ".bak" and no table.
    const fs::path bak = home.data() / "Jazz.bak";
    ASSERT_TRUE(DbfTable::create(bak, oldLayout(), {2003, 5, 1}));
    {
        auto t = DbfTable::open(bak);
        addOld(*t, "Miles", "So What", 1959, false);
        t->close();
    }
    // ... and perhaps a half-written working copy of the new table.
    test::writeFileBytes(home.data() / "Jazz.tmp", "half");

    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Jazz"));
    EXPECT_FALSE(fs::exists(bak));
    EXPECT_FALSE(fs::exists(home.data() / "Jazz.tmp"));
    DbfTable* t = areas.use("Jazz", "DMP3");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"So What"}));
}

TEST_F(CheckDataTest, OrdersHoldTheTrackKeys) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Mix"));
    {
        DbfTable* t = areas.use("Mix", "DMP3");
        addOld(*t, "beta", "b", 0, false);
        addOld(*t, "Alpha", "z", 0, false);
        addOld(*t, "\xC4rzte", "a", 0, false);  // Ä sorts after the letters a to z
        areas.closeAll();
    }
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Mix"));
    DbfTable* t = areas.use("Mix", "DMP3");
    t->attachOrder(home.data() / "Mix1.NTX", dbf::compileKey(t->structure(), trackdb::trackOrders()[0].expression));
    t->attachOrder(home.data() / "Mix3.NTX", dbf::compileKey(t->structure(), trackdb::trackOrders()[2].expression));
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"z", "b", "a"}));
    t->setOrder(2);
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"a", "b", "z"}));
}

// Kept open, the table is what opening it with its six index files gives, and nothing else is open.
TEST_F(CheckDataTest, KeptOpenTheTableCarriesItsSixOrdersInTheirOrder) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Mix"));
    {
        DbfTable* t = areas.use("Mix", "DMP3");
        addOld(*t, "beta", "b", 0, false);
        addOld(*t, "Alpha", "z", 0, false);
        areas.closeAll();
    }
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Pop"));
    ASSERT_NE(areas.use("Pop", "DIMP"), nullptr);
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Mix", trackdb::CheckDataEnd::KeepOpen));
    EXPECT_EQ(areas.aliases(), (std::vector<std::string>{"DMP3"}));
    DbfTable* t = areas.get("DMP3");
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t->order(6), nullptr);
    EXPECT_EQ(t->order(7), nullptr);
    EXPECT_EQ(t->currentOrder(), t->order(1));
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"z", "b"}));  // artist order
    t->setOrder(3);
    EXPECT_EQ(titles(*t), (std::vector<std::string>{"b", "z"}));  // title order
    for (int n = 1; n <= 6; ++n) EXPECT_TRUE(fs::exists(home.data() / ("Mix" + std::to_string(n) + ".NTX")));
}

TEST_F(CheckDataTest, LockedTableIsReportedNotTakenAsChecked) {
    ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Busy"));
    auto holder = DbfTable::open(home.data() / "Busy.dbf");
    ASSERT_TRUE(holder);
    base::setNetErr(false);
    EXPECT_FALSE(trackdb::CHECKDATA(areas, ui, "Busy"));
    EXPECT_TRUE(base::netErr());
    base::setNetErr(false);
}

TEST(MsgMeter, RunsItsActionInsideTheWindowAndCloses) {
    ui::ScriptedUi ui;
    long seenTotal = 0;
    trackdb::MSGMETER(ui, [&](ui::Meter& m) {
        seenTotal = m.total();
        m.setTotal(3);
        m.setPosition(3);
    }, "Kopieren ...");
    EXPECT_EQ(seenTotal, 10);
    ASSERT_EQ(ui.calls().size(), 1u);
    EXPECT_EQ(ui.calls()[0], "meter: Bitte warten | Kopieren ...");
}

// ---- tables that must not be lost ------------------------------------------------------------

namespace {

test::CommandResult cli(const test::TempHome& home, const std::string& args) {
    return test::runCommand(test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " " + args);
}

// A table of the given layout with records "/musik/N.mp3" titled "Titel N"; the second deleted.
void makeTable(const fs::path& file, const dbf::Structure& layout, int records) {
    ASSERT_TRUE(DbfTable::create(file, layout, {2003, 5, 1}));
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    for (int i = 1; i <= records; ++i) {
        addOld(*t, "Gruppe", "Titel " + std::to_string(i), 1990, i % 3 == 0);
        t->putC(t->fieldPos("PATH"), "/musik/" + std::to_string(i) + ".mp3");
        if (i == 2) t->deleteRecord();
    }
    t->close();
}

// PATH of every visible record in record order, read with dbfread (which trusts the header's
// count, as other programs do).
std::string pathsByDbfread(const fs::path& file) {
    auto r = test::runPython(
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1252')\n"
        "print(len(t), ','.join(r['PATH'].split('/')[-1] for r in t))\n",
        {file.string()});
    return r.exitCode == 0 ? r.output : "python failed: " + r.output;
}

std::string expectedPaths(int records) {
    std::string out = std::to_string(records - 1) + " 1.mp3";
    for (int i = 3; i <= records; ++i) out += "," + std::to_string(i) + ".mp3";
    return out + "\n";
}

void put32At(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

}  // namespace

// One damaged byte in the header of a current or an older table: refused by check and by the
// read-only list, with a message naming the table; the file keeps every byte.
TEST(CheckDataDamage, OneDamagedHeaderByteIsRefusedAndTheFileKeptAsItIs) {
    struct Damage {
        const char* what;
        size_t at;
        int value;  // < 0: xor with -value
    };
    const size_t year = 32 + 32 * 6, path = 32 + 32 * 1, playdate = 32 + 32 * 10, tagged = 32 + 32 * 14;
    const std::vector<Damage> damages = {
        {"header length +1", 8, -1},       {"header length -1", 8, -3},
        {"record length", 10, -1},        {"text width", path + 16, -1},
        {"text width high byte", path + 17, 1},  {"numeric width", year + 16, 5},
        {"numeric decimals", year + 17, 1},      {"date width", playdate + 16, 9},
        {"logical decimals", tagged + 17, 1},    {"field name", path + 3, 'I'},
        {"field type", year + 11, 'C'},          {"field list end", 32 + 32 * 18, ' '},
    };
    for (bool old : {false, true}) {
        for (const Damage& d : damages) {
            SCOPED_TRACE(std::string(d.what) + (old ? " (older layout)" : ""));
            test::TempHome home;
            const fs::path file = home.data() / "Rock.dbf";
            makeTable(file, old ? oldLayout() : trackdb::trackStructure(), 4);
            std::string bytes = test::readFileBytes(file);
            if (!old && d.at == 32 + 32 * 18) continue;  // TRSIZE's name, tested as a name
            bytes[d.at] = d.value < 0 ? char(bytes[d.at] ^ -d.value) : char(d.value);
            test::writeFileBytes(file, bytes);
            for (const char* command : {"list Rock --csv", "check Rock"}) {
                auto r = cli(home, command);
                EXPECT_NE(r.exitCode, 0) << command << ": " << r.output;
                EXPECT_NE(r.output.find("Die Datenbank Rock.dbf ist besch\xC3\xA4" "digt"), std::string::npos) << r.output;
            }
            EXPECT_TRUE(test::readFileBytes(file) == bytes) << "the table was changed";
            EXPECT_FALSE(fs::exists(home.data() / "Rock.bak"));
        }
    }
}

// Older layouts convert when every field is a track field of a fitting type, PATH among them;
// a field that is not (a damaged name, a foreign table) would be lost: refused, untouched.
TEST(CheckDataDamage, OnlyTrackLayoutsAreConverted) {
    auto without = [](std::vector<std::string> names) {
        dbf::Structure s;
        for (const auto& f : trackdb::trackStructure())
            if (std::find(names.begin(), names.end(), f.name) == names.end()) s.push_back(f);
        return s;
    };
    dbf::Structure extra = oldLayout();
    extra.push_back({"COMMENT", dbf::FieldType::kCharacter, 10, 0});
    dbf::Structure widerPath = oldLayout();
    widerPath[Field::PATH].width = 254;
    struct Case {
        const char* what;
        dbf::Structure layout;
        bool converts;
    };
    const std::vector<Case> cases = {
        {"without TRSIZE", oldLayout(), true},
        {"without four newer fields", without({"TRSIZE", "TAGREAD", "IMPORT", "INFO"}), true},
        {"an unknown field", extra, false},
        {"without PATH", without({"PATH", "TRSIZE"}), false},
        {"a handful of track fields", without({"DISCNAME", "ALBUM", "GENRE", "YEAR", "TIME", "TRACK", "PLAYED"}), false},
        {"a wider PATH", widerPath, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempHome home;
        dbf::WorkAreas areas{home.data()};
        ui::ScriptedUi ui;
        const fs::path file = home.data() / "Alt.dbf";
        makeTable(file, c.layout, 5);
        const std::string before = test::readFileBytes(file);
        EXPECT_EQ(trackdb::CHECKDATA(areas, ui, "Alt"), c.converts);
        if (c.converts) {
            EXPECT_EQ(pathsByDbfread(file), expectedPaths(5));
            EXPECT_FALSE(fs::exists(home.data() / "Alt.bak"));
        } else {
            EXPECT_TRUE(test::readFileBytes(file) == before) << "the table was changed";
            ASSERT_FALSE(ui.calls().empty());
            EXPECT_EQ(ui.calls().back().rfind("alert: | Die Datenbank Alt.dbf ist besch\xE4" "digt", 0), 0u) << ui.calls().back();
        }
        EXPECT_TRUE(areas.aliases().empty());
    }
}

// A conversion that cannot write every record (file size limit, SIGXFSZ ignored, so each write
// beyond it fails and the handler answers "Default") keeps the table as it was and fails; the
// next check with room converts it completely.
TEST(CheckDataConversion, ATableIsReplacedOnlyByACompleteCopy) {
    const int records = 120;
    const uint64_t newSize = 32 + 32 * 19 + 2 + uint64_t(records - 1) * 528 + 1;
    for (uint64_t limit : {uint64_t(700), newSize / 2, newSize - 1}) {
        SCOPED_TRACE(limit);
        test::TempHome home;
        const fs::path file = home.data() / "Alt.dbf";
        makeTable(file, oldLayout(), records);
        const std::string before = test::readFileBytes(file);
        auto r = test::runCommand("trap '' XFSZ; prlimit --fsize=" + std::to_string(limit) + " " +
                                  test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                                  test::shellQuote(home.root().string()) + " check Alt");
        EXPECT_NE(r.exitCode, 0) << r.output;
        EXPECT_NE(r.output.find("konnte nicht umgewandelt werden"), std::string::npos) << r.output;
        EXPECT_TRUE(test::readFileBytes(file) == before) << "the table was changed";
        EXPECT_FALSE(fs::exists(home.data() / "Alt.tmp"));
        EXPECT_FALSE(fs::exists(home.data() / "Alt.bak"));

        auto again = cli(home, "check Alt");
        ASSERT_EQ(again.exitCode, 0) << again.output;
        EXPECT_EQ(pathsByDbfread(file), expectedPaths(records));
        EXPECT_EQ(fs::file_size(file), newSize);
    }
}

// Index files that cannot be written make the check fail.
TEST(CheckDataConversion, IndexFilesThatCannotBeWrittenFailTheCheck) {
    test::TempHome home;
    ASSERT_EQ(cli(home, "check Rock").exitCode, 0);
    fs::remove(home.data() / "Rock3.NTX");
    fs::create_directories(home.data() / "Rock3.NTX" / "im Weg");
    auto r = cli(home, "check Rock");
    EXPECT_NE(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Die Suchdateien der Datenbank Rock.dbf konnten nicht angelegt werden"), std::string::npos)
        << r.output;
}

// A stop while appending leaves the header's count behind and no end mark: the whole records
// are kept and told in the header; a cut-off record part goes.
TEST(CheckDataRepair, CountAndEndMarkFollowTheWholeRecords) {
    struct Case {
        const char* what;
        uint32_t storedCount;
        int cut;        // bytes taken from the end of the file (the end mark is one)
        int extra;      // bytes of a record part appended after that
    };
    const std::vector<Case> cases = {
        {"count 0, no end mark", 0, 1, 0},
        {"old count, end mark", 2, 0, 0},
        {"count 0, part of a record", 0, 1, 100},
        {"count more than the records", 9, 0, 0},
        {"right count, no end mark", 6, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempHome home;
        dbf::WorkAreas areas{home.data()};
        ui::ScriptedUi ui;
        const fs::path file = home.data() / "Neu.dbf";
        makeTable(file, trackdb::trackStructure(), 6);
        const std::string good = test::readFileBytes(file);
        std::string bytes = good.substr(0, good.size() - size_t(c.cut)) + std::string(size_t(c.extra), ' ');
        put32At(bytes, 4, c.storedCount);
        test::writeFileBytes(file, bytes);
        ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "Neu"));
        EXPECT_TRUE(test::readFileBytes(file).substr(8) == good.substr(8)) << "not the table as closed";  // but the date
        EXPECT_EQ(pathsByDbfread(file), expectedPaths(6));
    }
}

// A stale working table goes; an existing backup is never overwritten: the old table is kept
// under the next free name, and the user is told. Backups take the case of the table file,
// whatever case the name is given in.
TEST(CheckDataBackups, LeftFilesAreClearedAndBackupsNeverOverwritten) {
    struct Case {
        const char* what;
        std::string stem;                  // the table file's name as it lies on the disk
        std::vector<std::string> backups;  // present before
        const char* keptAs;                // where the old table is kept ("" none)
    };
    const std::vector<Case> cases = {
        {"no backup", "Alt", {}, ""},
        {"a backup", "Alt", {"Alt.bak"}, "Alt.1.bak"},
        {"two backups", "Alt", {"Alt.bak", "Alt.1.bak"}, "Alt.2.bak"},
        {"a table named in capitals", "ALT", {"ALT.bak"}, "ALT.1.bak"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempHome home;
        dbf::WorkAreas areas{home.data()};
        ui::ScriptedUi ui;
        const fs::path table = home.data() / (c.stem + ".dbf");
        makeTable(table, oldLayout(), 3);
        const std::string old = test::readFileBytes(table);
        for (const auto& b : c.backups) test::writeFileBytes(home.data() / b, "Sicherung " + b);
        test::writeFileBytes(home.data() / (c.stem + ".tmp"), "halb");
        ASSERT_TRUE(trackdb::CHECKDATA(areas, ui, "alt"));
        EXPECT_FALSE(fs::exists(home.data() / (c.stem + ".tmp")));
        EXPECT_EQ(pathsByDbfread(table), expectedPaths(3));
        for (const auto& b : c.backups) EXPECT_EQ(test::readFileBytes(home.data() / b), "Sicherung " + b);
        if (*c.keptAs) {
            EXPECT_TRUE(test::readFileBytes(home.data() / c.keptAs) == old) << c.keptAs << " is not the old table";
            ASSERT_FALSE(ui.calls().empty());
            EXPECT_EQ(ui.calls().back(), "info: Sicherung | Es gibt schon eine Sicherung " + c.backups.front() +
                                             "; sie bleibt erhalten. Die Datenbank vor der Umwandlung ist als " +
                                             c.keptAs + " gesichert.");
        } else {
            EXPECT_FALSE(fs::exists(home.data() / (c.stem + ".bak")));
        }
    }
}
