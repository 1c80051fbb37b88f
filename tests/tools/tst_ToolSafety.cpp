// What the changing commands do to the files around an archive, and the commands a build
// script needs besides add and pack.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

bool Mentions(const ToolRun& run, const std::string& text)
{
    return run.err.find(text) != std::string::npos || run.out.find(text) != std::string::npos;
}

BigArchiveBuilder TwoEntries()
{
    BigArchiveBuilder builder;
    builder.Add("data\\ini\\weapon.ini", "weapon").Add("art\\a.tga", Binary(3000, 1));
    return builder;
}

} // namespace

TEST(ToolSafety, FilesThatAreNoArchivesAreNeverChangedWithoutForce)
{
    TempFolder folder;
    const auto picture = Binary(45916, 3);
    auto tga = picture;
    tga[0] = 0, tga[1] = 0, tga[2] = 2, tga[3] = 0;
    WriteFileBytes(folder / "texture.tga", tga);
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "dir" / "x.txt", Bytes("x"));

    // Swapped arguments.
    const auto add = RunTool(folder.Path(), {"add", "texture.tga", "mod.big"});
    EXPECT_EQ(add.status, 1);
    EXPECT_TRUE(Mentions(add, "--force")) << add.err;
    EXPECT_TRUE(Mentions(add, "\\x00\\x00\\x02\\x00")) << add.err;
    for (const auto& args : std::vector<std::vector<std::string>>{{"remove", "texture.tga", "x"},
                                                                  {"rename", "texture.tga", "a", "b"},
                                                                  {"compact", "texture.tga"},
                                                                  {"pack", "dir", "texture.tga"}})
        EXPECT_EQ(RunTool(folder.Path(), args).status, 1) << args[0];
    EXPECT_EQ(ReadFileBytes(folder / "texture.tga"), tga);

    const auto list = RunTool(folder.Path(), {"list", "texture.tga"});
    EXPECT_TRUE(Mentions(list, "texture.tga: \\x00\\x00\\x02\\x00: This file format is unknown")) << list.err;

    EXPECT_EQ(RunTool(folder.Path(), {"pack", "--force", "dir", "texture.tga"}).status, 0);
    EXPECT_EQ(EntryNames(folder / "texture.tga"), std::vector<std::string>{"dir\\x.txt"});
}

