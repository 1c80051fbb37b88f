// The archive commands through the archive window's menu actions, with every dialog answered by
// the test: enable rules and check marks, the edit-mode gate, adding, replacing, locks,
// renaming, deleting, formats, saving, extracting and dropped files.
#include "AppHarness.h"
#include "ScriptedDialogs.h"

#include "app/AppCommands.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "app/CQuartoView.h"
#include "archive/CQuartoDoc.h"
#include "archive/EntryPaths.h"

#include <QAction>
#include <QApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::BigArchiveBuilder;
using test::Bytes;
using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string EditModeCaption = "Activate EditMode";
const std::string Locked = "You cannot replace this file, as it is currently locked";

class ArchiveCommandsTest : public ::testing::Test
{
protected:
    ArchiveCommandsTest()
    {
        harness.dialogs = &dialogs;
        harness.Restart();
    }

    /// Opens an archive of data\a.ini and data\b.ini; edit mode is on unless `askEditMode`.
    CChildFrame& Open(BigArchiveBuilder builder = BigArchiveBuilder().Add("data\\a.ini", "a").Add("data\\b.ini", "b"),
                      bool askEditMode = false)
    {
        CChildFrame* frame = harness.StartOn(builder);
        EXPECT_NE(frame, nullptr);
        if (!askEditMode) {
            harness.prompt.Answer({true});
            frame->Document().ActivateEditMode();
        }
        // Without a graphics device the preview says it can only show text; not a command's doing.
        harness.prompt.shown.clear();
        return *frame;
    }

    void Trigger(Command command) { Main().Action(command)->trigger(); }
    bool Enabled(Command command) { return Main().Action(command)->isEnabled(); }
    CMainFrame& Main() { return *harness.App().MainFrame(); }
    ArchiveDocument& Document() { return Main().ActiveChild()->Document(); }
    CBIGFile& Archive() { return Document().Doc().GetArchive(); }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Archive().GetEntryCount(); ++i)
            names.push_back(Archive().GetEntryName(i));
        return names;
    }

    std::string Content(const std::string& name)
    {
        const auto bytes = Archive().GetEntryBytes(Archive().FindEntry(name));
        return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
    }

    std::filesystem::path File(const std::string& relative, const std::string& text = "new")
    {
        const auto path = harness.folder / relative;
        WriteFileBytes(path, Bytes(text));
        return path;
    }

    test::ScriptedDialogs dialogs;
    test::AppHarness harness;
};

