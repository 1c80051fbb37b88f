#include "ToolTestSupport.h"

#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {

constexpr const char* TableEntry = "data\\english\\generals.csf";

/// A table and a copy of it cut short, packed as lang.big.
class CsfCommand : public ToolTest
{
protected:
    CsfCommand() { BigArchiveBuilder().Add(TableEntry, table).Add("data\\broken.csf", damaged).WriteTo(folder / "lang.big"); }

    std::string Entry(const std::string& name) { return Run({"cat", "lang.big", name}).out; }

    Bytes8 table = CsfBytes(SampleLabels, 2);
    Bytes8 damaged = Bytes8(table.begin(), table.end() - 5);
};

} // namespace

TEST_F(CsfCommand, PrintsTheTableAsJson)
{
    const ToolRun json = Run({"csf", "--json", "lang.big", "data/english/GENERALS.csf"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(IsValidJson(json.out)) << json.out;
    for (const char* expected :
         {"{\"version\": 3, \"language\": 2, \"labels\": [\n",
          "{\"value\": \"second, with comma\", \"extra\": \"speech\\\\voice01\"}]},\n",
          "{\"value\": \"\xE9\xAB\x98\xE9\x80\x9F\xE6\x88\xA6\xE8\xBB\x8A \xF0\x9F\x9A\x80 \xC3\xA9\", \"extra\": null}",
          "{\"name\": \"GUI:EmptyExtra\", \"strings\": [{\"value\": \"\", \"extra\": \"\"}]}",
          "  {\"name\": \"GUI:None\", \"strings\": []}\n]}\n"})
        EXPECT_NE(json.out.find(expected), std::string::npos) << expected << "\nin\n" << json.out;
}

TEST_F(CsfCommand, ExportThenImportGivesTheSameTable)
{
    for (const char* file : {"out.str", "out.csv", "out.po"}) {
        const ToolRun exported = Run({"csf", "export", "-o", file, "lang.big", TableEntry});
        ASSERT_EQ(exported.status, 0) << exported.err;
        const ToolRun imported = Run({"csf", "import", "--replace", "lang.big", TableEntry, file});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(Entry(TableEntry), std::string(table.begin(), table.end())) << file;
    }
    // Without --replace the file's labels are merged into the table.
    WriteFileBytes(folder / "fix.str", Bytes("NEW:One\n\"x\"\nEND\n"));
    ASSERT_EQ(Run({"csf", "import", "lang.big", TableEntry, "fix.str"}).status, 0);
    const ToolRun merged = Run({"csf", "--json", "lang.big", TableEntry});
    EXPECT_NE(merged.out.find("{\"name\": \"GUI:None\", \"strings\": []},\n  {\"name\": \"NEW:One\""),
              std::string::npos) << merged.out;
}

TEST_F(CsfCommand, DamagedTablesAndBadFilesAreReportedAndNeverWritten)
{
    const ToolRun shown = Run({"csf", "lang.big", "data\\broken.csf"});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.out, "version 3, language 2 (German), 5 labels, 6 strings\n");
    EXPECT_NE(shown.err.find("label 6 of 6: the table ends inside the label's name"), std::string::npos) << shown.err;

    const Bytes8 before = ReadFileBytes(folder / "lang.big");
    WriteFileBytes(folder / "good.str", Bytes("A:B\n\"x\"\nEND\n"));
    WriteFileBytes(folder / "bad.str", Bytes("A:B\n\"x\"\nC:D\n"));
    const ToolRun intoDamaged = Run({"csf", "import", "lang.big", "data\\broken.csf", "good.str"});
    EXPECT_EQ(intoDamaged.status, 2);
    EXPECT_NE(intoDamaged.err.find("is damaged"), std::string::npos) << intoDamaged.err;
    const ToolRun badFile = Run({"csf", "import", "lang.big", TableEntry, "bad.str"});
    EXPECT_EQ(badFile.status, 2);
    EXPECT_NE(badFile.err.find("bad.str:3: a quoted value or END is expected here"), std::string::npos) << badFile.err;
    EXPECT_EQ(Run({"csf", "export", "-o", "x.txt", "lang.big", TableEntry}).status, 2);
    EXPECT_EQ(ReadFileBytes(folder / "lang.big"), before);
}

TEST_F(CsfCommand, FindPrintsEveryStringOfTheFirstTableHoldingTheLabel)
{
    BigArchiveBuilder().Add("mod.csf", CsfBytes({{"GUI:Mod", {}}})).WriteTo(folder / "mod.big");
    const ToolRun one = Run({"csf", "find", "lang.big", "Gui:multi"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "data\\english\\generals.csf: GUI:Multi = \"first\\nline \\\"two\\\"\"\n"
                       "data\\english\\generals.csf: GUI:Multi = \"second, with comma\"\n");
    EXPECT_EQ(Run({"csf", "find", "mod.big", "lang.big", "object:humvee"}).out,
              "lang.big: data\\english\\generals.csf: OBJECT:Humvee = \"Humvee\"\n");
    const ToolRun missing = Run({"csf", "find", "lang.big", "OBJECT:Nowhere"});
    EXPECT_EQ(std::tuple(missing.status, missing.out, missing.err.find("OBJECT:Nowhere") != std::string::npos),
              std::tuple(1, "", true));
    EXPECT_EQ(Run({"csf", "find", "absent.big", "GUI:Multi"}).status, 2);
}
