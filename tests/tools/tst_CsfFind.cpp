#include "ToolTestSupport.h"

#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {

TEST(CsfFind, PrintsEveryStringOfTheFirstTableHoldingTheLabel)
{
    TempFolder folder;
    BigArchiveBuilder().Add("data\\lang.csf", CsfBytes(SampleLabels)).WriteTo(folder / "lang.big");
    BigArchiveBuilder()
        .Add("mod.csf", CsfBytes({{"gui:MULTI", {{u"mod's own", std::nullopt}}}}))
        .WriteTo(folder / "mod.big");
    const auto run = [&folder](std::vector<std::string> args) { return RunTool(folder.Path(), std::move(args)); };

    const ToolRun one = run({"csf", "find", "lang.big", "Gui:multi"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "data\\lang.csf: GUI:Multi = \"first\\nline \\\"two\\\"\"\n"
                       "data\\lang.csf: GUI:Multi = \"second, with comma\"\n");

    const ToolRun first = run({"csf", "find", "mod.big", "lang.big", "GUI:Multi"});
    EXPECT_EQ(first.out, "mod.big: mod.csf: gui:MULTI = \"mod's own\"\n");
    const ToolRun later = run({"csf", "find", "mod.big", "lang.big", "object:humvee"});
    EXPECT_EQ(later.out, "lang.big: data\\lang.csf: OBJECT:Humvee = \"Humvee\"\n");

    const ToolRun missing = run({"csf", "find", "lang.big", "OBJECT:Nowhere"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("OBJECT:Nowhere"), std::string::npos);
    EXPECT_EQ(run({"csf", "find", "absent.big", "GUI:Multi"}).status, 2);
}

} // namespace
