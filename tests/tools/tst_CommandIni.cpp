#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;
using namespace kestrel::cli;

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
        test::BigArchiveBuilder builder;
        builder.Add("data\\ini\\object\\test.ini", std::string(kEntryText));
        builder.WriteTo(folder / "INI.big");
        test::WriteFileBytes(folder / "config.ini", test::Bytes("Games\n  ZeroHour\n    ForcedObjects\n      Body =\n"
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

    test::TempFolder folder;
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
    EXPECT_NE(out.find("  Body = ActiveBody Tag_1 (lines 1-3)\n"), std::string::npos);
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

    ASSERT_EQ(Run({"--at", "9", "INI.big", "data/ini/object/test.ini"}), ExitOk);
    EXPECT_EQ(out, "line 9: block (top level)\nvalue -1\n");
}

TEST_F(CommandIniTest, RefusesBadOptionsMissingEntriesAndConfigurations)
{
    EXPECT_EQ(Run({"--game", "quake", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_NE(err.find("unknown game"), std::string::npos);
    EXPECT_EQ(Run({"--at", "two", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_EQ(Run({"INI.big", "data/ini/missing.ini"}), ExitFailure);
    EXPECT_EQ(Run({"--game", "bfme", "--config", "config.ini", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_NE(err.find("Failed to interpret kestrel.ini"), std::string::npos);
    EXPECT_EQ(Run({"--game", "bfme", "--config", "none.ini", "INI.big", "data/ini/object/test.ini"}), ExitFailure);
    EXPECT_NE(err.find("Failed to load kestrel.ini"), std::string::npos);
    EXPECT_TRUE(out.empty());
}

TEST_F(CommandIniTest, CoverageListsWhatTheDescriptionKnowsAndFailsOnTheUnknown)
{
    test::WriteFileBytes(folder / "described.ini", test::Bytes("Games\n"
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
    EXPECT_NE(out.find("{\"game\": \"ZeroHour\", \"entries\": 1, \"unknown\": 1, \"items\": ["), std::string::npos);
    EXPECT_NE(out.find("{\"kind\": \"key\", \"path\": \"Object > KindOf\", \"known\": false, \"count\": 1}"),
              std::string::npos);

    EXPECT_EQ(Run({"--coverage", "--config", "described.ini", "INI.big", "data/ini/none/*"}), ExitProblems);
    EXPECT_NE(err.find("no entry matches"), std::string::npos);
    EXPECT_EQ(Run({"--coverage", "--at", "2", "INI.big"}), ExitFailure);
    EXPECT_EQ(Run({"INI.big", "data/ini/object/test.ini", "data/ini/object/test.ini"}), ExitFailure)
        << "several entries only with --coverage";
}

} // namespace
