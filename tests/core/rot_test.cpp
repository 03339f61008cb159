// RotText: alphabet edges, pass-through of everything else, and the round trip at every level.
#include "rot/rot.h"

#include <gtest/gtest.h>

#include "rowname.h"
#include "seeds.h"

#include <cstdint>
#include <random>
#include <string>

namespace
{

struct RotCase {
    const char *name;
    std::u16string input;
    int level;
    std::u16string expected;
};

class RotTextTable : public testing::TestWithParam<RotCase>
{
};

TEST_P(RotTextTable, GivesExpectedText)
{
    const RotCase &c = GetParam();
    EXPECT_EQ(RotText(c.input, c.level), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Edges, RotTextTable, testing::Values(
    RotCase{"HelloWorld13", u"Hello, World!", 13, u"Uryyb, Jbeyq!"},
    RotCase{"BackAgain13", u"Uryyb, Jbeyq!", 13, u"Hello, World!"},
    RotCase{"Empty", u"", 13, u""},
    RotCase{"LevelZero", u"Abc xyZ", 0, u"Abc xyZ"},
    RotCase{"Level26", u"Abc xyZ", 26, u"Abc xyZ"},
    RotCase{"WrapZ", u"zZ", 1, u"aA"},
    RotCase{"WrapAtEveryLetterEnd", u"yzYZ", 2, u"abAB"},
    RotCase{"NeighboursOfAlphabets", u"@[`{", 5, u"@[`{"},
    RotCase{"FirstAndLastLetters", u"AaZz", 25, u"ZzYy"},
    RotCase{"MixedWithLineBreak", u"Ab1 ?\r\nZz", 2, u"Cd1 ?\r\nBb"},
    RotCase{"Level27IsLevel1", u"ayzAYZ", 27, u"bzaBZA"},
    RotCase{"LevelMinus1IsLevel25", u"abzABZ", -1, u"zayZAY"},
    RotCase{"AccentsUntouched", u"\u00e9\u00c9\u00e0", 13, u"\u00e9\u00c9\u00e0"},
    RotCase{"FullwidthLettersUntouched", u"\uff21\uff41", 13, u"\uff21\uff41"},
    RotCase{"LettersPlus256Untouched", u"\u0141\u0161\u017a", 1, u"\u0141\u0161\u017a"},
    RotCase{"SurrogatesAndNulKept", std::u16string(u"a\xd83d\xde00\0b\xdc00", 6), 1,
            std::u16string(u"b\xd83d\xde00\0c\xdc00", 6)}),
    RowName());
// clang-format on

class RotLevels : public testing::TestWithParam<int>
{
};

TEST_P(RotLevels, InverseLevelGivesTextBack)
{
    const int level = GetParam();
    ForEachSeed(
        [level](std::uint32_t seed) {
            std::mt19937 random(seed);
            std::uniform_int_distribution<int> unit(0, 0x17f);
            std::u16string text;
            for (int i = 0; i < 2000; ++i)
                text.push_back(static_cast<char16_t>(unit(random)));
            EXPECT_EQ(RotText(RotText(text, level), 26 - level), text);
        },
        [] { return testing::Test::HasFailure(); });
}

TEST_P(RotLevels, ChangesOnlyAsciiLettersAndKeepsCase)
{
    const int level = GetParam();
    std::u16string all;
    // Not a whole number of the rotation's blocks, so that its leftover units are checked too.
    for (char32_t c = 0; c < 0x321; ++c)
        all.push_back(static_cast<char16_t>(c));
    const std::u16string out = RotText(all, level);
    ASSERT_EQ(out.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const char16_t c = all[i];
        if (c >= u'a' && c <= u'z')
            EXPECT_EQ(out[i], u'a' + ((c - u'a' + level % 26 + 26) % 26)) << "unit " << i;
        else if (c >= u'A' && c <= u'Z')
            EXPECT_EQ(out[i], u'A' + ((c - u'A' + level % 26 + 26) % 26)) << "unit " << i;
        else
            EXPECT_EQ(out[i], c) << "unit " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(MinusOneTo27, RotLevels, testing::Range(-1, 28));

TEST(RotTextLong, HandlesTextsFarBeyond16BitLengths)
{
    std::u16string text;
    for (int i = 0; i < 100000; ++i)
        text.push_back(i % 11 == 10 ? u' ' : static_cast<char16_t>(u'a' + i % 26));
    const std::u16string once = RotText(text, 13);
    ASSERT_EQ(once.size(), text.size());
    EXPECT_EQ(once[99999], u'a' + (99999 % 26 + 13) % 26);
    EXPECT_EQ(RotText(once, 13), text);
}

TEST(RotTextSteps, TwentySixSingleStepsGiveTextBack)
{
    const std::u16string start = u"The quick brown fox, Zz!";
    std::u16string text = start;
    for (int step = 1; step <= 26; ++step) {
        text = RotText(text, 1);
        EXPECT_EQ(text == start, step == 26) << "step " << step;
    }
}

} // namespace
