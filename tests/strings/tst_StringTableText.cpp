#include "strings/StringTableText.h"

#include "strings/CsfTestTables.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace kestrel {
namespace {

CsfTable SampleTable()
{
    return ReadCsf(test::CsfBytes(test::SampleLabels)).table;
}

TEST(StringTableText, EveryFormWritesWhatItReadsBack)
{
    CsfTable table = SampleTable();
    table.labels[2].strings[0].value += u'\xD800'; // a lone surrogate from a damaged table
    for (const auto format : {StringTableFormat::Str, StringTableFormat::Csv, StringTableFormat::Po}) {
        const std::string text = WriteStringTableText(table, format);
        const TextTableResult read = ReadStringTableText(text, format);
        EXPECT_TRUE(read.ok) << read.problem << " on line " << read.line << " of\n" << text;
        EXPECT_TRUE(read.table.labels == table.labels) << text;
    }
}

TEST(StringTableText, WritesTheFormsModdersAndTranslatorsExpect)
{
    CsfTable table;
    table.labels = {{"GUI:Multi", {{u"a \"b\"\nc", std::nullopt}, {u"\u00e9, d", "sfx"}}}, {"GUI:None", {}}};
    EXPECT_EQ(WriteStr(table), "GUI:Multi\n\"a \\\"b\\\"\\nc\"\n\"\xC3\xA9, d\"\nEXTRA \"sfx\"\nEND\n\nGUI:None\nEND\n\n");
    EXPECT_EQ(WriteCsv(table), "label,value,extra\nGUI:Multi,\"a \"\"b\"\"\nc\"\nGUI:Multi,\"\xC3\xA9, d\",sfx\nGUI:None\n");
    EXPECT_NE(WritePo(table).find("#. extra: \"sfx\"\nmsgctxt \"GUI:Multi\"\nmsgid \"\xC3\xA9, d\"\nmsgstr \"\"\n"),
              std::string::npos);
}

TEST(StringTableText, ReadsFilesWrittenByOtherTools)
{
    // The same two labels as a hand-written STR with comments, CRLF and a value over two lines,
    // a spreadsheet's CSV with a byte order mark, and a translated PO with continuation lines.
    const std::pair<StringTableFormat, std::string_view> cases[] = {
        {StringTableFormat::Str,
         "// units\r\nOBJECT:Humvee  \r\n  \"Hum\r\nvee\"\r\nEND\r\n\r\nGUI:Ok\r\n\"OK\" // confirms\r\nEXTRA \"click\"\r\nend\r\n"},
        {StringTableFormat::Csv, "\xEF\xBB\xBFlabel,value,extra\r\nOBJECT:Humvee,\"Hum\r\nvee\"\r\nGUI:Ok,OK,click\r\n"},
        {StringTableFormat::Po,
         "msgid \"\"\nmsgstr \"\"\n\"Language: de\\n\"\n\n# a translator's note\nmsgctxt \"OBJECT:Humvee\"\nmsgid \"Jeep\"\n"
         "msgstr \"Hum\\n\"\n\"vee\"\n\n#. extra: \"click\"\nmsgctxt \"GUI:Ok\"\nmsgid \"OK\"\nmsgstr \"\"\n"},
    };
    const std::vector<CsfLabel> expected = {{"OBJECT:Humvee", {{u"Hum\nvee", std::nullopt}}}, {"GUI:Ok", {{u"OK", "click"}}}};
    for (const auto& [format, text] : cases) {
        const TextTableResult read = ReadStringTableText(text, format);
        EXPECT_TRUE(read.ok) << read.problem << " on line " << read.line;
        EXPECT_TRUE(read.table.labels == expected) << text;
    }
}

TEST(StringTableText, SyntaxErrorsNameTheirLine)
{
    // Format, text, the line named and what the problem says.
    const std::tuple<StringTableFormat, std::string_view, size_t, std::string_view> cases[] = {
        {StringTableFormat::Str, "A:B\n\"x\"\nEND\nC:D\n\"never ends\nEND\n", 5, "does not end"},
        {StringTableFormat::Str, "A:B\n\"x\"\n", 1, "has no END"},
        {StringTableFormat::Str, "A:B\nvalue without quotes\nEND\n", 2, "quoted value or END"},
        {StringTableFormat::Csv, "label,value,extra\nA:B,x\n,y\n", 3, "no label"},
        {StringTableFormat::Csv, "A:B,\"x\n", 1, "does not end"},
        {StringTableFormat::Po, "msgid \"\"\nmsgstr \"\"\n\nmsgid \"x\"\nmsgstr \"y\"\n", 6, "no msgctxt"},
        {StringTableFormat::Po, "msgctxt \"A\"\nmsgid_plural \"x\"\n", 2, "not understood"},
    };
    for (const auto& [format, text, line, says] : cases) {
        const TextTableResult read = ReadStringTableText(text, format);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_EQ(read.line, line) << text;
        EXPECT_NE(read.problem.find(says), std::string::npos) << read.problem;
    }
}

} // namespace
} // namespace kestrel
