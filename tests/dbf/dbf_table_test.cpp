#include "dbf/dbf_table.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "base/cp1252.h"
#include "dbf/dbf_test_helpers.h"
#include "dbf/order.h"
#include "test_helpers/test_helpers.h"

namespace klango::dbf {
namespace {

using test::ErrorCatcher;
using test::readFileBytes;
using test::TempHome;
using test::trackFields;
using test::writeFileBytes;

constexpr base::Date kToday{2024, 3, 17};

uint32_t le16(const std::string& b, size_t at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }
uint32_t le32(const std::string& b, size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

Structure smallFields() {
    return {{"NAME", FieldType::kCharacter, 10, 0},
            {"NUM", FieldType::kNumeric, 6, 2},
            {"DAY", FieldType::kDate, 8, 0},
            {"OK", FieldType::kLogical, 1, 0}};
}

// A table of n records NAME "R1".."Rn", NUM = i.
std::filesystem::path makeNumbered(const TempHome& home, int n, const char* name = "numbers.dbf") {
    auto file = home.data() / name;
    EXPECT_TRUE(DbfTable::create(file, smallFields(), kToday));
    auto t = DbfTable::open(file);
    for (int i = 1; i <= n; ++i) {
        t->appendBlank();
        t->putC(0, "R" + std::to_string(i));
        t->putN(1, i);
    }
    t->close();
    return file;
}

std::vector<std::string> namesInView(DbfTable& t) {
    std::vector<std::string> out;
    for (t.goTop(); !t.eof(); t.skip()) out.emplace_back(base::trim(t.getC(0)));
    return out;
}

// ---- the bytes the engine writes -------------------------------------------------------------

TEST(DbfTableBytes, EmptyTrackTableIsExactAndSurvivesOpenClose) {
    TempHome home;
    auto file = home.data() / "Rock.dbf";
    ASSERT_TRUE(DbfTable::create(file, trackFields(), kToday));
    std::string b = readFileBytes(file);
    ASSERT_EQ(b.size(), 643u);
    EXPECT_EQ(uint8_t(b[0]), 0x03);
    EXPECT_EQ(uint8_t(b[1]), 124);  // 2024 - 1900
    EXPECT_EQ(uint8_t(b[2]), 3);
    EXPECT_EQ(uint8_t(b[3]), 17);
    EXPECT_EQ(le32(b, 4), 0u);
    EXPECT_EQ(le16(b, 8), 642u);
    EXPECT_EQ(le16(b, 10), 528u);
    for (int i = 12; i < 32; ++i) EXPECT_EQ(b[size_t(i)], 0) << "header byte " << i;
    // Descriptors: name NUL padded, type, zeros, width, decimals, zeros.
    const char* d = b.data() + 32;
    EXPECT_EQ(std::string(d, 11), std::string("DISCNAME\0\0\0", 11));
    EXPECT_EQ(d[11], 'C');
    EXPECT_EQ(uint8_t(d[16]), 50);
    const char* path = b.data() + 64;
    EXPECT_EQ(uint8_t(path[16]), 250);
    EXPECT_EQ(path[17], 0);
    const char* trsize = b.data() + 32 + 18 * 32;
    EXPECT_EQ(std::string(trsize, 6), "TRSIZE");
    EXPECT_EQ(trsize[11], 'N');
    EXPECT_EQ(uint8_t(trsize[16]), 9);
    EXPECT_EQ(uint8_t(trsize[17]), 2);
    for (int k = 0; k < 19; ++k) {
        const char* desc = b.data() + 32 + 32 * k;
        for (int i = 12; i < 16; ++i) EXPECT_EQ(desc[i], 0);
        for (int i = 18; i < 32; ++i) EXPECT_EQ(desc[i], 0);
    }
    EXPECT_EQ(uint8_t(b[640]), 0x0D);
    EXPECT_EQ(uint8_t(b[641]), 0x00);
    EXPECT_EQ(uint8_t(b[642]), 0x1A);

    // Opening and closing without appends leaves every byte.
    {
        test::ClockAt later(base::Date{2025, 1, 1});
        auto t = DbfTable::open(file);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->fieldCount(), 19);
        EXPECT_EQ(t->recordLength(), 528);
        EXPECT_EQ(t->lastRec(), 0u);
        EXPECT_TRUE(t->eof());
        EXPECT_TRUE(t->bof());
        EXPECT_EQ(t->recNo(), 1u);
        t->close();
    }
    EXPECT_EQ(readFileBytes(file), b);
}

TEST(DbfTableBytes, OneTrackRecordIsExact) {
    TempHome home;
    test::ClockAt clock(base::Date{2003, 11, 5});
    auto file = home.data() / "one.dbf";
    ASSERT_TRUE(DbfTable::create(file, trackFields(), base::Date{2003, 1, 1}));
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    t->appendBlank();
    EXPECT_EQ(t->recNo(), 1u);
    t->putC(t->fieldPos("TITLE"), "Song");
    t->putN(t->fieldPos("YEAR"), 2003);
    t->putN(t->fieldPos("TRSIZE"), 3.5);
    t->putL(t->fieldPos("TAGGED"), false);
    t->close();
    EXPECT_FALSE(t->isOpen());

    std::string b = readFileBytes(file);
    ASSERT_EQ(b.size(), 1171u);
    EXPECT_EQ(le32(b, 4), 1u);
    EXPECT_EQ(uint8_t(b[1]), 103);  // close stamps today's date after appends
    EXPECT_EQ(uint8_t(b[2]), 11);
    EXPECT_EQ(uint8_t(b[3]), 5);
    std::string rec = b.substr(642, 528);
    auto fields = trackFields();
    auto at = [&](const char* name) {
        const FieldDef& f = fields[size_t(fieldIndexOf(fields, name))];
        return rec.substr(size_t(f.offset), size_t(f.width));
    };
    EXPECT_EQ(rec[0], ' ');
    EXPECT_EQ(at("TITLE"), "Song" + std::string(36, ' '));
    EXPECT_EQ(at("YEAR"), "2003");
    EXPECT_EQ(at("TRSIZE"), "     3.50");
    EXPECT_EQ(at("TAGGED"), "F");
    EXPECT_EQ(at("PLAYDATE"), std::string(8, ' '));
    EXPECT_EQ(at("TRACK"), "  ");  // never written: blank
    EXPECT_EQ(uint8_t(b[1170]), 0x1A);

    auto again = DbfTable::open(file);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->lastRec(), 1u);
    EXPECT_EQ(again->getN(again->fieldPos("TRACK")), 0);
    EXPECT_TRUE(again->getD(again->fieldPos("PLAYDATE")).isEmpty());
    EXPECT_DOUBLE_EQ(again->getN(again->fieldPos("TRSIZE")), 3.5);
}

TEST(DbfTableBytes, ChangesAndFlagsKeepHeaderAndLength) {
    TempHome home;
    auto file = makeNumbered(home, 3);
    std::string before = readFileBytes(file);
    {
        test::ClockAt later(base::Date{2030, 6, 6});
        auto t = DbfTable::open(file);
        t->goTo(2);
        t->putC(0, "changed");
        t->goTo(3);  // moving writes record 2
        t->deleteRecord();
        t->close();
    }
    std::string after = readFileBytes(file);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 32), before.substr(0, 32));
    const size_t header = le16(before, 8);
    const size_t len = le16(before, 10);
    EXPECT_EQ(after.substr(header + len + 1, 7), "changed");
    EXPECT_EQ(after[header + 2 * len], '*');
    EXPECT_EQ(after.back(), '\x1A');
}

