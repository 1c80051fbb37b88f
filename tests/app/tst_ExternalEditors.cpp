// Edit with Editor against a scripted fake editor (a shell script that records what it was
// given, waits for the test's go-ahead and appends "+" to the file), and the Options dialog with
// the editor table as the settings keep it.
#include "ArchiveCommandsFixture.h"

#include "app/CQuartoView.h"
#include "app/ExternalEditors.h"
#include "app/OptionsDialog.h"
#include "support/FileText.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <sstream>

namespace kestrel {
namespace {

using namespace test;
namespace fs = std::filesystem;

/// Sets an environment variable to "1" for the fake editors started while it lives.
struct EnvironmentGuard
{
    explicit EnvironmentGuard(const char* variable) : name(variable) { qputenv(name, "1"); }
    ~EnvironmentGuard() { qunsetenv(name); }
    const char* name;
};

class ExternalEditorsTest : public ArchiveCommandsTest
{
protected:
    ExternalEditorsTest()
    {
        fs::create_directories(temporaryRoot);
        // Each call records its arguments (the file last) on one line, then edits once the test
        // creates "go", or at once for an editor that hands the file on.
        editor = harness.folder / "fake-editor.sh";
        WriteFileBytes(editor, Bytes("#!/bin/sh\n"
                                     "for file; do :; done\n"
                                     "echo \"$*\" >> '" + (harness.folder / "calls").string() + "'\n"
                                     "while [ \"$HANDS_ON\" != 1 ] && [ ! -e '" + go.string() + "' ]; do sleep 0.02; done\n"
                                     "[ \"$NO_EDIT\" = 1 ] || printf '+' >> \"$file\"\n"));
        fs::permissions(editor, fs::perms::owner_all);
    }

    ~ExternalEditorsTest() override
    {
        // A failed test must not leave editors behind that outlive it.
        fs::create_directories(go);
        AllEnded();
    }

    ExternalEditors& Editors() { return harness.App().Editors(); }

    /// Opens the archive and points ".ini" at the fake editor with a flag before the file.
    CChildFrame& OpenWithEditor(BigArchiveBuilder builder = BigArchiveBuilder().Add("data\\a.ini", "a").Add("data\\b.ini", "b"))
    {
        CChildFrame& frame = Open(std::move(builder));
        Editors().SetTemporaryRoot(QString::fromStdString(temporaryRoot.string()));
        Editors().Table().SetEditor("\"" + editor.string() + "\" --wait", ".ini");
        return frame;
    }

    void HandOut(CChildFrame& frame, int row)
    {
        SelectRow(frame, row);
        Trigger(Command::EditWithEditor);
    }

    /// The files handed out so far, in order; each after the flag the table gave the editor.
    std::vector<fs::path> Handed()
    {
        std::vector<fs::path> files;
        std::istringstream calls(ReadFileText(harness.folder / "calls"));
        for (std::string line; std::getline(calls, line);) {
            EXPECT_EQ(line.rfind("--wait ", 0), 0u) << line;
            files.emplace_back(line.substr(line.find(' ') + 1));
        }
        return files;
    }
    bool HandedOut(size_t count) { return WaitFor([&] { return Handed().size() == count; }, 10000); }

    /// Whether exactly one message was shown, holding every part.
    bool ToldOnce(std::initializer_list<std::string> parts)
    {
        const auto& shown = harness.prompt.shown;
        return shown.size() == 1 && std::all_of(parts.begin(), parts.end(), [&](const std::string& part) {
                   return shown[0].text.find(part) != std::string::npos;
               });
    }

    bool AllEnded() { return WaitFor([this] { return Editors().RunningCount() == 0; }, 10000); }
    bool TemporaryRootEmpty() { return fs::is_empty(temporaryRoot); }

