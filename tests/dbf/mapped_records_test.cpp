// The records of an open table come from a private mapping of the file, appended ones from a
// buffer of the table's own, and memory behind records read in order may be given back. These
// tests hold that against a plain model of what the table must contain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/dbf_test_helpers.h"
#include "dbf/key_expression.h"
#include "dbf/order.h"
#include "test_helpers/test_helpers.h"

namespace klango::dbf {
namespace {

using test::ErrorCatcher;
using test::TempHome;

constexpr base::Date kToday{2024, 3, 17};

// Track records are 528 bytes: a few hundred span many pages of the mapping.
std::filesystem::path makeTracks(const TempHome& home, int n) {
    auto file = home.data() / "tracks.dbf";
    EXPECT_TRUE(DbfTable::create(file, test::trackFields(), kToday));
    auto t = DbfTable::open(file);
    for (int i = 1; i <= n; ++i) {
        t->appendBlank();
        t->putC(3, "Group " + std::to_string(1000 - i));
        t->putN(8, i % 100);
    }
    t->close();
    return file;
}

// GROUP of every record, deleted ones marked with a leading '*', in record order.
std::vector<std::string> contents(DbfTable& t) {
    std::vector<std::string> out;
    for (uint32_t r = 1; r <= t.lastRec(); ++r) {
        RecordView v = t.view(r);
        out.push_back((v.isDeleted() ? "*" : "") + std::string(base::trim(v.raw(3))));
    }
    return out;
}

std::vector<std::string> inOrder(DbfTable& t) {
    std::vector<std::string> out;
    for (t.goTop(); !t.eof(); t.skip()) out.emplace_back(base::trim(t.getC(3)));
    return out;
}

TEST(MappedRecords, ChangedAppendedPackedAndReopenedReadBackAsTheModel) {
    TempHome home;
    test::ClockAt clock(kToday);
    ErrorCatcher errors;
    auto file = makeTracks(home, 300);
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    std::vector<std::string> model = contents(*t);
    ASSERT_TRUE(t->addOrder(home.data() / "tracks1.ntx", compileKey(t->structure(), "upper(GROUP)")));

    // Changes inside the mapped records, one of them in a bulk change, some deletions.
    for (uint32_t r : {1u, 8u, 150u, 300u}) {
        t->goTo(r);
        t->putC(3, "Changed " + std::to_string(r));
        model[r - 1] = "Changed " + std::to_string(r);
    }
    {
        DbfTable::BulkChange bulk(*t);
        for (uint32_t r = 100; r < 110; ++r) {
            t->goTo(r);
            t->deleteRecord();
            model[r - 1] = "*" + model[r - 1];
        }
    }
    // Appends beyond the mapping, more than fit its last page.
    for (int i = 1; i <= 40; ++i) {
        t->appendBlank();
        t->putC(3, "Appended " + std::to_string(i));
        model.push_back("Appended " + std::to_string(i));
    }
    t->flush();
    // Memory given back reads from the file again: every change must be there.
    t->releaseRecords(1, t->lastRec());
    EXPECT_EQ(contents(*t), model);

    // A change not yet written keeps its memory.
    t->goTo(2);
    t->putC(3, "Pending");
    t->releaseRecords(1, t->lastRec());
    EXPECT_EQ(std::string(base::trim(t->view(2).raw(3))), "Pending");
    model[1] = "Pending";
    t->goTo(3);

    t->pack();
    std::vector<std::string> kept;
    for (const std::string& g : model)
        if (g[0] != '*') kept.push_back(g);
    EXPECT_EQ(contents(*t), kept);
    std::vector<std::string> sorted = kept;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return base::upperAZ(a) < base::upperAZ(b);
    });
    EXPECT_EQ(inOrder(*t), sorted);
    // The packed table is mapped from the new file; changes and appends go on there.
    t->releaseRecords(1, t->lastRec());
    EXPECT_EQ(contents(*t), kept);
    t->goTo(5);
    t->putC(3, "After pack");
    kept[4] = "After pack";
    t->appendBlank();
    t->putC(3, "Last");
    kept.push_back("Last");
    t->close();

    auto again = DbfTable::open(file);
    ASSERT_TRUE(again);
    EXPECT_EQ(contents(*again), kept);
    EXPECT_TRUE(errors.errors.empty());
}

TEST(MappedRecords, AFileCutShorterUnderTheTableIsRefusedNotACrash) {
    TempHome home;
    test::ClockAt clock(kToday);
    auto file = makeTracks(home, 200);
    auto t = DbfTable::open(file);
    ASSERT_TRUE(t);
    // Someone else cuts the file to its first records while the table holds it open.
    std::filesystem::resize_file(file, 700 + 528);
    ErrorCatcher errors;
    // Reading the lost records must not end the program; what they read is refused.
    EXPECT_EQ(t->view(1).raw(3).substr(0, 9), "Group 999");
    const char* lost = t->recordBytes(200);
    EXPECT_EQ(lost[0], '\0');
    EXPECT_EQ(t->addOrder(home.data() / "tracks1.ntx", compileKey(t->structure(), "upper(GROUP)")), nullptr);
    ASSERT_FALSE(errors.errors.empty());
    EXPECT_EQ(errors.errors.front().genCode, base::kErrCorruption);
    t->close();
    EXPECT_EQ(errors.errors.size(), 1u);  // told once
}

}  // namespace
}  // namespace klango::dbf
