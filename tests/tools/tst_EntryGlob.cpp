#include "EntryGlob.h"

#include <gtest/gtest.h>

using kestrel::cli::EntryFilter;
using kestrel::cli::EntryGlob;

namespace {

bool Match(const char* pattern, const char* name)
{
    return EntryGlob(pattern).Matches(name);
}

} // namespace

TEST(EntryGlob, IgnoresTheCaseOfAsciiLettersAndReadsSlashAsBackslash)
{
    EXPECT_TRUE(Match("DATA/INI/Weapon.ini", "data\\ini\\WEAPON.INI"));
    EXPECT_TRUE(Match("data\\ini\\weapon.ini", "Data/Ini/weapon.ini"));
    // Only A-Z fold: Latin-1 letters compare by value, as in the archive's own lookups.
    EXPECT_FALSE(Match("\xC4.ini", "\xE4.ini"));
}

TEST(EntryGlob, StarStaysInsideOneFolderNameAndDoubleStarCrossesFolders)
{
    EXPECT_TRUE(Match("data\\ini\\*.ini", "data\\ini\\weapon.ini"));
    EXPECT_FALSE(Match("*.ini", "data\\ini\\weapon.ini"));
    EXPECT_TRUE(Match("**.ini", "data\\ini\\weapon.ini"));
    EXPECT_TRUE(Match("data\\**\\*.tga", "data\\art\\textures\\a.tga"));
    EXPECT_FALSE(Match("data\\**\\*.tga", "data\\art\\textures\\a.dds"));
    EXPECT_TRUE(Match("?ata\\x", "data\\x"));
    EXPECT_FALSE(Match("data?x", "data\\x"));
    EXPECT_TRUE(Match("*", ""));
    EXPECT_TRUE(Match("a*b*c", "aXXbYYc"));
    EXPECT_FALSE(Match("a*b*c", "aXXbYY"));
}

TEST(EntryGlob, APatternThatMatchesAFolderSelectsEverythingBelowIt)
{
    EXPECT_TRUE(Match("data\\ini", "data\\ini\\object\\tank.ini"));
    EXPECT_TRUE(Match("data/ini/", "data\\ini\\weapon.ini"));
    EXPECT_TRUE(Match("data\\*", "data\\ini\\weapon.ini"));
    EXPECT_FALSE(Match("data\\ini", "data\\ini2\\weapon.ini"));
    EXPECT_FALSE(Match("data\\ini", "data\\inifile"));
    EXPECT_FALSE(Match("data\\ini\\weapon.ini", "data\\ini"));
}

TEST(EntryGlob, CharacterClassesWithRangesNegationAndLiteralBrackets)
{
    EXPECT_TRUE(Match("tank[0-9].w3d", "TANK7.w3d"));
    EXPECT_FALSE(Match("tank[0-9].w3d", "tankA.w3d"));
    EXPECT_TRUE(Match("[A-C]x", "bx"));
    EXPECT_TRUE(Match("[!a-c]x", "dx"));
    EXPECT_FALSE(Match("[!a-c]x", "Bx"));
    EXPECT_FALSE(Match("a[!b]c", "a\\c")) << "a class never matches the separator";
    EXPECT_TRUE(Match("[]]x", "]x"));
    EXPECT_TRUE(Match("[*]", "*"));
    EXPECT_FALSE(Match("[*]", "a"));
    EXPECT_TRUE(Match("a[b", "a[b")) << "an unclosed bracket is an ordinary character";
    EXPECT_TRUE(Match("[!]x", "[!]x"));
}

TEST(EntryFilter, SelectsEverythingWithoutPatternsAndReportsPatternsThatSelectedNothing)
{
    EntryFilter all({});
    EXPECT_TRUE(all.Selects("anything"));
    EXPECT_TRUE(all.UnusedPatterns().empty());

    EntryFilter some({"*.ini", "art", "*.w3d"});
    EXPECT_TRUE(some.Selects("a.ini"));
    EXPECT_TRUE(some.Selects("art\\x.tga"));
    EXPECT_FALSE(some.Selects("b.txt"));
    EXPECT_EQ(some.UnusedPatterns(), std::vector<std::string>{"*.w3d"});
}
