// The archive commands through the archive window's menu actions, with every dialog answered by
// the test: enable rules and check marks, the edit-mode gate, adding files and folders,
// replacing, locks, renaming, deleting, dropped files, extracting, the file format and saving.
#include "ArchiveCommandsFixture.h"

#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "archive/EntryPaths.h"

#include <QApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <algorithm>

namespace kestrel {
using testing::HasSubstr;

namespace {

using namespace test;

TEST_F(ArchiveCommandsTest, MenuEntriesFollowTheSelectionTheLocksAndTheFormat)
{
    CChildFrame& frame = Open();
    for (Command command : {Command::FileQuickSave, Command::FormatBIGF, Command::FormatBIG4, Command::EditExtractAll,
                            Command::EditAddFile, Command::EditAddDirectory, Command::EditAddEmptyFile})
        EXPECT_TRUE(Enabled(command)) << CommandKey(command).toStdString();
    for (Command command : {Command::EditExtract, Command::EditDeleteFile, Command::EditRenameFile})
        EXPECT_FALSE(Enabled(command)) << "nothing selected";
    EXPECT_TRUE(Main().Action(Command::FormatBIGF)->isChecked());
    EXPECT_FALSE(Main().Action(Command::FormatBIG4)->isChecked());

    test::SelectRow(frame, 1);
    for (Command command : {Command::EditExtract, Command::EditDeleteFile, Command::EditRenameFile})
        EXPECT_TRUE(Enabled(command));

    Document().Doc().LockEntry("DATA\\B.INI");
    Main().UpdateCommandStates();
    EXPECT_TRUE(Enabled(Command::EditExtract));
    EXPECT_FALSE(Enabled(Command::EditDeleteFile));
    EXPECT_FALSE(Enabled(Command::EditRenameFile));
}

TEST_F(ArchiveCommandsTest, EveryChangingCommandAsksForEditModeAndDoesNothingOnNo)
{
    CChildFrame& frame = Open(BigArchiveBuilder().Add("a.ini", "a"), true);
    test::SelectRow(frame, 0);
    const Command changing[] = {Command::EditAddFile,      Command::EditAddDirectory, Command::EditAddEmptyFile,
                                Command::EditRenameFile,   Command::EditDeleteFile,   Command::FormatBIG4};
    harness.prompt.Answer({false, false, false, false, false, false, false});
    for (Command command : changing)
        Trigger(command);
    frame.OnDropFiles({File("x.ini")});

    ASSERT_EQ(harness.prompt.shown.size(), 7u); // asked again each time
    for (const auto& shown : harness.prompt.shown)
        EXPECT_EQ(shown.caption, EditModeCaption);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(Names(), std::vector<std::string>{"a.ini"});
    EXPECT_EQ(Archive().GetFormat(), 0);
    EXPECT_TRUE(Main().Action(Command::FormatBIGF)->isChecked());
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, AddFileProposesThePathWithoutItsRootAndAsksBeforeReplacingRegardlessOfCase)
{
    Open();
    const auto file = File("mods/data/x.ini", "x");
    const std::string proposed = ProposedEntryNameForFile(file);
    ASSERT_EQ(proposed.find('/'), std::string::npos);
    ASSERT_EQ(proposed.rfind(harness.folder.Path().relative_path().begin()->string() + "\\", 0), 0u);

    dialogs.paths = {file, file, file};
    dialogs.names = {"", "DATA\\A.INI", "DATA\\A.INI"};
    dialogs.overwrites = {{false, false}, {true, false}};
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddFile);
    EXPECT_EQ(Content("data\\a.ini"), "a");
    Trigger(Command::EditAddFile);

    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"FileToAdd", "Filename: " + proposed, "FileToAdd",
                                                       "Filename: " + proposed, "Overwrite: DATA\\A.INI", "FileToAdd",
                                                       "Filename: " + proposed, "Overwrite: DATA\\A.INI"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"DATA\\A.INI", "data\\b.ini", proposed}));
    EXPECT_EQ(Content("data\\a.ini"), "x");
    EXPECT_TRUE(Document().IsModified());
    EXPECT_TRUE(harness.prompt.shown.empty());
}