TEST(DbfTableBytes, OnlyTheChangedRecordIsWritten) {
    TempHome home;
    auto file = makeNumbered(home, 3);
    auto t = DbfTable::open(file);
    const size_t header = le16(readFileBytes(file), 8);
    const size_t len = 26;
    // Bytes of record 1 changed behind the table's back must survive a change of record 2.
    {
        std::fstream disk(file, std::ios::in | std::ios::out | std::ios::binary);
        disk.seekp(std::streamoff(header + 1));
        disk.write("XX", 2);
    }
    t->goTo(2);
    t->putC(0, "two");
    t->flush();
    std::string now = readFileBytes(file);
    EXPECT_EQ(now.substr(header + 1, 2), "XX");
    EXPECT_EQ(now.substr(header + len + 1, 3), "two");
    EXPECT_EQ(now.substr(header + 2 * len + 1, 2), "R3");
}

// A bulk change holds the writes back until it ends and then writes the changed records, and
// only those: bytes of an unchanged record between two runs stay as they are on the disk.
TEST(DbfTableBytes, ABulkChangeWritesItsRecordsWhenItEnds) {
    TempHome home;
    auto file = makeNumbered(home, 6);
    auto t = DbfTable::open(file);
    const size_t header = le16(readFileBytes(file), 8);
    const size_t len = 26;
    {
        std::fstream disk(file, std::ios::in | std::ios::out | std::ios::binary);
        disk.seekp(std::streamoff(header + 3 * len + 1));  // record 4, behind the table's back
        disk.write("XX", 2);
    }
    {
        DbfTable::BulkChange outer(*t);
        for (uint32_t r : {1u, 2u, 3u, 5u, 6u}) {
            t->goTo(r);
            t->putN(1, 100 + r);
        }
        {
            DbfTable::BulkChange inner(*t);  // nested: the outer one decides
            t->goTo(2);
            t->putC(0, "two");
        }
        t->goTo(1);
        EXPECT_EQ(readFileBytes(file).substr(header + 1, 2), "R1");  // nothing written yet
        EXPECT_EQ(t->getN(1), 101);                                 // the table knows it already
    }
    const std::string now = readFileBytes(file);
    EXPECT_EQ(now.substr(header + len + 1, 3), "two");
    EXPECT_EQ(now.substr(header + 3 * len + 1, 2), "XX");
    t->close();
    auto again = DbfTable::open(file);
    std::vector<double> nums;
    for (uint32_t r = 1; r <= 6; ++r) {
        again->goTo(r);
        nums.push_back(again->getN(1));
    }
    EXPECT_EQ(nums, (std::vector<double>{101, 102, 103, 4, 105, 106}));
}

