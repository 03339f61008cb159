// The level checks in their order, and the rounding of accepted levels for encoding and decoding.
#include "rot/rot.h"

#include <gtest/gtest.h>

#include "rowname.h"

#include <string>

namespace
{

struct CheckCase {
    const char *name;
    std::u16string text;
    std::u16string level;
    InputProblem expected;
};

class CheckInputTable : public testing::TestWithParam<CheckCase>
{
};

TEST_P(CheckInputTable, ReportsFirstProblem)
{
    const CheckCase &c = GetParam();
    EXPECT_EQ(CheckInput(c.text, c.level), c.expected);
}

const std::u16string kManyDigits = std::u16string(10000, u'9');
const std::u16string kManyZerosThen13 = std::u16string(10000, u'0') + u"13";
const std::u16string kTinyFraction = u"0." + std::u16string(10000, u'0') + u"1";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Levels, CheckInputTable, testing::Values(
    CheckCase{"EmptyTextWinsOverEverything", u"", u"", InputProblem::EmptyText},
    CheckCase{"EmptyTextWithBadLevel", u"", u"abc", InputProblem::EmptyText},
    CheckCase{"SpacesAreText", u"   ", u"13", InputProblem::None},
    CheckCase{"EmptyLevel", u"x", u"", InputProblem::EmptyLevel},
    CheckCase{"Letters", u"x", u"abc", InputProblem::LevelNotNumeric},
    CheckCase{"OnlySpace", u"x", u" ", InputProblem::LevelNotNumeric},
    CheckCase{"Exponent", u"x", u"1e999", InputProblem::LevelNotNumeric},
    CheckCase{"SmallExponent", u"x", u"1e1", InputProblem::LevelNotNumeric},
    CheckCase{"Nan", u"x", u"nan", InputProblem::LevelNotNumeric},
    CheckCase{"Inf", u"x", u"inf", InputProblem::LevelNotNumeric},
    CheckCase{"DoubleSign", u"x", u"--1", InputProblem::LevelNotNumeric},
    CheckCase{"Hex", u"x", u"0x1A", InputProblem::LevelNotNumeric},
    CheckCase{"ArabicIndicDigit", u"x", u"\u0663", InputProblem::LevelNotNumeric},
    CheckCase{"FullwidthDigit", u"x", u"\uff11", InputProblem::LevelNotNumeric},
    CheckCase{"LoneDot", u"x", u".", InputProblem::LevelNotNumeric},
    CheckCase{"LoneSign", u"x", u"-", InputProblem::LevelNotNumeric},
    CheckCase{"TwoDots", u"x", u"1.2.3", InputProblem::LevelNotNumeric},
    CheckCase{"ThousandsSeparator", u"x", u"1,000", InputProblem::LevelNotNumeric},
    CheckCase{"InnerSpace", u"x", u"1 3", InputProblem::LevelNotNumeric},
    CheckCase{"NulInside", u"x", std::u16string(u"1\0" "3", 3), InputProblem::LevelNotNumeric},
    CheckCase{"Twenty7", u"x", u"27", InputProblem::LevelOutOfRange},
    CheckCase{"MinusOne", u"x", u"-1", InputProblem::LevelOutOfRange},
    CheckCase{"MinusOnePointZero", u"x", u"-1.0", InputProblem::LevelOutOfRange},
    CheckCase{"TenThousandDigits", u"x", kManyDigits, InputProblem::LevelOutOfRange},
    CheckCase{"NegativeTenThousandDigits", u"x", u"-" + kManyDigits, InputProblem::LevelOutOfRange},
    CheckCase{"Zero", u"x", u"0", InputProblem::None},
    CheckCase{"TwentySix", u"x", u"26", InputProblem::None},
    CheckCase{"TwentySixPointNine", u"x", u"26.9", InputProblem::None},
    CheckCase{"MinusHalf", u"x", u"-0.5", InputProblem::None},
    CheckCase{"PlusSign", u"x", u"+5", InputProblem::None},
    CheckCase{"LeadingDot", u"x", u".5", InputProblem::None},
    CheckCase{"TrailingDot", u"x", u"7.", InputProblem::None},
    CheckCase{"SurroundingSpaces", u"x", u"  13\t", InputProblem::None},
    CheckCase{"LeadingZeros", u"x", kManyZerosThen13, InputProblem::None},
    CheckCase{"TinyFraction", u"x", kTinyFraction, InputProblem::None}),
    RowName());
// clang-format on

struct RoundCase {
    const char *name;
    std::u16string level;
    int encode;
    int decode;
};

class LevelRounding : public testing::TestWithParam<RoundCase>
{
};

TEST_P(LevelRounding, RoundsHalvesToEven)
{
    const RoundCase &c = GetParam();
    EXPECT_EQ(EncodeLevel(c.level), c.encode);
    EXPECT_EQ(DecodeLevel(c.level), c.decode);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, LevelRounding, testing::Values(
    RoundCase{"Thirteen", u"13", 13, 13},
    RoundCase{"Zero", u"0", 0, 26},
    RoundCase{"TwentySix", u"26", 26, 0},
    RoundCase{"One", u"1", 1, 25},
    RoundCase{"TwentySixAndHalf", u"26.5", 26, 0},
    RoundCase{"TwentyFiveAndHalf", u"25.5", 26, 0},
    RoundCase{"MinusHalf", u"-0.5", 0, 26},
    RoundCase{"Half", u"0.5", 0, 26},
    RoundCase{"OneAndHalf", u"1.5", 2, 24},
    RoundCase{"TwentySixPointSix", u"26.6", 27, -1},
    RoundCase{"MinusPointSix", u"-0.6", -1, 27},
    RoundCase{"TwentySixPointNine", u"26.9", 27, -1},
    RoundCase{"NegativeZero", u"-0", 0, 26},
    RoundCase{"LeadingZeros", kManyZerosThen13, 13, 13},
    RoundCase{"TinyFraction", kTinyFraction, 0, 26},
    // Decoding rounds 26 - v as a double, which cannot hold the last digits of these levels.
    RoundCase{"JustAboveHalfBeyondDoubleDigits", u"2.5000000000000004", 3, 24},
    RoundCase{"JustBelowHalfBeyondDoubleDigits", u"1.4999999999999998", 1, 24}),
    RowName());
// clang-format on

TEST(LevelRoundTrip, EncodeThenDecodeGivesTextBackForEveryAcceptedLevel)
{
    const std::u16string text = u"The Quick Brown Fox jumps over the lazy dog. Zz Aa";
    for (int tenths = -9; tenths < 270; ++tenths) {
        const std::u16string level = std::u16string(tenths < 0 ? u"-" : u"")
            + std::u16string(1, u'0' + std::abs(tenths) / 100 % 10)
            + std::u16string(1, u'0' + std::abs(tenths) / 10 % 10) + u"."
            + std::u16string(1, u'0' + std::abs(tenths) % 10);
        ASSERT_EQ(CheckInput(text, level), InputProblem::None) << tenths;
        EXPECT_EQ(RotText(RotText(text, EncodeLevel(level)), DecodeLevel(level)), text) << tenths;
    }
}

} // namespace