TEST_F(ArchiveCommandsTest, MenuEntriesFollowTheSelectionTheLocksAndTheFormat)
{
    CChildFrame& frame = Open();
    for (Command command : {Command::FileQuickSave, Command::FormatBIGF, Command::FormatBIG4, Command::EditExtractAll,
                            Command::EditAddFile, Command::EditAddDirectory, Command::EditAddEmptyFile})
        EXPECT_TRUE(Enabled(command)) << CommandKey(command).toStdString();
    EXPECT_FALSE(Enabled(Command::EditExtract));
    EXPECT_FALSE(Enabled(Command::EditDeleteFile));
    EXPECT_FALSE(Enabled(Command::EditRenameFile));
    EXPECT_TRUE(Main().Action(Command::FormatBIGF)->isChecked());
    EXPECT_FALSE(Main().Action(Command::FormatBIG4)->isChecked());
    EXPECT_EQ(test::Shown(Main().Action(Command::FormatBIGF)->text()), QStringLiteral("BIGF (C&C Generals)"));
    EXPECT_EQ(Main().Action(Command::FormatBIGF)->statusTip(), QStringLiteral("C&C Generals Big File"));
    EXPECT_EQ(Main().Action(Command::FormatBIG4)->statusTip(), QStringLiteral("Battle for Middle Earth BIG File"));

    test::SelectRow(frame, 1);
    EXPECT_TRUE(Enabled(Command::EditExtract));
    EXPECT_TRUE(Enabled(Command::EditDeleteFile));
    EXPECT_TRUE(Enabled(Command::EditRenameFile));

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

TEST_F(ArchiveCommandsTest, AddFileTellsWhichFileCouldNotBeReadOrWhichNameIsTooLong)
{
    Open();
    const std::string tooLong(260, 'n');
    dialogs.paths = {harness.folder / "gone.ini", File("x.ini")};
    dialogs.names = {"gone.ini", tooLong};
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddFile);

    ASSERT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_NE(harness.prompt.shown[0].text.find((harness.folder / "gone.ini").string() + ": cannot be read"),
              std::string::npos);
    EXPECT_NE(harness.prompt.shown[1].text.find("\"" + tooLong + "\" has 260 characters"), std::string::npos);
    EXPECT_EQ(Archive().GetEntryCount(), 2);
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, LockedNamesAreNeverReplaced)
{
    Open();
    Document().Doc().LockEntry("data\\a.ini");
    dialogs.paths = {File("x.ini")};
    dialogs.names = {"Data\\A.ini", "data\\a.ini"};
    Trigger(Command::EditAddFile);
    Trigger(Command::EditAddEmptyFile);

    ASSERT_EQ(harness.prompt.shown.size(), 2u);
    for (const auto& shown : harness.prompt.shown) {
        EXPECT_EQ(shown.text, Locked);
        EXPECT_EQ(shown.caption, "Kestrel");
    }
    EXPECT_EQ(Content("data\\a.ini"), "a");
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
    EXPECT_NE(harness.prompt.shown[0].text.find("The entry was not renamed."), std::string::npos);

    Document().SetModifiedFlag(false);
    test::SelectRow(frame, 1);
    Trigger(Command::EditDeleteFile);
    EXPECT_EQ(Names(), std::vector<std::string>{"zzz.ini"});
    EXPECT_EQ(Document().SelectedEntry(), -1);
    EXPECT_FALSE(Document().PreviewBytes().has_value());
    EXPECT_FALSE(Enabled(Command::EditExtract));
    EXPECT_FALSE(Enabled(Command::EditDeleteFile));
    EXPECT_FALSE(Enabled(Command::EditRenameFile));
    EXPECT_TRUE(Document().IsModified());
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
    test::FakePrompt quiet;
    CBIGFile check(quiet);
    ASSERT_TRUE(check.Open(second));
    EXPECT_GE(check.FindEntry("later.ini"), 0);
    ASSERT_TRUE(check.Open(first));
    EXPECT_EQ(check.FindEntry("later.ini"), -1);
    EXPECT_EQ(Document().PathName().toStdString(), second.string());
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(ArchiveCommandsTest, AFailedSaveSaysSoAndKeepsTheDocumentModified)
{
    Open();
    dialogs.names = {""};
    dialogs.paths = {harness.folder / "missing" / "out.big"};
    Trigger(Command::EditAddEmptyFile);
    Trigger(Command::FileSaveAs);

    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_NE(harness.prompt.shown[0].text.find("not been saved"), std::string::npos);
    EXPECT_TRUE(Document().IsModified());
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

TEST_F(ArchiveCommandsTest, ExtractProposesTheLastNamePartAndWorksFromEitherPane)
{
    CChildFrame& frame = Open(BigArchiveBuilder().Add("data/ini/x.ini", "x"));
    test::SelectRow(frame, 0);
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
    Open(BigArchiveBuilder().Add("data\\ini\\x.ini", "x").Add("..\\escape.ini", "e"));
    harness.prompt.Answer({false, true});
    dialogs.paths = {harness.folder / "out"};
    Trigger(Command::EditExtractAll);
    EXPECT_TRUE(dialogs.asked.empty());
    Trigger(Command::EditExtractAll);

    ASSERT_EQ(harness.prompt.shown.size(), 3u);
    EXPECT_EQ(harness.prompt.shown[1].text, "This will extract the whole BIG file to a folder you specify. Existing files "
                                            "will be overwritten. Continue?");
    EXPECT_NE(harness.prompt.shown[2].text.find("..\\escape.ini: "), std::string::npos);
    EXPECT_EQ(ReadFileBytes(harness.folder / "out" / "data" / "ini" / "x.ini"), Bytes("x"));
    EXPECT_FALSE(std::filesystem::exists(harness.folder / "escape.ini"));
    EXPECT_EQ(dialogs.progressLabels, std::vector<std::string>{"Extracting entries... (cancellable)"});
}

TEST_F(ArchiveCommandsTest, AddDirectoryAndDropsOntoTheEditorPaneAddFoldersAndFiles)
{
    CChildFrame& frame = Open();
    File("mods/data/new.ini");
    const auto dropped = File("dropped.txt", "d");
    dialogs.paths = {harness.folder / "mods" / "data"};
    Trigger(Command::EditAddDirectory);
    EXPECT_EQ(Content("data\\new.ini"), "new");
    EXPECT_EQ(frame.LeftView()->model()->rowCount(), 3);

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
    ASSERT_GE(dialogs.asked.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(dialogs.asked.end() - 3, dialogs.asked.end()),
              (std::vector<std::string>{"Filename: " + ProposedEntryNameForFile(dropped),
                                        "Filename: " + ProposedEntryNameForFile(dropped), "Overwrite: data\\a.ini"}));
    EXPECT_EQ(Content("more\\extra.ini"), "new");
    EXPECT_EQ(Content("dropped.txt"), "d");
    EXPECT_EQ(Content("data\\a.ini"), "a");
    EXPECT_EQ(dialogs.progressLabels, (std::vector<std::string>{"Adding files... (cancellable)", "Adding files..."}));
    EXPECT_TRUE(Document().IsModified());
}

} // namespace
} // namespace kestrel
