#include "ToolTestSupport.h"

using namespace kestrel::test;
using testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

/// Three entries, deliberately not in name order, so table order is visible; written as mod.big.
class ReadCommandTest : public ToolTest
{
protected:
    ReadCommandTest() { Sample().WriteTo(folder / "mod.big"); }

    static BigArchiveBuilder Sample()
    {
        BigArchiveBuilder builder;
        builder.Add("data\\ini\\weapon.ini", "Weapon X\nEnd\n")
            .Add("art\\textures\\a.tga", Binary(300, 1))
            .Add("Data\\Ini\\Object\\tank.ini", "Object Tank\nEnd\n");
        return builder;
    }

    static constexpr const char* kListing = "        13  data\\ini\\weapon.ini\n"
                                            "       300  art\\textures\\a.tga\n"
                                            "        16  Data\\Ini\\Object\\tank.ini\n";
};

using ListCommand = ReadCommandTest;
using InfoCommand = ReadCommandTest;
using VerifyCommand = ReadCommandTest;
using CatCommand = ReadCommandTest;
using ExtractCommand = ReadCommandTest;
using GrepCommand = ToolTest;

} // namespace

TEST_F(ListCommand, PrintsSizeAndNameInTableOrderWithOffsetsOrAsJsonOnRequest)
{
    fs::rename(folder / "mod.big", folder / "mod.gib"); // recognised by content, not by extension
    const auto plain = Run({"list", "mod.gib"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, kListing);
    EXPECT_EQ(plain.err, "");

    const auto offset = std::to_string(Sample().DataStart() + 13);
    const auto withOffsets = Run({"-l", "list", "mod.gib", "art"});
    EXPECT_EQ(withOffsets.status, 0);
    EXPECT_EQ(withOffsets.out, "       300  " + std::string(10 - offset.size(), ' ') + offset + "  art\\textures\\a.tga\n");

    // JSON: an array of name, size and offset.
    BigArchiveBuilder builder;
    builder.Add("a\\\"q\".ini", "12").Add("\xE9t\xE9.txt", "").WriteTo(folder / "a.big");
    const auto run = Run({"list", "--json", "a.big"});
    EXPECT_EQ(run.status, 0);
    const auto start = std::to_string(builder.DataStart());
    const auto second = std::to_string(builder.DataStart() + 2);
    EXPECT_EQ(run.out, "[\n  {\"name\": \"a\\\\\\\"q\\\".ini\", \"size\": 2, \"offset\": " + start +
                           "},\n  {\"name\": \"\xC3\xA9t\xC3\xA9.txt\", \"size\": 0, \"offset\": " + second + "}\n]\n");
    EXPECT_EQ(Run({"list", "--json", "a.big", "nothing"}).out, "[]\n");
}

TEST_F(ListCommand, ReportsUnmatchedFiltersAndDamagedOrUnknownArchivesByName)
{
    auto cut = Sample().Build();
    cut.resize(16 + 8 + 20 + 8 + 5); // the second record is cut inside its name
    WriteFileBytes(folder / "cut.big", cut);
    WriteFileBytes(folder / "tiny.big", Bytes("BIGF"));
    auto odd = Sample();
    odd.magic = "BIGX";
    odd.WriteTo(folder / "odd.big");
    const std::string first = "        13  data\\ini\\weapon.ini\n";
    const struct
    {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::vector<const char*> errors;
    } cases[] = {
        {{"mod.big", "*.w3d", "data/ini/*.ini"}, 1, first, {"mod.big: no entry matches \"*.w3d\""}},
        {{"gone.big"}, 2, "", {"gone.big: cannot open"}},
        {{"tiny.big"}, 2, "", {"tiny.big: not a BIG archive"}},
        {{"cut.big"}, 1, first, {"cut.big"}},
        // An unknown magic is read after a warning, unless --strict.
        {{"odd.big"}, 0, kListing, {"odd.big: BIGX: This file format is unknown.", "[answered Yes; --strict answers No]"}},
        {{"--strict", "odd.big"}, 2, "", {"odd.big: not read: its magic \"BIGX\" is unknown"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "list");
        const auto run = Run(args);
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        for (const char* error : c.errors)
            EXPECT_THAT(run.err, HasSubstr(error));
    }
}

TEST_F(InfoCommand, PrintsVariantHeaderFieldsAndTotalsIncludingUnusedBytes)
{
    auto builder = Sample();
    builder.magic = "BIG4";
    builder.gapBeforeData = 7;
    builder.WriteTo(folder / "lotr.big");
    const auto run = Run({"info", "lotr.big"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto total = std::to_string(builder.DataStart() + 13 + 300 + 16);
    const auto start = builder.DataStart();
    for (const std::string& line : std::vector<std::string>{
             "variant:           BIG4 (The Battle for Middle-earth)\n",
             "header fields:     archive size " + total + ", entry count 3, last header byte " + std::to_string(start - 1),
             "first data:        " + std::to_string(start) + "\n", "unused bytes:      7\n"})
        EXPECT_THAT(run.out, HasSubstr(line));
}

TEST_F(VerifyCommand, ExitStatusSaysCleanProblemsOrUnreadable)
{
    Sample().Add("DATA\\INI\\WEAPON.INI", "x").WriteTo(folder / "dup.big");
    const auto clean = Run({"verify", "mod.big"});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "mod.big: no problems in 3 entries\n");

    const auto problems = Run({"verify", "mod.big", "dup.big"});
    EXPECT_EQ(problems.status, 1);
    EXPECT_THAT(problems.out, HasSubstr("dup.big: duplicate name \"data\\ini\\weapon.ini\": entries #1 #4 (the games "
                                        "use the last, #4)\ndup.big: 1 problem in 4 entries\n"));

    const auto missing = Run({"verify", "mod.big", "none.big"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("none.big: cannot read"));
}

TEST_F(CatCommand, WritesTheEntrysExactBytesAndNamesAMissingEntry)
{
    const auto run = Run({"cat", "mod.big", "ART/TEXTURES/A.TGA"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(run.out.begin(), run.out.end()), Binary(300, 1));

    const auto missing = Run({"cat", "mod.big", "art\\b.tga"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_THAT(missing.err, HasSubstr("mod.big: no entry named \"art\\b.tga\""));
}

TEST_F(ExtractCommand, WritesEveryEntryBelowTheFolderCreatingFoldersAndReplacingFiles)
{
    Sample().Add("empty.txt", "").WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "out" / "empty.txt", Bytes("old content"));
    const auto run = Run({"extract", "mod.big", "-C", "out"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(TreeOf(folder / "out"), (FileTree{{"Data/Ini/Object/tank.ini", Bytes("Object Tank\nEnd\n")},
                                                {"art/textures/a.tga", Binary(300, 1)},
                                                {"data/ini/weapon.ini", Bytes("Weapon X\nEnd\n")},
                                                {"empty.txt", {}}}));

    EXPECT_EQ(Run({"extract", "mod.big", "art", "-C", "only-art"}).status, 0);
    EXPECT_EQ(TreeOf(folder / "only-art").size(), 1u);
    // Progress only on a terminal, and not when quiet.
    EXPECT_THAT(Run({"extract", "mod.big", "-C", "a"}, true).err, HasSubstr("\rextract"));
    EXPECT_EQ(Run({"extract", "-q", "mod.big", "-C", "b"}, true).err, "");
}

// Which names leave the folder is the extraction path rule's to decide (EntryPaths tests every
// kind); here, that a refused name is told, written nowhere and the rest still extracted.
TEST_F(ExtractCommand, RefusesNamesThatLeaveTheFolderAndExtractsTheRest)
{
    BigArchiveBuilder().Add("good\\a.txt", "a").Add("good\\..\\..\\evil.txt", "x").Add("good\\b.txt", "b")
        .WriteTo(folder / "bad.big");
    const auto run = Run({"extract", "-C", "out", "bad.big"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(TreeOf(folder / "out"), (FileTree{{"good/a.txt", Bytes("a")}, {"good/b.txt", Bytes("b")}}));
    EXPECT_FALSE(fs::exists(folder / "evil.txt"));
    EXPECT_THAT(run.err, HasSubstr("bad.big: entry \"good\\..\\..\\evil.txt\" not extracted"));
}

TEST_F(ExtractCommand, AnEntryOutsideTheFileIsSkippedAndAnUnwritableFolderFails)
{
    auto bytes = BigArchiveBuilder().Add("a.txt", "aaa").Add("b.txt", "bbb").Build();
    bytes[16 + 14 + 6] = 1; // b's size becomes 259, past the end of the file
    WriteFileBytes(folder / "cut.big", bytes);
    const auto run = Run({"extract", "-C", "out", "cut.big"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("entry \"b.txt\" not extracted: the bytes of b.txt (55 to 314) lie outside"));
    EXPECT_EQ(TreeOf(folder / "out"), (FileTree{{"a.txt", Bytes("aaa")}}));

    WriteFileBytes(folder / "file", Bytes("not a folder"));
    const auto blocked = Run({"extract", "-C", "file/sub", "cut.big", "a.txt"});
    EXPECT_EQ(blocked.status, 2);
    EXPECT_THAT(blocked.err, HasSubstr("file/sub: cannot create the folder"));
}

TEST_F(GrepCommand, PrintsMatchingLinesAsGrepDoesWithItsExitStatuses)
{
    BigArchiveBuilder builder;
    builder.Add("data\\ini\\weapon.ini", "Weapon Gun\r\n  Damage = 10\nEnd\n")
        .Add("art\\w3d\\tank.w3d", std::vector<std::uint8_t>{0, 0, 'D', 'a', 'm', 'a', 'g', 'e'})
        .Add("data\\ini\\object.ini", "Object Tank\n  damage = 99");
    builder.WriteTo(folder / "mod.big");
    const struct
    {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"grep", "Damage", "mod.big"}, 0, "data\\ini\\weapon.ini:2:  Damage = 10\nBinary entry art\\w3d\\tank.w3d matches\n"},
        {{"grep", "-i", "damage", "mod.big", "data/ini"}, 0,
         "data\\ini\\weapon.ini:2:  Damage = 10\ndata\\ini\\object.ini:2:  damage = 99\n"},
        {{"grep", "--regex", "^(Weapon|Object) [A-Z]", "mod.big", "**.ini"}, 0,
         "data\\ini\\weapon.ini:1:Weapon Gun\ndata\\ini\\object.ini:1:Object Tank\n"},
        {{"grep", "Armor", "mod.big"}, 1, ""},
        {{"grep", "--regex", "(", "mod.big"}, 2, ""},
        {{"grep", "Damage", "missing.big"}, 2, ""},
    };
    for (const auto& c : cases) {
        const auto run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[2] << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[2];
        EXPECT_EQ(run.err.empty(), c.status < 2) << run.err;
    }
}
