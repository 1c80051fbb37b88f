#include "ToolTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel::test;

TEST(GrepCommand, PrintsMatchingLinesAsGrepDoesWithItsExitStatuses)
{
    TempFolder folder;
    BigArchiveBuilder builder;
    builder.Add("data\\ini\\weapon.ini", "Weapon Gun\r\n  Damage = 10\nEnd\n")
        .Add("art\\w3d\\tank.w3d", std::vector<std::uint8_t>{0, 0, 'D', 'a', 'm', 'a', 'g', 'e'})
        .Add("data\\ini\\object.ini", "Object Tank\n  damage = 99");
    builder.WriteTo(folder / "mod.big");
    const struct
    {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"grep", "Damage", "mod.big"}, 0, "data\\ini\\weapon.ini:2:  Damage = 10\nBinary entry art\\w3d\\tank.w3d matches\n"},
        {{"grep", "-i", "damage", "mod.big", "data/ini"}, 0,
         "data\\ini\\weapon.ini:2:  Damage = 10\ndata\\ini\\object.ini:2:  damage = 99\n"},
        {{"grep", "--regex", "^(Weapon|Object) [A-Z]", "mod.big", "**.ini"}, 0,
         "data\\ini\\weapon.ini:1:Weapon Gun\ndata\\ini\\object.ini:1:Object Tank\n"},
        {{"grep", "Armor", "mod.big"}, 1, ""},
        {{"grep", "--regex", "(", "mod.big"}, 2, ""},
        {{"grep", "Damage", "missing.big"}, 2, ""},
    };
    for (const auto& c : cases) {
        const auto run = RunTool(folder.Path(), c.args);
        EXPECT_EQ(run.status, c.status) << c.args[2] << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[2];
        EXPECT_EQ(run.err.empty(), c.status < 2) << run.err;
    }
}
