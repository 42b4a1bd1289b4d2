#include "dbf/key_expression.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/cp1252.h"
#include "base/error.h"

using namespace klango::dbf;
namespace base = klango::base;

namespace {

Structure trackLikeFields() {
    Structure s = {
        {"PATH", FieldType::kCharacter, 250, 0},  {"ALBUM", FieldType::kCharacter, 40, 0},
        {"GROUP", FieldType::kCharacter, 40, 0},  {"TITLE", FieldType::kCharacter, 40, 0},
        {"GENRE", FieldType::kCharacter, 20, 0},  {"YEAR", FieldType::kNumeric, 4, 0},
        {"TIME", FieldType::kCharacter, 5, 0},    {"TRACK", FieldType::kNumeric, 2, 0},
        {"PLAYDATE", FieldType::kDate, 8, 0},     {"RANGE", FieldType::kNumeric, 1, 0},
        {"TAGGED", FieldType::kLogical, 1, 0},    {"TRSIZE", FieldType::kNumeric, 9, 2},
    };
    layoutFields(s);
    return s;
}

// An all-blank record with some fields set to exactly these bytes.
class Record {
public:
    explicit Record(const Structure& s) : m_fields(s), m_bytes(size_t(recordLengthOf(s)), ' ') {}
    Record& set(const char* field, std::string_view bytes) {
        const FieldDef& f = m_fields[size_t(fieldIndexOf(m_fields, field))];
        std::string padded(bytes.substr(0, size_t(f.width)));
        padded.resize(size_t(f.width), ' ');
        std::memcpy(m_bytes.data() + f.offset, padded.data(), padded.size());
        return *this;
    }
    const char* bytes() const { return m_bytes.data(); }
    RecordView view() const { return {m_fields, m_bytes.data()}; }

private:
    const Structure& m_fields;
    std::string m_bytes;
};

std::string keyOf(const KeySpec& spec, const Record& r) {
    std::string out;
    spec.build(r.view(), out);
    return out;
}

struct CapturedErrors {
    CapturedErrors() {
        previous = base::setErrorHandler([this](const base::ErrorRecord& e) {
            errors.push_back(e);
            return base::ErrorAnswer::fallBack();
        });
    }
    ~CapturedErrors() { base::setErrorHandler(previous); }
    std::vector<base::ErrorRecord> errors;
    base::ErrorHandler previous;
};

}  // namespace

TEST(KeyExpression, TrackKeysHaveTheWidthsOfTheirFields) {
    Structure s = trackLikeFields();
    const std::pair<const char*, size_t> keys[] = {
        {"upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", 122},
        {"upper(ALBUM)+str(TRACK)+upper(TITLE)", 82},
        {"upper(TITLE)+upper(GROUP)+upper(ALBUM)", 120},
        {"upper(GENRE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", 142},
        {"TIME+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", 127},
        {"str(RANGE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", 123},
    };
    Record r(s);
    r.set("GROUP", "Die \xC4rzte").set("TITLE", "Schrei nach Liebe").set("TRACK", " 7");
    for (const auto& [expression, width] : keys) {
        KeySpec spec = compileKey(s, expression);
        ASSERT_TRUE(spec.build) << expression;
        EXPECT_EQ(keyWidth(spec), width) << expression;
        EXPECT_EQ(keyOf(spec, r).size(), width) << expression;
        EXPECT_EQ(spec.compiled->build(r.bytes()), keyOf(spec, r));
    }
}

TEST(KeyExpression, UpperChangesOnlyAToZAndKeepsBlanks) {
    Structure s = trackLikeFields();
    KeySpec spec = compileKey(s, "upper(GROUP)+TIME");
    Record r(s);
    r.set("GROUP", "die \xE4rzte & co").set("TIME", "3:05");
    EXPECT_EQ(keyOf(spec, r), "DIE \xE4RZTE & CO" + std::string(26, ' ') + "3:05 ");

    // Every byte value at every position within a group of eight bytes.
    KeySpec path = compileKey(s, "upper(PATH)");
    for (int shift = 0; shift < 8; ++shift) {
        std::string bytes;
        for (int i = 0; i < 250; ++i) bytes += char((i * 7 + shift) & 0xFF);
        Record all(s);
        all.set("PATH", bytes);
        EXPECT_EQ(keyOf(path, all), base::upperAZ(bytes)) << shift;
    }
}

