#include "AppHarness.h"

#include "app/AppStrings.h"
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

using test::BigArchiveBuilder;

std::string Csf(const std::vector<test::TestLabel>& labels)
{
    const test::Bytes8 bytes = test::CsfBytes(labels);
    return std::string(bytes.begin(), bytes.end());
}

class GoToLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = harness.StartOn(BigArchiveBuilder()
                                    .Add("data\\humvee.ini", "Object Humvee\r\n"
                                                             "  DisplayName = OBJECT:Humvee\r\n"
                                                             "  Offset = X:10 Y:5\r\n"
                                                             "  Description = OBJECT:Tank\r\n"
                                                             "  TextLabel = GUI:Nowhere\r\n"
                                                             "End\r\n")
                                    .Add("data\\lang.csf", Csf({{"GUI:A", {{u"a", {}}}},
                                                                {"GUI:B", {{u"b1", {}}, {u"b2", {}}}},
                                                                {"object:HUMVEE", {{u"Humvee", {}}}}})));
        ASSERT_NE(frame, nullptr);
        other = harness.App().OpenDocumentFile(harness.WriteArchive(
            BigArchiveBuilder().Add("english.csf", Csf({{"OBJECT:Tank", {{u"Tank", {}}}}})), "english.big"));
        ASSERT_NE(other, nullptr);
        harness.App().MainFrame()->MdiArea()->setActiveSubWindow(frame);
        test::SelectRow(*frame, 0);
        ASSERT_EQ(frame->EditorView()->Mode(), PreviewMode::IniText);
    }
    QPlainTextEdit& Edit() const { return *frame->EditorView()->EditControl(); }
    void PutCaretOnLine(int line)
    {
        QTextCursor caret(Edit().document()->findBlockByNumber(line));
        caret.movePosition(QTextCursor::EndOfBlock);
        Edit().setTextCursor(caret);
    }
    QAction* GoToLabelAction() { return harness.App().MainFrame()->Action(Command::EditGoToLabel); }
    static int ShownRow(const CChildFrame& window) { return window.EditorView()->StringTable()->Table()->currentIndex().row(); }

    test::AppHarness harness;
    CChildFrame* frame = nullptr;
    CChildFrame* other = nullptr;
};

TEST_F(GoToLabelTest, TheTextMenuOpensTheTableOfThisArchiveAtTheLabelsRow)
{
    PutCaretOnLine(2);
    EXPECT_FALSE(GoToLabelAction()->isEnabled()); // coordinates are no label
    PutCaretOnLine(1);
    EXPECT_TRUE(GoToLabelAction()->isEnabled());

    bool offered = false;
    frame->EditorView()->StructureMenu().SetMenuRunner([&offered](QMenu& menu, const QPoint&) -> QAction* {
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions())
            chosen = action->objectName() == QStringLiteral("structureGoToLabel") ? action : chosen;
        offered = chosen && chosen->isEnabled() && chosen->text().startsWith(QStringLiteral("&Go to label\t"));
        return chosen;
    });
    frame->EditorView()->StructureMenu().OpenAt(Edit().cursorRect().center());
    EXPECT_TRUE(offered);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    ASSERT_EQ(frame->EditorView()->Mode(), PreviewMode::StringTable);
    EXPECT_EQ(ShownRow(*frame), 3);
}

TEST_F(GoToLabelTest, TheCommandReachesOtherArchivesAndSaysWhenNoTableHoldsTheLabel)
{
    PutCaretOnLine(3);
    GoToLabelAction()->trigger();
    EXPECT_EQ(harness.App().MainFrame()->ActiveChild(), other);
    ASSERT_EQ(other->EditorView()->Mode(), PreviewMode::StringTable);
    EXPECT_EQ(ShownRow(*other), 0);

    harness.App().MainFrame()->MdiArea()->setActiveSubWindow(frame);
    PutCaretOnLine(4);
    GoToLabelAction()->trigger();
    EXPECT_EQ(harness.App().MainFrame()->statusBar()->currentMessage(),
              QStringLiteral("No string table in the open archives holds the label \"GUI:Nowhere\"."));
    EXPECT_EQ(frame->EditorView()->Mode(), PreviewMode::IniText);
}

} // namespace
} // namespace kestrel
