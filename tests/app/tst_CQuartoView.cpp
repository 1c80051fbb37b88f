#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "app/AppCommands.h"
#include "app/CMainFrame.h"
#include "app/RawTextView.h"

#include "archive/CQuartoDoc.h"
#include "app/IniProblemPane.h"
#include "app/StringTableView.h"
#include "app/StructureMenuController.h"
#include "strings/CsfTestTables.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;

class CQuartoViewTest : public ::testing::Test
{
protected:
    CChildFrame* Open(const BigArchiveBuilder& archive)
    {
        frame = harness.StartOn(archive);
        if (frame)
            view = frame->EditorView();
        return frame;
    }
    /// Starts on a new, empty archive holding the given entries.
    void StartEmpty(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries)
    {
        ASSERT_TRUE(harness.Start());
        frame = harness.App().MainFrame()->ActiveChild();
        ASSERT_NE(frame, nullptr);
        view = frame->EditorView();
        for (const auto& [name, bytes] : entries)
            ASSERT_TRUE(frame->Document().Doc().GetArchive().AddEntryBytes(name, bytes));
        frame->Document().UpdateAllViews(nullptr);
    }
    void Select(int row) { test::SelectRow(*frame, row); }
    std::string Entry(int index) { return test::EntryText(frame->Document(), index); }

    AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
};

TEST_F(CQuartoViewTest, ShowsTextInTheEditorAndOtherBytesInTheRawViewWithTheCommandsToMatch)
{
    ASSERT_TRUE(Open(BigArchiveBuilder()
                         .Add("data\\ini\\foo.inizh", "Object Foo\r\nEnd\r\n")
                         .Add("data\\unknown.bin", std::string("ab\tc\0d", 6))));
    CMainFrame& main = *harness.App().MainFrame();
    Select(0);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_TRUE(view->EditControl()->isVisible());
    EXPECT_TRUE(main.Action(Command::EditCopy)->isEnabled());
    EXPECT_TRUE(main.Action(Command::EditPaste)->isEnabled());
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("Object Foo\nEnd\n"));

    Select(1);
    EXPECT_EQ(view->Mode(), PreviewMode::RawText);
    EXPECT_FALSE(view->EditControl()->isVisible());
    EXPECT_TRUE(view->RawView()->isVisible());
    EXPECT_EQ(view->RawView()->Layout().MaxColumns(), 11u); // tab expanded, bytes after the NUL kept
    EXPECT_FALSE(main.Action(Command::EditCopy)->isEnabled());
    EXPECT_FALSE(main.Action(Command::EditCut)->isEnabled());
    EXPECT_FALSE(view->IsTimerRunning());
}

TEST_F(CQuartoViewTest, ALockedEntryShowsTheNoticeUntilTheLockEndsByItself)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "A = 1\r\n")));
    CQuartoDoc& doc = frame->Document().Doc();
    doc.LockEntry("A.INI");
    Select(0);
    EXPECT_EQ(view->Mode(), PreviewMode::Locked);
    EXPECT_TRUE(view->IsTimerRunning());
    EXPECT_FALSE(view->EditControl()->isVisible());

    QTest::qWait(3 * CQuartoView::TimerIntervalMs);
    EXPECT_EQ(view->Mode(), PreviewMode::Locked);

    doc.UnlockEntry("a.ini");
    EXPECT_TRUE(test::WaitFor([this] { return view->Mode() == PreviewMode::IniText; }));
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("A = 1\n"));
    EXPECT_FALSE(view->IsTimerRunning());
}

TEST_F(CQuartoViewTest, RefusedEditModeUndoesTheKeystrokeAndLeavesTheEntryAlone)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "A = 1\r\n")));
    Select(0);
    harness.prompt.Answer({false});
    QTest::keyClick(view->EditControl(), Qt::Key_X);
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].caption, "Activate EditMode");
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("A = 1\n"));
    EXPECT_EQ(Entry(0), "A = 1\r\n");
    EXPECT_FALSE(frame->Document().IsModified());

    // The question comes again at the next keystroke.
    harness.prompt.Answer({true});
    QTest::keyClick(view->EditControl(), Qt::Key_X);
    EXPECT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_EQ(Entry(0), "xA = 1\r\n");
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(*frame->Document().PreviewBytes(), "xA = 1\r\n");
    EXPECT_EQ(frame->LeftView()->model()->index(0, 1).data().toString(), QStringLiteral("8"));
}