TEST_F(ArchiveCommandsTest, AddingTellsUnreadableFilesTooLongNamesAndLockedNames)
{
    Open();
    Document().Doc().LockEntry("data\\a.ini");
    const std::string tooLong(260, 'n');
    dialogs.paths = {harness.folder / "gone.ini", File("x.ini"), File("y.ini")};
    dialogs.names = {"gone.ini", tooLong, "Data\\A.ini", "data\\a.ini"};
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddEmptyFile);

    ASSERT_EQ(harness.prompt.shown.size(), 4u);
    EXPECT_THAT(harness.prompt.shown[0].text, HasSubstr((harness.folder / "gone.ini").string() + ": cannot be read"));
    EXPECT_THAT(harness.prompt.shown[1].text, HasSubstr("\"" + tooLong + "\" has 260 characters"));
    for (size_t i : {2u, 3u}) {
        EXPECT_EQ(harness.prompt.shown[i].text, Locked);
        EXPECT_EQ(harness.prompt.shown[i].caption, "Kestrel");
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "data\\b.ini"}));
    EXPECT_EQ(Content("data\\a.ini"), "a");
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, AddEmptyFileProposesNewFileAndReplacesSilentlyWithOneZeroByte)
{
    Open();
    dialogs.names = {"", "DATA\\B.INI"};
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::EditAddEmptyFile);

    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Filename: NewFile.ini", "Filename: NewFile.ini"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "DATA\\B.INI", "NewFile.ini"}));
    EXPECT_EQ(Content("NewFile.ini"), std::string(1, '\0'));
    EXPECT_EQ(Content("data\\b.ini"), std::string(1, '\0'));
    EXPECT_TRUE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, RenameKeepsTheRowAndDeleteLeavesNoSelection)
{
    CChildFrame& frame = Open();
    test::SelectRow(frame, 0);
    dialogs.names = {"zzz.ini", std::string(300, 'z')};
    Trigger(Command::EditRenameFile);
    EXPECT_EQ(Names(), (std::vector<std::string>{"zzz.ini", "data\\b.ini"}));
    EXPECT_EQ(dialogs.asked.back(), "Filename: data\\a.ini");
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(frame.LeftView()->model()->index(0, 0).data().toString(), QStringLiteral("zzz.ini"));

    Trigger(Command::EditRenameFile);
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_THAT(harness.prompt.shown[0].text, HasSubstr("The entry was not renamed."));

    Document().SetModifiedFlag(false);
    test::SelectRow(frame, 1);
    Trigger(Command::EditDeleteFile);
    EXPECT_EQ(Names(), std::vector<std::string>{"zzz.ini"});
    EXPECT_EQ(Document().SelectedEntry(), -1);
    EXPECT_FALSE(Document().PreviewBytes().has_value());
    for (Command command : {Command::EditExtract, Command::EditDeleteFile, Command::EditRenameFile})
        EXPECT_FALSE(Enabled(command));
    EXPECT_TRUE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, DropsOntoTheEditorPaneAddFoldersAndFilesUntilAnOverwriteIsRefused)
{
    CChildFrame& frame = Open();
    const auto dropped = File("dropped.txt", "d");
    File("more/extra.ini");
    dialogs.names = {"dropped.txt", "data\\a.ini"};
    dialogs.overwrites = {{false, false}};
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((harness.folder / "more").string())),
                  QUrl::fromLocalFile(QString::fromStdString(dropped.string())),
                  QUrl::fromLocalFile(QString::fromStdString(dropped.string())),
                  QUrl::fromLocalFile(QString::fromStdString(dropped.string()))});
    // A drop reaches the widget that accepted the drag's entry, as in a real drag.
    QWidget* pane = frame.EditorView()->EditControl()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane, &drop);
    QApplication::processEvents();

    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(drop.isAccepted());
    // The overwrite question's No ends the drop: the last copy is not even proposed.
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Filename: " + ProposedEntryNameForFile(dropped),
                                                       "Filename: " + ProposedEntryNameForFile(dropped),
                                                       "Overwrite: data\\a.ini"}));
    EXPECT_EQ(Content("more\\extra.ini"), "new");
    EXPECT_EQ(Content("dropped.txt"), "d");
    EXPECT_EQ(Content("data\\a.ini"), "a");
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Adding files... (cancellable)"});
    EXPECT_TRUE(Document().IsModified());
}

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
    EXPECT_TRUE(harness.prompt.shown[1].question);
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