// Closing inside a bulk change loses nothing.
TEST(DbfTableBytes, CloseDuringABulkChangeWritesEverything) {
    TempHome home;
    auto file = makeNumbered(home, 3);
    auto t = DbfTable::open(file);
    {
        DbfTable::BulkChange bulk(*t);
        t->goTo(3);
        t->putC(0, "three");
        t->close();
    }
    auto again = DbfTable::open(file);
    again->goTo(3);
    EXPECT_EQ(base::trim(again->getC(0)), "three");
}

// ---- reading foreign files -------------------------------------------------------------------

// A hand-made header: descriptors given as (name bytes, type, width byte, decimals byte).
struct RawField {
    std::string name;
    char type;
    uint8_t width;
    uint8_t decimals;
};
std::string rawHeader(const std::vector<RawField>& fields, uint8_t version = 0x03, uint32_t count = 0,
                      size_t padding = 0) {
    std::string h(32, '\0');
    h[0] = char(version);
    for (int i = 0; i < 4; ++i) h[size_t(4 + i)] = char((count >> (8 * i)) & 0xFF);
    for (const auto& f : fields) {
        std::string d(32, '\0');
        d.replace(0, std::min<size_t>(f.name.size(), 11), f.name.substr(0, 11));
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = char(f.decimals);
        h += d;
    }
    h += '\x0D';
    h += std::string(padding == 0 ? 1 : padding, '\0');
    size_t len = h.size();
    h[8] = char(len & 0xFF);
    h[9] = char(len >> 8);
    return h;
}

TEST(DbfTableReading, CountComesFromTheFileLengthNotTheHeader) {
    TempHome home;
    auto file = makeNumbered(home, 7);
    std::string b = readFileBytes(file);
    b[4] = 5;  // stale count
    writeFileBytes(file, b);
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->lastRec(), 7u);
    t->goBottom();
    EXPECT_EQ(base::trim(t->getC(0)), "R7");
    t.reset();

    // Without the end byte, and with the last record cut short.
    b.pop_back();
    writeFileBytes(file, b);
    EXPECT_EQ(DbfTable::open(file)->lastRec(), 7u);
    b.resize(b.size() - 3);
    writeFileBytes(file, b);
    t = DbfTable::open(file);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->lastRec(), 6u);
    // Appending over the cut record leaves a clean file.
    t->appendBlank();
    t->putC(0, "new");
    t->close();
    std::string fixed = readFileBytes(file);
    EXPECT_EQ(fixed.size(), le16(fixed, 8) + 7u * 26u + 1u);
    EXPECT_EQ(le32(fixed, 4), 7u);
    EXPECT_EQ(fixed.back(), '\x1A');
}

TEST(DbfTableReading, NamesWidthsAndVersionsOfForeignFiles) {
    TempHome home;
    auto file = home.data() / "foreign.dbf";
    // 11-character name, C width 4 with decimals byte 1 (= 260), lower-case name, memo version.
    std::string h = rawHeader({{"ABCDEFGHIJK", 'C', 4, 1}, {"small", 'N', 3, 0}, {"when", 'D', 0, 0}}, 0x83);
    std::string rec = " " + std::string(259, 'x') + "y" + " 42" + "20240229";
    writeFileBytes(file, h + rec + "\x1A");
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->structure()[0].name, "ABCDEFGHIJ");
    EXPECT_EQ(t->structure()[0].width, 260);
    EXPECT_EQ(t->structure()[1].name, "SMALL");
    EXPECT_EQ(t->structure()[2].width, 8);  // a date is 8 whatever the byte says
    EXPECT_EQ(t->recordLength(), 1 + 260 + 3 + 8);
    ASSERT_EQ(t->lastRec(), 1u);
    EXPECT_EQ(t->getC(0).back(), 'y');
    EXPECT_EQ(t->getN(t->fieldPos("small")), 42);
    EXPECT_EQ(t->getD(2), (base::Date{2024, 2, 29}));
}

