#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;
using namespace kestrel::cli;

namespace {

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

class CommandIniStructureTest : public ::testing::Test
{
protected:
    CommandIniStructureTest()
    {
        test::BigArchiveBuilder builder;
        builder.Add("data\\ini\\object\\tank.ini", std::string(kObject));
        builder.Add("data\\ini\\weapon.ini", std::string("Weapon ModGun\nEnd\n"));
        builder.WriteTo(folder / "Mod.big");
        test::BigArchiveBuilder game;
        game.Add("Data\\INI\\Weapon.ini", std::string("Weapon GameGun\nEnd\n"));
        game.WriteTo(folder / "Game" / "INI.BIG");
        test::WriteFileBytes(folder / "config.ini", test::Bytes(kConfiguration));
    }

    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "ini");
        test::ToolRun run = test::RunTool(folder.Path(), std::move(args));
        out = std::move(run.out);
        err = std::move(run.err);
        return run.status;
    }

    int Offer(int line, std::vector<std::string> more = {})
    {
        std::vector<std::string> args{"-g", "zerohour", "--config", "config.ini", "--offer", std::to_string(line)};
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), {"--json", "Mod.big", "data/ini/object/tank.ini"});
        return Run(args);
    }

    int Apply(const std::string& action, int line)
    {
        return Run({"-g", "zerohour", "--config", "config.ini", "--apply", action, "--line", std::to_string(line),
                    "--game-folder", "Game", "Mod.big", "data/ini/object/tank.ini"});
    }

    std::string Entry()
    {
        return test::RunTool(folder.Path(), {"cat", "Mod.big", "data/ini/object/tank.ini"}).out;
    }

    test::TempFolder folder;
    std::string out;
    std::string err;
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
    EXPECT_NE(out.find("\"setValue\": {\"kind\": \"objects\", \"choices\": [{\"text\": \"ModGun\", \"checked\": false}, "
                       "{\"text\": \"GameGun\", \"checked\": false}]}"),
              std::string::npos)
        << out;
    ASSERT_EQ(Offer(5), ExitOk);
    EXPECT_NE(out.find("\"block\": null, \"valueIndex\": -1, \"addModule\": [\"Object\"]"), std::string::npos) << out;
}

TEST_F(CommandIniStructureTest, ApplyWritesTheCommandsBytesIntoTheArchive)
{
    ASSERT_EQ(Apply("set:INFANTRY", 1), ExitOk) << err;
    EXPECT_EQ(Entry(), "Object Tank\n  KindOf = VEHICLE INFANTRY \n  Weapon = Primary Gun1\nEnd\n");
    ASSERT_EQ(Apply("set:GameGun", 2), ExitOk) << err;
    ASSERT_EQ(Apply("add-module:Body = ActiveBody", 0), ExitOk) << err;
    ASSERT_EQ(Apply("add-value:MaxHealth", 1), ExitOk) << err;
    EXPECT_EQ(Entry(), "Object Tank\n"
                       "   Body = ActiveBody ModuleTag_;01\n"
                       "       MaxHealth = 100\n"
                       "\n"
                       "   End\n"
                       "  KindOf = VEHICLE INFANTRY \n"
                       "  Weapon = Primary GameGun\n"
                       "End\n");
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

TEST_F(CommandIniStructureTest, TheShippedConfigurationOffersModuleKeysAndKindOfFlags)
{
    test::BigArchiveBuilder builder;
    builder.Add("Data\\INI\\Object\\AmericaVehicle.ini",
                std::string("Object AmericaTankCrusader\r\n"
                            "  Side = America\r\n"
                            "  KindOf = PRELOAD SELECTABLE CAN_ATTACK ATTACK_NEEDS_LINE_OF_SIGHT VEHICLE SCORE\r\n"
                            "  Body = ActiveBody ModuleTag_02\r\n"
                            "    MaxHealth       = 480.0\r\n"
                            "    InitialHealth   = 480.0\r\n"
                            "  End\r\n"
                            "End\r\n"));
    builder.WriteTo(folder / "ZH.big");
    const std::vector<std::string> prefix{"-g", "zerohour", "--json", "--offer"};
    auto offer = [&](const std::string& line) {
        std::vector<std::string> args = prefix;
        args.insert(args.end(), {line, "ZH.big", "data/ini/object/americavehicle.ini"});
        return Run(args);
    };
    ASSERT_EQ(offer("4"), ExitOk) << err;
    EXPECT_NE(out.find("\"addValue\": [\"InitialHealth\", \"MaxHealth\", "), std::string::npos) << out;
    ASSERT_EQ(offer("2"), ExitOk) << err;
    EXPECT_NE(out.find("\"setValue\": {\"kind\": \"list\""), std::string::npos) << out;
    for (const char* flag : {"VEHICLE", "SELECTABLE", "CAN_ATTACK"})
        EXPECT_NE(out.find("{\"text\": \"" + std::string(flag) + "\", \"checked\": true}"), std::string::npos) << flag;
    EXPECT_NE(out.find("{\"text\": \"INFANTRY\", \"checked\": false}"), std::string::npos);
}

} // namespace
