#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "app/AppCommands.h"
#include "app/CMainFrame.h"
#include "app/RawTextView.h"

#include "archive/CQuartoDoc.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::AppHarness;
using test::BigArchiveBuilder;

constexpr const char* editModeQuestion =
    "This will activate EditMode, meaning you can edit this BIG file. Please be awarethat editing a BIG file "
    "may cause you to be unable to play online. Before editing a BIG file, you should definitly make a backup "
    "of the file. Considering this, do you want to activate EditMode?";

std::string EntryBytes(ArchiveDocument& document, int index)
{
    const auto bytes = document.Doc().GetArchive().GetEntryBytes(index);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

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
    void Select(int row) { test::SelectRow(*frame, row); }

    AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
};

TEST_F(CQuartoViewTest, ChoosesTheTextModesAndRawTextByTheEntrysName)
{
    ASSERT_TRUE(Open(BigArchiveBuilder()
                         .Add("data\\ini\\foo.inizh", "Object Foo\r\nEnd\r\n")
                         .Add("readme.ini.txt", "read me")
                         .Add("data\\unknown.bin", std::string("ab\tc\0d", 6))));
    CMainFrame& main = *harness.App().MainFrame();
    Select(0);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_TRUE(view->EditControl()->isVisible());
    EXPECT_TRUE(main.Action(Command::EditCopy)->isEnabled());
    EXPECT_TRUE(main.Action(Command::EditPaste)->isEnabled());
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("Object Foo\nEnd\n"));

    Select(1);
    EXPECT_EQ(view->Mode(), PreviewMode::PlainText);

    Select(2);
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
    EXPECT_EQ(harness.prompt.shown[0].text, editModeQuestion);
    EXPECT_EQ(harness.prompt.shown[0].caption, "Activate EditMode");
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("A = 1\n"));
    EXPECT_EQ(EntryBytes(frame->Document(), 0), "A = 1\r\n");
    EXPECT_FALSE(frame->Document().IsModified());

    // The question comes again at the next keystroke.
    harness.prompt.Answer({true});
    QTest::keyClick(view->EditControl(), Qt::Key_X);
    EXPECT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_EQ(EntryBytes(frame->Document(), 0), "xA = 1\r\n");
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(*frame->Document().PreviewBytes(), "xA = 1\r\n");
    EXPECT_EQ(frame->LeftView()->model()->index(0, 1).data().toString(), QStringLiteral("8"));
}

TEST_F(CQuartoViewTest, EditingAndEditingBackGivesTheOriginalBytesWithCrLfAndHighBytes)
{
    const std::string original = "Name = \xE9l\xE9phant\xA0\xFF\r\nLine2\r\nLast";
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.txt", original)));
    Select(0);
    harness.prompt.Answer({true});
    QPlainTextEdit* edit = view->EditControl();
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    edit->setTextCursor(cursor);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("new"));
    EXPECT_EQ(EntryBytes(frame->Document(), 0), original + "\r\nnew");
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(EntryBytes(frame->Document(), 0), original);
}

TEST_F(CQuartoViewTest, TabsBecomeFourBlanksExceptForBattleForMiddleEarth)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "A\r\n").Add("b.ini", "B\r\n")));
    Select(0);
    harness.prompt.Answer({true});
    QTest::keyClick(view->EditControl(), Qt::Key_Tab);
    EXPECT_EQ(EntryBytes(frame->Document(), 0), "    A\r\n");
    EXPECT_EQ(view->EditControl()->textCursor().position(), 4);

    frame->Document().Doc().SetGameKind(2);
    Select(1);
    QTest::keyClick(view->EditControl(), Qt::Key_Tab);
    EXPECT_EQ(EntryBytes(frame->Document(), 1), "\tB\r\n");
}

TEST_F(CQuartoViewTest, TextWithNulBytesOpensReadOnlyAndSaysSo)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", std::string("A\0B\r\n", 5))));
    Select(0);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_TRUE(view->IsTextReadOnly());
    auto* note = harness.App().MainFrame()->findChild<QLabel*>(QStringLiteral("statusNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), view->StatusNote());
    EXPECT_FALSE(note->text().isEmpty());
    QTest::keyClick(view->EditControl(), Qt::Key_X);
    EXPECT_TRUE(harness.prompt.shown.empty());
    EXPECT_EQ(EntryBytes(frame->Document(), 0), std::string("A\0B\r\n", 5));
}

TEST_F(CQuartoViewTest, ANewDocumentIsInEditModeAndAskNothing)
{
    ASSERT_TRUE(harness.Start());
    frame = harness.App().MainFrame()->ActiveChild();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(frame->Document().Doc().GetArchive().AddEntryBytes("new.ini", {'A'}));
    frame->Document().UpdateAllViews(nullptr);
    Select(0);
    QTest::keyClicks(frame->EditorView()->EditControl(), QStringLiteral("B"));
    EXPECT_TRUE(harness.prompt.shown.empty());
    EXPECT_EQ(EntryBytes(frame->Document(), 0), "BA");
}

} // namespace
} // namespace kestrel