TEST(DbfTableReading, PaddedHeaderEndsAtTheEndMark) {
    TempHome home;
    auto file = home.data() / "vfp.dbf";
    // A 263-byte area after the end mark, as some writers leave it: the header length counts it.
    std::string h = rawHeader({{"NAME", 'C', 5, 0}, {"OK", 'L', 1, 0}}, 0xF5, 1, 264);
    writeFileBytes(file, h + " helloT" + "\x1A");
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fieldCount(), 2);
    EXPECT_EQ(t->lastRec(), 1u);
    EXPECT_EQ(t->getC(0), "hello");
    EXPECT_TRUE(t->getL(1));
}

// ---- values ----------------------------------------------------------------------------------

TEST(DbfTableValues, NumbersDatesLogicalsRoundTrip) {
    TempHome home;
    auto file = home.data() / "v.dbf";
    ASSERT_TRUE(DbfTable::create(file, smallFields(), kToday));
    auto t = DbfTable::open(file);
    t->appendBlank();
    t->putC(0, "a text longer than ten");
    t->putN(1, -12.345);
    t->putD(2, base::Date{1999, 12, 31});
    t->putL(3, true);
    EXPECT_EQ(t->getC(0), "a text lon");
    EXPECT_EQ(t->raw(1), "-12.35");  // half away from zero
    EXPECT_DOUBLE_EQ(t->getN(1), -12.35);
    EXPECT_EQ(t->raw(2), "19991231");
    EXPECT_EQ(t->raw(3), "T");
    t->putD(2, base::Date{});
    EXPECT_EQ(t->raw(2), "        ");
    t->putC(0, "ab");
    EXPECT_EQ(t->getC(0), "ab        ");
}

TEST(DbfTableValues, TooWideNumberFillsStarsAndTellsTheHandler) {
    TempHome home;
    auto file = home.data() / "w.dbf";
    ASSERT_TRUE(DbfTable::create(file, trackFields(), kToday));
    auto t = DbfTable::open(file);
    t->appendBlank();
    const int track = t->fieldPos("TRACK");
    ErrorCatcher errors;
    t->putN(track, 123);
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].genCode, base::kErrDataWidth);
    EXPECT_TRUE(errors.errors[0].canDefault);
    EXPECT_EQ(t->raw(track), "**");
    t->putN(track, 99);
    EXPECT_EQ(t->raw(track), "99");
    EXPECT_EQ(errors.errors.size(), 1u);
}

TEST(DbfTableValues, BadFieldIndexIsAnErrorNotACrash) {
    TempHome home;
    auto file = makeNumbered(home, 1);
    auto t = DbfTable::open(file);
    ErrorCatcher errors;
    t->putC(99, "x");
    EXPECT_EQ(t->getC(-1), "");
    EXPECT_EQ(errors.errors.size(), 2u);
    EXPECT_TRUE(errors.saw(base::kErrArgument));
}

// ---- movement and deleted records ------------------------------------------------------------

TEST(DbfTableMovement, EofAndBofRules) {
    TempHome home;
    auto t = DbfTable::open(makeNumbered(home, 3));
    t->goTop();
    EXPECT_EQ(t->recNo(), 1u);
    EXPECT_FALSE(t->bof());
    t->skip(-1);
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recNo(), 1u);
    t->skip(5);
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recNo(), 4u);
    EXPECT_EQ(t->getC(0), std::string(10, ' '));  // the blank record at end of file
    t->putC(0, "ignored");                          // nothing to write into
    EXPECT_EQ(t->lastRec(), 3u);
    t->skip(-1);
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->recNo(), 3u);
    t->goTo(0);
    EXPECT_TRUE(t->eof());
    t->goTo(2);
    EXPECT_EQ(base::trim(t->getC(0)), "R2");
}

