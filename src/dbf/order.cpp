#include "dbf/order.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "dbf/dbf_table.h"
#include "base/error.h"
#include "dbf/index_file.h"
#include "dbf/key_expression.h"
#include "dbf/order_entries.h"
#include "platform/scratch_memory.h"

namespace klango::dbf {

namespace {

// Key bytes held in each entry; longer keys are built from the record when prefixes tie.
constexpr size_t kPrefixBytes = 16;
// Passes over the records in record order give back the memory behind each this many records
// read (DbfTable::releaseRecords), so that a big table is never all resident at once.
constexpr uint32_t kReleaseStep = 8192;

int compareBytes(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The first key bytes, zero-padded, big-endian; complemented for a descending order. A shorter
// key pads with 0x00 (0xFF when complemented), so it sorts ahead of its longer extensions in
// either direction's byte order, as the full comparison does.
void packPrefix(const char* key, size_t len, bool descending, uint64_t& hi, uint64_t& lo) {
    unsigned char b[kPrefixBytes] = {};
    std::memcpy(b, key, std::min(len, kPrefixBytes));
    if (descending) {
        for (auto& x : b) x = static_cast<unsigned char>(~x);
    }
    hi = 0;
    for (size_t i = 0; i < 8; ++i) hi = (hi << 8) | b[i];
    lo = 0;
    for (size_t i = 8; i < kPrefixBytes; ++i) lo = (lo << 8) | b[i];
}

bool prefixLess(const OrderEntry& a, const OrderEntry& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }
bool prefixEqual(const OrderEntry& a, const OrderEntry& b) { return a.hi == b.hi && a.lo == b.lo; }

// One entry of a run of equal prefixes while the build sorts it by the full key (fixed width).
struct KeyedEntry {
    uint64_t chunk;   // the eight key bytes at the depth being sorted on, directed
    const char* key;  // the full key
    OrderEntry entry;
};

// Up to eight key bytes from at, zero-padded, big-endian; complemented for a descending order.
uint64_t loadChunk(const char* at, size_t available, bool descending) {
    unsigned char b[8] = {};
    std::memcpy(b, at, std::min<size_t>(available, 8));
    uint64_t v = 0;
    for (unsigned char x : b) v = (v << 8) | x;
    return descending ? ~v : v;
}

// Sorts a run whose keys agree in their first depth bytes, eight bytes at a time: integer
// comparisons instead of long byte comparisons over the shared part of the keys (all tracks of
// an artist share the artist's forty bytes). Stable, so equal keys stay in record order.
void sortByKey(KeyedEntry* first, KeyedEntry* last, size_t depth, size_t width, bool descending) {
    for (;;) {
        const size_t len = size_t(last - first);
        if (len < 2 || depth >= width) return;
        if (len <= 12) {
            auto less = [&](const KeyedEntry& a, const KeyedEntry& b) {
                int c = std::memcmp(a.key + depth, b.key + depth, width - depth);
                return descending ? c > 0 : c < 0;
            };
            for (KeyedEntry* i = first + 1; i < last; ++i) {
                KeyedEntry moving = *i;
                KeyedEntry* j = i;
                for (; j > first && less(moving, *(j - 1)); --j) *j = *(j - 1);
                *j = moving;
            }
            return;
        }
        bool allSame = true;
        for (KeyedEntry* i = first; i < last; ++i) {
            i->chunk = loadChunk(i->key + depth, width - depth, descending);
            allSame = allSame && i->chunk == first->chunk;
        }
        if (allSame) {
            depth += 8;
            continue;
        }
        std::stable_sort(first, last, [](const KeyedEntry& a, const KeyedEntry& b) { return a.chunk < b.chunk; });
        for (KeyedEntry* i = first; i < last;) {
            KeyedEntry* j = i + 1;
            while (j < last && j->chunk == i->chunk) ++j;
            if (j - i >= 2) sortByKey(i, j, depth + 8, width, descending);
            i = j;
        }
        return;
    }
}

// A key being looked for: its prefix, its full bytes and the record it belongs to (0: ahead of
// every record with that key).
struct Probe {
    uint64_t hi = 0;
    uint64_t lo = 0;
    uint32_t recno = 0;
    std::string_view key;
};

void reportInvalidKey(const std::filesystem::path& file, const std::string& expression) {
    base::ErrorRecord e;
    e.genCode = base::kErrArgument;
    e.subsystem = "DBFNTX";
    e.subCode = 1026;
    e.description = "Invalid key expression";
    e.fileName = file.string();
    e.operation = "INDEX";
    e.args = std::vector<base::Value>{expression};
    e.canDefault = true;
    base::raiseError(e);
}

}  // namespace

struct Order::Impl {
    Impl(const DbfTable& t, std::filesystem::path f, KeySpec k, OrderOptions o)
        : table(t), file(std::move(f)), key(std::move(k)), options(std::move(o)) {
        name = options.name.empty() ? file.stem().string() : options.name;
        compiled = key.compiled;
        width = compiled ? compiled->width() : 0;
        needFull = width == 0 || width > kPrefixBytes;
        descending = options.descending;
        unique = options.unique;
    }

