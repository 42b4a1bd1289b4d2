#include "dbf/order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "base/error.h"
#include "dbf/index_file.h"
#include "dbf/key_expression.h"
#include "test_helpers/test_helpers.h"

using namespace klango::dbf;
namespace base = klango::base;
using klango::test::readFileBytes;
using klango::test::TempHome;
using klango::test::writeFileBytes;
namespace fs = std::filesystem;

namespace {

enum SmallField { NAME, NUM, LONGNAME };

Structure smallFields() {
    return {{"NAME", FieldType::kCharacter, 10, 0},
            {"NUM", FieldType::kNumeric, 2, 0},
            {"LONGNAME", FieldType::kCharacter, 30, 0}};
}

std::vector<uint32_t> recnos(const Order& o) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < o.size(); ++i) out.push_back(o.recnoAt(i));
    return out;
}

class OrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = base::setErrorHandler([this](const base::ErrorRecord& e) {
            errors.push_back(e);
            return base::ErrorAnswer::fallBack();
        });
    }
    void TearDown() override {
        if (table) table->close();
        base::setErrorHandler(m_previous);
    }

    fs::path tablePath() const { return home.data() / "T.dbf"; }
    fs::path indexPath(const char* name = "T1.NTX") const { return home.data() / name; }

    void openNew(const Structure& fields) {
        ASSERT_TRUE(DbfTable::create(tablePath(), fields, base::Date{2024, 5, 1}));
        table = DbfTable::open(tablePath());
        ASSERT_TRUE(table);
    }
    void reopen() {
        table->close();
        table.reset();
        table = DbfTable::open(tablePath());
        ASSERT_TRUE(table);
    }
    void add(std::string_view name, double num = 0) {
        table->appendBlank();
        table->putC(NAME, name);
        table->putN(NUM, num);
        table->flush();
    }
    void setName(uint32_t recno, std::string_view name) {
        table->goTo(recno);
        table->putC(NAME, name);
        table->flush();
    }
    void setNum(uint32_t recno, double num) {
        table->goTo(recno);
        table->putN(NUM, num);
        table->flush();
    }
    void remove(uint32_t recno) {
        table->goTo(recno);
        table->deleteRecord();
        table->flush();
    }
    void recall(uint32_t recno) {
        table->goTo(recno);
        table->recall();
        table->flush();
    }
    KeySpec key(const char* expression) const { return compileKey(table->structure(), expression); }
    Order* create(const char* expression, OrderOptions options = {}, const char* file = "T1.NTX") {
        return table->createOrder(indexPath(file), key(expression), std::move(options));
    }
    Order* attach(const char* expression, OrderOptions options = {}, const char* file = "T1.NTX") {
        return table->attachOrder(indexPath(file), key(expression), std::move(options));
    }
    // The order a fresh build of the table gives now, for comparing a maintained order with it.
    std::vector<uint32_t> freshBuild(const char* expression, const OrderOptions& options) {
        auto o = Order::build(*table, indexPath("FRESH.NTX"), key(expression), options);
        return o ? recnos(*o) : std::vector<uint32_t>{};
    }
    // Makes the file look old, so that a rewrite shows in its time stamp.
    void ageFile(const fs::path& file) {
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(24));
        m_aged = fs::last_write_time(file);
    }
    bool rewritten(const fs::path& file) const { return fs::last_write_time(file) != m_aged; }

    TempHome home;
    std::unique_ptr<DbfTable> table;
    std::vector<base::ErrorRecord> errors;

private:
    base::ErrorHandler m_previous;
    fs::file_time_type m_aged;
};

ConditionSpec numAbove(double limit) {
    return {"NUM > " + std::to_string(int(limit)),
            [limit](const RecordView& r) { return r.number(NUM) > limit; }};
}

}  // namespace