TEST(ToolSafety, WholeSavesWriteThroughLinksAndKeepPermissions)
{
    TempFolder folder;
    TwoEntries().WriteTo(folder / "real" / "mod.big");
    fs::permissions(folder / "real" / "mod.big", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/mod.big", folder / "link.big");
    WriteFileBytes(folder / "new.txt", Bytes("new"));
    WriteFileBytes(folder / "d" / "p.txt", Bytes("p"));
    ASSERT_EQ(RunTool(folder.Path(), {"add", "link.big", "new.txt"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder / "link.big"));
    EXPECT_EQ(EntryNames(folder / "real" / "mod.big").size(), 3u) << "the real archive got the entry";
    EXPECT_EQ(fs::status(folder / "real" / "mod.big").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(RunTool(folder.Path(), {"pack", "d", "link.big"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder / "link.big"));
    EXPECT_EQ(EntryNames(folder / "real" / "mod.big"), std::vector<std::string>{"d\\p.txt"});

    // A hard link keeps the old content after a whole save, and the tool says so; in place,
    // both names see the change.
    fs::create_hard_link(folder / "real" / "mod.big", folder / "other.big");
    const auto whole = RunTool(folder.Path(), {"add", "other.big", "new.txt"});
    EXPECT_EQ(whole.status, 0);
    EXPECT_TRUE(Mentions(whole, "hard links")) << whole.err;
    EXPECT_EQ(EntryNames(folder / "real" / "mod.big").size(), 1u);
    fs::remove(folder / "other.big");
    fs::create_hard_link(folder / "real" / "mod.big", folder / "other.big");
    EXPECT_EQ(RunTool(folder.Path(), {"add", "--in-place", "other.big", "new.txt"}).status, 0);
    EXPECT_EQ(EntryNames(folder / "real" / "mod.big").size(), 2u);
}

TEST(ToolSafety, DamagedOrUnreadableInputChangesNothing)
{
    TempFolder folder;
    auto damaged = TwoEntries().Build();
    const std::uint8_t farAway[] = {0x7F, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(farAway), std::end(farAway), damaged.begin() + 16); // the first record's offset
    WriteFileBytes(folder / "damaged.big", damaged);
    WriteFileBytes(folder / "new.txt", Bytes("new"));
    const auto inPlace = RunTool(folder.Path(), {"add", "--in-place", "damaged.big", "new.txt"});
    EXPECT_EQ(inPlace.status, 2);
    EXPECT_TRUE(Mentions(inPlace, "outside the file")) << inPlace.err;
    EXPECT_EQ(ReadFileBytes(folder / "damaged.big"), damaged);

    // One file that cannot be read: all or nothing.
    TwoEntries().WriteTo(folder / "mod.big");
    const auto before = ReadFileBytes(folder / "mod.big");
    fs::create_symlink("nowhere.txt", folder / "gone.txt");
    for (const bool inPlaceSave : {false, true}) {
        std::vector<std::string> args = {"add", "mod.big", "new.txt", "gone.txt"};
        if (inPlaceSave)
            args.push_back("--in-place");
        const auto add = RunTool(folder.Path(), args);
        EXPECT_EQ(add.status, 2);
        EXPECT_TRUE(Mentions(add, "gone.txt")) << add.err;
        EXPECT_EQ(ReadFileBytes(folder / "mod.big"), before);
    }
}

TEST(ToolSafety, EntriesWhoseNameJustFitsTheFileSystemAreExtracted)
{
    TempFolder folder;
    const std::string name = "data\\" + std::string(233, 'L') + ".ini";
    BigArchiveBuilder().Add(name, "long").WriteTo(folder / "mod.big");
    const auto run = RunTool(folder.Path(), {"extract", "mod.big", "-C", "out"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "out" / "data" / (std::string(233, 'L') + ".ini")), Bytes("long"));
}

TEST(CompactCommand, GivesBackWhatInPlaceSavesLeftAndKeepsEveryEntry)
{
    TempFolder folder;
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "art" / "a.tga", Binary(9000, 2));
    ASSERT_EQ(RunTool(folder.Path(), {"add", "--in-place", "mod.big", "art/a.tga"}).status, 0);
    ASSERT_EQ(RunTool(folder.Path(), {"remove", "--in-place", "mod.big", "data/ini/weapon.ini"}).status, 0);
    const auto grown = fs::file_size(folder / "mod.big");
    const auto run = RunTool(folder.Path(), {"compact", "mod.big"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto compacted = fs::file_size(folder / "mod.big");
    EXPECT_EQ(compacted, 16u + 8 + 10 + 8 + 9000);
    EXPECT_NE(run.out.find(std::to_string(grown - compacted) + " reclaimed"), std::string::npos) << run.out;
    EXPECT_NE(RunTool(folder.Path(), {"info", "mod.big"}).out.find("unused bytes:      0\n"), std::string::npos);
    ASSERT_EQ(RunTool(folder.Path(), {"extract", "mod.big", "-C", "out"}).status, 0);
    EXPECT_EQ(ReadFileBytes(folder / "out" / "art" / "a.tga"), Binary(9000, 2));
}

TEST(DiffCommand, ReportsWhatOnlyOneSideHoldsAndWhatDiffersForArchivesAndFolders)
{
    TempFolder folder;
    TwoEntries().WriteTo(folder / "a.big");
    BigArchiveBuilder b;
    b.Add("DATA\\INI\\WEAPON.INI", "weapoN").Add("art\\a.tga", Binary(3001, 1)).Add("new.txt", "n");
    b.WriteTo(folder / "b.big");

    const auto text = RunTool(folder.Path(), {"diff", "a.big", "b.big"});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, "only in b.big: new.txt\n"
                        "differs: art\\a.tga (3000 and 3001 bytes)\n"
                        "differs: data\\ini\\weapon.ini\n");
    const auto json = RunTool(folder.Path(), {"diff", "--json", "b.big", "a.big"});
    EXPECT_EQ(json.out, "{\"onlyInA\": [\"new.txt\"], \"onlyInB\": [], \"differing\": [{\"name\": \"art\\\\a.tga\", "
                        "\"sizeA\": 3001, \"sizeB\": 3000}, {\"name\": \"DATA\\\\INI\\\\WEAPON.INI\", \"sizeA\": 6, "
                        "\"sizeB\": 6}]}\n");

    ASSERT_EQ(RunTool(folder.Path(), {"extract", "a.big", "-C", "out"}).status, 0);
    const auto same = RunTool(folder.Path(), {"diff", "a.big", "out"});
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(same.out, "");
    WriteFileBytes(folder / "out" / "extra.txt", Bytes("e"));
    EXPECT_EQ(RunTool(folder.Path(), {"diff", "out", "a.big"}).out, "only in out: extra.txt\n");
    EXPECT_EQ(RunTool(folder.Path(), {"diff", "a.big", "missing.big"}).status, 2);
}

TEST(ToolSafety, NamesWithALeadingSlashAreReportedAndExtractedOnlyWhenStripped)
{
    TempFolder folder;
    BigArchiveBuilder().Add("/data/a.ini", "a").Add("\\b.ini", "b").Add("c.ini", "c").WriteTo(folder / "mod.big");
    const auto verify = RunTool(folder.Path(), {"verify", "mod.big"});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.out.find("\"/data/a.ini\" cannot be extracted"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("\"\\b.ini\" cannot be extracted"), std::string::npos) << verify.out;

    EXPECT_EQ(RunTool(folder.Path(), {"extract", "mod.big", "-C", "plain"}).status, 1);
    EXPECT_EQ(TreeOf(folder / "plain").size(), 1u);
    const auto stripped = RunTool(folder.Path(), {"extract", "--strip-leading-slash", "mod.big", "-C", "out"});
    EXPECT_EQ(stripped.status, 0) << stripped.err;
    EXPECT_EQ(ReadFileBytes(folder / "out" / "data" / "a.ini"), Bytes("a"));
    EXPECT_EQ(ReadFileBytes(folder / "out" / "b.ini"), Bytes("b"));
}

TEST(ToolSafety, ExtractCanKeepExistingFilesAndPackCanExcludeWhatABuildLeaves)
{
    TempFolder folder;
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "out" / "data" / "ini" / "weapon.ini", Bytes("edited by hand"));
    const auto keep = RunTool(folder.Path(), {"extract", "--no-overwrite", "mod.big", "-C", "out"});
    EXPECT_EQ(keep.status, 1);
    EXPECT_TRUE(Mentions(keep, "weapon.ini: kept")) << keep.err;
    EXPECT_EQ(ReadFileBytes(folder / "out" / "data" / "ini" / "weapon.ini"), Bytes("edited by hand"));
    EXPECT_EQ(ReadFileBytes(folder / "out" / "art" / "a.tga"), Binary(3000, 1));
    ASSERT_EQ(RunTool(folder.Path(), {"extract", "mod.big", "-C", "out"}).status, 0);
    EXPECT_EQ(ReadFileBytes(folder / "out" / "data" / "ini" / "weapon.ini"), Bytes("weapon"));

    WriteFileBytes(folder / "out" / ".git" / "HEAD", Bytes("ref"));
    WriteFileBytes(folder / "out" / "data" / "ini" / "weapon.ini.BAK", Bytes("old"));
    WriteFileBytes(folder / "out" / "art" / "test" / "t.tga", Bytes("t"));
    const auto pack = RunTool(folder.Path(), {"pack", "out", "new.big", "--exclude", ".git", "--exclude", "*.bak",
                                              "--exclude", "out/art/test"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(EntryNames(folder / "new.big"), (std::vector<std::string>{"out\\art\\a.tga", "out\\data\\ini\\weapon.ini"}));
    ASSERT_EQ(RunTool(folder.Path(), {"add", "mod.big", "out", "--exclude", "*.tga", "--exclude", ".git"}).status, 0);
    EXPECT_EQ(EntryNames(folder / "mod.big").size(), 4u) << "art\\a.tga, data\\ini\\weapon.ini and out's two .ini files";
}
