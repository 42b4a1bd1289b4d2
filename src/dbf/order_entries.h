// The entries of one index order kept sorted in a blocked array: a list of blocks of a few
// hundred entries each, so that an insert or removal moves one block's entries only, and a
// lookup is a binary search over the blocks' first entries and then inside one block.
// Owns the entries; knows nothing of keys: Order passes the comparison in. Only Order uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace klango::dbf {

// A key prefix (the first sixteen key bytes, big-endian in hi and lo, complemented for a
// descending order so that plain integer comparison follows the order's direction) and the
// record number: twenty bytes, packed, since a million of them stand in each order.
#pragma pack(push, 4)
struct OrderEntry {
    uint64_t hi = 0;
    uint64_t lo = 0;
    uint32_t recno = 0;
};
#pragma pack(pop)
static_assert(sizeof(OrderEntry) == 20);

class OrderEntries {
public:
    // A place in the array: block and index inside it; block == blockCount() is the end.
    struct Cursor {
        size_t block = 0;
        size_t index = 0;
    };

    static constexpr size_t kBuildFill = 256;  // entries per block after assign()
    static constexpr size_t kMaxBlock = 512;   // a fuller block is split in two
    static constexpr size_t kMinBlock = 64;    // an emptier block is merged with its neighbour if both fit

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    size_t blockCount() const { return m_blocks.size(); }

    // Replaces the contents by entries that are already in order.
    void assign(const std::vector<OrderEntry>& sorted);
    void clear();

    // The first place whose entry is not before the probe; before(entry) must be true for a
    // leading run of the entries and false for the rest.
    template <class Before>
    Cursor lowerBound(Before before) const {
        // First block whose first entry is not before the probe; the answer lies in the block
        // ahead of it or is that block's start.
        size_t lo = 0, hi = m_firsts.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (before(m_firsts[mid])) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        if (lo == 0) return {0, 0};
        const std::vector<OrderEntry>& block = m_blocks[lo - 1];
        size_t a = 1, b = block.size();  // block[0] is known to be before
        while (a < b) {
            size_t mid = (a + b) / 2;
            if (before(block[mid])) {
                a = mid + 1;
            } else {
                b = mid;
            }
        }
        if (a == block.size()) return {lo, 0};
        return {lo - 1, a};
    }

    bool atEnd(Cursor c) const { return c.block >= m_blocks.size(); }
    const OrderEntry& at(Cursor c) const { return m_blocks[c.block][c.index]; }
    // 0-based position of a place (size() for the end), and the place of a position.
    size_t positionOf(Cursor c) const;
    Cursor cursorAt(size_t position) const;
    const OrderEntry& at(size_t position) const { return at(cursorAt(position)); }

    // Inserts before the place (at the end for the end place); erases the entry at a place.
    void insert(Cursor c, const OrderEntry& entry);
    void erase(Cursor c);

    // Every entry, in order.
    template <class F>
    void forEach(F f) const {
        for (const auto& block : m_blocks)
            for (const OrderEntry& e : block) f(e);
    }

private:
    void invalidateStartsFrom(size_t block) const;
    void ensureStarts() const;

    std::vector<std::vector<OrderEntry>> m_blocks;  // none empty
    std::vector<OrderEntry> m_firsts;               // the first entry of each block, kept together
    size_t m_size = 0;
    // Position of each block's first entry, recomputed lazily from the first changed block on.
    mutable std::vector<size_t> m_starts;
    mutable size_t m_startsValid = 0;
};

}  // namespace klango::dbf
