#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;
using namespace kestrel::cli;

using testing::HasSubstr;

namespace {

constexpr const char* kEntryText = "Object T\xE9st ; unit\r\n"    // 0
                                   "  Body = ActiveBody Tag_1\r\n" // 1
                                   "    MaxHealth = 5\r\n"         // 2
                                   "  End\r\n"                     // 3
                                   "  KindOf = \"A\\B\"\r\n"       // 4
                                   "End\r\n";                      // 5

class CommandIniTest : public ::testing::Test
{
protected:
    CommandIniTest()
    {
        samples::BigArchiveBuilder builder;
        builder.Add("data\\ini\\object\\test.ini", std::string(kEntryText));
        builder.WriteTo(folder / "INI.big");
        samples::WriteFileBytes(folder / "config.ini", samples::Bytes("Games\n  ZeroHour\n    ForcedObjects\n      Body =\n"
                                                                "    End\n  End\nEnd\n"));
    }

    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "ini");
        test::ToolRun run = test::RunTool(folder.Path(), std::move(args));
        out = std::move(run.out);
        err = std::move(run.err);
        return run.status;
    }

    samples::TempFolder folder;
    std::string out;
    std::string err;
};

TEST_F(CommandIniTest, PrintsTheTreeAsJsonObjectsWithKeysInOrderAndLatin1AsUtf8)
{
    ASSERT_EQ(Run({"--json", "INI.big", "data/ini/object/test.ini"}), ExitOk) << err;
    // Without a structure configuration the module line is a value and its End closes the object.
    EXPECT_EQ(out,
              "{\"name\": \"\", \"rest\": \"\", \"startLine\": 0, \"endLine\": 6, \"values\": [], \"children\": ["
              "{\"name\": \"KindOf\", \"rest\": \"= \\\"A\\\\B\\\"\", \"startLine\": 4, \"endLine\": 5, \"values\": [], "
              "\"children\": []}, "
              "{\"name\": \"Object\", \"rest\": \"T\xC3\xA9st \", \"startLine\": 0, \"endLine\": 3, \"values\": ["
              "{\"key\": \"Body\", \"text\": \"ActiveBody Tag_1\", \"line\": 1}, "
              "{\"key\": \"MaxHealth\", \"text\": \"5\", \"line\": 2}], \"children\": []}]}\n");
}

TEST_F(CommandIniTest, UsesTheGamesStructureConfigurationForModules)
{
    ASSERT_EQ(Run({"--game", "zerohour", "--config", "config.ini", "INI.big", "data\\ini\\object\\test.ini"}), ExitOk)
        << err;
    EXPECT_EQ(out, "Object T\xE9st  (lines 0-5)\n"
                         "  KindOf = \"A\\\\B\" (line 4)\n"
                         "  Body = ActiveBody Tag_1 (lines 1-3)\n"
                         "    MaxHealth = 5 (line 2)\n");

    ASSERT_EQ(Run({"-g", "zerohour", "INI.big", "data/ini/object/test.ini"}), ExitOk)
        << "the shipped kestrel.ini beside the program: " << err;
    EXPECT_THAT(out, HasSubstr("  Body = ActiveBody Tag_1 (lines 1-3)\n"));
}

TEST_F(CommandIniTest, AtPrintsTheBlockAndValueUnderALine)
{
    ASSERT_EQ(Run({"--at", "2", "--game", "zerohour", "--config", "config.ini", "INI.big", "data/ini/object/test.ini"}),
              ExitOk);
    EXPECT_EQ(out, "line 2: block Body = ActiveBody Tag_1 (lines 1-3)\nvalue 0: MaxHealth = 5 (line 2)\n");

    ASSERT_EQ(Run({"--at", "3", "--json", "--game", "zerohour", "--config", "config.ini", "INI.big",
                   "data/ini/object/test.ini"}),
              ExitOk);
    EXPECT_EQ(out, "{\"line\": 3, \"block\": {\"name\": \"Object\", \"rest\": \"T\xC3\xA9st \", \"startLine\": 0, "
                         "\"endLine\": 5}, \"valueIndex\": -1, \"value\": null}\n");
}

