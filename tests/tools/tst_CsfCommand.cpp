#include "ToolTestSupport.h"

#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {

constexpr const char* TableEntry = "data\\english\\generals.csf";

struct StringArchive
{
    TempFolder folder;
    Bytes8 table = CsfBytes(SampleLabels, 2);
    Bytes8 damaged = Bytes8(table.begin(), table.end() - 5);

    StringArchive()
    {
        BigArchiveBuilder().Add(TableEntry, table).Add("data\\broken.csf", damaged).WriteTo(folder / "lang.big");
    }

    ToolRun Run(std::vector<std::string> args) { return RunTool(folder.Path(), std::move(args)); }
    std::string Entry(const std::string& name) { return Run({"cat", "lang.big", name}).out; }
};

TEST(CsfCommand, PrintsTheTableAsJson)
{
    StringArchive archive;
    const ToolRun json = archive.Run({"csf", "--json", "lang.big", "data/english/GENERALS.csf"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(IsValidJson(json.out)) << json.out;
    for (const char* expected :
         {"{\"version\": 3, \"language\": 2, \"labels\": [\n",
          "  {\"name\": \"GUI:Multi\", \"strings\": [{\"value\": \"first\\nline \\\"two\\\"\", \"extra\": null}, "
          "{\"value\": \"second, with comma\", \"extra\": \"speech\\\\voice01\"}]},\n",
          "{\"value\": \"\xE9\xAB\x98\xE9\x80\x9F\xE6\x88\xA6\xE8\xBB\x8A \xF0\x9F\x9A\x80 \xC3\xA9\", \"extra\": null}",
          "{\"name\": \"GUI:EmptyExtra\", \"strings\": [{\"value\": \"\", \"extra\": \"\"}]}",
          "  {\"name\": \"GUI:None\", \"strings\": []}\n]}\n"})
        EXPECT_NE(json.out.find(expected), std::string::npos) << expected << "\nin\n" << json.out;
}

TEST(CsfCommand, ExportThenImportGivesTheSameTable)
{
    StringArchive archive;
    for (const char* file : {"out.str", "out.csv", "out.po"}) {
        const ToolRun exported = archive.Run({"csf", "export", "-o", file, "lang.big", TableEntry});
        ASSERT_EQ(exported.status, 0) << exported.err;
        const ToolRun imported = archive.Run({"csf", "import", "--replace", "lang.big", TableEntry, file});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(archive.Entry(TableEntry), std::string(archive.table.begin(), archive.table.end())) << file;
    }
    // Merging changes one label, adds one and keeps the rest.
    WriteFileBytes(archive.folder / "fix.str", Bytes("object:humvee\n\"Hummer\"\nEND\nNEW:One\n\"\xC3\xBC\"\nEND\n"));
    ASSERT_EQ(archive.Run({"csf", "import", "lang.big", TableEntry, "fix.str"}).status, 0);
    const ToolRun merged = archive.Run({"csf", "--json", "lang.big", TableEntry});
    EXPECT_NE(merged.out.find("[\n  {\"name\": \"OBJECT:Humvee\", \"strings\": [{\"value\": \"Hummer\""), std::string::npos)
        << merged.out;
    EXPECT_NE(merged.out.find("{\"name\": \"GUI:None\", \"strings\": []},\n  {\"name\": \"NEW:One\", \"strings\": "
                              "[{\"value\": \"\xC3\xBC\", \"extra\": null}]}\n]}"),
              std::string::npos) << merged.out;
}

TEST(CsfCommand, DamagedTablesAndBadFilesAreReportedAndNeverWritten)
{
    StringArchive archive;
    const ToolRun shown = archive.Run({"csf", "lang.big", "data\\broken.csf"});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.out, "version 3, language 2 (German), 5 labels, 6 strings\n");
    const size_t lastLabel = archive.table.size() - 20; // " LBL", two counts, "GUI:None"
    EXPECT_NE(shown.err.find("label 6 of 6: the table ends inside the label's name (reading stopped at byte "
                             + std::to_string(lastLabel) + ")"),
              std::string::npos) << shown.err;

    const Bytes8 before = ReadFileBytes(archive.folder / "lang.big");
    WriteFileBytes(archive.folder / "good.str", Bytes("A:B\n\"x\"\nEND\n"));
    WriteFileBytes(archive.folder / "bad.str", Bytes("A:B\n\"x\"\nC:D\n"));
    const ToolRun intoDamaged = archive.Run({"csf", "import", "lang.big", "data\\broken.csf", "good.str"});
    EXPECT_EQ(intoDamaged.status, 2);
    EXPECT_NE(intoDamaged.err.find("is damaged"), std::string::npos) << intoDamaged.err;
    const ToolRun badFile = archive.Run({"csf", "import", "lang.big", TableEntry, "bad.str"});
    EXPECT_EQ(badFile.status, 2);
    EXPECT_NE(badFile.err.find("bad.str:3: a quoted value or END is expected here"), std::string::npos) << badFile.err;
    EXPECT_EQ(archive.Run({"csf", "export", "-o", "x.txt", "lang.big", TableEntry}).status, 2);
    EXPECT_EQ(ReadFileBytes(archive.folder / "lang.big"), before);
}

} // namespace