TEST(KeyExpression, StrRendersTheValueRightAlignedInItsWidth) {
    Structure s = trackLikeFields();
    Record r(s);
    EXPECT_EQ(keyOf(compileKey(s, "str(TRACK)"), r), " 0");  // blank reads as 0
    EXPECT_EQ(keyOf(compileKey(s, "TRACK"), r), " 0");       // a number alone keys as str()
    r.set("TRACK", "3 ");                                     // foreign, left-aligned digits
    EXPECT_EQ(keyOf(compileKey(s, "str(TRACK)"), r), " 3");
    r.set("TRACK", "03");
    EXPECT_EQ(keyOf(compileKey(s, "str(TRACK)"), r), " 3");
    r.set("TRACK", "12");
    EXPECT_EQ(keyOf(compileKey(s, "str(TRACK)"), r), "12");
    r.set("TRSIZE", "     3.5");
    EXPECT_EQ(keyOf(compileKey(s, "str(TRSIZE)"), r), "     3.50");
    EXPECT_EQ(keyOf(compileKey(s, "str(TRSIZE,4)"), r), "   4");  // no decimals, rounded
    r.set("YEAR", "  -5");
    EXPECT_EQ(keyOf(compileKey(s, "str(YEAR)"), r), "  -5");
    EXPECT_EQ(keyOf(compileKey(s, "str(YEAR, 1)"), r), "*");  // does not fit
}

TEST(KeyExpression, DatesAndLogicals) {
    Structure s = trackLikeFields();
    KeySpec spec = compileKey(s, "PLAYDATE+TAGGED");
    ASSERT_TRUE(spec.build);
    EXPECT_EQ(keyWidth(spec), 9u);
    Record r(s);
    EXPECT_EQ(keyOf(spec, r), "        F");
    r.set("PLAYDATE", "20240131").set("TAGGED", "t");
    EXPECT_EQ(keyOf(spec, r), "20240131T");
    r.set("PLAYDATE", "2024AB01").set("TAGGED", "Y");
    EXPECT_EQ(keyOf(spec, r), "        T");
}

TEST(KeyExpression, AliasesBlanksAndCaseDoNotMatter) {
    Structure s = trackLikeFields();
    Record r(s);
    r.set("PATH", "/music/a.mp3").set("GROUP", "abba").set("TITLE", "sos");
    const std::string expected = keyOf(compileKey(s, "upper(PATH)"), r);
    EXPECT_EQ(expected.substr(0, 12), "/MUSIC/A.MP3");
    EXPECT_EQ(keyOf(compileKey(s, "upper(DMP3->PATH)"), r), expected);
    EXPECT_EQ(keyOf(compileKey(s, " UPPER ( dmp3 -> path ) "), r), expected);
    EXPECT_EQ(keyOf(compileKey(s, "upper(DMP3->GROUP)+upper(DMP3->TITLE)"), r),
              keyOf(compileKey(s, "Upper(Group) + Upper(Title)"), r));
}

TEST(KeyExpression, PrefixBuildWritesNoMoreThanAskedFor) {
    Structure s = trackLikeFields();
    KeySpec spec = compileKey(s, "upper(GROUP)+str(TRACK)");
    Record r(s);
    r.set("GROUP", "queen").set("TRACK", " 9");
    char out[16];
    std::memset(out, '#', sizeof out);
    spec.compiled->build(r.bytes(), out, 5);
    EXPECT_EQ(std::string(out, 6), "QUEEN#");
    // A cut inside the number term.
    char full[42];
    std::memset(full, '#', sizeof full);
    spec.compiled->build(r.bytes(), full, 41);
    EXPECT_EQ(std::string(full + 39, 3), "  #");
}

TEST(KeyExpression, BadExpressionsGoToTheErrorHandlerAndYieldNoKey) {
    Structure s = trackLikeFields();
    const std::pair<const char*, int> bad[] = {
        {"", base::kErrSyntax},
        {"   ", base::kErrSyntax},
        {"upper(GROUP", base::kErrSyntax},
        {"GROUP+", base::kErrSyntax},
        {"GROUP TITLE", base::kErrSyntax},
        {"lower(GROUP)", base::kErrSyntax},
        {"upper(upper(GROUP))", base::kErrNoVar},  // UPPER taken as a field name
        {"str(TRACK,0)", base::kErrSyntax},
        {"str(TRACK,x)", base::kErrSyntax},
        {"DMP3->", base::kErrSyntax},
        {"upper(NOFIELD)", base::kErrNoVar},
        {"GROUP+ARTIST", base::kErrNoVar},
        {"str(TITLE)", base::kErrArgument},
        {"upper(YEAR)", base::kErrArgument},
        {"upper(PLAYDATE)", base::kErrArgument},
    };
    for (const auto& [expression, code] : bad) {
        CapturedErrors captured;
        KeySpec spec = compileKey(s, expression);
        EXPECT_FALSE(spec.build) << expression;
        EXPECT_FALSE(spec.compiled) << expression;
        EXPECT_EQ(spec.expression, expression);
        ASSERT_EQ(captured.errors.size(), 1u) << expression;
        EXPECT_EQ(captured.errors[0].genCode, code) << expression;
        EXPECT_EQ(captured.errors[0].operation, expression);
    }
}
