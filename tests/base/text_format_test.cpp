#include "base/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace klango::base;

TEST(LeadingNumber, SkipsBlanksTakesSignAndStopsAtTheFirstNonDigit) {
    EXPECT_EQ(leadingNumber("42"), 42);
    EXPECT_EQ(leadingNumber("         1"), 1);
    EXPECT_EQ(leadingNumber(" \t7"), 7);
    EXPECT_EQ(leadingNumber("1abc"), 1);
    EXPECT_EQ(leadingNumber("-15 px"), -15);
    EXPECT_EQ(leadingNumber("+3"), 3);
    EXPECT_EQ(leadingNumber("12.9"), 12);
}

TEST(LeadingNumber, TextThatIsNoNumberIsZero) {
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("   "), 0);
    EXPECT_EQ(leadingNumber("abc1"), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("- 5"), 0);
}

TEST(LeadingNumber, HugeValuesStopAtTheLimitInsteadOfWrapping) {
    EXPECT_EQ(leadingNumber("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(leadingNumber("99999999999999999999999"), LLONG_MAX);
    EXPECT_EQ(leadingNumber("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(leadingNumber("-99999999999999999999999"), LLONG_MIN);
}

TEST(LeadingDecimal, ReadsThePointAndIgnoresTheRest) {
    EXPECT_DOUBLE_EQ(leadingDecimal("3.5"), 3.5);
    EXPECT_DOUBLE_EQ(leadingDecimal("  .25x"), 0.25);
    EXPECT_DOUBLE_EQ(leadingDecimal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(leadingDecimal("7."), 7.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("+2.5e3"), 2.5);  // no exponent in settings texts
    EXPECT_DOUBLE_EQ(leadingDecimal("1,5"), 1.0);     // the decimal sign is the point
    EXPECT_DOUBLE_EQ(leadingDecimal("."), 0.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("-x"), 0.0);
}

TEST(StrNumber, RightAlignsAndRoundsHalvesAwayFromZero) {
    EXPECT_EQ(strNumber(5, 10), "         5");
    EXPECT_EQ(strNumber(3.14159, 8, 2), "    3.14");
    EXPECT_EQ(strNumber(0.5, 3), "  1");
    EXPECT_EQ(strNumber(-0.5, 3), " -1");
    EXPECT_EQ(strNumber(2.5, 3), "  3");
    EXPECT_EQ(strNumber(2.675, 5, 2), " 2.68");  // binary 2.67499... still rounds as written
    EXPECT_EQ(strNumber(1.005, 4, 2), "1.01");
    EXPECT_EQ(strNumber(-12.345, 7, 1), "  -12.3");
    EXPECT_EQ(strNumber(7, 6, 3), " 7.000");
    EXPECT_EQ(strNumber(0.004, 5, 2), " 0.00");
}

TEST(StrNumber, NegativeZeroShowsWithoutSign) {
    EXPECT_EQ(strNumber(-0.001, 5, 2), " 0.00");
    EXPECT_EQ(strNumber(-0.0, 2), " 0");
}

TEST(StrNumber, TooWideOrNotFiniteGivesStars) {
    EXPECT_EQ(strNumber(12345, 4), "****");
    EXPECT_EQ(strNumber(-100, 3), "***");
    EXPECT_EQ(strNumber(9.996, 4, 2), "****");  // rounds up to 10.00
    EXPECT_EQ(strNumber(std::nan(""), 5), "*****");
    EXPECT_EQ(strNumber(INFINITY, 3), "***");
    EXPECT_EQ(strNumber(999, 3), "999");
}

TEST(StrNumber, TrimmedAndLargeNumbersKeepEveryDigit) {
    EXPECT_EQ(trimmedNumber(42), "42");
    EXPECT_EQ(trimmedNumber(-3.5, 2), "-3.50");
    EXPECT_EQ(trimmedNumber(1e20), "100000000000000000000");
    EXPECT_EQ(trimmedNumber(123456789012.0), "123456789012");
}

// Regression: the nudge that makes 2.675 round as written grew with the value and, from about
// 5.6e14 on, lifted whole numbers by one.
TEST(StrNumber, LargeWholeNumbersAreNotLiftedByTheHalfNudge) {
    EXPECT_EQ(trimmedNumber(1e15), "1000000000000000");
    EXPECT_EQ(trimmedNumber(999999999999999.0), "999999999999999");
    EXPECT_EQ(trimmedNumber(4503599627370495.0), "4503599627370495");
    EXPECT_EQ(strNumber(123456789012.34, 17, 4), "123456789012.3400");
    EXPECT_EQ(pictureE(7e14, 19, 0), "700.000.000.000.000");
    EXPECT_EQ(trimmedNumber(562949953421312.5), "562949953421313");  // a true half still rounds up
}

TEST(PictureE, UsesCommaAndThousandPoints) {
    EXPECT_EQ(pictureE(1234567.5, 12, 2), "1.234.567,50");
    EXPECT_EQ(pictureE(1234567.5, 14, 2), "  1.234.567,50");
    EXPECT_EQ(pictureE(999, 5, 0), "  999");
    EXPECT_EQ(pictureE(1000, 5, 0), "1.000");
    EXPECT_EQ(pictureE(-1234.565, 10, 2), " -1.234,57");
    EXPECT_EQ(pictureE(0.5, 4, 1), " 0,5");
    EXPECT_EQ(pictureE(1234567.5, 11, 2), "***********");
}

TEST(GroupThousands, GroupsFromTheRightWithSign) {
    EXPECT_EQ(groupThousands(0, '.'), "0");
    EXPECT_EQ(groupThousands(999, '.'), "999");
    EXPECT_EQ(groupThousands(1000, '.'), "1.000");
    EXPECT_EQ(groupThousands(-1234567, '.'), "-1.234.567");
    EXPECT_EQ(groupThousands(LLONG_MIN, '.'), "-9.223.372.036.854.775.808");
    EXPECT_EQ(groupThousands(123456, ' '), "123 456");
}

TEST(DateAndTimeTexts, TwoDigitFields) {
    EXPECT_EQ(formatDate(Date{2024, 3, 7}), "07.03.2024");
    EXPECT_EQ(formatDate(Date{}), "  .  .    ");
    EXPECT_EQ(hhmm(9, 5), "09:05");
    EXPECT_EQ(hhmmss(23, 59, 0), "23:59:00");
}