TEST_F(OrderTest, EqualKeysFollowRecordOrderAndMixedCaseFoldsOnlyAToZ) {
    openNew(smallFields());
    for (const char* n : {"beta", "Alpha", "BETA", "\xC4pfel", "alpha", "Zebra", "\xE4pfel", "apfel", ""}) add(n);
    Order* o = create("upper(NAME)");
    ASSERT_TRUE(o);
    // "" < ALPHA(2,5) < APFEL < BETA(1,3) < ZEBRA < Ä (0xC4) < ä (0xE4): bytes above 0x7F sort last.
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{9, 2, 5, 8, 1, 3, 6, 4, 7}));
    EXPECT_EQ(o->name(), "T1");
    EXPECT_EQ(o->keyOf(table->view(7)), "\xE4PFEL     ");

    Order* exact = create("NAME");
    EXPECT_EQ(recnos(*exact), (std::vector<uint32_t>{9, 2, 3, 6, 5, 8, 1, 4, 7}));
}

TEST_F(OrderTest, DescendingReversesKeysButNotEqualKeys) {
    openNew(smallFields());
    for (const char* n : {"B", "A", "B", "C", "A"}) add(n);
    OrderOptions desc;
    desc.descending = true;
    Order* o = create("NAME", desc);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 1, 3, 2, 5}));
    bool found = false;
    EXPECT_EQ(o->seek("B", found), 1u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("BB", found), 1u);  // "B " is below "BB": going down it comes next
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("D", found), 0u);
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("0", found), 5u);  // below every key: past the end
    EXPECT_FALSE(found);

    setName(2, "D");
    add("B");
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 4, 1, 3, 6, 5}));
    EXPECT_EQ(recnos(*o), freshBuild("NAME", desc));
}

TEST_F(OrderTest, SeekFindsPrefixesAndGoesPastTheEndSoftly) {
    openNew(smallFields());
    for (const char* n : {"ABD", "ABC", "B", "ABC"}) add(n);
    Order* o = create("NAME");
    bool found = false;
    EXPECT_EQ(o->seek("AB", found), 0u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->recnoAt(0), 2u);
    EXPECT_EQ(o->seek("ABD", found), 2u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("AC", found), 3u);  // the next greater key
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("ZZZ", found), 4u);
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("", found), 0u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("B         X", found), 4u);  // longer than the key: never found
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("B         ", found), 3u);  // the whole key
    EXPECT_TRUE(found);
}

TEST_F(OrderTest, LongKeysThatShareALongPrefixSortAndSeekByTheWholeKey) {
    openNew(smallFields());
    const std::string base = "The Rolling Stones ";
    for (const char* tail : {"Live", "Gold", "", "Gold", "Best"}) {
        table->appendBlank();
        table->putC(LONGNAME, base + tail);
        table->flush();
    }
    Order* o = create("upper(LONGNAME)");
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 5, 2, 4, 1}));
    bool found = false;
    EXPECT_EQ(o->seek("THE ROLLING STONES G", found), 2u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("THE ROLLING STONES H", found), 4u);
    EXPECT_FALSE(found);
    EXPECT_EQ(o->positionOf(4), 3u);
    table->goTo(2);
    table->putC(LONGNAME, base + "Alive");
    table->flush();
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 2, 5, 4, 1}));

    OrderOptions desc;
    desc.descending = true;
    o = create("upper(LONGNAME)", desc);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{1, 4, 5, 2, 3}));
    EXPECT_EQ(o->seek("THE ROLLING STONES G", found), 1u);
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("THE ROLLING STONES C", found), 2u);  // going down, BEST is the first below it
    EXPECT_FALSE(found);
}

TEST_F(OrderTest, PositionsFollowTheRecordsCurrentKey) {
    openNew(smallFields());
    for (const char* n : {"C", "A", "B", "A"}) add(n);
    Order* o = create("NAME");
    EXPECT_EQ(o->positionOf(2), 0u);
    EXPECT_EQ(o->positionOf(4), 1u);
    EXPECT_EQ(o->positionOf(3), 2u);
    EXPECT_EQ(o->positionOf(1), 3u);
    EXPECT_FALSE(o->positionOf(0));
    EXPECT_FALSE(o->positionOf(5));
    remove(3);
    EXPECT_FALSE(o->positionOf(3));
    EXPECT_EQ(o->positionOf(1), 2u);
    EXPECT_EQ(o->size(), 3u);
    EXPECT_EQ(o->recnoAt(3), 0u);  // out of range
}

