// Add Directory and Extract / Extract All through the menu: names from the folder, the
// per-folder overwrite questions, locks, long names, cancelling, the selection through the sort,
// and files written only inside the chosen folder.
#include "ArchiveCommandsFixture.h"

#include "app/CLeftView.h"
#include "app/CQuartoView.h"

namespace kestrel {
using testing::HasSubstr;

namespace {

using namespace test;

class AddDirectoryTest : public ArchiveCommandsTest
{
protected:
    void SetUp() override
    {
        Open(BigArchiveBuilder().Add("DATA\\A.INI", "old a").Add("data\\sub\\c.ini", "old c").Add("other.txt", "o"));
        dialogs.paths = {harness.folder / "data"};
    }
};

TEST_F(AddDirectoryTest, NamesStartWithTheFolderAndEachFolderAsksUntilUseForAllIsTicked)
{
    File("data/a.ini", "new a");
    File("data/b.ini");
    File("data/sub/c.ini", "new c");
    File("data/sub/d.ini");
    File("data/zz.ini");
    Archive().AddEntryBytes("data\\b.ini", Bytes("old b"));
    Archive().AddEntryBytes("data\\sub\\d.ini", Bytes("old d"));
    // Yes with the box for data\, so b.ini is replaced silently; the subfolder asks again and its
    // No skips only the rest of data\sub (d.ini), while zz.ini in data\ is still added.
    dialogs.overwrites = {{true, true}, {false, false}};
    Trigger(Command::EditAddDirectory);

    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Folder", "Overwrite (use for all): data\\a.ini",
                                                       "Overwrite (use for all): data\\sub\\c.ini"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "data\\b.ini", "data\\sub\\c.ini", "data\\sub\\d.ini",
                                                 "data\\zz.ini", "other.txt"}));
    EXPECT_EQ(Content("data\\a.ini"), "new a");
    EXPECT_EQ(Content("data\\b.ini"), "new");
    EXPECT_EQ(Content("data\\sub\\c.ini"), "old c");
    EXPECT_EQ(Content("data\\sub\\d.ini"), "old d");
    EXPECT_EQ(Main().ActiveChild()->LeftView()->model()->rowCount(), 6);
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Adding files... (cancellable)"});
    EXPECT_TRUE(Document().IsModified());
    EXPECT_TRUE(harness.prompt.shown.empty());
}

TEST_F(AddDirectoryTest, ALockedNameStopsItsFolderWithTheNameAsCaption)
{
    File("data/sub/c.ini");
    File("data/sub/e.ini");
    File("data/z.ini");
    Document().Doc().LockEntry("DATA\\SUB\\C.INI");
    Trigger(Command::EditAddDirectory);

    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text, Locked);
    EXPECT_EQ(harness.prompt.shown[0].caption, "data\\sub\\c.ini");
    EXPECT_EQ(Content("data\\sub\\c.ini"), "old c");
    EXPECT_EQ(Archive().FindEntry("data\\sub\\e.ini"), -1);
    EXPECT_EQ(Content("data\\z.ini"), "new");
}

TEST_F(AddDirectoryTest, NamesTooLongForAnArchiveAreToldByNameAndNotShortened)
{
    const std::string deep(250, 'x');
    File("data/" + deep + "/long.ini");
    File("data/ok.ini");
    Trigger(Command::EditAddDirectory);

    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_THAT(harness.prompt.shown[0].text, HasSubstr("\"data\\" + deep + "\\long.ini\" has 264 characters"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"DATA\\A.INI", "data\\ok.ini", "data\\sub\\c.ini", "other.txt"}));
}

TEST_F(AddDirectoryTest, CancellingKeepsWhatWasAddedInASortedTable)
{
    for (const char* name : {"data/f1.ini", "data/f2.ini", "data/f3.ini", "data/f4.ini"})
        File(name);
    dialogs.stopProgressAfter = 2;
    Trigger(Command::EditAddDirectory);

    EXPECT_EQ(Names(), (std::vector<std::string>{"DATA\\A.INI", "data\\f1.ini", "data\\f2.ini", "data\\sub\\c.ini",
                                                 "other.txt"}));
    EXPECT_TRUE(Document().IsModified());
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text.rfind("2 files were added before adding was cancelled", 0), 0u);
}

