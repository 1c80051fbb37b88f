// The archive commands through the archive window's menu actions, with every dialog answered by
// the test: enable rules and check marks, the edit-mode gate, adding, replacing, locks,
// renaming, deleting and dropped files.
#include "ArchiveCommandsFixture.h"

#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "archive/EntryPaths.h"

#include <QApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

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

} // namespace
} // namespace kestrel
