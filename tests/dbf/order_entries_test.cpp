#include "dbf/order_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace klango::dbf;

namespace {

bool before(const OrderEntry& a, const OrderEntry& b) { return a.hi != b.hi ? a.hi < b.hi : a.recno < b.recno; }

void expectEqual(const OrderEntries& got, const std::vector<OrderEntry>& want) {
    ASSERT_EQ(got.size(), want.size());
    size_t i = 0;
    bool same = true;
    got.forEach([&](const OrderEntry& e) {
        if (e.hi != want[i].hi || e.recno != want[i].recno) same = false;
        ++i;
    });
    EXPECT_TRUE(same);
}

}  // namespace

// Inserts clustered on few keys split blocks again and again; the removal phase empties and
// merges them. Positions must follow every change.
TEST(OrderEntries, FollowsASortedReferenceThroughSplitsAndMerges) {
    std::mt19937 rng(7);
    std::vector<OrderEntry> initial;
    for (uint32_t r = 1; r <= 2000; ++r) initial.push_back({uint64_t(r % 50), 0, r});
    std::sort(initial.begin(), initial.end(), before);
    OrderEntries entries;
    entries.assign(initial);
    std::vector<OrderEntry> reference = initial;
    expectEqual(entries, reference);
    EXPECT_EQ(entries.blockCount(), (2000 + OrderEntries::kBuildFill - 1) / OrderEntries::kBuildFill);

    uint32_t nextRecno = 2001;
    for (int step = 0; step < 12000; ++step) {
        bool grow = step < 6000 ? rng() % 4 != 0 : rng() % 4 == 0;
        if (grow || reference.empty()) {
            OrderEntry e{uint64_t(rng() % 3 == 0 ? 7 : rng() % 60), 0, nextRecno++};
            auto cursor = entries.lowerBound([&](const OrderEntry& x) { return before(x, e); });
            auto it = std::lower_bound(reference.begin(), reference.end(), e, before);
            ASSERT_EQ(entries.positionOf(cursor), size_t(it - reference.begin()));
            entries.insert(cursor, e);
            reference.insert(it, e);
        } else {
            size_t pos = rng() % reference.size();
            auto cursor = entries.cursorAt(pos);
            ASSERT_EQ(entries.at(cursor).recno, reference[pos].recno);
            entries.erase(cursor);
            reference.erase(reference.begin() + std::ptrdiff_t(pos));
        }
        if (step % 500 == 0) expectEqual(entries, reference);
        if (!reference.empty()) {
            size_t probe = rng() % reference.size();
            ASSERT_EQ(entries.at(probe).recno, reference[probe].recno) << "step " << step;
        }
    }
    expectEqual(entries, reference);
    for (size_t b = 0; b < entries.blockCount(); ++b) {
        auto c = entries.cursorAt(entries.positionOf({b, 0}));
        EXPECT_EQ(c.block, b);
    }
}

TEST(OrderEntries, EmptyAndEndPlaces) {
    OrderEntries entries;
    auto c = entries.lowerBound([](const OrderEntry&) { return true; });
    EXPECT_TRUE(entries.atEnd(c));
    EXPECT_EQ(entries.positionOf(c), 0u);
    entries.insert(c, {5, 0, 1});
    entries.insert(entries.lowerBound([](const OrderEntry&) { return true; }), {9, 0, 2});
    entries.insert(entries.lowerBound([](const OrderEntry&) { return false; }), {1, 0, 3});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.at(size_t(0)).recno, 3u);
    EXPECT_EQ(entries.at(size_t(2)).recno, 2u);
    EXPECT_TRUE(entries.atEnd(entries.cursorAt(3)));
    while (!entries.empty()) entries.erase(entries.cursorAt(0));
    EXPECT_EQ(entries.blockCount(), 0u);
}
