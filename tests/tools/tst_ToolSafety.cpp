// What the changing commands do to the files around an archive, and the commands a build
// script needs besides add and pack.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel::test;
namespace fs = std::filesystem;

using testing::HasSubstr;

namespace {

BigArchiveBuilder TwoEntries()
{
    BigArchiveBuilder builder;
    builder.Add("data\\ini\\weapon.ini", "weapon").Add("art\\a.tga", Binary(3000, 1));
    return builder;
}

} // namespace

using ToolSafety = ToolTest;
using CompactCommand = ToolTest;
using DiffCommand = ToolTest;

TEST_F(ToolSafety, FilesThatAreNoArchivesAreNeverChangedWithoutForce)
{
    auto tga = Binary(45916, 3);
    tga[0] = 0, tga[1] = 0, tga[2] = 2, tga[3] = 0;
    WriteFileBytes(folder / "texture.tga", tga);
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "dir" / "x.txt", Bytes("x"));

    // Swapped arguments.
    const auto add = Run({"add", "texture.tga", "mod.big"});
    EXPECT_EQ(add.status, 1);
    EXPECT_THAT(add.err + add.out, HasSubstr("--force"));
    EXPECT_THAT(add.err + add.out, HasSubstr("\\x00\\x00\\x02\\x00"));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"remove", "texture.tga", "x"}, {"rename", "texture.tga", "a", "b"}, {"compact", "texture.tga"}, {"pack", "dir", "texture.tga"}})
        EXPECT_EQ(Run(args).status, 1) << args[0];
    EXPECT_EQ(Read("texture.tga"), tga);

    const auto list = Run({"list", "texture.tga"});
    EXPECT_THAT(list.err + list.out, HasSubstr("texture.tga: \\x00\\x00\\x02\\x00: This file format is unknown"));

    EXPECT_EQ(Run({"pack", "--force", "dir", "texture.tga"}).status, 0);
    EXPECT_EQ(Names("texture.tga"), std::vector<std::string>{"dir\\x.txt"});
}