TEST(DbfTableMovement, DeletedRecordsAreHiddenEverywhere) {
    TempHome home;
    auto file = makeNumbered(home, 5);
    auto t = DbfTable::open(file);
    for (uint32_t r : {1u, 3u, 5u}) {
        t->goTo(r);
        t->deleteRecord();
        EXPECT_TRUE(t->isDeleted());
    }
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"R2", "R4"}));
    EXPECT_EQ(t->count(), 2u);
    EXPECT_EQ(t->lastRec(), 5u);
    t->goBottom();
    EXPECT_EQ(t->recNo(), 4u);
    EXPECT_EQ(t->keyNo(), 2u);
    t->skip(-1);
    EXPECT_EQ(t->recNo(), 2u);
    t->skip(-1);
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recNo(), 2u);
    // Skipping from a deleted record goes to its visible neighbour.
    t->goTo(3);
    t->skip(1);
    EXPECT_EQ(t->recNo(), 4u);

    ASSERT_TRUE(t->copyTo(home.data() / "copy.dbf"));
    auto copy = DbfTable::open(home.data() / "copy.dbf");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->lastRec(), 2u);
    EXPECT_EQ(namesInView(*copy), (std::vector<std::string>{"R2", "R4"}));

    ASSERT_TRUE(DbfTable::create(home.data() / "target.dbf", smallFields(), kToday));
    auto target = DbfTable::open(home.data() / "target.dbf");
    EXPECT_EQ(target->appendFrom(*t), 2u);
    EXPECT_EQ(namesInView(*target), (std::vector<std::string>{"R2", "R4"}));

    t->goTo(3);
    t->recall();
    EXPECT_EQ(t->count(), 3u);
    t->close();
    // The flags reached the file.
    auto again = DbfTable::open(file);
    EXPECT_EQ(namesInView(*again), (std::vector<std::string>{"R2", "R3", "R4"}));
}

TEST(DbfTableMovement, AllDeletedIsAnEmptyView) {
    TempHome home;
    auto t = DbfTable::open(makeNumbered(home, 2));
    t->goTo(1);
    t->deleteRecord();
    t->goTo(2);
    t->deleteRecord();
    t->goTop();
    EXPECT_TRUE(t->eof());
    EXPECT_TRUE(t->bof());
    t->goBottom();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->count(), 0u);
    EXPECT_EQ(t->keyNo(), 0u);
}

// ---- pack, copy, append from -----------------------------------------------------------------

TEST(DbfTableWhole, PackRemovesDeletedAndCutsTheFile) {
    TempHome home;
    test::ClockAt clock(base::Date{2024, 12, 24});
    auto file = makeNumbered(home, 6);
    auto t = DbfTable::open(file);
    for (uint32_t r : {2u, 3u, 6u}) {
        t->goTo(r);
        t->deleteRecord();
    }
    t->pack();
    EXPECT_EQ(t->lastRec(), 3u);
    EXPECT_EQ(t->recNo(), 1u);
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"R1", "R4", "R5"}));
    // The file is complete at once, and still locked by us.
    std::string b = readFileBytes(file);
    EXPECT_EQ(b.size(), le16(b, 8) + 3u * 26u + 1u);
    EXPECT_EQ(le32(b, 4), 3u);
    EXPECT_EQ(uint8_t(b[3]), 24);
    EXPECT_EQ(b.back(), '\x1A');
    {
        ErrorCatcher errors;
        EXPECT_FALSE(DbfTable::open(file));
        EXPECT_TRUE(base::netErr());
    }
    // Work goes on in the packed table.
    t->appendBlank();
    t->putC(0, "R7");
    t->close();
    auto again = DbfTable::open(file);
    EXPECT_EQ(namesInView(*again), (std::vector<std::string>{"R1", "R4", "R5", "R7"}));
}

