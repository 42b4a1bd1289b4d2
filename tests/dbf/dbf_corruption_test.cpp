// Damages real table files on purpose and checks that each damage is refused as corruption (or,
// where the format allows it, read tolerantly), never with a crash, and without touching the file.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>

#include "dbf/dbf_table.h"
#include "dbf/dbf_test_helpers.h"
#include "test_helpers/test_helpers.h"

namespace klango::dbf {
namespace {

using test::ErrorCatcher;
using test::readFileBytes;
using test::TempHome;
using test::writeFileBytes;

// A track table with three records, as the engine writes it.
std::string goodTable(const TempHome& home) {
    auto file = home.data() / "good.dbf";
    EXPECT_TRUE(DbfTable::create(file, test::trackFields(), base::Date{2024, 1, 1}));
    auto t = DbfTable::open(file);
    for (int i = 0; i < 3; ++i) {
        t->appendBlank();
        t->putC(t->fieldPos("TITLE"), "Title " + std::to_string(i));
        t->putN(t->fieldPos("YEAR"), 1990 + i);
    }
    t->close();
    return readFileBytes(file);
}

void set16(std::string& b, size_t at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

struct Damage {
    const char* what;
    std::function<void(std::string&)> apply;
};

class DbfCorruption : public ::testing::TestWithParam<Damage> {};

TEST_P(DbfCorruption, IsRefusedAsCorruption) {
    TempHome home;
    std::string bytes = goodTable(home);
    GetParam().apply(bytes);
    auto file = home.data() / "bad.dbf";
    writeFileBytes(file, bytes);
    ErrorCatcher errors;
    EXPECT_FALSE(DbfTable::open(file));
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].genCode, base::kErrCorruption);
    EXPECT_EQ(errors.errors[0].fileName, file.string());
    EXPECT_FALSE(base::netErr());
    EXPECT_EQ(readFileBytes(file), bytes);  // refusing changes nothing
    // The refused file is not left locked.
    writeFileBytes(file, goodTable(home));
    EXPECT_TRUE(DbfTable::open(file));
}

const size_t kTrsize = 32 + 18 * 32;  // descriptor of TRSIZE
const size_t kPath = 32 + 1 * 32;     // descriptor of PATH

INSTANTIATE_TEST_SUITE_P(
    Damages, DbfCorruption,
    ::testing::Values(
        Damage{"empty file", [](std::string& b) { b.clear(); }},
        Damage{"header cut at 31", [](std::string& b) { b.resize(31); }},
        Damage{"header cut at 1", [](std::string& b) { b.resize(1); }},
        Damage{"descriptors cut", [](std::string& b) { b.resize(300); }},
        Damage{"unknown version", [](std::string& b) { b[0] = 0x30; }},
        Damage{"version zero", [](std::string& b) { b[0] = 0; }},
        Damage{"header length 0", [](std::string& b) { set16(b, 8, 0); }},
        Damage{"header length 64", [](std::string& b) { set16(b, 8, 64); }},
        Damage{"header length beyond file", [](std::string& b) { set16(b, 8, 0xFFFF); }},
        Damage{"no fields", [](std::string& b) { b[32] = 0x0D; }},
        Damage{"zero width text", [](std::string& b) { b[kPath + 16] = 0, b[kPath + 17] = 0; }},
        Damage{"absurd record length",
               [](std::string& b) {
                   for (int i = 0; i < 5; ++i) b[size_t(32 + 32 * i + 16)] = char(0xFF), b[size_t(32 + 32 * i + 17)] = char(0xFF);
               }},
        Damage{"memo field", [](std::string& b) { b[kTrsize + 11] = 'M'; }},
        Damage{"type byte zero", [](std::string& b) { b[kTrsize + 11] = 0; }},
        Damage{"numeric width 25", [](std::string& b) { b[kTrsize + 16] = 25; }},
        Damage{"numeric width 0", [](std::string& b) { b[kTrsize + 16] = 0; }}),
    [](const ::testing::TestParamInfo<Damage>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(DbfCorruptionTolerated, StoredCountsAndRecordLengthAreNotTrusted) {
    TempHome home;
    std::string bytes = goodTable(home);
    set16(bytes, 10, 0);          // record length 0 in the header
    bytes[4] = char(0xFF);        // absurd record count
    bytes[7] = char(0xFF);
    bytes.resize(bytes.size() - 100);  // last record cut, no end byte
    auto file = home.data() / "odd.dbf";
    writeFileBytes(file, bytes);
    ErrorCatcher errors;
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    EXPECT_TRUE(errors.errors.empty());
    EXPECT_EQ(t->recordLength(), 528);
    EXPECT_EQ(t->lastRec(), 2u);
    t->goBottom();
    EXPECT_EQ(t->getN(t->fieldPos("YEAR")), 1991);
}

TEST(DbfCorruptionTolerated, RandomDamageNeverCrashes) {
    TempHome home;
    const std::string good = goodTable(home);
    auto file = home.data() / "random.dbf";
    std::mt19937 rng(20240317);
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        std::string b = good;
        int flips = 1 + int(rng() % 6);
        for (int i = 0; i < flips; ++i) {
            // Mostly the header, where damage matters.
            size_t at = rng() % 4 == 0 ? rng() % b.size() : rng() % 700 % b.size();
            b[at] = char(rng());
        }
        if (rng() % 5 == 0) b.resize(rng() % b.size());
        writeFileBytes(file, b);
        ErrorCatcher errors;
        auto t = DbfTable::open(file);
        if (!t) {
            ASSERT_EQ(errors.errors.size(), 1u) << "round " << round;
            EXPECT_EQ(errors.errors[0].genCode, base::kErrCorruption) << "round " << round;
            continue;
        }
        ++opened;
        for (t->goTop(); !t->eof(); t->skip()) {
            for (int f = 0; f < t->fieldCount(); ++f) {
                (void)t->getC(f);
                (void)t->getN(f);
                (void)t->getD(f);
                (void)t->getL(f);
            }
        }
        EXPECT_EQ(t->count() + 0u <= t->lastRec(), true);
    }
    EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace klango::dbf