TEST_F(CQuartoViewTest, TypingWritesTheBytesBackAndTabsBecomeFourBlanksExceptForBattleForMiddleEarth)
{
    const std::string original = "Name = \xE9l\xE9phant\xA0\xFF\r\nLine2\r\nLast";
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.txt", original).Add("a.ini", "A\r\n").Add("b.ini", "B\r\n")));
    Select(0);
    harness.prompt.Answer({true});
    QPlainTextEdit* edit = view->EditControl();
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("new"));
    EXPECT_EQ(Entry(0), original + "\r\nnew");
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(Entry(0), original) << "CR LF and high bytes come back as they were";

    Select(1);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(Entry(1), "    A\r\n");
    EXPECT_EQ(edit->textCursor().position(), 4);
    frame->Document().Doc().SetGameKind(2);
    Select(2);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(Entry(2), "\tB\r\n");
}

TEST_F(CQuartoViewTest, TextWithNulBytesOrAMegabyteLineOpensReadOnlyAndSaysWhy)
{
    const std::string longLine = "A = " + std::string(CQuartoView::MaxEditableLineLength, 'x') + "\r\nB = 1\r\n";
    ASSERT_TRUE(Open(BigArchiveBuilder()
                         .Add("a.ini", std::string("A\0B\r\n", 5))
                         .Add("b.ini", longLine)
                         .Add("c.ini", "A = " + std::string(1000, 'x'))));
    Select(0);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_TRUE(view->IsTextReadOnly());
    auto* note = harness.App().MainFrame()->findChild<QLabel*>(QStringLiteral("statusNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), view->StatusNote());
    EXPECT_FALSE(note->text().isEmpty());
    QTest::keyClick(view->EditControl(), Qt::Key_X);
    EXPECT_TRUE(harness.prompt.shown.empty());
    EXPECT_EQ(Entry(0), std::string("A\0B\r\n", 5));

    // A line too long to edit is shown by the raw view.
    Select(1);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_TRUE(view->IsTextReadOnly());
    EXPECT_TRUE(view->EditControl()->isHidden());
    EXPECT_FALSE(view->RawView()->isHidden());
    EXPECT_NE(view->StatusNote().indexOf(QStringLiteral("20,000")), -1);
    Select(2);
    EXPECT_FALSE(view->IsTextReadOnly());
    EXPECT_TRUE(view->RawView()->isHidden());
}

TEST_F(CQuartoViewTest, ALargeTextArrivesOverSomeTurnsAndIsCompleteBeforeAnEdit)
{
    std::string text;
    for (int line = 0; text.size() < 400000; ++line)
        text += "Line" + std::to_string(line) + " = " + std::to_string(line * 7) + "\r\n";
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", text).Add("b.ini", text)));
    QPlainTextEdit* edit = view->EditControl();
    const int wholeLength = static_cast<int>(static_cast<std::ptrdiff_t>(text.size()) - std::count(text.begin(), text.end(), '\r'));
    Select(0);
    EXPECT_LT(edit->document()->characterCount() - 1, wholeLength) << "the first screen comes first";
    EXPECT_TRUE(test::WaitFor([&] { return edit->document()->characterCount() - 1 == wholeLength; }));

    // Typed into before the rest arrived: the rest is put in first, then the key.
    Select(1);
    harness.prompt.Answer({true});
    QTest::keyClick(edit, Qt::Key_Z);
    EXPECT_EQ(edit->document()->characterCount() - 1, wholeLength + 1);
    EXPECT_EQ(Entry(1), "z" + text);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Entry(1), text) << "undo takes back the key, not the loading";
}

TEST_F(CQuartoViewTest, ANewDocumentAsksNothingAndAnEntryEndingInItsOnlyNulIsEditedBeforeIt)
{
    // Add Empty File makes exactly such an entry: one zero byte. (The table keeps name order.)
    StartEmpty({{"new.ini", {'A'}}, {"NewFile.ini", {0}}, {"z.txt", {'A', '\r', '\n', 'B', 0}}});
    Select(0);
    QTest::keyClicks(view->EditControl(), QStringLiteral("B"));
    EXPECT_TRUE(harness.prompt.shown.empty()) << "a new document is in edit mode";
    EXPECT_EQ(Entry(0), "BA");

    Select(1);
    EXPECT_FALSE(view->IsTextReadOnly());
    EXPECT_TRUE(view->StatusNote().isEmpty());
    QTest::keyClicks(view->EditControl(), QStringLiteral("abc"));
    EXPECT_EQ(Entry(1), std::string("abc\0", 4));

    Select(2);
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("A\nB"));
    QTest::keyClick(view->EditControl(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(view->EditControl(), Qt::Key_Return);
    EXPECT_EQ(Entry(2), std::string("A\r\nB\r\n\0", 7));
}

TEST_F(CQuartoViewTest, ChangesOfOneTurnAreWrittenOnceAndBeforeAnythingReadsTheEntry)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "A = 1\r\nB = 2\r\n").Add("b.ini", "other")));
    Select(0);
    harness.prompt.Answer({true});
    int writes = 0;
    QObject::connect(&frame->Document(), &ArchiveDocument::Updated, [&](const QObject* sender) { writes += sender == view; });
    // Typed without returning to the event loop: one write-back, pending until the turn ends.
    QPlainTextEdit* edit = view->EditControl();
    QTest::keyClicks(edit, QStringLiteral("xy"));
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(8);
    cursor.insertText(QStringLiteral("C = 3\n\t"));
    EXPECT_EQ(writes, 0);
    // Reading the entry writes it first; the tab typed into the middle became blanks.
    EXPECT_EQ(Entry(0), "xyA = 1\r\nC = 3\r\n    B = 2\r\n");
    EXPECT_EQ(writes, 1);
    QApplication::processEvents();
    EXPECT_EQ(writes, 1);

    // Selecting another entry writes the pending edit into the entry it was made in.
    QTest::keyClick(edit, Qt::Key_Z);
    Select(1);
    EXPECT_EQ(Entry(0), "xyzA = 1\r\nC = 3\r\n    B = 2\r\n");
    EXPECT_EQ(Entry(1), "other");
}

