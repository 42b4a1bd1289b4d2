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