TEST_F(OrderTest, ConditionsAreJudgedAgainOnEveryWrite) {
    openNew(smallFields());
    add("A", 9);
    add("B", 1);
    add("C", 7);
    OrderOptions filtered;
    filtered.condition = numAbove(5);
    Order* o = create("NAME", filtered);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{1, 3}));
    setNum(2, 6);  // enters
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{1, 2, 3}));
    setNum(1, 2);  // leaves
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 3}));
    add("A", 8);  // appended and filled: enters at once after its flush
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 2, 3}));
    add("Z", 0);  // stays out
    EXPECT_EQ(o->size(), 3u);
    remove(3);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 2}));
    recall(3);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 2, 3}));
    EXPECT_EQ(recnos(*o), freshBuild("NAME", filtered));
}

TEST_F(OrderTest, UniqueKeepsTheFirstRecordOfEachKeyAndHandsOverWhenItLeaves) {
    openNew(smallFields());
    for (const char* n : {"A", "B", "A", "A", "C"}) add(n);
    OrderOptions unique;
    unique.unique = true;
    Order* o = create("NAME", unique);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{1, 2, 5}));
    EXPECT_FALSE(o->positionOf(3));  // hidden behind record 1

    setName(1, "D");  // record 3 is now the first A
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 2, 5, 1}));
    remove(3);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 2, 5, 1}));
    recall(3);  // comes back ahead of record 4
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 2, 5, 1}));
    add("B");  // a later B stays hidden
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 2, 5, 1}));
    setName(2, "E");  // the hidden B takes over
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 6, 5, 1, 2}));
    EXPECT_EQ(recnos(*o), freshBuild("NAME", unique));

    // The hidden records are kept in the file too, so the attached order hands over the same way.
    reopen();
    ageFile(indexPath());
    o = attach("NAME", unique);
    EXPECT_FALSE(rewritten(indexPath()));
    remove(3);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 6, 5, 1, 2}));
}

TEST_F(OrderTest, DescendingUniqueWithAHandMadeKeyOfVaryingLength) {
    openNew(smallFields());
    for (const char* n : {"AB", "ABC", "AB", "A", "ABC"}) add(n);
    KeySpec trimmed{"trim(NAME)", [](const RecordView& r, std::string& out) { out += base::trimRight(r.raw(NAME)); }};
    OrderOptions options;
    options.descending = true;
    options.unique = true;
    Order* o = table->createOrder(indexPath(), trimmed, options);
    ASSERT_TRUE(o);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 1, 4}));
    bool found = false;
    EXPECT_EQ(o->seek("AB", found), 0u);  // "ABC" begins with "AB"
    EXPECT_TRUE(found);
    EXPECT_EQ(o->seek("ABD", found), 0u);
    EXPECT_FALSE(found);
    EXPECT_EQ(o->seek("AA", found), 2u);
    EXPECT_FALSE(found);
    setName(2, "B");
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 5, 1, 4}));
}

TEST_F(OrderTest, AttachedOrdersFollowAppendsAndKeyChangesAtOnce) {
    openNew(smallFields());
    add("M", 5);
    add("B", 2);
    create("NAME");
    Order* byName = table->order(1);
    Order* byNum = attach("str(NUM)+NAME", {}, "T2.NTX");
    ASSERT_TRUE(byName && byNum);
    table->appendBlank();  // a blank record has a key at once
    EXPECT_EQ(recnos(*byName), (std::vector<uint32_t>{3, 2, 1}));
    table->putC(NAME, "Z");
    table->putN(NUM, 1);
    table->flush();
    EXPECT_EQ(recnos(*byName), (std::vector<uint32_t>{2, 1, 3}));
    EXPECT_EQ(recnos(*byNum), (std::vector<uint32_t>{3, 2, 1}));
    setNum(1, 0);
    EXPECT_EQ(recnos(*byNum), (std::vector<uint32_t>{1, 3, 2}));
    EXPECT_EQ(recnos(*byName), (std::vector<uint32_t>{2, 1, 3}));
}