TEST_F(ToolSafety, WholeSavesWriteThroughLinks)
{
    // Permissions and the link itself are the atomic writer's to keep; here, that the tool's
    // saves reach it with the link's name.
    TwoEntries().WriteTo(folder / "real" / "mod.big");
    fs::create_symlink("real/mod.big", folder / "link.big");
    WriteFileBytes(folder / "new.txt", Bytes("new"));
    ASSERT_EQ(Run({"add", "link.big", "new.txt"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder / "link.big"));
    EXPECT_EQ(Names("real/mod.big").size(), 3u) << "the real archive got the entry";

    // A hard link keeps the old content after a whole save, and the tool says so; in place,
    // both names see the change.
    WriteFileBytes(folder / "more.txt", Bytes("more"));
    fs::create_hard_link(folder / "real" / "mod.big", folder / "other.big");
    const auto whole = Run({"add", "other.big", "more.txt"});
    EXPECT_EQ(whole.status, 0);
    EXPECT_THAT(whole.err + whole.out, HasSubstr("hard links"));
    EXPECT_EQ(Names("real/mod.big").size(), 3u);
    fs::remove(folder / "other.big");
    fs::create_hard_link(folder / "real" / "mod.big", folder / "other.big");
    EXPECT_EQ(Run({"add", "--in-place", "other.big", "more.txt"}).status, 0);
    EXPECT_EQ(Names("real/mod.big").size(), 4u);

    WriteFileBytes(folder / "d" / "p.txt", Bytes("p"));
    ASSERT_EQ(Run({"pack", "d", "link.big"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder / "link.big"));
    EXPECT_EQ(Names("real/mod.big"), std::vector<std::string>{"d\\p.txt"});
}

TEST_F(ToolSafety, DamagedOrUnreadableInputChangesNothing)
{
    auto damaged = TwoEntries().Build();
    const std::uint8_t farAway[] = {0x7F, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(farAway), std::end(farAway), damaged.begin() + 16); // the first record's offset
    WriteFileBytes(folder / "damaged.big", damaged);
    WriteFileBytes(folder / "new.txt", Bytes("new"));
    const auto inPlace = Run({"add", "--in-place", "damaged.big", "new.txt"});
    EXPECT_EQ(inPlace.status, 2);
    EXPECT_THAT(inPlace.err + inPlace.out, HasSubstr("outside the file"));
    EXPECT_EQ(Read("damaged.big"), damaged);

    // One file that cannot be read: all or nothing.
    TwoEntries().WriteTo(folder / "mod.big");
    const auto before = Read("mod.big");
    fs::create_symlink("nowhere.txt", folder / "gone.txt");
    for (const bool inPlaceSave : {false, true}) {
        std::vector<std::string> args = {"add", "mod.big", "new.txt", "gone.txt"};
        if (inPlaceSave)
            args.push_back("--in-place");
        const auto add = Run(args);
        EXPECT_EQ(add.status, 2);
        EXPECT_THAT(add.err + add.out, HasSubstr("gone.txt"));
        EXPECT_EQ(Read("mod.big"), before);
    }
}

TEST_F(ToolSafety, EntriesWhoseNameJustFitsTheFileSystemAreExtracted)
{
    const std::string name = "data\\" + std::string(233, 'L') + ".ini";
    BigArchiveBuilder().Add(name, "long").WriteTo(folder / "mod.big");
    const auto run = Run({"extract", "mod.big", "-C", "out"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "out" / "data" / (std::string(233, 'L') + ".ini")), Bytes("long"));
}

TEST_F(CompactCommand, GivesBackWhatInPlaceSavesLeftAndKeepsEveryEntry)
{
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "art" / "a.tga", Binary(9000, 2));
    ASSERT_EQ(Run({"add", "--in-place", "mod.big", "art/a.tga"}).status, 0);
    ASSERT_EQ(Run({"remove", "--in-place", "mod.big", "data/ini/weapon.ini"}).status, 0);
    const auto grown = fs::file_size(folder / "mod.big");
    const auto run = Run({"compact", "mod.big"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto compacted = fs::file_size(folder / "mod.big");
    EXPECT_EQ(compacted, 16u + 8 + 10 + 8 + 9000);
    EXPECT_THAT(run.out, HasSubstr(std::to_string(grown - compacted) + " reclaimed"));
    ASSERT_EQ(Run({"extract", "mod.big", "-C", "out"}).status, 0);
    EXPECT_EQ(Read("out/art/a.tga"), Binary(9000, 2));
}

TEST_F(DiffCommand, ReportsWhatOnlyOneSideHoldsAndWhatDiffersForArchivesAndFolders)
{
    TwoEntries().WriteTo(folder / "a.big");
    BigArchiveBuilder b;
    b.Add("DATA\\INI\\WEAPON.INI", "weapoN").Add("art\\a.tga", Binary(3001, 1)).Add("new.txt", "n");
    b.WriteTo(folder / "b.big");

    const auto text = Run({"diff", "a.big", "b.big"});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, "only in b.big: new.txt\n"
                        "differs: art\\a.tga (3000 and 3001 bytes)\n"
                        "differs: data\\ini\\weapon.ini\n");
    const auto json = Run({"diff", "--json", "b.big", "a.big"});
    EXPECT_EQ(json.out, "{\"onlyInA\": [\"new.txt\"], \"onlyInB\": [], \"differing\": [{\"name\": \"art\\\\a.tga\", "
                        "\"sizeA\": 3001, \"sizeB\": 3000}, {\"name\": \"DATA\\\\INI\\\\WEAPON.INI\", \"sizeA\": 6, "
                        "\"sizeB\": 6}]}\n");

    ASSERT_EQ(Run({"extract", "a.big", "-C", "out"}).status, 0);
    const auto same = Run({"diff", "a.big", "out"});
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(same.out, "");
    WriteFileBytes(folder / "out" / "extra.txt", Bytes("e"));
    EXPECT_EQ(Run({"diff", "out", "a.big"}).out, "only in out: extra.txt\n");
    EXPECT_EQ(Run({"diff", "a.big", "missing.big"}).status, 2);
}

TEST_F(ToolSafety, NamesWithALeadingSlashAreReportedAndExtractedOnlyWhenStripped)
{
    BigArchiveBuilder().Add("/data/a.ini", "a").Add("\\b.ini", "b").Add("c.ini", "c").WriteTo(folder / "mod.big");
    const auto verify = Run({"verify", "mod.big"});
    EXPECT_EQ(verify.status, 1);
    EXPECT_THAT(verify.out, HasSubstr("\"/data/a.ini\" cannot be extracted"));
    EXPECT_THAT(verify.out, HasSubstr("\"\\b.ini\" cannot be extracted"));

    const auto stripped = Run({"extract", "--strip-leading-slash", "mod.big", "-C", "out"});
    EXPECT_EQ(stripped.status, 0) << stripped.err;
    EXPECT_EQ(Read("out/data/a.ini"), Bytes("a"));
    EXPECT_EQ(Read("out/b.ini"), Bytes("b"));
}

TEST_F(ToolSafety, ExtractCanKeepExistingFilesAndPackCanExcludeWhatABuildLeaves)
{
    TwoEntries().WriteTo(folder / "mod.big");
    WriteFileBytes(folder / "out" / "data" / "ini" / "weapon.ini", Bytes("edited by hand"));
    const auto keep = Run({"extract", "--no-overwrite", "mod.big", "-C", "out"});
    EXPECT_EQ(keep.status, 1);
    EXPECT_THAT(keep.err + keep.out, HasSubstr("weapon.ini: kept"));
    EXPECT_EQ(Read("out/data/ini/weapon.ini"), Bytes("edited by hand"));
    EXPECT_EQ(Read("out/art/a.tga"), Binary(3000, 1));

    WriteFileBytes(folder / "out" / ".git" / "HEAD", Bytes("ref"));
    WriteFileBytes(folder / "out" / "data" / "ini" / "weapon.ini.BAK", Bytes("old"));
    WriteFileBytes(folder / "out" / "art" / "test" / "t.tga", Bytes("t"));
    const auto pack = Run({"pack", "out", "new.big", "--exclude", ".git", "--exclude", "*.bak",
                                              "--exclude", "out/art/test"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(Names("new.big"), (std::vector<std::string>{"out\\art\\a.tga", "out\\data\\ini\\weapon.ini"}));
}
