#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;
using namespace kestrel::cli;

namespace {

// A mod folder with one warning (an unknown key) and, in a second file, one error (an End too
// many); the same files packed into an archive.
class CommandCheckTest : public ::testing::Test
{
protected:
    CommandCheckTest()
    {
        const std::string warned = "Weapon Gun\r\n  PrimaryDamag = 40.0\r\nEnd\r\n";
        const std::string broken = "Weapon Other\r\nEnd\r\nEnd\r\n";
        std::filesystem::create_directories(folder / "mod" / "Data" / "INI");
        samples::WriteFileBytes(folder / "mod" / "Data" / "INI" / "Weapon.ini", samples::Bytes(warned));
        samples::WriteFileBytes(folder / "mod" / "Data" / "INI" / "Zed.ini", samples::Bytes(broken));
        samples::BigArchiveBuilder builder;
        builder.Add("Data\\INI\\Weapon.ini", warned);
        builder.Add("Data\\INI\\Zed.ini", broken);
        builder.WriteTo(folder / "Mod.big");
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
        {{"Mod.big", "nothing/*.ini"}, ExitFailure, weaponLine.substr(0, 0)},
        {{"Missing.big"}, ExitFailure, ""},
        {{"--game", "doom", "Mod.big"}, ExitFailure, ""},
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
