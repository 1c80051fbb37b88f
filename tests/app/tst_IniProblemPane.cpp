#include "AppHarness.h"

#include "app/CChildFrame.h"
#include "app/CQuartoView.h"
#include "app/IniProblemPane.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using samples::BigArchiveBuilder;

// The shown INI entry is checked off the GUI thread; the problems come back underlined and
// listed, the list goes when another entry is shown, and choosing a problem moves the caret.
TEST(IniProblemPane, ListsAndUnderlinesTheProblemsAndMovesTheCaretToTheChosenOne)
{
    test::AppHarness harness;
    CChildFrame* frame = harness.StartOn(BigArchiveBuilder()
                                             .Add("data\\ini\\weapon.ini",
                                                  "Weapon Gun\r\nEnd\r\nEnd\r\nWeapon Open\r\n")
                                             .Add("readme.txt", "End\r\n"));
    ASSERT_NE(frame, nullptr);
    CQuartoView& view = *frame->EditorView();
    test::SelectRow(*frame, 0);
    IniProblemPane& problems = view.Problems();
    ASSERT_TRUE(test::WaitFor([&] { return problems.count() == 2; }));
    EXPECT_TRUE(problems.isVisible());
    EXPECT_LT(view.EditControl()->geometry().bottom(), problems.geometry().top());
    EXPECT_EQ(view.EditControl()->extraSelections().size(), 2);
    EXPECT_EQ(problems.item(0)->text(), QStringLiteral("3: stray-end: \"End\" without an open block"));

    const QRect row = problems.visualItemRect(problems.item(1));
    QTest::mouseClick(problems.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(view.EditControl()->textCursor().blockNumber(), 3);

    test::SelectRow(*frame, 1);
    EXPECT_FALSE(problems.isVisible());
    EXPECT_TRUE(view.EditControl()->extraSelections().isEmpty());
}

} // namespace
} // namespace kestrel
