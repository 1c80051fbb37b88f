#include "ToolTestSupport.h"

#include "archive/CBIGFile.h"
#include "support/FakePrompt.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

using testing::HasSubstr;

namespace {

BigArchiveBuilder Existing()
{
    BigArchiveBuilder builder;
    builder.Add("DATA\\INI\\WEAPON.INI", "old weapon").Add("art\\a.tga", Binary(100, 2)).Add("zz.txt", "zz");
    return builder;
}

/// A folder tree to add: mods/data/ini/weapon.ini (replaces an entry), mods/data/ini/new.ini,
/// mods/data/art/b.tga.
void WriteModTree(const fs::path& root)
{
    WriteFileBytes(root / "mods" / "data" / "ini" / "weapon.ini", Bytes("new weapon"));
    WriteFileBytes(root / "mods" / "data" / "ini" / "new.ini", Bytes("Object New\nEnd\n"));
    WriteFileBytes(root / "mods" / "data" / "art" / "b.tga", Binary(5000, 3));
}

/// The same edits done through the archive core directly, saved as the tool saves.
std::vector<std::uint8_t> CoreResult(const fs::path& archive, const std::vector<std::pair<fs::path, std::string>>& adds,
                                     bool inPlace)
{
    FakePrompt prompt;
    CBIGFile big(prompt);
    EXPECT_TRUE(big.Open(archive));
    for (const auto& [path, name] : adds)
        EXPECT_TRUE(big.AddEntry(&path, name));
    EXPECT_TRUE(inPlace ? big.SaveInPlace() : big.SaveAs(archive));
    big.Close();
    return ReadFileBytes(archive);
}

} // namespace

using AddCommand = ToolTest;
using RemoveCommand = ToolTest;
using RenameCommand = ToolTest;
using PackCommand = ToolTest;

TEST_F(AddCommand, WritesTheSameBytesAsTheCoresSaveForTheSameEdits)
{
    WriteModTree(folder.Path());
    for (const bool inPlace : {false, true}) {
        Existing().WriteTo(folder / "tool.big");
        Existing().WriteTo(folder / "core.big");
        std::vector<std::string> args = {"add", "tool.big", "mods/data"};
        if (inPlace)
            args.push_back("--in-place");
        const auto run = Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        // The tool walks folders in name order.
        const auto expected = CoreResult(folder / "core.big",
                                         {{folder / "mods/data/art/b.tga", "data\\art\\b.tga"},
                                          {folder / "mods/data/ini/new.ini", "data\\ini\\new.ini"},
                                          {folder / "mods/data/ini/weapon.ini", "data\\ini\\weapon.ini"}},
                                         inPlace);
        EXPECT_EQ(Read("tool.big"), expected) << (inPlace ? "in place" : "whole save");
        EXPECT_EQ(Names("tool.big"), (std::vector<std::string>{"art\\a.tga", "data\\art\\b.tga", "data\\ini\\new.ini",
                                                                "data\\ini\\weapon.ini", "zz.txt"}))
            << "the old DATA\\INI\\WEAPON.INI is replaced and the new name kept as formed";
    }
}

TEST_F(AddCommand, NamesFilesRelativeToTheWorkingFolderTheBaseOrAsGiven)
{
    WriteModTree(folder.Path());
    Existing().WriteTo(folder / "mod.big");
    EXPECT_EQ(Run({"add", "mod.big", "./mods/data/ini/new.ini"}).status, 0);
    EXPECT_EQ(Run({"add", "mod.big", "mods/data/art/b.tga", "--as", "Art/Renamed.tga"}).status, 0);
    EXPECT_EQ(Run({"add", "--base", "mods", "mod.big", "mods/data/ini"}).status, 0);
    EXPECT_EQ(Names("mod.big"),
              (std::vector<std::string>{"art\\a.tga", "Art\\Renamed.tga", "data\\ini\\new.ini", "data\\ini\\weapon.ini",
                                        "mods\\data\\ini\\new.ini", "zz.txt"}));

    const auto outside = RunTool(folder / "mods", {"add", "../mod.big", "../mods/data/ini/new.ini", "--base", "data/art"});
    EXPECT_EQ(outside.status, 2);
    EXPECT_THAT(outside.err, HasSubstr("not added: it does not lie below the base folder"));
    const auto twoWithAs = Run({"add", "mod.big", "a", "b", "--as", "x"});
    EXPECT_EQ(twoWithAs.status, 2);
}

