#include "archive/EntryGlob.h"

#include <gtest/gtest.h>

using kestrel::EntryFilter;
using kestrel::EntryGlob;

namespace {

struct GlobCase
{
    const char* pattern;
    const char* name;
    bool matches;
};

// Slash and backslash are one separator and only A-Z fold: Latin-1 letters compare by value,
// as in the archive's own lookups. A pattern that names a folder selects everything below it,
// a class never matches the separator and an unclosed bracket is an ordinary character.
const GlobCase Cases[] = {
    {"DATA/INI/Weapon.ini", "data\\ini\\WEAPON.INI", true},
    {"\xC4.ini", "\xE4.ini", false},
    {"*.ini", "data\\ini\\weapon.ini", false},
    {"**.ini", "data\\ini\\weapon.ini", true},
    {"data\\**\\*.tga", "data\\art\\textures\\a.tga", true},
    {"data?x", "data\\x", false},
    {"*", "", true},
    {"a*b*c", "aXXbYYc", true},
    {"a*b*c", "aXXbYY", false},
    {"data\\ini", "data\\ini\\object\\tank.ini", true},
    {"data/ini/", "data\\ini\\weapon.ini", true},
    {"data\\ini", "data\\ini2\\weapon.ini", false},
    {"data\\ini\\weapon.ini", "data\\ini", false},
    {"tank[0-9].w3d", "TANK7.w3d", true},
    {"[!a-c]x", "Bx", false},
    {"a[!b]c", "a\\c", false},
    {"[]]x", "]x", true},
    {"[*]", "a", false},
    {"a[b", "a[b", true},
};

} // namespace

TEST(EntryGlob, MatchesCaseFoldedSeparatorAwarePatternsAndWholeFolders)
{
    for (const auto& c : Cases)
        EXPECT_EQ(EntryGlob(c.pattern).Matches(c.name), c.matches) << c.pattern << " vs " << c.name;
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