TEST_F(OrderTest, AttachReadsItsFileWithoutRebuilding) {
    openNew(smallFields());
    for (const char* n : {"q", "c", "x", "a"}) add(n);
    create("upper(NAME)");
    reopen();
    ageFile(indexPath());
    Order* o = attach("upper(NAME)");
    ASSERT_TRUE(o);
    EXPECT_FALSE(rewritten(indexPath()));
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4, 2, 1, 3}));

    // Saving writes only after a change of entries.
    o->save();
    EXPECT_FALSE(rewritten(indexPath()));
    setNum(1, 4);  // not part of the key
    o->save();
    EXPECT_FALSE(rewritten(indexPath()));
    setName(1, "b");
    o->save();
    EXPECT_TRUE(rewritten(indexPath()));
    auto file = IndexFile::read(indexPath());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->entries, (std::vector<uint32_t>{4, 1, 2, 3}));
}

TEST_F(OrderTest, AFileMadeForAnotherKeyConditionFlagsOrTableSizeIsRebuilt) {
    openNew(smallFields());
    for (const char* n : {"b", "A", "c"}) add(n, 3);
    create("upper(NAME)");
    reopen();

    ageFile(indexPath());
    Order* o = attach("NAME");
    EXPECT_TRUE(rewritten(indexPath()));
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 1, 3}));
    EXPECT_EQ(IndexFile::read(indexPath())->expression, "NAME");

    table->detachOrders();
    OrderOptions desc;
    desc.descending = true;
    ageFile(indexPath());
    o = attach("NAME", desc);
    EXPECT_TRUE(rewritten(indexPath()));
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3, 1, 2}));

    table->detachOrders();
    OrderOptions filtered;
    filtered.descending = true;
    filtered.condition = numAbove(5);
    o = attach("NAME", filtered);
    EXPECT_EQ(o->size(), 0u);

    // A record appended while the order was not attached.
    table->detachOrders();
    add("0", 9);
    o = attach("NAME", filtered);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{4}));
}

TEST_F(OrderTest, DamagedFilesAreRebuilt) {
    openNew(smallFields());
    for (const char* n : {"d", "b", "c", "a"}) add(n);
    create("NAME");
    reopen();
    const std::string good = readFileBytes(indexPath());
    const std::vector<uint32_t> expected = {4, 2, 3, 1};

    auto attachDamaged = [&](const std::string& bytes, const char* what) {
        table->detachOrders();
        writeFileBytes(indexPath(), bytes);
        Order* o = attach("NAME");
        ASSERT_TRUE(o) << what;
        EXPECT_EQ(recnos(*o), expected) << what;
        EXPECT_EQ(readFileBytes(indexPath()), good) << what;  // written anew, whole
    };
    std::string flipped = good;
    flipped[good.size() - 3] ^= 0x01;
    attachDamaged(flipped, "flipped record number");
    attachDamaged(good.substr(0, good.size() - 2), "cut off");
    attachDamaged("", "empty");
    attachDamaged(std::string(200, 'x'), "garbage");

    // Undamaged by the checksum but wrong in content: out of order, out of range, twice listed.
    auto forged = [&](std::vector<uint32_t> entries) {
        IndexFileContents c = *IndexFile::decode(good);
        c.entries = std::move(entries);
        return IndexFile::encode(c);
    };
    attachDamaged(forged({2, 4, 3, 1}), "out of order");
    attachDamaged(forged({4, 2, 3, 9}), "out of range");
    attachDamaged(forged({4, 2, 2, 1}), "twice");
    attachDamaged(forged({4, 2, 3}), "one missing");
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, DeletedRecordsHaveNoEntry) {
    openNew(smallFields());
    for (const char* n : {"a", "b", "c"}) add(n);
    remove(2);
    Order* o = create("NAME");
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{1, 3}));
    remove(1);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{3}));
    recall(2);
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 3}));
    // A deleted record also leaves a file-attached order on the next open.
    reopen();
    o = attach("NAME");
    EXPECT_EQ(recnos(*o), (std::vector<uint32_t>{2, 3}));
}

TEST_F(OrderTest, AKeyThatCannotBeUsedFailsCleanly) {
    openNew(smallFields());
    add("a");
    EXPECT_EQ(table->createOrder(indexPath(), KeySpec{"nothing", {}}), nullptr);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back().genCode, base::kErrArgument);
    EXPECT_FALSE(fs::exists(indexPath()));

    // Compiled for a wider record than this table's.
    Structure wide = smallFields();
    wide.push_back({"EXTRA", FieldType::kCharacter, 50, 0});
    layoutFields(wide);
    errors.clear();
    EXPECT_EQ(table->createOrder(indexPath(), compileKey(wide, "EXTRA")), nullptr);
    EXPECT_EQ(errors.size(), 1u);
}

