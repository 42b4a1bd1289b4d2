// Tables written by the engine are read by a second dBase reader (python3-dbfread), and tables
// written by another writer (python3-dbf) are read by the engine, with the same values.
#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/dbf_test_helpers.h"
#include "test_helpers/test_helpers.h"

namespace klango::dbf {
namespace {

using test::runPython;
using test::TempHome;

TEST(DbfInterop, TrackTableReadsTheSameInDbfread) {
    TempHome home;
    auto file = home.data() / "Mixed.dbf";
    ASSERT_TRUE(DbfTable::create(file, test::trackFields(), base::Date{2024, 5, 1}));
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    struct Row {
        const char* title;  // CP1252
        const char* group;
        double year;
        double size;
        base::Date played;
        bool tagged;
    };
    const Row rows[] = {
        {"Song", "Die \xc4rzte", 2003, 3.5, {}, false},
        {"Gel\xf6scht", "x", 1999, 1, {}, false},
        {"\xdc" "ber Nacht", "Caf\xe9 \x80", 0, 1234.567, {2023, 12, 24}, true},
    };
    for (const Row& r : rows) {
        t->appendBlank();
        t->putC(t->fieldPos("TITLE"), r.title);
        t->putC(t->fieldPos("GROUP"), r.group);
        t->putN(t->fieldPos("YEAR"), r.year);
        t->putN(t->fieldPos("TRSIZE"), r.size);
        t->putD(t->fieldPos("PLAYDATE"), r.played);
        t->putL(t->fieldPos("TAGGED"), r.tagged);
        t->putC(t->fieldPos("PATH"), std::string(250, 'p'));
    }
    t->goTo(2);
    t->deleteRecord();
    t->close();

    const char* script = R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
print(len(t.fields), t.header.headerlen, t.header.recordlen, t.header.numrecords)
for r in t:
    print('|'.join(str(r[k]) for k in ('TITLE', 'GROUP', 'YEAR', 'TRSIZE', 'PLAYDATE', 'TAGGED', 'TRACK')), len(r['PATH']))
)";
    auto out = runPython(script, {file.string()});
    ASSERT_EQ(out.exitCode, 0) << out.output;
    EXPECT_EQ(out.output,
              "19 642 528 3\n"
              "Song|Die \xc3\x84rzte|2003|3.5|None|False|None 250\n"
              "\xc3\x9c" "ber Nacht|Caf\xc3\xa9 \xe2\x82\xac|0|1234.57|2023-12-24|True|None 250\n");
}

TEST(DbfInterop, TablesOfAnotherWriterReadTheSame) {
    TempHome home;
    auto file = home.data() / "foreign.dbf";
    const char* script = R"(
import sys, dbf
t = dbf.Table(sys.argv[1], 'NAME C(20); N N(5,2); D D; L L', dbf_type='db3', codepage='cp1252')
t.open(dbf.READ_WRITE)
t.append(('M\u00fcller', 1.5, dbf.Date(2024, 2, 29), True))
t.append(('gone', -2.25, None, False))
dbf.delete(t[1])
t.append(('', None, None, None))
t.append(('Minus', -2.5, dbf.Date(1901, 1, 1), False))
t.close()
)";
    auto out = runPython(script, {file.string()});
    ASSERT_EQ(out.exitCode, 0) << out.output;

    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->fieldCount(), 4);
    EXPECT_EQ(t->structure()[1].width, 5);
    EXPECT_EQ(t->structure()[1].decimals, 2);
    ASSERT_EQ(t->lastRec(), 4u);
    EXPECT_EQ(t->count(), 3u);
    t->goTop();
    EXPECT_EQ(base::trimRight(t->getC(0)), "M\xfcller");
    EXPECT_DOUBLE_EQ(t->getN(1), 1.5);
    EXPECT_EQ(t->getD(2), (base::Date{2024, 2, 29}));
    EXPECT_TRUE(t->getL(3));
    t->skip();
    EXPECT_EQ(t->recNo(), 3u);  // the deleted one is skipped
    EXPECT_EQ(base::trimRight(t->getC(0)), "");
    EXPECT_EQ(t->getN(1), 0);
    EXPECT_TRUE(t->getD(2).isEmpty());
    EXPECT_FALSE(t->getL(3));
    t->skip();
    EXPECT_DOUBLE_EQ(t->getN(1), -2.5);
    EXPECT_EQ(t->getD(2), (base::Date{1901, 1, 1}));

    // A change written by the engine reads back in the other writer; its code page mark is kept.
    t->goTo(1);
    t->putN(1, -7.125);
    t->appendBlank();
    t->putC(0, "neu");
    t->close();
    const char* check = R"(
import sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
print(t.codepage)
print(len(t), t[0].n, t[4].name.strip())
t.close()
)";
    out = runPython(check, {file.string()});
    ASSERT_EQ(out.exitCode, 0) << out.output;
    EXPECT_NE(out.output.find("1252"), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("5 -7.13 neu"), std::string::npos) << out.output;
}

// What a killed program leaves behind: after each flush another reader finds every record appended
// so far and the end byte after the last one, while the table is still open.
TEST(DbfInterop, FlushedAppendsAreWholeForAnotherReaderBeforeClose) {
    TempHome home;
    auto file = home.data() / "Open.dbf";
    ASSERT_TRUE(DbfTable::create(file, test::trackFields(), base::Date{2024, 5, 1}));
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    const char* script = R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252')
data = open(sys.argv[1], 'rb').read()
whole = len(data) == t.header.headerlen + t.header.numrecords * t.header.recordlen + 1 and data[-1] == 0x1A
print(t.header.numrecords, ','.join(r['TITLE'] for r in t), whole)
)";
    struct Step {
        int appends;       // records appended before the flush; none: record 1 is changed
        const char* seen;  // what the other reader prints
    };
    const Step steps[] = {
        {3, "3 t1,t2,t3 True\n"},
        {0, "3 x1,t2,t3 True\n"},
        {2, "5 x1,t2,t3,t4,t5 True\n"},
    };
    int n = 0;
    for (const Step& step : steps) {
        if (step.appends == 0) {
            t->goTo(1);
            t->putC(t->fieldPos("TITLE"), "x1");
        }
        for (int i = 0; i < step.appends; ++i) {
            t->appendBlank();
            t->putC(t->fieldPos("TITLE"), "t" + std::to_string(++n));
        }
        EXPECT_TRUE(t->flush());
        auto out = runPython(script, {file.string()});
        ASSERT_EQ(out.exitCode, 0) << out.output;
        EXPECT_EQ(out.output, step.seen);
    }
    t->close();
}

}  // namespace
}  // namespace klango::dbf