    fs::path temporaryRoot = harness.folder / "temp";
    fs::path go = harness.folder / "go";
    fs::path editor;
};

TEST_F(ExternalEditorsTest, TheEntryIsLockedWhileOutAndTakenBackIntoTheArchiveWhenTheEditorEnds)
{
    CChildFrame& frame = OpenWithEditor();
    HandOut(frame, 0);
    ASSERT_EQ(Editors().RunningCount(), 1) << (harness.prompt.shown.empty() ? "" : harness.prompt.shown[0].text);
    ASSERT_TRUE(HandedOut(1));
    const fs::path file = Handed()[0];
    EXPECT_EQ(file.filename(), "KesTempa.ini");
    EXPECT_EQ(file.parent_path().parent_path(), temporaryRoot);
    EXPECT_EQ(ReadFileText(file), "a");

    EXPECT_TRUE(Document().IsEntryLocked("data\\a.ini"));
    EXPECT_EQ(frame.EditorView()->Mode(), PreviewMode::Locked);
    Main().UpdateCommandStates();
    for (Command command : {Command::EditWithEditor, Command::EditDeleteFile, Command::EditRenameFile})
        EXPECT_FALSE(Enabled(command)) << CommandKey(command).toStdString();
    EXPECT_FALSE(Document().IsModified());

    fs::create_directories(go);
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(Content("data\\a.ini"), "a+");
    EXPECT_EQ(Content("data\\b.ini"), "b");
    EXPECT_FALSE(Document().IsEntryLocked("data\\a.ini"));
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(frame.EditorView()->Mode(), PreviewMode::IniText) << "the views are refreshed at once";
    EXPECT_TRUE(Enabled(Command::EditWithEditor));
    EXPECT_TRUE(TemporaryRootEmpty());
    EXPECT_TRUE(harness.prompt.shown.empty());
}

TEST_F(ExternalEditorsTest, EntriesWithTheSameLastNameGetTheirOwnFiles)
{
    CChildFrame& frame = OpenWithEditor(BigArchiveBuilder().Add("data\\a.ini", "one").Add("more\\A.INI", "two"));
    HandOut(frame, 0);
    HandOut(frame, 1);
    ASSERT_EQ(Editors().RunningCount(), 2);
    ASSERT_TRUE(HandedOut(2));
    EXPECT_NE(Handed()[0], Handed()[1]);
    EXPECT_EQ(Handed()[1].filename(), "KesTempA.INI");

    fs::create_directories(go);
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(Content("data\\a.ini"), "one+");
    EXPECT_EQ(Content("more\\A.INI"), "two+");
    EXPECT_TRUE(TemporaryRootEmpty());
}

TEST_F(ExternalEditorsTest, AnEditorThatHandsTheFileOnIsTakenBackWhenItsProcessEnds)
{
    const EnvironmentGuard handsOn("HANDS_ON");
    CChildFrame& frame = OpenWithEditor();
    HandOut(frame, 1);
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(Content("data\\b.ini"), "b+");
    EXPECT_FALSE(Document().IsEntryLocked("data\\b.ini"));
    EXPECT_TRUE(TemporaryRootEmpty());
    EXPECT_TRUE(harness.prompt.shown.empty());

    // Ended at once without a change: the window it handed the file to has yet to read it.
    const EnvironmentGuard noEdit("NO_EDIT");
    HandOut(frame, 0);
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(Content("data\\a.ini"), "a");
    EXPECT_FALSE(Document().IsEntryLocked("data\\a.ini"));
    EXPECT_TRUE(ToldOnce({"ended at once without changing data\\a.ini", Handed()[1].string()}));
    EXPECT_EQ(ReadFileText(Handed()[1]), "a");
}

TEST_F(ExternalEditorsTest, AClosedDocumentOrAVanishedEntryKeepsTheEditedFileAndSaysWhere)
{
    CChildFrame& frame = OpenWithEditor();
    HandOut(frame, 0);
    HandOut(frame, 1);
    ASSERT_TRUE(HandedOut(2));
    const std::vector<fs::path> files = Handed();
    // Deleting is refused for a locked entry; a vanished entry is simulated below the commands.
    Document().Doc().DeleteEntry(Archive().FindEntry("data\\b.ini"));
    fs::create_directories(go);
    ASSERT_TRUE(AllEnded());
    EXPECT_TRUE(ToldOnce({"data\\b.ini is no longer in the archive", files[1].string()}));
    EXPECT_EQ(ReadFileText(files[1]), "b+");
    EXPECT_FALSE(Document().IsEntryLocked("data\\b.ini"));
    EXPECT_EQ(Content("data\\a.ini"), "a+");

    fs::remove(go);
    harness.prompt.shown.clear();
    HandOut(frame, 0);
    ASSERT_TRUE(HandedOut(3));
    int asked = 0;
    harness.App().askSaveChanges = [&asked](const QString&) {
        ++asked;
        return QMessageBox::No;
    };
    const QPointer<ArchiveDocument> closing = &Document();
    Trigger(Command::FileClose);
    EXPECT_EQ(asked, 1) << "the take-back marked the document modified";
    ASSERT_TRUE(WaitFor([&closing] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return closing.isNull();
    }));
    EXPECT_EQ(Editors().RunningCount(), 1) << "the editor runs on";
    fs::create_directories(go);
    ASSERT_TRUE(AllEnded());
    EXPECT_TRUE(ToldOnce({"was closed while data\\a.ini was out for editing", Handed()[2].string()}));
    EXPECT_EQ(ReadFileText(Handed()[2]), "a++");
}

TEST_F(ExternalEditorsTest, AnEditorThatCannotStartIsReportedAndNothingIsLocked)
{
    CChildFrame& frame = OpenWithEditor();
    Editors().Table().SetEditor("/no/such/editor --wait", ".ini");
    HandOut(frame, 0);
    EXPECT_EQ(Editors().RunningCount(), 0);
    EXPECT_TRUE(ToldOnce({"The editor /no/such/editor --wait could not be started", "data\\a.ini"}));
    EXPECT_FALSE(Document().IsEntryLocked("data\\a.ini"));
    EXPECT_FALSE(Document().IsModified());
    EXPECT_TRUE(TemporaryRootEmpty());
}

// Which stored values the table takes is the editor table's (EditorTable tests); here, that the
// settings reach the Options dialog and what is set there survives a restart.
TEST_F(ExternalEditorsTest, TheTableComesFromTheSettingsAndWhatTheOptionsDialogSetsSurvivesARestart)
{
    harness.Settings().setValue(QStringLiteral("Editors/0"), QString::fromUtf8(".w3d /opt/Édit/ed"));
    harness.Restart();
    ASSERT_TRUE(harness.Start());
    OptionsDialog dialog(Editors().Table());
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("editorList"));
    auto* extension = dialog.findChild<QLineEdit*>(QStringLiteral("extensionField"));
    auto* editorField = dialog.findChild<QLineEdit*>(QStringLiteral("editorField"));
    ASSERT_TRUE(list && extension && editorField);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QString::fromUtf8(".w3d: /opt/Édit/ed"));
    list->setCurrentRow(0);
    EXPECT_EQ(extension->text(), QStringLiteral(".w3d"));
    list->clearSelection();
    EXPECT_TRUE(extension->text().isEmpty() && editorField->text().isEmpty());
    extension->setText(QStringLiteral(".txt"));
    editorField->setText(QStringLiteral("kate -b"));
    dialog.OnSet();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(extension->text(), QStringLiteral(".txt")) << "the fields stay after Set";

    harness.Restart();
    ASSERT_TRUE(harness.Start());
    EXPECT_EQ(Editors().Table().Pairs(), (std::vector<EditorPair>{{"/opt/\xC3\x89" "dit/ed", ".w3d"}, {"kate -b", ".txt"}}));
}

} // namespace
} // namespace kestrel