// The six orders of a track database over a few thousand random records with many equal
// prefixes, kept through random appends, changes, deletions and recalls, against a plain
// stable sort of keys built independently of the key compiler.
TEST_F(OrderTest, TrackOrdersMatchAReferenceSortThroughRandomChanges) {
    enum { GROUP, ALBUM, TITLE, GENRE, TIME, TRACK, RANGE };
    Structure fields = {{"GROUP", FieldType::kCharacter, 40, 0}, {"ALBUM", FieldType::kCharacter, 40, 0},
                        {"TITLE", FieldType::kCharacter, 40, 0}, {"GENRE", FieldType::kCharacter, 20, 0},
                        {"TIME", FieldType::kCharacter, 5, 0},   {"TRACK", FieldType::kNumeric, 2, 0},
                        {"RANGE", FieldType::kNumeric, 1, 0}};
    struct Term {
        char kind;  // 'U' upper(), 'S' str(), 'C' as stored
        int field;
    };
    struct Spec {
        const char* expression;
        std::vector<Term> terms;
    };
    const std::vector<Spec> specs = {
        {"upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", {{'U', GROUP}, {'U', ALBUM}, {'S', TRACK}, {'U', TITLE}}},
        {"upper(ALBUM)+str(TRACK)+upper(TITLE)", {{'U', ALBUM}, {'S', TRACK}, {'U', TITLE}}},
        {"upper(TITLE)+upper(GROUP)+upper(ALBUM)", {{'U', TITLE}, {'U', GROUP}, {'U', ALBUM}}},
        {"upper(GENRE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)",
         {{'U', GENRE}, {'U', GROUP}, {'U', ALBUM}, {'S', TRACK}, {'U', TITLE}}},
        {"TIME+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)",
         {{'C', TIME}, {'U', GROUP}, {'U', ALBUM}, {'S', TRACK}, {'U', TITLE}}},
        {"str(RANGE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)",
         {{'S', RANGE}, {'U', GROUP}, {'U', ALBUM}, {'S', TRACK}, {'U', TITLE}}},
    };
    const std::vector<std::string> groups = {"Abba", "ABBA", "abba ", "Die \xC4rzte", "die \xE4rzte",
                                             "The Rolling Stones", "The Rolling Stonesy", "The Rolling Stone",
                                             "Zz Top", "\xC4rzte", ""};
    const std::vector<std::string> albums = {"Gold", "Greatest Hits", "Greatest Hits Vol. 2", "", "\xFC" "ber"};
    const std::vector<std::string> titles = {"Intro", "intro", "Song", "Song 2", ""};
    const std::vector<std::string> genres = {"Rock", "rock", "Pop", ""};
    const std::vector<std::string> times = {"3:05", "3:5", "--:--", "", "10:00"};

    openNew(fields);
    std::mt19937 rng(20240501);
    auto pick = [&](const std::vector<std::string>& list) { return list[rng() % list.size()]; };
    auto fill = [&](bool all) {
        if (all || rng() % 2) table->putC(GROUP, pick(groups));
        if (all || rng() % 3 == 0) table->putC(ALBUM, pick(albums));
        if (all || rng() % 3 == 0) table->putC(TITLE, pick(titles));
        if (all || rng() % 4 == 0) table->putC(GENRE, pick(genres));
        if (all || rng() % 4 == 0) table->putC(TIME, pick(times));
        if (all || rng() % 3 == 0) table->putN(TRACK, double(rng() % 15));
        if (all || rng() % 4 == 0) table->putN(RANGE, double(rng() % 10));
    };
    for (int i = 0; i < 3000; ++i) {
        table->appendBlank();
        if (rng() % 20) fill(true);  // some stay blank
        if (rng() % 15 == 0) table->deleteRecord();
        table->flush();
    }

    auto referenceKey = [&](const Spec& spec, uint32_t recno) {
        std::string k;
        for (const Term& t : spec.terms) {
            std::string_view raw = table->view(recno).raw(t.field);
            if (t.kind == 'U') k += base::upperAZ(raw);
            if (t.kind == 'C') k += raw;
            if (t.kind == 'S') k += base::padLeft(std::to_string(long(table->view(recno).number(t.field))), raw.size());
        }
        return k;
    };
    // Orders 7 and 8: the artist key descending, the title key unique.
    auto check = [&](const char* when) {
        for (int n = 0; n < 8; ++n) {
            const Spec& spec = specs[size_t(n < 6 ? n : (n == 6 ? 0 : 2))];
            const bool descending = n == 6;
            const bool unique = n == 7;
            std::vector<std::pair<std::string, uint32_t>> want;
            for (uint32_t r = 1; r <= table->lastRec(); ++r) {
                if (!table->view(r).isDeleted()) want.emplace_back(referenceKey(spec, r), r);
            }
            // Compared as unsigned bytes (char is signed here).
            auto byteLess = [](const std::string& a, const std::string& b) {
                return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                    return (unsigned char)x < (unsigned char)y;
                });
            };
            std::stable_sort(want.begin(), want.end(), [&](const auto& a, const auto& b) {
                return descending ? byteLess(b.first, a.first) : byteLess(a.first, b.first);
            });
            if (unique) {
                want.erase(std::unique(want.begin(), want.end(),
                                       [](const auto& a, const auto& b) { return a.first == b.first; }),
                           want.end());
            }
            Order* o = table->order(n + 1);
            ASSERT_TRUE(o);
            ASSERT_EQ(o->size(), want.size()) << when << " order " << n + 1;
            for (size_t i = 0; i < want.size(); ++i) {
                ASSERT_EQ(o->recnoAt(i), want[i].second) << when << " order " << n + 1 << " at " << i;
            }
            for (int probe = 0; probe < 50 && !descending; ++probe) {
                size_t i = rng() % want.size();
                ASSERT_EQ(o->positionOf(want[i].second), i);
                std::string prefix = want[rng() % want.size()].first.substr(0, 1 + rng() % 60);
                if (rng() % 2) prefix.back() = char(prefix.back() + 1);
                size_t expect = 0;
                while (expect < want.size() &&
                       std::lexicographical_compare(want[expect].first.begin(),
                                                    want[expect].first.begin() + std::ptrdiff_t(prefix.size()),
                                                    prefix.begin(), prefix.end(), [](char x, char y) {
                                                        return (unsigned char)x < (unsigned char)y;
                                                    })) {
                    ++expect;
                }
                bool found = false;
                ASSERT_EQ(o->seek(prefix, found), expect) << when << " seek " << prefix;
                EXPECT_EQ(found, expect < want.size() && want[expect].first.compare(0, prefix.size(), prefix) == 0);
            }
        }
    };

    table->createOrder(home.data() / "T1.NTX", compileKey(table->structure(), specs[0].expression));
    for (int n = 2; n <= 6; ++n) {
        std::string file = "T" + std::to_string(n) + ".NTX";
        ASSERT_TRUE(table->attachOrder(home.data() / file,
                                       compileKey(table->structure(), specs[size_t(n - 1)].expression)));
    }
    OrderOptions desc;
    desc.descending = true;
    ASSERT_TRUE(table->attachOrder(home.data() / "T7.NTX", compileKey(table->structure(), specs[0].expression), desc));
    OrderOptions unique;
    unique.unique = true;
    ASSERT_TRUE(
        table->attachOrder(home.data() / "T8.NTX", compileKey(table->structure(), specs[2].expression), unique));
    check("after build");

    for (int step = 0; step < 600; ++step) {
        int what = int(rng() % 10);
        if (what < 3) {
            table->appendBlank();
            fill(true);
        } else {
            table->goTo(1 + rng() % table->lastRec());
            if (what < 8) {
                fill(false);
            } else if (table->isDeleted()) {
                table->recall();
            } else {
                table->deleteRecord();
            }
        }
        table->flush();
        if (step % 200 == 199) check("after changes");
    }

    // Saved on close, adopted again on the next open without a rebuild.
    reopen();
    for (int n = 1; n <= 8; ++n) {
        std::string file = "T" + std::to_string(n) + ".NTX";
        ageFile(home.data() / file);
        OrderOptions options = n == 7 ? desc : (n == 8 ? unique : OrderOptions{});
        const Spec& spec = specs[size_t(n <= 6 ? n - 1 : (n == 7 ? 0 : 2))];
        ASSERT_TRUE(table->attachOrder(home.data() / file, compileKey(table->structure(), spec.expression), options));
        EXPECT_FALSE(rewritten(home.data() / file)) << file;
    }
    check("after reattach");
}