    const DbfTable& table;
    std::filesystem::path file;
    KeySpec key;
    OrderOptions options;
    std::string name;
    std::shared_ptr<const CompiledKey> compiled;
    size_t width = 0;       // 0: keys of a hand-made function, of any length
    bool needFull = true;   // can two keys with equal prefixes still differ?
    bool descending = false;
    bool unique = false;
    OrderEntries main;      // the order's entries
    OrderEntries shadow;    // unique orders: the records hidden behind an earlier one of their key
    bool dirty = true;      // entries changed since the file was written
    mutable std::string scratch;

    uint32_t flags() const {
        return (unique ? ntx::kFlagUnique : 0) | (descending ? ntx::kFlagDescending : 0) |
               (options.condition ? ntx::kFlagCondition : 0) |
               (key.collation == KeyCollation::kGerman ? ntx::kFlagGerman : 0);
    }
    std::string conditionText() const { return options.condition ? options.condition->text : std::string(); }

    bool visible(const char* bytes, uint32_t recno) const {
        if (bytes[0] == dbf::kDeletedFlag) return false;
        if (!options.condition) return true;
        if (options.condition->testRecord) {
            return options.condition->testRecord(RecordView(table.structure(), bytes), recno);
        }
        if (options.condition->test) return options.condition->test(RecordView(table.structure(), bytes));
        return true;
    }

    void keyOfBytes(const char* bytes, std::string& out) const {
        if (compiled) {
            out.resize(width);
            compiled->build(bytes, out.data());
        } else {
            out.clear();
            key.build(RecordView(table.structure(), bytes), out);
        }
    }
    void keyOfRecord(uint32_t recno, std::string& out) const { keyOfBytes(table.recordBytes(recno), out); }
    // At least the first length bytes of a record's key (all of it when it is shorter); a seek
    // needs no more, and fewer bytes mean fewer fields read.
    void keyHeadOfRecord(uint32_t recno, size_t length, std::string& out) const {
        if (!compiled) return keyOfRecord(recno, out);
        out.resize(std::min(length, width));
        compiled->build(table.recordBytes(recno), out.data(), out.size());
    }

    int directed(int c) const { return descending ? -c : c; }

    OrderEntry entryOfKey(std::string_view k, uint32_t recno) const {
        OrderEntry e;
        e.recno = recno;
        packPrefix(k.data(), k.size(), descending, e.hi, e.lo);
        return e;
    }
    Probe probe(std::string_view k, uint32_t recno) const {
        OrderEntry e = entryOfKey(k, recno);
        return {e.hi, e.lo, recno, k};
    }

    // Entry against probe in the order's sequence. An entry of the probe's own record counts as
    // holding the probe's key: that is how the entry of a changed record is found by its old key
    // while its bytes already hold the new one.
    int compare(const OrderEntry& e, const Probe& p) const {
        if (e.hi != p.hi) return e.hi < p.hi ? -1 : 1;
        if (e.lo != p.lo) return e.lo < p.lo ? -1 : 1;
        if (e.recno == p.recno) return 0;
        if (needFull) {
            keyOfRecord(e.recno, scratch);
            int c = directed(compareBytes(scratch, p.key));
            if (c != 0) return c;
        }
        return e.recno < p.recno ? -1 : 1;
    }
    bool hasKey(const OrderEntry& e, const Probe& p) const {
        if (e.hi != p.hi || e.lo != p.lo) return false;
        if (!needFull) return true;
        keyOfRecord(e.recno, scratch);
        return scratch == p.key;
    }
    OrderEntries::Cursor find(const OrderEntries& list, const Probe& p) const {
        return list.lowerBound([&](const OrderEntry& e) { return compare(e, p) < 0; });
    }