TEST_F(CommandIniTest, RefusesBadOptionsMissingEntriesAndConfigurations)
{
    EXPECT_EQ(Run({"--game", "quake", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_THAT(err, HasSubstr("unknown game"));
    EXPECT_EQ(Run({"--at", "two", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_EQ(Run({"INI.big", "data/ini/missing.ini"}), ExitFailure);
    EXPECT_EQ(Run({"--game", "bfme", "--config", "config.ini", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_THAT(err, HasSubstr("Failed to interpret kestrel.ini"));
    EXPECT_EQ(Run({"--game", "bfme", "--config", "none.ini", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_THAT(err, HasSubstr("Failed to load kestrel.ini"));
    EXPECT_TRUE(out.empty());
}

TEST_F(CommandIniTest, CoverageListsWhatTheDescriptionKnowsAndFailsOnTheUnknown)
{
    samples::WriteFileBytes(folder / "described.ini", samples::Bytes("Games\n"
                                                               "  ZeroHour\n"
                                                               "    ForcedObjects\n"
                                                               "      Body =\n"
                                                               "    End\n"
                                                               "    INIStructure\n"
                                                               "      Object\n"
                                                               "        Body Specified ActiveBody ModuleTag_New\n"
                                                               "          MaxHealth = 0.0\n"
                                                               "        End\n"
                                                               "      End\n"
                                                               "    End\n"
                                                               "  End\n"
                                                               "End\n"));
    // Without --game a BIGF archive is read as Zero Hour.
    ASSERT_EQ(Run({"--coverage", "--config", "described.ini", "INI.big"}), ExitProblems) << err;
    EXPECT_EQ(out, "known         1  block     Object\n"
                   "known         1  module    Object > Body = ActiveBody\n"
                   "known         1  key       Object > Body = ActiveBody > MaxHealth\n"
                   "UNKNOWN       1  key       Object > KindOf\n"
                   "ZeroHour: 1 entries, 4 block types, module classes, keys and directives, 1 unknown\n");

    ASSERT_EQ(Run({"--coverage", "--json", "-g", "zerohour", "--config", "described.ini", "INI.big",
                   "data/ini/object/*.ini"}),
              ExitProblems);
    EXPECT_THAT(out, HasSubstr("{\"kind\": \"key\", \"path\": \"Object > KindOf\", \"known\": false, \"count\": 1}"));

    EXPECT_EQ(Run({"--coverage", "--config", "described.ini", "INI.big", "data/ini/none/*"}), ExitProblems);
    EXPECT_THAT(err, HasSubstr("no entry matches"));
    EXPECT_EQ(Run({"--coverage", "--at", "2", "INI.big"}), ExitFailure);
    EXPECT_EQ(Run({"INI.big", "data/ini/object/test.ini", "data/ini/object/test.ini"}), ExitFailure)
        << "several entries only with --coverage";
}

constexpr const char* kConfiguration = "Games\n"
                                       "  ZeroHour\n"
                                       "    ForcedObjects\n"
                                       "      Body =\n"
                                       "    End\n"
                                       "    INIStructure\n"
                                       "      Object\n"
                                       "        KindOf = Lists KindOfs\n"
                                       "        Weapon = Named weapon::Weapon\n"
                                       "        Body Specified ActiveBody ModuleTag_#01\n"
                                       "          MaxHealth = 100\n"
                                       "        End\n"
                                       "      End\n"
                                       "    End\n"
                                       "    Lists\n"
                                       "      KindOfs\n"
                                       "        VEHICLE =\n"
                                       "        INFANTRY =\n"
                                       "      End\n"
                                       "    End\n"
                                       "  End\n"
                                       "End\n";

constexpr const char* kObject = "Object Tank\n"             // 0
                                "  KindOf = VEHICLE\n"      // 1
                                "  Weapon = Primary Gun1\n" // 2
                                "End\n";                    // 3

/// The structure menu's commands on a configuration with a description and a list.
class CommandIniStructureTest : public CommandIniTest
{
protected:
    CommandIniStructureTest()
    {
        samples::BigArchiveBuilder builder;
        builder.Add("data\\ini\\object\\tank.ini", std::string(kObject));
        builder.Add("data\\ini\\weapon.ini", std::string("Weapon ModGun\nEnd\n"));
        builder.WriteTo(folder / "Mod.big");
        samples::BigArchiveBuilder game;
        game.Add("Data\\INI\\Weapon.ini", std::string("Weapon GameGun\nEnd\n"));
        game.WriteTo(folder / "Game" / "INI.BIG");
        samples::WriteFileBytes(folder / "structure.ini", samples::Bytes(kConfiguration));
    }

    int Offer(int line, std::vector<std::string> more = {})
    {
        std::vector<std::string> args{"-g", "zerohour", "--config", "structure.ini", "--offer", std::to_string(line)};
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), {"--json", "Mod.big", "data/ini/object/tank.ini"});
        return Run(args);
    }

    int Apply(const std::string& action, int line)
    {
        return Run({"-g", "zerohour", "--config", "structure.ini", "--apply", action, "--line", std::to_string(line),
                    "--game-folder", "Game", "Mod.big", "data/ini/object/tank.ini"});
    }

    std::string Entry()
    {
        return test::RunTool(folder.Path(), {"cat", "Mod.big", "data/ini/object/tank.ini"}).out;
    }

};

TEST_F(CommandIniStructureTest, OfferPrintsTheMenuAtALineAsOneJsonObject)
{
    ASSERT_EQ(Offer(1), ExitOk) << err;
    EXPECT_EQ(out, "{\"line\": 1, \"block\": {\"name\": \"Object\", \"rest\": \"Tank\", \"startLine\": 0, \"endLine\": 3}, "
                   "\"valueIndex\": 0, \"addModule\": [\"Body = ActiveBody\"], \"addValue\": [\"KindOf\", \"Weapon\"], "
                   "\"setValue\": {\"kind\": \"list\", \"choices\": [{\"text\": \"INFANTRY\", \"checked\": false}, "
                   "{\"text\": \"VEHICLE\", \"checked\": true}]}, \"setList\": null, \"goTo\": [\"Object Tank - current\"]}\n");

    // Object names come from the archive, then from the game folder's ini.big (any letter case).
    ASSERT_EQ(Offer(2, {"--game-folder", "Game"}), ExitOk) << err;
    EXPECT_THAT(out, HasSubstr("\"setValue\": {\"kind\": \"objects\", \"choices\": [{\"text\": \"ModGun\", \"checked\": false}, "
                               "{\"text\": \"GameGun\", \"checked\": false}]}"));
}

// The bytes each command writes are the structure menu's own, proven in its tests; here, that
// they reach the archive and that names come from the game folder's ini.big.
TEST_F(CommandIniStructureTest, ApplyWritesTheCommandsBytesIntoTheArchive)
{
    ASSERT_EQ(Apply("set:INFANTRY", 1), ExitOk) << err;
    ASSERT_EQ(Apply("set:GameGun", 2), ExitOk) << err;
    EXPECT_EQ(Entry(), "Object Tank\n  KindOf = VEHICLE INFANTRY \n  Weapon = Primary GameGun\nEnd\n");
}

TEST_F(CommandIniStructureTest, ApplyRefusesWhatTheMenuDoesNotOfferAndLeavesTheArchiveAlone)
{
    for (const auto& [action, line] : std::vector<std::pair<std::string, int>>{
             {"set:TANK", 1}, {"add-value:Armor", 1}, {"set-list:A", 1}, {"bend:x", 1}, {"set", 1}, {"set:INFANTRY", 9}}) {
        EXPECT_EQ(Apply(action, line), ExitFailure) << action;
        EXPECT_FALSE(err.empty());
    }
    EXPECT_EQ(Run({"--apply", "set:A", "Mod.big", "data/ini/object/tank.ini"}), ExitFailure) << "no --line";
    EXPECT_EQ(Entry(), kObject);
}

// A mod folder with one warning (an unknown key) and, in a second file, one error (an End too
// many); the same files packed into an archive.
class CommandCheckTest : public ::testing::Test
{
protected:
    CommandCheckTest()
    {
        const std::string warned = "Weapon Gun\r\n  PrimaryDamag = 40.0\r\nEnd\r\n";
        const std::string broken = "Weapon Other\r\nEnd\r\nEnd\r\n";
        samples::WriteFileBytes(folder / "mod" / "Data" / "INI" / "Weapon.ini", samples::Bytes(warned));
        samples::WriteFileBytes(folder / "mod" / "Data" / "INI" / "Zed.ini", samples::Bytes(broken));
        samples::BigArchiveBuilder().Add("Data\\INI\\Weapon.ini", warned).Add("Data\\INI\\Zed.ini", broken)
            .WriteTo(folder / "Mod.big");
    }

    test::ToolRun Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "check");
        return test::RunTool(folder.Path(), std::move(args));
    }

    samples::TempFolder folder;
};

TEST_F(CommandCheckTest, PrintsCompilerStyleLinesOrJsonAndExitsByTheWorstSeverity)
{
    const std::string weaponLine = "Data\\INI\\Weapon.ini:2: unknown-key: \"PrimaryDamag\" is not a key of Weapon Gun\n";
    const std::string zedLine = "Data\\INI\\Zed.ini:3: stray-end: \"End\" without an open block\n";
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"Mod.big"}, ExitProblems, weaponLine + zedLine},
        {{"Mod.big", "data/ini/weapon.ini"}, ExitOk, weaponLine},
        {{"mod"}, ExitProblems, "mod/Data/INI/Weapon.ini:2" + weaponLine.substr(weaponLine.find(": unknown")) +
                                    "mod/Data/INI/Zed.ini:3" + zedLine.substr(zedLine.find(": stray"))},
        {{"Mod.big", "nothing/*.ini"}, ExitFailure, ""},
        {{"Missing.big"}, ExitFailure, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
        const test::ToolRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
    }

    const test::ToolRun json = Run({"--json", "Mod.big", "data/ini/zed.ini"});
    EXPECT_EQ(json.status, ExitProblems);
    EXPECT_TRUE(test::IsValidJson(json.out)) << json.out;
    EXPECT_EQ(json.out, "{\"problems\": [{\"entry\": \"Data\\\\INI\\\\Zed.ini\", \"line\": 3, \"kind\": \"stray-end\", "
                        "\"severity\": \"error\", \"message\": \"\\\"End\\\" without an open block\"}]}\n");
}

} // namespace