TEST_F(AddDirectoryTest, TheSelectionFollowsItsEntryThroughTheSortAndShowsItsNewBytes)
{
    File("data/0.ini");
    File("data/sub/c.ini", "new c");
    SelectRow(*Main().ActiveChild(), 1);
    dialogs.overwrites = {{true, false}};
    Trigger(Command::EditAddDirectory);

    EXPECT_EQ(Document().SelectedEntry(), 2);
    EXPECT_EQ(Archive().GetEntryName(2), "data\\sub\\c.ini");
    EXPECT_EQ(Document().PreviewBytes(), std::optional<std::string_view>("new c"));
}

TEST_F(ArchiveCommandsTest, ExtractProposesTheLastNamePartAndWorksFromEitherPane)
{
    CChildFrame& frame = Open(BigArchiveBuilder().Add("data/ini/x.ini", "x"));
    SelectRow(frame, 0);
    frame.EditorView()->setFocus();
    const auto target = harness.folder / "x.ini";
    dialogs.paths = {target, harness.folder / "missing" / "x.ini"};
    Trigger(Command::EditExtract);
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{"ExtractTarget: x.ini"});
    EXPECT_EQ(ReadFileBytes(target), Bytes("x"));

    Trigger(Command::EditExtract);
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text.rfind("Could not write " + (harness.folder / "missing" / "x.ini").string(), 0),
              0u);
}

TEST_F(ArchiveCommandsTest, ExtractAllAsksFirstThenWritesFoldersAndNamesTheEntriesItRefused)
{
    // Every kind of name that would leave the folder is refused by the extraction path rule
    // (EntryPaths tests); here, that a refusal reaches the user and the rest is written.
    Open(BigArchiveBuilder().Add("data\\ini\\x.ini", "x").Add("..\\escape.ini", "e").Add("art/t.tga", "t"));
    harness.prompt.Answer({false, true});
    dialogs.paths = {harness.folder / "out"};
    Trigger(Command::EditExtractAll);
    EXPECT_TRUE(dialogs.asked.empty());
    Trigger(Command::EditExtractAll);

    ASSERT_EQ(harness.prompt.shown.size(), 3u);
    EXPECT_EQ(harness.prompt.shown[1].text, "This will extract the whole BIG file to a folder you specify. Existing files "
                                            "will be overwritten. Continue?");
    EXPECT_THAT(harness.prompt.shown[2].text, HasSubstr("..\\escape.ini: "));
    EXPECT_EQ(ReadFileBytes(harness.folder / "out" / "data" / "ini" / "x.ini"), Bytes("x"));
    EXPECT_EQ(ReadFileBytes(harness.folder / "out" / "art" / "t.tga"), Bytes("t"));
    EXPECT_FALSE(std::filesystem::exists(harness.folder / "escape.ini"));
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Extracting entries... (cancellable)"});
}
TEST_F(ArchiveCommandsTest, ExtractAllStopsAtAFolderItCannotMakeAndKeepsWhatItWrote)
{
    Open(BigArchiveBuilder().Add("a.ini", "a").Add("data\\ini\\x.ini", "x").Add("z.ini", "z"));
    WriteFileBytes(harness.folder / "out" / "data", Bytes("a file where a folder must go"));
    harness.prompt.Answer({true, true});
    dialogs.paths = {harness.folder / "out", harness.folder / "cancelled"};
    Trigger(Command::EditExtractAll);
    dialogs.stopProgressAfter = 1;
    Trigger(Command::EditExtractAll);

    ASSERT_EQ(harness.prompt.shown.size(), 4u);
    EXPECT_EQ(harness.prompt.shown[1].text.rfind("Could not create the folder " + (harness.folder / "out" / "data" / "ini").string(), 0), 0u);
    EXPECT_THAT(harness.prompt.shown[1].text, HasSubstr("The extraction stopped there"));
    EXPECT_EQ(ReadFileBytes(harness.folder / "out" / "a.ini"), Bytes("a"));
    EXPECT_FALSE(std::filesystem::exists(harness.folder / "out" / "z.ini"));
    // Cancelled after the first entry: what was written stays, and the user is told how much.
    EXPECT_EQ(harness.prompt.shown[3].text.rfind("1 of 3 entries extracted", 0), 0u);
    EXPECT_EQ(ReadFileBytes(harness.folder / "cancelled" / "a.ini"), Bytes("a"));
    EXPECT_FALSE(std::filesystem::exists(harness.folder / "cancelled" / "data"));
}

} // namespace
} // namespace kestrel
