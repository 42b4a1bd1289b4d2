#include "dbf/index_file.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "test_helpers/test_helpers.h"

using namespace klango::dbf;
namespace base = klango::base;
using klango::test::TempHome;

namespace {

IndexFileContents sample() {
    IndexFileContents c;
    c.expression = "upper(GROUP)+str(TRACK)";
    c.condition = "TAGGED";
    c.name = "R\xE4ume1";
    c.flags = ntx::kFlagUnique | ntx::kFlagCondition;
    c.keyWidth = 42;
    c.recordCount = 7;
    c.entries = {3, 1, 7};
    c.shadow = {2, 5};
    return c;
}

void expectSame(const IndexFileContents& a, const IndexFileContents& b) {
    EXPECT_EQ(a.expression, b.expression);
    EXPECT_EQ(a.condition, b.condition);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.keyWidth, b.keyWidth);
    EXPECT_EQ(a.recordCount, b.recordCount);
    EXPECT_EQ(a.entries, b.entries);
    EXPECT_EQ(a.shadow, b.shadow);
}

}  // namespace

TEST(IndexFile, RoundTripsEveryHeaderFieldAndBothLists) {
    std::string bytes = IndexFile::encode(sample());
    EXPECT_EQ(bytes.size(), ntx::kFixedHeaderSize + 23 + 6 + 6 + 4 * 5);
    EXPECT_EQ(bytes.substr(0, 8), "KlangoIx");
    auto back = IndexFile::decode(bytes);
    ASSERT_TRUE(back);
    expectSame(*back, sample());

    IndexFileContents empty;
    auto none = IndexFile::decode(IndexFile::encode(empty));
    ASSERT_TRUE(none);
    expectSame(*none, empty);
}

TEST(IndexFile, RecordNumbersAreLittleEndianAfterTheTexts) {
    IndexFileContents c;
    c.expression = "A";
    c.entries = {0x01020304};
    std::string bytes = IndexFile::encode(c);
    ASSERT_EQ(bytes.size(), ntx::kFixedHeaderSize + 1 + 4);
    EXPECT_EQ(bytes[ntx::kFixedHeaderSize], 'A');
    EXPECT_EQ(bytes.substr(ntx::kFixedHeaderSize + 1), std::string("\x04\x03\x02\x01", 4));
}

TEST(IndexFile, EveryDamagedByteAndEveryCutIsRejected) {
    const std::string good = IndexFile::encode(sample());
    for (size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = char(bad[i] ^ 0x10);
        EXPECT_FALSE(IndexFile::decode(bad)) << "byte " << i;
    }
    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(IndexFile::decode(std::string_view(good).substr(0, n))) << "cut at " << n;
    }
    EXPECT_FALSE(IndexFile::decode(good + '\0'));
}

TEST(IndexFile, UnknownFlagsAndOtherVersionsAreRejectedEvenWithAGoodChecksum) {
    IndexFileContents c = sample();
    c.flags |= 16;
    EXPECT_FALSE(IndexFile::decode(IndexFile::encode(c)));

    std::string bytes = IndexFile::encode(sample());
    bytes[ntx::kOffVersion] = 2;  // outside the checksum, so only the version check can catch it
    EXPECT_FALSE(IndexFile::decode(bytes));
}

TEST(IndexFile, WritesAndReadsFiles) {
    TempHome home;
    auto file = home.data() / "ROCK1.NTX";
    EXPECT_FALSE(IndexFile::read(file));  // missing
    ASSERT_TRUE(IndexFile::write(file, sample()));
    auto back = IndexFile::read(file);
    ASSERT_TRUE(back);
    expectSame(*back, sample());

    IndexFileContents smaller;
    smaller.expression = "X";
    ASSERT_TRUE(IndexFile::write(file, smaller));  // replaces the longer file whole
    auto again = IndexFile::read(file);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->entries.empty());
}

TEST(IndexFile, AFailedWriteIsReportedAndLeavesNoFile) {
    TempHome home;
    auto file = home.data() / "missing-folder" / "X.NTX";
    std::vector<base::ErrorRecord> errors;
    int calls = 0;
    base::ErrorHandler previous = base::setErrorHandler([&](const base::ErrorRecord& e) {
        errors.push_back(e);
        return ++calls == 1 ? base::ErrorAnswer::retry() : base::ErrorAnswer::fallBack();
    });
    EXPECT_FALSE(IndexFile::write(file, sample()));
    base::setErrorHandler(previous);
    ASSERT_EQ(errors.size(), 2u);  // the retry was honoured once
    EXPECT_EQ(errors[0].genCode, base::kErrCreate);
    EXPECT_TRUE(errors[0].canRetry);
    EXPECT_EQ(errors[0].fileName, file.string());
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(IndexFile, Crc32MatchesTheStandardCheckValue) {
    EXPECT_EQ(IndexFile::crc32("123456789", 9), 0xCBF43926u);
}