TEST_F(ArchiveCommandsTest, SetFileFormatChecksAtOnceAndChangesTheFileAtTheNextSave)
{
    Open();
    const auto path = std::filesystem::path(Document().PathName().toStdU16String());
    Trigger(Command::FormatBIG4);
    EXPECT_TRUE(Main().Action(Command::FormatBIG4)->isChecked());
    EXPECT_FALSE(Main().Action(Command::FormatBIGF)->isChecked());
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(ReadFileBytes(path)[3], 'F');

    Trigger(Command::FileQuickSave);
    EXPECT_EQ(ReadFileBytes(path)[3], '4');
    EXPECT_FALSE(Document().IsModified());
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Saving test.big..."});
}

TEST_F(ArchiveCommandsTest, QuickSaveOfANewDocumentAsksForAPathAndLaterQuickSavesWriteTheSaveAsFile)
{
    ASSERT_TRUE(harness.Start());
    const auto first = harness.folder / "first.big";
    const auto second = harness.folder / "second.big";
    dialogs.names = {"", "later.ini"};
    dialogs.paths = {first, second};
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileQuickSave);
    ASSERT_TRUE(std::filesystem::exists(first));
    EXPECT_FALSE(Document().IsModified());

    Trigger(Command::FileSaveAs);
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileQuickSave);

    EXPECT_EQ(dialogs.asked[1], "ArchivePath: ");
    FakePrompt quiet;
    CBIGFile check(quiet);
    ASSERT_TRUE(check.Open(second));
    EXPECT_GE(check.FindEntry("later.ini"), 0);
    ASSERT_TRUE(check.Open(first));
    EXPECT_EQ(check.FindEntry("later.ini"), -1);
    EXPECT_EQ(Document().PathName().toStdString(), second.string());
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, SaveAsOfAnUnknownMagicAsksOnlyAtOpeningAndKeepsTheEntries)
{
    BigArchiveBuilder odd;
    odd.magic = "BIGX";
    odd.Add("data\\a.ini", "a").Add("data\\b.ini", "b");
    harness.prompt.Answer({true}); // try to load the unknown format
    Open(odd);
    const auto copy = harness.folder / "copy.big";
    dialogs.paths = {copy};
    Trigger(Command::FileSaveAs);

    const auto questions = std::count_if(harness.prompt.shown.begin(), harness.prompt.shown.end(),
                                         [](const FakePrompt::Shown& shown) { return shown.question; });
    EXPECT_EQ(questions, 0) << "the unknown magic was accepted at opening; saving must not ask again";
    EXPECT_EQ(harness.prompt.unscriptedQuestions, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"data\\a.ini", "data\\b.ini"}));
    EXPECT_EQ(Content("data\\b.ini"), "b");
    EXPECT_EQ(Archive().GetPath(), copy);
    EXPECT_EQ(ReadFileBytes(copy)[3], 'X');
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, SaveClosesEveryTextureArchiveBeforeWritingAndReopensThemAfter)
{
    Open();
    ArchiveDocument& saved = Document();
    CChildFrame* other = harness.App().OpenDocumentFile(harness.WriteArchive(BigArchiveBuilder(), "other.big"));
    ASSERT_NE(other, nullptr);
    CQuartoDoc& otherDoc = other->Document().Doc();
    ASSERT_TRUE(otherDoc.GetGameTextureArchive().Open(harness.folder / "other.big"));
    const auto target = harness.folder / "saved.big";
    std::vector<std::pair<bool, bool>> reopened; // (texture archive was closed, target written)
    otherDoc.SetTextureArchiveOpener([&](CQuartoDoc& doc) {
        reopened.emplace_back(!doc.GetGameTextureArchive().HasFile(), std::filesystem::exists(target));
    });
    dialogs.paths = {target};
    harness.App().OnFileSave(Main().FindFrameForPath(saved.PathName()), true);

    EXPECT_EQ(reopened, (std::vector<std::pair<bool, bool>>{{true, true}}));
}

} // namespace
} // namespace kestrel
