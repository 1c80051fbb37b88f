#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuartoView.h"
#include "app/StringTableView.h"
#include "app/StructureMenuController.h"
#include "strings/CsfTestTables.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

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
