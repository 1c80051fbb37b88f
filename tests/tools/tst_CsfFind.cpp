#include "ToolTestSupport.h"

#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

using namespace kestrel::test;

TEST(CsfFind, PrintsEveryStringOfTheFirstTableHoldingTheLabel)
{
    TempFolder folder;
    BigArchiveBuilder().Add("data\\lang.csf", CsfBytes(SampleLabels)).WriteTo(folder / "lang.big");
    BigArchiveBuilder().Add("mod.csf", CsfBytes({{"GUI:Mod", {}}})).WriteTo(folder / "mod.big");
    const auto run = [&folder](std::vector<std::string> args) { return RunTool(folder.Path(), std::move(args)); };

    const ToolRun one = run({"csf", "find", "lang.big", "Gui:multi"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "data\\lang.csf: GUI:Multi = \"first\\nline \\\"two\\\"\"\n"
                       "data\\lang.csf: GUI:Multi = \"second, with comma\"\n");
    EXPECT_EQ(run({"csf", "find", "mod.big", "lang.big", "object:humvee"}).out,
              "lang.big: data\\lang.csf: OBJECT:Humvee = \"Humvee\"\n");
    const ToolRun missing = run({"csf", "find", "lang.big", "OBJECT:Nowhere"});
    EXPECT_EQ(std::tuple(missing.status, missing.out, missing.err.find("OBJECT:Nowhere") != std::string::npos),
              std::tuple(1, "", true));
    EXPECT_EQ(run({"csf", "find", "absent.big", "GUI:Multi"}).status, 2);
}