    void buildEntries();
    bool adopt(const IndexFileContents& contents);
    bool listEntries(const std::vector<uint32_t>& list, std::vector<bool>& seen,
                     std::vector<OrderEntry>& out) const;
    bool inSequence(const std::vector<OrderEntry>& list, bool strictKeys) const;
    void insertEntry(uint32_t recno, const std::string& k);
    void removeEntry(uint32_t recno, const std::string& k);
    void save();
};

void Order::Impl::buildEntries() {
    main.clear();
    shadow.clear();
    const uint32_t n = table.lastRec();
    std::vector<OrderEntry> all;
    all.reserve(n);
    // Where prefixes can tie, every full key is built in the one pass in record order (the
    // records are read in file order, which the memory system rewards) and kept until the build
    // is done; building them later in key order would touch the records at random.
    // Without the memory for that, the keys are built on ties instead: slower, same result.
    std::unique_ptr<platform::ScratchMemory> arena =
        compiled && needFull ? platform::ScratchMemory::allocate(size_t(n) * width) : nullptr;
    const bool keepKeys = arena != nullptr;
    // A condition order (a filter, a search) keeps the keys of its few records side by side, so
    // that they fill a few pages of the arena rather than every page of it.
    std::vector<uint32_t> slotOf;
    if (keepKeys && options.condition) slotOf.assign(size_t(n) + 1, 0);
    auto arenaKey = [&](uint32_t recno) {
        return arena->data() + (slotOf.empty() ? size_t(recno - 1) : size_t(slotOf[recno])) * width;
    };
    // Pages are given back as the pass goes where the arena is large; a condition order's arena
    // is small, and its records (those shown next) are read again right away: they stay.
    const bool release = keepKeys && slotOf.empty();
    std::string k;
    char prefix[kPrefixBytes];
    const size_t prefixLen = std::min(width, kPrefixBytes);
    for (uint32_t r = 1; r <= n; ++r) {
        if (release && r % kReleaseStep == 1 && r > 1) table.releaseRecords(r - kReleaseStep, r - 1);
        const char* bytes = table.recordBytes(r);
        if (!visible(bytes, r)) continue;
        OrderEntry e;
        e.recno = r;
        if (keepKeys) {
            if (!slotOf.empty()) slotOf[r] = uint32_t(all.size());
            char* full = arenaKey(r);
            compiled->build(bytes, full);
            packPrefix(full, width, descending, e.hi, e.lo);
        } else if (compiled) {
            compiled->build(bytes, prefix, prefixLen);
            packPrefix(prefix, prefixLen, descending, e.hi, e.lo);
        } else {
            keyOfBytes(bytes, k);
            packPrefix(k.data(), k.size(), descending, e.hi, e.lo);
        }
        all.push_back(e);
    }
    // With the full keys kept, the build reads no record again.
    if (release && n > 0) table.releaseRecords((n - 1) / kReleaseStep * kReleaseStep + 1, n);
    std::sort(all.begin(), all.end(), [](const OrderEntry& a, const OrderEntry& b) {
        if (a.hi != b.hi) return a.hi < b.hi;
        if (a.lo != b.lo) return a.lo < b.lo;
        return a.recno < b.recno;
    });

    // Runs of equal prefixes are put in order by their full keys; a run is in record order
    // already, so a stable sort keeps equal keys that way.
    std::vector<bool> sameKeyAsPrevious;
    if (unique) sameKeyAsPrevious.assign(all.size(), false);
    std::vector<KeyedEntry> run;                            // fixed-width keys from the arena
    std::vector<std::pair<std::string, OrderEntry>> loose;  // keys of a hand-made function
    for (size_t i = 0; i < all.size();) {
        size_t j = i + 1;
        while (j < all.size() && prefixEqual(all[i], all[j])) ++j;
        const size_t len = j - i;
        if (len >= 2 && !needFull) {
            if (unique) {
                for (size_t x = i + 1; x < j; ++x) sameKeyAsPrevious[x] = true;
            }
        } else if (len >= 2 && keepKeys) {
            run.resize(len);
            for (size_t x = 0; x < len; ++x) run[x] = {0, arenaKey(all[i + x].recno), all[i + x]};
            sortByKey(run.data(), run.data() + len, kPrefixBytes, width, descending);
            for (size_t x = 0; x < len; ++x) {
                all[i + x] = run[x].entry;
                if (unique && x > 0) sameKeyAsPrevious[i + x] = std::memcmp(run[x].key, run[x - 1].key, width) == 0;
            }
        } else if (len >= 2) {
            loose.resize(len);
            for (size_t x = 0; x < len; ++x) {
                keyOfRecord(all[i + x].recno, loose[x].first);
                loose[x].second = all[i + x];
            }
            std::stable_sort(loose.begin(), loose.end(), [&](const auto& a, const auto& b) {
                return directed(compareBytes(a.first, b.first)) < 0;
            });
            for (size_t x = 0; x < len; ++x) {
                all[i + x] = loose[x].second;
                if (unique && x > 0) sameKeyAsPrevious[i + x] = loose[x].first == loose[x - 1].first;
            }
        }
        i = j;
    }
    arena.reset();

    if (!unique) {
        main.assign(all);
        return;
    }
    std::vector<OrderEntry> firsts, hidden;
    for (size_t i = 0; i < all.size(); ++i) (sameKeyAsPrevious[i] ? hidden : firsts).push_back(all[i]);
    main.assign(firsts);
    shadow.assign(hidden);
}

bool Order::Impl::listEntries(const std::vector<uint32_t>& list, std::vector<bool>& seen,
                              std::vector<OrderEntry>& out) const {
    const uint32_t n = table.lastRec();
    const size_t prefixLen = std::min(width, kPrefixBytes);
    char prefix[kPrefixBytes];
    std::string k;
    out.reserve(list.size());
    for (uint32_t r : list) {
        if (r == 0 || r > n || seen[r]) return false;
        seen[r] = true;
        const char* bytes = table.recordBytes(r);
        if (!visible(bytes, r)) return false;
        OrderEntry e;
        e.recno = r;
        if (compiled) {
            compiled->build(bytes, prefix, prefixLen);
            packPrefix(prefix, prefixLen, descending, e.hi, e.lo);
        } else {
            keyOfBytes(bytes, k);
            packPrefix(k.data(), k.size(), descending, e.hi, e.lo);
        }
        out.push_back(e);
    }
    return true;
}

// Is the list in the order's sequence (keys, then record numbers)? With strictKeys no key may
// repeat (the entries of a unique order). Full keys are built only where prefixes tie.
bool Order::Impl::inSequence(const std::vector<OrderEntry>& list, bool strictKeys) const {
    std::string a, b;
    for (size_t i = 1; i < list.size(); ++i) {
        const OrderEntry& prev = list[i - 1];
        const OrderEntry& cur = list[i];
        if (prefixLess(prev, cur)) continue;
        if (!prefixEqual(prev, cur)) return false;
        int c = 0;
        if (needFull) {
            keyOfRecord(prev.recno, a);
            keyOfRecord(cur.recno, b);
            c = directed(compareBytes(a, b));
        }
        if (c > 0) return false;
        if (c == 0 && (strictKeys || prev.recno >= cur.recno)) return false;
    }
    return true;
}

// Takes the record numbers of a file when the file was made for this key, condition, flag set
// and table, and they are exactly the visible records in the order's sequence.
bool Order::Impl::adopt(const IndexFileContents& c) {
    if (c.expression != key.expression || c.condition != conditionText() || c.flags != flags() ||
        c.keyWidth != width || c.recordCount != table.lastRec()) {
        return false;
    }
    if (!unique && !c.shadow.empty()) return false;
    const uint32_t n = table.lastRec();
    size_t visibleCount = 0;
    for (uint32_t r = 1; r <= n; ++r) {
        visibleCount += visible(table.recordBytes(r), r) ? 1 : 0;
        if (r % kReleaseStep == 0) table.releaseRecords(r - (kReleaseStep - 1), r);
    }
    if (c.entries.size() + c.shadow.size() != visibleCount) return false;

    std::vector<bool> seen(size_t(n) + 1, false);
    std::vector<OrderEntry> entries, hidden;
    if (!listEntries(c.entries, seen, entries) || !listEntries(c.shadow, seen, hidden)) return false;
    if (!inSequence(entries, unique) || !inSequence(hidden, false)) return false;
    main.assign(entries);
    // Each hidden record must stand behind an earlier record of its key.
    std::string k;
    for (const OrderEntry& s : hidden) {
        keyOfRecord(s.recno, k);
        Probe p = probe(k, 0);
        OrderEntries::Cursor at = find(main, p);
        if (main.atEnd(at) || !hasKey(main.at(at), p) || main.at(at).recno > s.recno) {
            main.clear();
            return false;
        }
    }
    shadow.assign(hidden);
    return true;
}

// A unique order holds the first record (in record order) of each key; the others wait in the
// shadow list, so that the order always equals a fresh build of the table as it is now.
void Order::Impl::insertEntry(uint32_t recno, const std::string& k) {
    Probe p = probe(k, recno);
    OrderEntry e = entryOfKey(k, recno);
    if (unique) {
        Probe first = probe(k, 0);
        OrderEntries::Cursor at = find(main, first);
        if (!main.atEnd(at) && hasKey(main.at(at), first)) {
            OrderEntry holder = main.at(at);
            if (holder.recno < recno) {
                shadow.insert(find(shadow, p), e);
                return;
            }
            main.erase(at);
            shadow.insert(find(shadow, probe(k, holder.recno)), holder);
        }
    }
    main.insert(find(main, p), e);
}

void Order::Impl::removeEntry(uint32_t recno, const std::string& k) {
    Probe p = probe(k, recno);
    OrderEntries::Cursor at = find(main, p);
    if (!main.atEnd(at) && main.at(at).recno == recno) {
        main.erase(at);
        if (!unique) return;
        // The next record of the key, in record order, takes its place.
        Probe first = probe(k, 0);
        OrderEntries::Cursor next = find(shadow, first);
        if (!shadow.atEnd(next) && hasKey(shadow.at(next), first)) {
            OrderEntry heir = shadow.at(next);
            shadow.erase(next);
            main.insert(find(main, probe(k, heir.recno)), heir);
        }
        return;
    }
    if (unique) {
        at = find(shadow, p);
        if (!shadow.atEnd(at) && shadow.at(at).recno == recno) shadow.erase(at);
    }
}

void Order::Impl::save() {
    if (!dirty) return;
    IndexFileContents c;
    c.expression = key.expression;
    c.condition = conditionText();
    c.name = name;
    c.flags = flags();
    c.keyWidth = uint32_t(width);
    c.recordCount = table.lastRec();
    c.entries.reserve(main.size());
    main.forEach([&](const OrderEntry& e) { c.entries.push_back(e.recno); });
    c.shadow.reserve(shadow.size());
    shadow.forEach([&](const OrderEntry& e) { c.shadow.push_back(e.recno); });
    if (IndexFile::write(file, c)) dirty = false;
}

Order::Order(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Order::~Order() = default;

namespace {
// A key spec an order can work with: a build function or a compiled form that fits the table.
bool usableKey(const DbfTable& table, const KeySpec& key) {
    if (key.compiled) {
        for (const KeySegment& s : key.compiled->segments()) {
            if (s.offset < 1 || s.offset + s.fieldWidth > table.recordLength()) return false;
        }
        return key.compiled->width() > 0;
    }
    return bool(key.build);
}
}  // namespace

std::unique_ptr<Order> Order::build(const DbfTable& table, const std::filesystem::path& file, KeySpec key,
                                    OrderOptions options) {
    if (!usableKey(table, key)) {
        reportInvalidKey(file, key.expression);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(table, file, std::move(key), std::move(options));
    impl->buildEntries();
    impl->dirty = true;
    impl->save();
    return std::unique_ptr<Order>(new Order(std::move(impl)));
}

std::unique_ptr<Order> Order::load(const DbfTable& table, const std::filesystem::path& file, KeySpec key,
                                   OrderOptions options) {
    if (!usableKey(table, key)) {
        reportInvalidKey(file, key.expression);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(table, file, std::move(key), std::move(options));
    std::optional<IndexFileContents> contents = IndexFile::read(file);
    if (contents && impl->adopt(*contents)) {
        // The file may carry another name; the caller's (or the file's base name) counts.
        impl->dirty = contents->name != impl->name;
    } else {
        impl->buildEntries();
        impl->dirty = true;
    }
    impl->save();
    return std::unique_ptr<Order>(new Order(std::move(impl)));
}

const std::string& Order::name() const { return m_impl->name; }
const std::string& Order::expression() const { return m_impl->key.expression; }
const std::filesystem::path& Order::file() const { return m_impl->file; }
const OrderOptions& Order::options() const { return m_impl->options; }

size_t Order::size() const { return m_impl->main.size(); }

uint32_t Order::recnoAt(size_t position) const {
    return position < m_impl->main.size() ? m_impl->main.at(position).recno : 0;
}

std::optional<size_t> Order::positionOf(uint32_t recno) const {
    const Impl& d = *m_impl;
    if (recno == 0 || recno > d.table.lastRec()) return std::nullopt;
    const char* bytes = d.table.recordBytes(recno);
    if (!d.visible(bytes, recno)) return std::nullopt;
    std::string k;
    d.keyOfBytes(bytes, k);
    OrderEntries::Cursor at = d.find(d.main, d.probe(k, recno));
    if (d.main.atEnd(at) || d.main.at(at).recno != recno) return std::nullopt;
    return d.main.positionOf(at);
}

size_t Order::seek(std::string_view prefix, bool& found) const {
    const Impl& d = *m_impl;
    const size_t m = std::min(prefix.size(), kPrefixBytes);
    uint64_t phi = 0, plo = 0;
    packPrefix(prefix.data(), m, d.descending, phi, plo);
    const uint64_t maskHi = m == 0 ? 0 : (m >= 8 ? ~uint64_t(0) : ~uint64_t(0) << (8 * (8 - m)));
    const uint64_t maskLo = m <= 8 ? 0 : (m >= 16 ? ~uint64_t(0) : ~uint64_t(0) << (8 * (16 - m)));
    phi &= maskHi;
    plo &= maskLo;
    // With fixed-width keys at least as long as a short prefix, the entry prefixes decide alone.
    const bool prefixDecides = prefix.size() <= kPrefixBytes && d.width != 0 && d.width >= prefix.size();
    auto cut = [&](const OrderEntry& e) -> int {
        uint64_t eh = e.hi & maskHi;
        if (eh != phi) return eh < phi ? -1 : 1;
        uint64_t el = e.lo & maskLo;
        if (el != plo) return el < plo ? -1 : 1;
        if (prefixDecides) return 0;
        d.keyHeadOfRecord(e.recno, prefix.size(), d.scratch);
        std::string_view k(d.scratch);
        return d.directed(compareBytes(k.substr(0, prefix.size()), prefix));
    };
    OrderEntries::Cursor at = d.main.lowerBound([&](const OrderEntry& e) { return cut(e) < 0; });
    found = false;
    if (!d.main.atEnd(at) && cut(d.main.at(at)) == 0) {
        found = prefixDecides || d.scratch.size() >= prefix.size();
    }
    return d.main.positionOf(at);
}

std::string Order::keyOf(const RecordView& record) const {
    std::string k;
    m_impl->keyOfBytes(record.bytes(), k);
    return k;
}

void Order::recordAppended(uint32_t recno) {
    Impl& d = *m_impl;
    d.dirty = true;  // the table size in the file changes even when the record stays out
    if (recno == 0 || recno > d.table.lastRec()) return;
    const char* bytes = d.table.recordBytes(recno);
    if (!d.visible(bytes, recno)) return;
    std::string k;
    d.keyOfBytes(bytes, k);
    d.insertEntry(recno, k);
}

void Order::recordChanged(uint32_t recno, const char* oldBytes) {
    Impl& d = *m_impl;
    if (recno == 0 || recno > d.table.lastRec() || oldBytes == nullptr) return;
    const char* bytes = d.table.recordBytes(recno);
    // A change outside the key's fields (a mark, a play count) leaves the entry where it is;
    // with a condition the record might still come or go, so that case takes the long way.
    if (d.compiled && !d.options.condition && (oldBytes[0] == dbf::kDeletedFlag) == (bytes[0] == dbf::kDeletedFlag) &&
        d.compiled->sameFields(oldBytes, bytes)) {
        return;
    }
    bool wasIn = d.visible(oldBytes, recno);
    bool isIn = d.visible(bytes, recno);
    if (!wasIn && !isIn) return;
    std::string oldKey, newKey;
    if (wasIn) d.keyOfBytes(oldBytes, oldKey);
    if (isIn) d.keyOfBytes(bytes, newKey);
    if (wasIn && isIn && oldKey == newKey) return;
    if (wasIn) d.removeEntry(recno, oldKey);
    if (isIn) d.insertEntry(recno, newKey);
    d.dirty = true;
}

void Order::save() { m_impl->save(); }

}  // namespace klango::dbf
