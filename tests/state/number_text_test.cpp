#include "number_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ParseCase {
    const char16_t* text;
    std::optional<std::int32_t> expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << QString::fromUtf16(c.text).left(40).toStdString() << '"';
}

class ParseTypedNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTypedNumberTest, ConvertsOrRefuses) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseTypedNumber(QString::fromUtf16(c.text), u'.'), c.expected)
        << QString::fromUtf16(c.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTypedNumberTest,
    testing::Values(
        // plain integers, signs, blanks around the number
        ParseCase{u"200000", 200000}, ParseCase{u"0", 0}, ParseCase{u"-5", -5}, ParseCase{u"+7", 7},
        ParseCase{u"  42 ", 42}, ParseCase{u"\t9", 9}, ParseCase{u"010", 10},
        ParseCase{u"0000000000000000000000000001", 1},
        // fractions round to nearest, ties to even
        ParseCase{u"2.5", 2}, ParseCase{u"3.5", 4}, ParseCase{u"2.51", 3},
        ParseCase{u"2.50000000001", 3}, ParseCase{u"-2.5", -2}, ParseCase{u"-3.5", -4},
        ParseCase{u"0.4999", 0}, ParseCase{u".5", 0}, ParseCase{u"1.", 1},
        // the 32-bit limits, also after rounding
        ParseCase{u"2147483647", 2147483647}, ParseCase{u"2147483648", std::nullopt},
        ParseCase{u"-2147483648", INT32_MIN}, ParseCase{u"-2147483649", std::nullopt},
        ParseCase{u"2147483647.4", 2147483647}, ParseCase{u"2147483646.5", 2147483646},
        ParseCase{u"2147483647.5", std::nullopt}, ParseCase{u"-2147483648.5", INT32_MIN},
        ParseCase{u"99999999999999999999999999999", std::nullopt},
        // everything else is refused
        ParseCase{u"", std::nullopt}, ParseCase{u"   ", std::nullopt},
        ParseCase{u"-", std::nullopt}, ParseCase{u"+", std::nullopt}, ParseCase{u".", std::nullopt},
        ParseCase{u"abc", std::nullopt}, ParseCase{u"12a", std::nullopt},
        ParseCase{u"1 2", std::nullopt}, ParseCase{u"0x10", std::nullopt},
        ParseCase{u"1e3", std::nullopt}, ParseCase{u"1,5", std::nullopt},
        ParseCase{u"1,000", std::nullopt}, ParseCase{u"--1", std::nullopt},
        ParseCase{u"\u0661\u0662", std::nullopt}, ParseCase{u"\uFF11", std::nullopt},
        ParseCase{u"\u22125", std::nullopt}));

TEST(ParseTypedNumber, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(ParseTypedNumber(QStringLiteral("1,5"), u','), 2);
    EXPECT_EQ(ParseTypedNumber(QStringLiteral("1.5"), u','), std::nullopt);
}

TEST(ParseTypedNumber, LongTextStaysCheap) {
    EXPECT_EQ(ParseTypedNumber(QString(100000, u'9'), u'.'), std::nullopt);
    EXPECT_EQ(ParseTypedNumber(QString(100000, u'0') + u'7', u'.'), 7);
    EXPECT_EQ(ParseTypedNumber(QStringLiteral("1.") + QString(100000, u'9'), u'.'), 2);
}

TEST(FormatTwoDecimals, ShortestFormRoundedHalfToEven) {
    EXPECT_EQ(FormatTwoDecimals(576.0 / 336.0, u'.'), "1.71");
    EXPECT_EQ(FormatTwoDecimals(672.0 / 304.0, u'.'), "2.21");
    EXPECT_EQ(FormatTwoDecimals(1.3, u'.'), "1.3");
    EXPECT_EQ(FormatTwoDecimals(2.0, u'.'), "2");
    EXPECT_EQ(FormatTwoDecimals(1.125, u'.'), "1.12"); // exact tie goes to even
    EXPECT_EQ(FormatTwoDecimals(1.375, u'.'), "1.38");
    EXPECT_EQ(FormatTwoDecimals(0.0, u'.'), "0");
    EXPECT_EQ(FormatTwoDecimals(576.0 / 336.0, u','), "1,71");
}

TEST(FormatWholeNumber, PlainDigitsWithoutExponent) {
    EXPECT_EQ(FormatWholeNumber(959), "959");
    EXPECT_EQ(FormatWholeNumber(-642), "-642");
    EXPECT_EQ(FormatWholeNumber(-0.0), "0");
    EXPECT_EQ(FormatWholeNumber(280000000000000.0), "280000000000000");
}

TEST(RoundHalfEven, Ties) {
    EXPECT_EQ(RoundHalfEven(870.5), 870);
    EXPECT_EQ(RoundHalfEven(871.5), 872);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

} // namespace