TEST_F(CQuartoViewTest, EditingKeysActOnTheTextAndDeleteFileByKeyElsewhereAsksFirst)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "Alpha Beta\r\n").Add("b.bin", "raw")));
    CMainFrame& main = *harness.App().MainFrame();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    Select(0);
    QPlainTextEdit* edit = view->EditControl();
    edit->setFocus();
    harness.prompt.Answer({true}); // edit mode
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("Beta\n"));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("Beta\u2029"));
    ASSERT_EQ(frame->Document().EntryCount(), 2);
    EXPECT_EQ(Entry(0), "Beta\r\n");

    // Away from the list and the text the key asks, naming the entry; No keeps it.
    Select(1);
    view->FocusPreview();
    harness.prompt.Answer({false});
    QTest::keyClick(main.focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_EQ(harness.prompt.shown[1].text, "Delete b.bin from the archive?");
    EXPECT_EQ(frame->Document().EntryCount(), 2);

    // In the entry list, and from the menu, it deletes at once.
    frame->LeftView()->setFocus();
    QTest::keyClick(frame->LeftView(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(frame->Document().EntryCount(), 1);
    Select(0);
    main.Action(Command::EditDeleteFile)->trigger();
    EXPECT_EQ(frame->Document().EntryCount(), 0);
    EXPECT_EQ(harness.prompt.shown.size(), 2u);
}

// The shown INI entry is checked off the GUI thread; the problems come back underlined and
// listed, the list goes when another entry is shown, and choosing a problem moves the caret.
TEST_F(CQuartoViewTest, IniProblemPaneListsAndUnderlinesTheProblemsAndMovesTheCaretToTheChosenOne)
{
    ASSERT_TRUE(Open(BigArchiveBuilder()
                         .Add("data\\ini\\weapon.ini", "Weapon Gun\r\nEnd\r\nEnd\r\nWeapon Open\r\n")
                         .Add("readme.txt", "End\r\n")));
    Select(0);
    IniProblemPane& problems = view->Problems();
    ASSERT_TRUE(test::WaitFor([&] { return problems.count() == 2; }));
    EXPECT_TRUE(problems.isVisible());
    EXPECT_LT(view->EditControl()->geometry().bottom(), problems.geometry().top());
    EXPECT_EQ(view->EditControl()->extraSelections().size(), 2);
    EXPECT_EQ(problems.item(0)->text(), QStringLiteral("3: stray-end: \"End\" without an open block"));

    const QRect row = problems.visualItemRect(problems.item(1));
    QTest::mouseClick(problems.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(view->EditControl()->textCursor().blockNumber(), 3);

    Select(1);
    EXPECT_FALSE(problems.isVisible());
    EXPECT_TRUE(view->EditControl()->extraSelections().isEmpty());
}


TEST(GoToLabel, OpensTheTableHoldingTheLabelAtItsRowHereOrInAnotherArchive)
{
    test::AppHarness harness;
    const auto csf = [](const std::vector<test::TestLabel>& labels) { return test::CsfBytes(labels); };
    CChildFrame* frame = harness.StartOn(
        test::BigArchiveBuilder()
            .Add("data\\humvee.ini", "Object Humvee\r\n  DisplayName = OBJECT:Humvee\r\n  Offset = X:10 Y:5\r\n"
                                     "  Description = OBJECT:Tank\r\n  TextLabel = GUI:Nowhere\r\nEnd\r\n")
            .Add("data\\lang.csf",
                 csf({{"GUI:A", {{u"a", {}}}}, {"GUI:B", {{u"b1", {}}, {u"b2", {}}}}, {"object:HUMVEE", {}}})));
    ASSERT_NE(frame, nullptr);
    CChildFrame* other = harness.App().OpenDocumentFile(
        harness.WriteArchive(test::BigArchiveBuilder().Add("english.csf", csf({{"OBJECT:Tank", {}}})), "english.big"));
    ASSERT_NE(other, nullptr);
    CMainFrame& main = *harness.App().MainFrame();
    QAction* command = main.Action(Command::EditGoToLabel);
    const auto caretOnLine = [frame, &main](int line) {
        main.MdiArea()->setActiveSubWindow(frame);
        test::SelectRow(*frame, 0);
        QPlainTextEdit& edit = *frame->EditorView()->EditControl();
        edit.setTextCursor(QTextCursor(edit.document()->findBlockByNumber(line)));
    };
    const auto shownRow = [](CChildFrame* window) {
        return window->EditorView()->StringTable()->Table()->currentIndex().row();
    };

    // The text's own menu, which offers it enabled only on a line naming a label.
    caretOnLine(2);
    EXPECT_FALSE(command->isEnabled());
    caretOnLine(1);
    EXPECT_TRUE(command->isEnabled());
    frame->EditorView()->StructureMenu().SetMenuRunner([](QMenu& menu, const QPoint&) {
        const QList<QAction*> items = menu.actions();
        return *std::find_if(items.begin(), items.end(),
                             [](QAction* a) { return a->text().startsWith(QStringLiteral("&Go to label\t")); });
    });
    frame->EditorView()->StructureMenu().OpenAt(frame->EditorView()->EditControl()->cursorRect().center());
    ASSERT_EQ(frame->EditorView()->Mode(), PreviewMode::StringTable);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    EXPECT_EQ(shownRow(frame), 3);

    caretOnLine(3);
    command->trigger();
    EXPECT_EQ(main.ActiveChild(), other);
    EXPECT_EQ(shownRow(other), 0);

    caretOnLine(4);
    command->trigger();
    EXPECT_EQ(main.statusBar()->currentMessage(),
              QStringLiteral("No string table in the open archives holds the label \"GUI:Nowhere\"."));
}

} // namespace
} // namespace kestrel