TEST(DbfTableWhole, AppendFromConvertsByFieldName) {
    TempHome home;
    auto srcFile = home.data() / "src.dbf";
    ASSERT_TRUE(DbfTable::create(srcFile,
                                 {{"NAME", FieldType::kCharacter, 20, 0},
                                  {"NUM", FieldType::kNumeric, 10, 3},
                                  {"DAY", FieldType::kCharacter, 10, 0},
                                  {"OK", FieldType::kCharacter, 3, 0},
                                  {"ONLYHERE", FieldType::kCharacter, 5, 0}},
                                 kToday));
    auto src = DbfTable::open(srcFile);
    src->appendBlank();
    src->putC(0, "a rather long name");
    src->putN(1, 1.5);
    src->putC(2, "24.12.2023");
    src->putC(3, "yes");
    src->putC(4, "x");
    src->appendBlank();  // all blank: stays blank
    src->appendBlank();
    src->putN(1, 123456.789);  // does not fit NUM N(6,2)

    ASSERT_TRUE(DbfTable::create(home.data() / "dst.dbf", smallFields(), kToday));
    auto dst = DbfTable::open(home.data() / "dst.dbf");
    ErrorCatcher errors;
    EXPECT_EQ(dst->appendFrom(*src), 3u);
    dst->goTo(1);
    EXPECT_EQ(dst->getC(0), "a rather l");
    EXPECT_EQ(dst->raw(1), "  1.50");
    EXPECT_EQ(dst->getD(2), (base::Date{2023, 12, 24}));
    EXPECT_TRUE(dst->getL(3));
    dst->goTo(2);
    EXPECT_EQ(std::string(dst->recordBytes(2), 26), std::string(26, ' '));
    dst->goTo(3);
    EXPECT_EQ(dst->raw(1), "******");
    EXPECT_TRUE(errors.saw(base::kErrDataWidth));

    // A table appended to itself doubles once.
    EXPECT_EQ(dst->appendFrom(*dst), 3u);
    EXPECT_EQ(dst->lastRec(), 6u);
}

// ---- opening, creating and writing fail soundly ----------------------------------------------

TEST(DbfTableFailures, SecondOpenIsRefusedWithTheNetworkFlag) {
    TempHome home;
    auto file = makeNumbered(home, 1);
    auto first = DbfTable::open(file);
    ASSERT_TRUE(first);
    ErrorCatcher errors;
    EXPECT_FALSE(DbfTable::open(file));
    EXPECT_TRUE(base::netErr());
    EXPECT_TRUE(errors.errors.empty());  // settled without asking the user
    first->close();
    EXPECT_TRUE(DbfTable::open(file));
    EXPECT_FALSE(base::netErr());
}

TEST(DbfTableFailures, MissingFileIsAnOpenErrorWithOsCode2) {
    TempHome home;
    ErrorCatcher errors;
    EXPECT_FALSE(DbfTable::open(home.data() / "none.dbf"));
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].genCode, base::kErrOpen);
    EXPECT_EQ(errors.errors[0].osCode, 2);
    EXPECT_FALSE(base::netErr());
}

TEST(DbfTableFailures, CreateRetriesWhileTheHandlerSaysSo) {
    TempHome home;
    auto folder = home.data() / "later";
    ErrorCatcher errors([&](const base::ErrorRecord&) {
        std::filesystem::create_directory(folder);
        return base::ErrorAnswer::retry();
    });
    EXPECT_TRUE(DbfTable::create(folder / "t.dbf", smallFields(), kToday));
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].genCode, base::kErrCreate);
    EXPECT_TRUE(errors.errors[0].canRetry);
    EXPECT_TRUE(DbfTable::open(folder / "t.dbf"));
}

TEST(DbfTableFailures, CreateReplacesButNeverAnOpenTable) {
    TempHome home;
    auto file = makeNumbered(home, 4);
    auto open = DbfTable::open(file);
    std::string before = readFileBytes(file);
    {
        ErrorCatcher errors;
        EXPECT_FALSE(DbfTable::create(file, smallFields(), kToday));
        ASSERT_EQ(errors.errors.size(), 1u);
        EXPECT_EQ(errors.errors[0].genCode, base::kErrCreate);
        EXPECT_EQ(errors.errors[0].osCode, 32);
        EXPECT_FALSE(open->copyTo(file));  // onto itself
    }
    EXPECT_EQ(readFileBytes(file), before);
    open->close();
    ASSERT_TRUE(DbfTable::create(file, smallFields(), kToday));
    EXPECT_EQ(readFileBytes(file).size(), 32u + 4 * 32 + 2 + 1);
    // No stray working files are left beside it.
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(home.data())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(DbfTableFailures, InvalidStructureIsACreateError) {
    TempHome home;
    ErrorCatcher errors;
    EXPECT_FALSE(DbfTable::create(home.data() / "a.dbf", {}, kToday));
    EXPECT_FALSE(DbfTable::create(home.data() / "b.dbf", {{"N", FieldType::kNumeric, 25, 0}}, kToday));
    EXPECT_FALSE(DbfTable::create(home.data() / "c.dbf", {{"", FieldType::kCharacter, 5, 0}}, kToday));
    EXPECT_EQ(errors.errors.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(home.data() / "a.dbf"));
}

// Limits the size of files this process may write, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};

TEST(DbfTableFailures, WriteErrorGoesToTheHandlerAndLosesNothing) {
    TempHome home;
    auto file = makeNumbered(home, 2);
    const auto size = std::filesystem::file_size(file);
    auto t = DbfTable::open(file);
    {
        FileSizeLimit limit(size);
        ErrorCatcher errors;
        t->appendBlank();
        t->putC(0, "third");
        t->flush();
        ASSERT_FALSE(errors.errors.empty());
        EXPECT_EQ(errors.errors[0].genCode, base::kErrWrite);
        EXPECT_TRUE(errors.errors[0].canRetry);
        EXPECT_EQ(base::trim(t->getC(0)), "third");
    }
    // Room again: the record kept in memory reaches the file at close.
    ErrorCatcher errors;
    t->close();
    EXPECT_TRUE(errors.errors.empty());
    auto again = DbfTable::open(file);
    ASSERT_EQ(again->lastRec(), 3u);
    again->goTo(3);
    EXPECT_EQ(base::trim(again->getC(0)), "third");
}

TEST(DbfTableFailures, FailedCopyLeavesNoHalfFile) {
    TempHome home;
    auto t = DbfTable::open(makeNumbered(home, 200));
    FileSizeLimit limit(1000);
    ErrorCatcher errors;
    EXPECT_FALSE(t->copyTo(home.data() / "copy.dbf"));
    EXPECT_TRUE(errors.saw(base::kErrWrite));
    EXPECT_FALSE(std::filesystem::exists(home.data() / "copy.dbf"));
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(home.data())) ++entries;
    EXPECT_EQ(entries, 1);
}

