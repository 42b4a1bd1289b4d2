#include "dbf/field_codec.h"

#include <gtest/gtest.h>

#include "dbf/record_view.h"

namespace klango::dbf::codec {
namespace {

std::string num(double v, int width, int decimals) {
    std::string out(size_t(width), '?');
    encodeNumeric(v, width, decimals, out.data());
    return out;
}

TEST(FieldCodecNumeric, RendersRightAlignedAndRounded) {
    EXPECT_EQ(num(2003, 4, 0), "2003");
    EXPECT_EQ(num(3.5, 9, 2), "     3.50");
    EXPECT_EQ(num(7, 2, 0), " 7");
    EXPECT_EQ(num(-1.5, 5, 1), " -1.5");
    EXPECT_EQ(num(2.675, 6, 2), "  2.68");  // the decimal form, not its binary neighbour
    EXPECT_EQ(num(0.125, 5, 2), " 0.13");
    EXPECT_EQ(num(-0.125, 5, 2), "-0.13");
    EXPECT_EQ(num(9.995, 5, 2), "10.00");  // carry into a new digit
    EXPECT_EQ(num(2.5, 1, 0), "3");
    EXPECT_EQ(num(-0.001, 5, 2), " 0.00");  // no minus sign on a zero
    EXPECT_EQ(num(1e15, 20, 2), " 1000000000000000.00");
    EXPECT_EQ(num(0.1 + 0.2, 6, 2), "  0.30");
}

TEST(FieldCodecNumeric, ValuesThatDoNotFitAreStars) {
    EXPECT_EQ(num(100, 2, 0), "**");
    EXPECT_EQ(num(123.45, 5, 2), "*****");
    EXPECT_EQ(num(-10, 2, 0), "**");
    EXPECT_EQ(num(99.996, 5, 2), "*****");  // rounds up out of the width
    EXPECT_EQ(num(1e300, 20, 0), std::string(20, '*'));
    EXPECT_EQ(num(std::numeric_limits<double>::quiet_NaN(), 4, 0), "****");
    EXPECT_EQ(num(std::numeric_limits<double>::infinity(), 4, 0), "****");
    EXPECT_FALSE(formatNumeric(100, 2, 0).has_value());
    EXPECT_EQ(formatNumeric(-9, 2, 0).value(), "-9");
}

TEST(FieldCodecNumeric, ReadsDigitsTolerantly) {
    EXPECT_EQ(decodeNumeric("    "), 0);
    EXPECT_EQ(decodeNumeric(""), 0);
    EXPECT_EQ(decodeNumeric("  42"), 42);
    EXPECT_EQ(decodeNumeric("    3.50"), 3.5);
    EXPECT_EQ(decodeNumeric("  -12.35"), -12.35);
    EXPECT_EQ(decodeNumeric("- 5"), -5);
    EXPECT_EQ(decodeNumeric("0.05"), 0.05);
    EXPECT_EQ(decodeNumeric(".5"), 0.5);
    EXPECT_EQ(decodeNumeric("12abc"), 12);
    EXPECT_EQ(decodeNumeric("*****"), 0);
    EXPECT_EQ(decodeNumeric("12345678901234567.50"), 12345678901234567.5);
    // Each rendering reads back as the value it rounds to.
    for (double v : {0.01, 1.23, 99.99, 123456.78, -0.5, 2.675}) {
        std::string text = num(v, 12, 2);
        EXPECT_EQ(decodeNumeric(text), std::stod(text)) << text;
    }
}

TEST(FieldCodecOtherTypes, DatesLogicalsAndText) {
    char d[8];
    encodeDate(base::Date{2024, 2, 29}, d);
    EXPECT_EQ(std::string(d, 8), "20240229");
    encodeDate(base::Date{}, d);
    EXPECT_EQ(std::string(d, 8), "        ");
    EXPECT_TRUE(decodeDate("        ").isEmpty());
    EXPECT_TRUE(decodeDate("2024ab01").isEmpty());
    for (const char* t : {"T", "t", "Y", "y"}) EXPECT_TRUE(decodeLogical(t)) << t;
    for (const char* f : {"F", "f", "N", " ", "?", ""}) EXPECT_FALSE(decodeLogical(f)) << f;
    EXPECT_TRUE(decodeLogical(std::string_view("T")));
    char c[5];
    encodeCharacter("\xe4\xf6\xfc\xdf longer", c, 5);
    EXPECT_EQ(std::string(c, 5), "\xe4\xf6\xfc\xdf ");
}

TEST(FieldCodecConvert, BetweenTypes) {
    FieldDef cText{"A", FieldType::kCharacter, 6, 0};
    FieldDef cShort{"A", FieldType::kCharacter, 3, 0};
    FieldDef n52{"A", FieldType::kNumeric, 5, 2};
    FieldDef n30{"A", FieldType::kNumeric, 3, 0};
    FieldDef date{"A", FieldType::kDate, 8, 0};
    FieldDef logical{"A", FieldType::kLogical, 1, 0};
    auto conv = [](std::string_view raw, const FieldDef& from, const FieldDef& to, bool* fit = nullptr) {
        std::string out(size_t(to.width), '?');
        bool ok = convertField(raw, from, to, out.data());
        if (fit) *fit = ok;
        return out;
    };
    EXPECT_EQ(conv("abcdef", cText, cShort), "abc");
    EXPECT_EQ(conv("ab ", cShort, cText), "ab    ");
    EXPECT_EQ(conv(" 1.25", n52, n30), "  1");
    EXPECT_EQ(conv("  7", n30, n52), " 7.00");
    bool fit = true;
    EXPECT_EQ(conv("99.99", n52, n30, &fit), "100");
    EXPECT_TRUE(fit);
    EXPECT_EQ(conv("999", n30, n52, &fit), "*****");
    EXPECT_FALSE(fit);
    EXPECT_EQ(conv(" 12.5 ", cText, n52), "12.50");
    EXPECT_EQ(conv("  7", n30, cText), "7     ");
    EXPECT_EQ(conv("20231224", date, cText), "202312");
    EXPECT_EQ(conv("24.12.2023", FieldDef{"A", FieldType::kCharacter, 10, 0}, date), "20231224");
    EXPECT_EQ(conv("garbage ", FieldDef{"A", FieldType::kCharacter, 8, 0}, date), "        ");
    EXPECT_EQ(conv("y", logical, logical), "T");
    EXPECT_EQ(conv("T", logical, cShort), "T  ");
    EXPECT_EQ(conv(" yes  ", cText, logical), "T");
    // Blank stays blank; no conversion between numbers and dates.
    EXPECT_EQ(conv("     ", n52, n30), "   ");
    EXPECT_EQ(conv("20231224", date, n52), "     ");
    EXPECT_EQ(conv("T", logical, n30), "   ");
}

TEST(RecordViewDecoding, ReadsFieldsOfARecord) {
    Structure s = {{"A", FieldType::kNumeric, 4, 1}, {"B", FieldType::kDate, 8, 0}, {"C", FieldType::kLogical, 1, 0}};
    layoutFields(s);
    std::string bytes = "* 2.519991231y";
    RecordView v(s, bytes.data());
    EXPECT_TRUE(v.isDeleted());
    EXPECT_DOUBLE_EQ(v.number(0), 2.5);
    EXPECT_EQ(v.date(1), (base::Date{1999, 12, 31}));
    EXPECT_TRUE(v.logical(2));
    EXPECT_EQ(decodeNumber("  -3"), -3);
}

}  // namespace
}  // namespace klango::dbf::codec
