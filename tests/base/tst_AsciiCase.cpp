#include "base/AsciiCase.h"

#include <gtest/gtest.h>

using namespace kestrel;

TEST(AsciiCase, FoldsOnlyTheLettersAToZAndOrdersSeparatorsAndDigitsBeforeLetters)
{
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Data\\INI\\Object.ini", "data\\ini\\object.INI"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC4", "\xE4")) << "Latin-1 letters keep their case";
    EXPECT_EQ(AsciiLowered("ABC\xC4z"), "abc\xC4z");
    EXPECT_LT(CompareIgnoringAsciiCase("a\\b", "a_b"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("a_b", "aab"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("a1", "a\\"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("Z", "\xE4"), 0);
    EXPECT_LT(CompareIgnoringAsciiCase("abc", "ABCD"), 0);
    EXPECT_EQ(CompareIgnoringAsciiCase("ABC", "abc"), 0);
}
