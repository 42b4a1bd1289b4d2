#include "dbf/order_entries.h"

#include <algorithm>

namespace klango::dbf {

void OrderEntries::assign(const std::vector<OrderEntry>& sorted) {
    clear();
    m_blocks.reserve((sorted.size() + kBuildFill - 1) / kBuildFill);
    for (size_t at = 0; at < sorted.size(); at += kBuildFill) {
        size_t end = std::min(sorted.size(), at + kBuildFill);
        m_blocks.emplace_back(sorted.begin() + std::ptrdiff_t(at), sorted.begin() + std::ptrdiff_t(end));
        m_firsts.push_back(sorted[at]);
    }
    m_size = sorted.size();
}

void OrderEntries::clear() {
    m_blocks.clear();
    m_firsts.clear();
    m_size = 0;
    m_starts.clear();
    m_startsValid = 0;
}

void OrderEntries::invalidateStartsFrom(size_t block) const { m_startsValid = std::min(m_startsValid, block); }

void OrderEntries::ensureStarts() const {
    size_t n = m_blocks.size();
    if (m_startsValid >= n && m_starts.size() == n) return;
    m_starts.resize(n);
    size_t i = std::min(m_startsValid, n);
    if (i == 0 && n > 0) {
        m_starts[0] = 0;
        i = 1;
    }
    for (; i < n; ++i) m_starts[i] = m_starts[i - 1] + m_blocks[i - 1].size();
    m_startsValid = n;
}

size_t OrderEntries::positionOf(Cursor c) const {
    if (atEnd(c)) return m_size;
    ensureStarts();
    return m_starts[c.block] + c.index;
}

OrderEntries::Cursor OrderEntries::cursorAt(size_t position) const {
    if (position >= m_size) return {m_blocks.size(), 0};
    ensureStarts();
    size_t b = size_t(std::upper_bound(m_starts.begin(), m_starts.end(), position) - m_starts.begin()) - 1;
    return {b, position - m_starts[b]};
}

void OrderEntries::insert(Cursor c, const OrderEntry& entry) {
    if (m_blocks.empty()) {
        m_blocks.push_back({entry});
        m_firsts.push_back(entry);
        m_size = 1;
        invalidateStartsFrom(0);
        return;
    }
    // The end place and the start of a block both join the block ahead, so that appends in
    // key order fill the last block instead of making new ones.
    if (c.block > 0 && (c.index == 0 || atEnd(c))) c = {c.block - 1, m_blocks[c.block - 1].size()};
    std::vector<OrderEntry>& block = m_blocks[c.block];
    block.insert(block.begin() + std::ptrdiff_t(c.index), entry);
    if (c.index == 0) m_firsts[c.block] = entry;
    ++m_size;
    invalidateStartsFrom(c.block + 1);
    if (block.size() > kMaxBlock) {
        size_t half = block.size() / 2;
        std::vector<OrderEntry> tail(block.begin() + std::ptrdiff_t(half), block.end());
        block.resize(half);
        block.shrink_to_fit();
        tail.reserve(kMaxBlock);
        OrderEntry first = tail.front();
        m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(c.block + 1), std::move(tail));
        m_firsts.insert(m_firsts.begin() + std::ptrdiff_t(c.block + 1), first);
        invalidateStartsFrom(c.block + 1);
    }
}

void OrderEntries::erase(Cursor c) {
    if (atEnd(c)) return;
    std::vector<OrderEntry>& block = m_blocks[c.block];
    block.erase(block.begin() + std::ptrdiff_t(c.index));
    --m_size;
    invalidateStartsFrom(c.block + 1);
    if (block.empty()) {
        m_blocks.erase(m_blocks.begin() + std::ptrdiff_t(c.block));
        m_firsts.erase(m_firsts.begin() + std::ptrdiff_t(c.block));
        invalidateStartsFrom(c.block);
        return;
    }
    if (c.index == 0) m_firsts[c.block] = block.front();
    if (block.size() < kMinBlock && c.block + 1 < m_blocks.size() &&
        block.size() + m_blocks[c.block + 1].size() <= kMaxBlock / 2) {
        std::vector<OrderEntry>& next = m_blocks[c.block + 1];
        block.insert(block.end(), next.begin(), next.end());
        m_blocks.erase(m_blocks.begin() + std::ptrdiff_t(c.block + 1));
        m_firsts.erase(m_firsts.begin() + std::ptrdiff_t(c.block + 1));
        invalidateStartsFrom(c.block + 1);
    }
}

}  // namespace klango::dbf