// The filter's needs: keys over a piece of a field, a condition that reads the record number
// (a list of chosen records), one order dropped while the others stay, and appending only the
// records of another table that meet a condition.
TEST_F(OrderTest, SubstrKeysRecordNumberConditionsDetachingOneOrderAndConditionalAppend) {
    openNew(smallFields());
    add("zebra", 3);
    add("Apfel", 1);
    add("apricot", 2);
    add("Birne", 9);
    const std::pair<const char*, std::vector<uint32_t>> keys[] = {
        {"upper(substr(NAME,1,2))", {2, 3, 4, 1}},  // AP AP BI ZE: ties by record number
        {"substr(NAME,2,1)", {1, 4, 2, 3}},         // e i p p
        {"upper(substr(NAME, 3))", {1, 2, 3, 4}},   // to the field's end: BRA FEL RICOT RNE
    };
    for (const auto& [expression, expected] : keys) {
        KeySpec spec = key(expression);
        ASSERT_TRUE(spec.build) << expression;
        auto o = Order::build(*table, indexPath("SUB.NTX"), spec, {});
        ASSERT_TRUE(o) << expression;
        EXPECT_EQ(recnos(*o), expected) << expression;
    }
    EXPECT_EQ(compileKey(table->structure(), "upper(substr(NAME,1,38))").compiled->width(), 10u);
    {
        std::vector<base::ErrorRecord> before = errors;
        EXPECT_FALSE(key("substr(NUM,1,1)").build);
        EXPECT_FALSE(key("substr(NAME)").build);
        EXPECT_FALSE(key("substr(NAME,0,2)").build);
        EXPECT_EQ(errors.size(), before.size() + 3);
    }

    // Records 2 and 4 chosen by number; a write re-judges once, never twice.
    OrderOptions chosen;
    chosen.condition = ConditionSpec{"(chosen)", nullptr, [](const RecordView&, uint32_t recno) {
                                         return recno == 2 || recno == 4;
                                     }};
    ASSERT_TRUE(create("NAME", {}, "T1.NTX"));
    Order* view = table->addOrder(indexPath("T2.NTX"), key("upper(NAME)"), chosen);
    ASSERT_TRUE(view);
    ASSERT_TRUE(table->setOrder(2));
    EXPECT_EQ(recnos(*view), (std::vector<uint32_t>{2, 4}));
    setNum(2, 5);
    setNum(2, 6);
    setName(4, "Aal");
    EXPECT_EQ(recnos(*view), (std::vector<uint32_t>{4, 2}));
    EXPECT_EQ(table->count(), 2u);
    ASSERT_TRUE(table->detachOrder(2));
    EXPECT_EQ(table->orderCount(), 1);
    EXPECT_EQ(table->orderNumber(), 0);
    EXPECT_TRUE(table->setOrder(1));
    EXPECT_EQ(table->count(), 4u);
    EXPECT_FALSE(table->detachOrder(2));

    const fs::path other = home.data() / "U.dbf";
    ASSERT_TRUE(DbfTable::create(other, smallFields(), base::Date{2024, 5, 1}));
    auto target = DbfTable::open(other);
    ASSERT_TRUE(target);
    remove(3);
    // zebra 3, Apfel 6 and Aal 9; apricot is deleted
    EXPECT_EQ(target->appendFrom(*table, [](const RecordView& r) { return r.number(NUM) > 2; }), 3u);
    EXPECT_EQ(target->lastRec(), 3u);
    EXPECT_EQ(base::trim(target->view(2).raw(NAME)), "Apfel");
    target->close();
}