// ---- orders ----------------------------------------------------------------------------------

KeySpec nameKey() {
    return {"upper(NAME)", [](const RecordView& r, std::string& out) { out += base::upperAZ(r.raw(0)); }, nullptr};
}
KeySpec numKey() {
    return {"str(NUM)", [](const RecordView& r, std::string& out) { out += r.raw(1); }, nullptr};
}

// Names "delta", "Alpha", "charlie", "bravo", "alpha2" in record order.
std::unique_ptr<DbfTable> lettered(const TempHome& home) {
    auto file = home.data() / "letters.dbf";
    EXPECT_TRUE(DbfTable::create(file, smallFields(), kToday));
    auto t = DbfTable::open(file);
    int i = 5;
    for (const char* name : {"delta", "Alpha", "charlie", "bravo", "alpha2"}) {
        t->appendBlank();
        t->putC(0, name);
        t->putN(1, i--);
    }
    t->goTop();
    return t;
}

TEST(DbfTableOrders, MovementSeekAndPositionsFollowTheOrder) {
    TempHome home;
    auto t = lettered(home);
    Order* byName = t->createOrder(home.data() / "name.ntx", nameKey(), {});
    ASSERT_TRUE(byName);
    EXPECT_EQ(t->orderNumber(), 1);
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"Alpha", "alpha2", "bravo", "charlie", "delta"}));
    t->goBottom();
    EXPECT_EQ(base::trim(t->getC(0)), "delta");
    EXPECT_EQ(t->keyNo(), 5u);
    EXPECT_EQ(t->keyCount(), 5u);
    t->skip(-2);
    EXPECT_EQ(base::trim(t->getC(0)), "bravo");
    EXPECT_EQ(t->keyNo(), 3u);

    EXPECT_TRUE(t->seek("CH"));
    EXPECT_TRUE(t->found());
    EXPECT_EQ(base::trim(t->getC(0)), "charlie");
    EXPECT_FALSE(t->seek("BZ"));
    EXPECT_TRUE(t->eof());
    EXPECT_FALSE(t->seek("BZ", true));
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(base::trim(t->getC(0)), "charlie");
    EXPECT_FALSE(t->seek("ZZ", true));
    EXPECT_TRUE(t->eof());

    // A change of a key field is followed at once.
    t->seek("ALPHA2");
    t->putC(0, "echo");
    EXPECT_EQ(t->keyNo(), 5u);
    t->skip(-1);
    EXPECT_EQ(base::trim(t->getC(0)), "delta");
    // Deleted records leave the order; skipping from one goes to its neighbours in the order.
    t->seek("BRAVO");
    t->deleteRecord();
    t->skip(1);
    EXPECT_EQ(base::trim(t->getC(0)), "charlie");
    t->goTo(4);  // bravo, deleted
    t->skip(-1);
    EXPECT_EQ(base::trim(t->getC(0)), "Alpha");
    EXPECT_EQ(t->count(), 4u);
    // Appends join the order.
    t->appendBlank();
    t->putC(0, "aardvark");
    t->goTop();
    EXPECT_EQ(base::trim(t->getC(0)), "aardvark");
}

