#include "ToolTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

/// Three entries, deliberately not in name order, so table order is visible.
BigArchiveBuilder Sample()
{
    BigArchiveBuilder builder;
    builder.Add("data\\ini\\weapon.ini", "Weapon X\nEnd\n")
        .Add("art\\textures\\a.tga", Binary(300, 1))
        .Add("Data\\Ini\\Object\\tank.ini", "Object Tank\nEnd\n");
    return builder;
}

} // namespace

TEST(ListCommand, PrintsSizeAndNameInTableOrderWithOffsetsOnRequest)
{
    TempFolder folder;
    const auto builder = Sample();
    builder.WriteTo(folder / "mod.gib"); // recognised by content, not by extension
    const auto plain = RunTool(folder.Path(), {"list", "mod.gib"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, "        13  data\\ini\\weapon.ini\n"
                         "       300  art\\textures\\a.tga\n"
                         "        16  Data\\Ini\\Object\\tank.ini\n");
    EXPECT_EQ(plain.err, "");

    const std::uint32_t first = builder.DataStart();
    const auto withOffsets = RunTool(folder.Path(), {"-l", "list", "mod.gib", "art"});
    EXPECT_EQ(withOffsets.status, 0);
    EXPECT_EQ(withOffsets.out, "       300  " + std::string(10 - std::to_string(first + 13).size(), ' ') +
                                   std::to_string(first + 13) + "  art\\textures\\a.tga\n");
}

TEST(ListCommand, JsonIsAnArrayOfNameSizeAndOffset)
{
    TempFolder folder;
    BigArchiveBuilder builder;
    builder.Add("a\\\"q\".ini", "12").Add("\xE9t\xE9.txt", "");
    builder.WriteTo(folder / "a.big");
    const auto run = RunTool(folder.Path(), {"list", "--json", "a.big"});
    EXPECT_EQ(run.status, 0);
    const auto start = std::to_string(builder.DataStart());
    const auto second = std::to_string(builder.DataStart() + 2);
    EXPECT_EQ(run.out, "[\n  {\"name\": \"a\\\\\\\"q\\\".ini\", \"size\": 2, \"offset\": " + start +
                           "},\n  {\"name\": \"\xC3\xA9t\xC3\xA9.txt\", \"size\": 0, \"offset\": " + second + "}\n]\n");
    EXPECT_EQ(RunTool(folder.Path(), {"list", "--json", "a.big", "nothing"}).out, "[]\n");
}

TEST(ListCommand, FiltersThatSelectNothingAndUnreadableFilesAreReportedByName)
{
    TempFolder folder;
    Sample().WriteTo(folder / "mod.big");
    const auto unmatched = RunTool(folder.Path(), {"list", "mod.big", "*.w3d", "data/ini/*.ini"});
    EXPECT_EQ(unmatched.status, 1);
    EXPECT_EQ(unmatched.out, "        13  data\\ini\\weapon.ini\n");
    EXPECT_NE(unmatched.err.find("mod.big: no entry matches \"*.w3d\""), std::string::npos) << unmatched.err;

    const auto missing = RunTool(folder.Path(), {"list", "gone.big"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("gone.big: cannot open"), std::string::npos) << missing.err;

    WriteFileBytes(folder / "tiny.big", Bytes("BIGF"));
    const auto tiny = RunTool(folder.Path(), {"list", "tiny.big"});
    EXPECT_EQ(tiny.status, 2);
    EXPECT_NE(tiny.err.find("tiny.big: not a BIG archive"), std::string::npos) << tiny.err;
}

TEST(ListCommand, UnknownMagicIsReadWithAWarningUnlessStrict)
{
    TempFolder folder;
    auto builder = Sample();
    builder.magic = "BIGX";
    builder.WriteTo(folder / "odd.big");
    const auto lenient = RunTool(folder.Path(), {"list", "odd.big"});
    EXPECT_EQ(lenient.status, 0) << lenient.err;
    EXPECT_NE(lenient.out.find("weapon.ini"), std::string::npos);
    EXPECT_NE(lenient.err.find("odd.big: BIGX: This file format is unknown."), std::string::npos) << lenient.err;
    EXPECT_NE(lenient.err.find("[answered Yes; --strict answers No]"), std::string::npos);

    const auto strict = RunTool(folder.Path(), {"list", "--strict", "odd.big"});
    EXPECT_EQ(strict.status, 2);
    EXPECT_EQ(strict.out, "");
    EXPECT_NE(strict.err.find("odd.big: not read: its magic \"BIGX\" is unknown"), std::string::npos) << strict.err;
}

TEST(ListCommand, ATruncatedArchiveListsWhatCouldBeReadAndExitsOne)
{
    TempFolder folder;
    auto bytes = Sample().Build();
    bytes.resize(16 + 8 + 20 + 8 + 5); // the second record is cut inside its name
    WriteFileBytes(folder / "cut.big", bytes);
    const auto run = RunTool(folder.Path(), {"list", "cut.big"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("data\\ini\\weapon.ini"), std::string::npos);
    EXPECT_NE(run.err.find("cut.big"), std::string::npos) << run.err;
}

TEST(InfoCommand, PrintsVariantHeaderFieldsAndTotalsIncludingUnusedBytes)
{
    TempFolder folder;
    auto builder = Sample();
    builder.magic = "BIG4";
    builder.gapBeforeData = 7;
    builder.WriteTo(folder / "lotr.big");
    const auto run = RunTool(folder.Path(), {"info", "lotr.big"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto total = builder.DataStart() + 13 + 300 + 16;
    for (const std::string& line : std::vector<std::string>{"variant:           BIG4 (The Battle for Middle-earth)\n", "entries:           3\n",
          "header fields:     archive size " + std::to_string(total) + ", entry count 3, last header byte " +
              std::to_string(builder.DataStart() - 1) + "\n",
          "table end:         " + std::to_string(builder.TableLength()) + "\n",
          "first data:        " + std::to_string(builder.DataStart()) + "\n", "file size:         " + std::to_string(total),
          "entry bytes:       329\n", "unused bytes:      7\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << run.out;
    }
}

TEST(VerifyCommand, ExitStatusSaysCleanProblemsOrUnreadable)
{
    TempFolder folder;
    Sample().WriteTo(folder / "good.big");
    auto duplicated = Sample();
    duplicated.Add("DATA\\INI\\WEAPON.INI", "x");
    duplicated.WriteTo(folder / "dup.big");

    const auto clean = RunTool(folder.Path(), {"verify", "good.big"});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "good.big: no problems in 3 entries\n");

    const auto problems = RunTool(folder.Path(), {"verify", "good.big", "dup.big"});
    EXPECT_EQ(problems.status, 1);
    EXPECT_NE(problems.out.find("dup.big: duplicate name \"data\\ini\\weapon.ini\": entries #1 #4 (the games use "
                                "the last, #4)\ndup.big: 1 problem in 4 entries\n"),
              std::string::npos)
        << problems.out;

    const auto missing = RunTool(folder.Path(), {"verify", "good.big", "none.big"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.big: cannot read"), std::string::npos);
}

TEST(CatCommand, WritesTheEntrysExactBytesAndNamesAMissingEntry)
{
    TempFolder folder;
    Sample().WriteTo(folder / "mod.big");
    const auto run = RunTool(folder.Path(), {"cat", "mod.big", "ART/TEXTURES/A.TGA"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(run.out.begin(), run.out.end()), Binary(300, 1));

    const auto missing = RunTool(folder.Path(), {"cat", "mod.big", "art\\b.tga"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("mod.big: no entry named \"art\\b.tga\""), std::string::npos) << missing.err;
}

TEST(ExtractCommand, WritesEveryEntryBelowTheFolderCreatingFoldersAndReplacingFiles)
{
    TempFolder folder;
    auto builder = Sample();
    builder.Add("empty.txt", "");
    builder.WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "out" / "empty.txt", Bytes("old content"));
    const auto run = RunTool(folder.Path(), {"extract", "mod.big", "-C", "out"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto tree = TreeOf(folder / "out");
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[0], std::make_pair(std::string("Data/Ini/Object/tank.ini"), Bytes("Object Tank\nEnd\n")));
    EXPECT_EQ(tree[1], std::make_pair(std::string("art/textures/a.tga"), Binary(300, 1)));
    EXPECT_EQ(tree[2].first, "data/ini/weapon.ini");
    EXPECT_EQ(tree[3], std::make_pair(std::string("empty.txt"), std::vector<std::uint8_t>{}));

    const auto filtered = RunTool(folder.Path(), {"extract", "mod.big", "art", "-C", "only-art"});
    EXPECT_EQ(filtered.status, 0);
    EXPECT_EQ(TreeOf(folder / "only-art").size(), 1u);
}

TEST(ExtractCommand, RefusesNamesThatLeaveTheFolderAndExtractsTheRest)
{
    TempFolder folder;
    BigArchiveBuilder builder;
    builder.Add("..\\evil.txt", "x").Add("good\\a.txt", "a").Add("\\abs.txt", "x").Add("C:\\drive.txt", "x")
        .Add("good\\..\\..\\evil2.txt", "x").Add("good\\b.txt", "b");
    builder.WriteTo(folder / "bad.big");
    const auto run = RunTool(folder.Path(), {"extract", "-C", "out", "bad.big"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(TreeOf(folder / "out"), (decltype(TreeOf(folder.Path())){{"good/a.txt", Bytes("a")}, {"good/b.txt", Bytes("b")}}));
    EXPECT_FALSE(fs::exists(folder / "evil.txt"));
    EXPECT_FALSE(fs::exists(folder / "evil2.txt"));
    for (const char* refused : {"\"..\\evil.txt\" not extracted", "\"\\abs.txt\" not extracted",
                                "\"C:\\drive.txt\" not extracted: it starts with a drive letter",
                                "\"good\\..\\..\\evil2.txt\" not extracted"}) {
        EXPECT_NE(run.err.find(std::string("bad.big: entry ") + refused), std::string::npos) << refused << "\n" << run.err;
    }
}

TEST(ExtractCommand, AnEntryOutsideTheFileIsSkippedAndAnUnwritableFolderFails)
{
    TempFolder folder;
    auto bytes = BigArchiveBuilder().Add("a.txt", "aaa").Add("b.txt", "bbb").Build();
    bytes[16 + 14 + 6] = 1; // b's size becomes 259, past the end of the file
    WriteFileBytes(folder / "cut.big", bytes);
    const auto run = RunTool(folder.Path(), {"extract", "-C", "out", "cut.big"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("entry \"b.txt\" not extracted: the bytes of b.txt (55 to 314) lie outside"), std::string::npos) << run.err;
    EXPECT_EQ(TreeOf(folder / "out"), (decltype(TreeOf(folder.Path())){{"a.txt", Bytes("aaa")}}));

    WriteFileBytes(folder / "file", Bytes("not a folder"));
    const auto blocked = RunTool(folder.Path(), {"extract", "-C", "file/sub", "cut.big", "a.txt"});
    EXPECT_EQ(blocked.status, 2);
    EXPECT_NE(blocked.err.find("file/sub: cannot create the folder"), std::string::npos) << blocked.err;
}

TEST(ExtractCommand, ShowsProgressOnlyOnATerminalAndNotWhenQuiet)
{
    TempFolder folder;
    Sample().WriteTo(folder / "mod.big");
    const auto terminal = RunTool(folder.Path(), {"extract", "mod.big", "-C", "a"}, true);
    EXPECT_EQ(terminal.status, 0);
    EXPECT_NE(terminal.err.find("\rextract"), std::string::npos);
    EXPECT_EQ(RunTool(folder.Path(), {"extract", "-q", "mod.big", "-C", "b"}, true).err, "");
}