TEST_F(AddCommand, SkipsNamesTooLongForAnArchiveAndRefusesMissingArchives)
{
    Existing().WriteTo(folder / "mod.big");
    const std::string longName(130, 'n');
    WriteFileBytes(folder / "deep" / longName / longName / "x.txt", Bytes("x")); // a name of 272 characters
    WriteFileBytes(folder / "deep" / "ok.txt", Bytes("ok"));
    const auto run = Run({"add", "mod.big", "deep"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("skipped: its entry name"));
    EXPECT_THAT(run.err, HasSubstr("more than the 259 an archive holds"));
    EXPECT_EQ(Names("mod.big"), (std::vector<std::string>{"art\\a.tga", "DATA\\INI\\WEAPON.INI", "deep\\ok.txt", "zz.txt"}));

    const auto missing = Run({"add", "none.big", "deep"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(fs::exists(folder / "none.big"));
}

TEST_F(RemoveCommand, RemovesEverySelectedEntryKeepingTheOrderOfTheRest)
{
    auto builder = Existing();
    builder.Add("data\\ini\\weapon.ini", "duplicate").Add("art\\b.tga", "b");
    builder.WriteTo(folder / "mod.big");
    const auto run = Run({"remove", "mod.big", "data/ini/weapon.ini", "art/a.tga", "*.w3d"});
    EXPECT_EQ(run.status, 1) << "the pattern that selected nothing is reported";
    EXPECT_THAT(run.err, HasSubstr("no entry matches \"*.w3d\""));
    EXPECT_EQ(Names("mod.big"), (std::vector<std::string>{"zz.txt", "art\\b.tga"}));
}

TEST_F(RenameCommand, RenamesInPlaceInTheTableAndRefusesTakenOrTooLongNames)
{
    Existing().WriteTo(folder / "mod.big");
    EXPECT_EQ(Run({"rename", "mod.big", "zz.txt", "a/readme.txt"}).status, 0);
    EXPECT_EQ(Run({"rename", "mod.big", "data/ini/weapon.ini", "Data\\Ini\\Weapon.ini"}).status, 0);
    EXPECT_EQ(Names("mod.big"), (std::vector<std::string>{"Data\\Ini\\Weapon.ini", "art\\a.tga", "a\\readme.txt"}));

    const auto taken = Run({"rename", "mod.big", "art\\a.tga", "A\\README.TXT"});
    EXPECT_EQ(taken.status, 2);
    EXPECT_THAT(taken.err, HasSubstr("not renamed: an entry named \"A\\README.TXT\" exists already"));
    EXPECT_EQ(Run({"rename", "mod.big", "art\\a.tga", std::string(260, 'x')}).status, 2);
    EXPECT_EQ(Run({"rename", "mod.big", "nothing", "x"}).status, 2);
    EXPECT_EQ(Names("mod.big")[1], "art\\a.tga");
}

TEST_F(PackCommand, PackThenExtractReproducesTheTreeByteForByte)
{
    WriteModTree(folder.Path());
    WriteFileBytes(folder / "mods" / "data" / "empty.txt", {});
    WriteFileBytes(folder / "mods" / "data" / "Big_File.bin", Binary(3 << 20, 4));
    const auto pack = Run({"pack", "mods/data", "mod.big"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    const auto extract = Run({"extract", "mod.big", "-C", "out"});
    ASSERT_EQ(extract.status, 0) << extract.err;
    EXPECT_EQ(TreeOf(folder / "out" / "data"), TreeOf(folder / "mods" / "data"));
    EXPECT_EQ(TreeOf(folder / "out").size(), TreeOf(folder / "mods" / "data").size()) << "every name starts with data\\";
}

TEST_F(PackCommand, SortsAsTheEditorSortsAndWritesTheChosenVariant)
{
    for (const char* name : {"b.ini", "A_b.ini", "a/z.ini", "Ab.ini", "a1.ini", "ab/c.ini"})
        WriteFileBytes(folder / "d" / name, Bytes(name));
    ASSERT_EQ(Run({"pack", "--format", "big4", "d", "d.big"}).status, 0);
    // Letters ignore case; digits sort before '\', '\' before '_', both before letters.
    EXPECT_EQ(Names("d.big"), (std::vector<std::string>{"d\\a1.ini", "d\\a\\z.ini", "d\\A_b.ini", "d\\Ab.ini",
                                                        "d\\ab\\c.ini", "d\\b.ini"}));
    EXPECT_EQ(Read("d.big")[3], '4');

    const auto bad = Run({"pack", "--format", "zip", "d", "x.big"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("must be bigf or big4"));
    EXPECT_EQ(Run({"pack", "d.big", "x.big"}).status, 2) << "not a folder";
}

TEST_F(PackCommand, BaseOptionDropsTheFoldersNameAndTheOutputIsNeverPackedIntoItself)
{
    WriteModTree(folder.Path());
    ASSERT_EQ(Run({"pack", "mods", "mods/self.big", "--base", "mods"}).status, 0);
    ASSERT_EQ(Run({"pack", "mods", "mods/self.big", "--base", "mods"}).status, 0);
    EXPECT_EQ(Names("mods/self.big"), (std::vector<std::string>{"data\\art\\b.tga", "data\\ini\\new.ini", "data\\ini\\weapon.ini"}));
}