TEST(DbfTableOrders, AttachSetOrderAndCopyInOrder) {
    TempHome home;
    auto t = lettered(home);
    ASSERT_TRUE(t->createOrder(home.data() / "name.ntx", nameKey(), {}));
    OrderOptions named;
    named.name = "Zahl";
    ASSERT_TRUE(t->createOrder(home.data() / "num.ntx", numKey(), named));
    EXPECT_EQ(t->orderCount(), 1);  // creating detaches the others
    ASSERT_TRUE(t->attachOrder(home.data() / "name.ntx", nameKey(), {}));
    EXPECT_EQ(t->orderCount(), 2);
    EXPECT_EQ(t->orderNumber(), 1);  // there was a current order already
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"alpha2", "bravo", "charlie", "Alpha", "delta"}));

    EXPECT_TRUE(t->setOrder(2));
    EXPECT_EQ(t->currentOrder()->name(), t->order(2)->name());
    EXPECT_FALSE(t->setOrder(3));
    EXPECT_EQ(t->orderNumber(), 2);
    EXPECT_TRUE(t->setOrder("zahl"));
    EXPECT_EQ(t->orderNumber(), 1);
    EXPECT_FALSE(t->setOrder("nothing"));
    EXPECT_EQ(t->orderNumber(), 1);
    EXPECT_TRUE(t->setOrder(0));
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"delta", "Alpha", "charlie", "bravo", "alpha2"}));

    t->setOrder(2);
    t->goTo(1);
    t->deleteRecord();
    ASSERT_TRUE(t->copyTo(home.data() / "sorted.dbf"));
    auto copy = DbfTable::open(home.data() / "sorted.dbf");
    EXPECT_EQ(namesInView(*copy), (std::vector<std::string>{"Alpha", "alpha2", "bravo", "charlie"}));

    // Pack rebuilds the attached orders.
    t->pack();
    EXPECT_EQ(t->orderCount(), 2);
    EXPECT_EQ(t->keyCount(), 4u);
    EXPECT_EQ(namesInView(*t), (std::vector<std::string>{"Alpha", "alpha2", "bravo", "charlie"}));
}

TEST(DbfTableOrders, SeekWithoutOrderIsAnError) {
    TempHome home;
    auto t = lettered(home);
    ErrorCatcher errors;
    EXPECT_FALSE(t->seek("A"));
    EXPECT_TRUE(errors.saw(base::kErrNoOrder));
}

}  // namespace
}  // namespace klango::dbf

namespace klango::dbf {
namespace {

// The kept count of true values always equals a fresh count over the records, whatever happened
// to them: marks set and cleared, pending and written, deletions, recalls, appends, pack, reopen.
TEST(DbfTableTrueCount, FollowsEveryChange) {
    TempHome home;
    const auto file = makeNumbered(home, 6);
    auto t = DbfTable::open(file);
    const int ok = 3;
    auto fresh = [&] {
        long long n = 0;
        for (uint32_t r = 1; r <= t->lastRec(); ++r) {
            const char* b = t->recordBytes(r);
            const char c = b[t->structure()[ok].offset];
            n += b[0] != '*' && (c == 'T' || c == 't' || c == 'Y' || c == 'y');
        }
        return n;
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        long long expected;
    };
    const std::vector<Step> steps = {
        {"none at open", [] {}, 0},
        {"pending mark", [&] { t->goTo(2); t->putL(ok, true); }, 1},
        {"written mark", [&] { t->goTo(3); t->putL(ok, true); t->flush(); }, 2},
        {"mark cleared", [&] { t->goTo(2); t->putL(ok, false); t->flush(); }, 1},
        {"marked record deleted", [&] { t->goTo(3); t->deleteRecord(); }, 0},
        {"and recalled", [&] { t->goTo(3); t->recall(); t->flush(); }, 1},
        {"appended marked", [&] { t->appendBlank(); t->putL(ok, true); }, 2},
        {"deleted, then packed", [&] { t->goTo(1); t->putL(ok, true); t->deleteRecord(); t->pack(); }, 2},
        {"after reopen", [&] { t->close(); t = DbfTable::open(file); }, 2},
        {"not a logical field", [] {}, -1},
    };
    for (const Step& s : steps) {
        s.act();
        if (s.expected < 0) {
            EXPECT_FALSE(t->trueCount(0).has_value()) << s.what;
            continue;
        }
        EXPECT_EQ(t->trueCount(ok).value_or(-1), s.expected) << s.what;
        EXPECT_EQ(fresh(), s.expected) << s.what;
    }
}

}  // namespace
}  // namespace klango::dbf
