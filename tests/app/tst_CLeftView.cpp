#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "app/EntryTableModel.h"
#include "app/RawTextView.h"

#include "archive/CQuartoDoc.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;

QString Cell(CLeftView& list, int row, int column)
{
    return list.model()->index(row, column).data().toString();
}

TEST(CLeftView, ShowsEveryEntryInTableOrderWithItsPlainDecimalSize)
{
    AppHarness harness;
    BigArchiveBuilder archive;
    archive.Add("a\\empty.ini", std::vector<std::uint8_t>{})
        .Add("b\\big.bin", std::vector<std::uint8_t>(1234567, 'x'))
        .Add("c\\\xE9t\xE9.txt", "abc");
    CChildFrame* frame = harness.StartOn(archive);
    ASSERT_NE(frame, nullptr);
    CLeftView& list = *frame->LeftView();
    ASSERT_EQ(list.model()->rowCount(), 3);
    EXPECT_EQ(list.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Filesize"));
    EXPECT_EQ(list.header()->sectionSize(0), 150);
    EXPECT_EQ(Cell(list, 0, 0), QStringLiteral("a\\empty.ini"));
    EXPECT_EQ(Cell(list, 0, 1), QStringLiteral("0"));
    EXPECT_EQ(Cell(list, 1, 1), QStringLiteral("1234567"));
    EXPECT_EQ(Cell(list, 2, 0), QString::fromLatin1("c\\\xE9t\xE9.txt"));
}

TEST(CLeftView, ClicksAndArrowKeysSelectLoadAndShowTheEntryAndF6MovesTheFocus)
{
    AppHarness harness;
    CChildFrame* frame =
        harness.StartOn(BigArchiveBuilder().Add("a.txt", "a").Add("two.txt", "second").Add("c.txt", "c"));
    ASSERT_NE(frame, nullptr);
    test::SelectRow(*frame, 1);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    ASSERT_TRUE(frame->Document().PreviewBytes().has_value());
    EXPECT_EQ(*frame->Document().PreviewBytes(), "second");
    EXPECT_EQ(frame->EditorView()->Mode(), PreviewMode::PlainText);

    CLeftView& list = *frame->LeftView();
    test::SelectRow(*frame, 0);
    list.setCurrentIndex(list.model()->index(0, 0));
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(frame->Document().SelectedEntry(), 2);
    EXPECT_EQ(*frame->Document().PreviewBytes(), "c");

    // F6 goes to the preview and back; the window's focus widget, since a test window need not
    // be the active one.
    list.setFocus();
    frame->FocusOtherPane();
    EXPECT_EQ(frame->window()->focusWidget(), frame->EditorView()->EditControl());
    frame->FocusOtherPane();
    EXPECT_EQ(frame->window()->focusWidget(), &list);
}

TEST(CLeftView, ColumnsFitTheirContentAndKeepTheWidthsTheUserChose)
{
    AppHarness harness;
    BigArchiveBuilder archive;
    archive.Add("art\\textures\\a_rather_long_entry_name_for_the_list_to_show.tga", std::string(12345678, 'x'))
        .Add("a.ini", "A");
    for (int start = 0; start < 2; ++start) {
        CChildFrame* frame = harness.StartOn(archive);
        ASSERT_NE(frame, nullptr);
        CLeftView* list = frame->LeftView();
        const QAbstractItemView* items = list;
        QHeaderView* header = list->header();
        // Sizes are never cut: the eight digits and their margins fit.
        EXPECT_GE(header->sectionSize(1), items->sizeHintForColumn(1));
        EXPECT_GT(header->sectionSize(1), list->fontMetrics().horizontalAdvance(QStringLiteral("12345678")));
        if (start == 0) {
            EXPECT_GE(header->sectionSize(0), items->sizeHintForColumn(0));
            // The user's widths are remembered, a size column too narrow for its sizes excepted.
            header->resizeSection(0, 222);
            header->resizeSection(1, 5);
            harness.Restart();
        } else {
            EXPECT_EQ(header->sectionSize(0), 222);
        }
    }
}

TEST(CLeftView, RebuildsOnDocumentChangesButNotOnItsViewsOwnUpdates)
{
    AppHarness harness;
    CChildFrame* frame = harness.StartOn(BigArchiveBuilder().Add("a.txt", "a").Add("b.txt", "b"));
    ASSERT_NE(frame, nullptr);
    ArchiveDocument& document = frame->Document();
    test::SelectRow(*frame, 1);
    ASSERT_TRUE(document.Doc().GetArchive().AddEntryBytes("c.txt", {'c', 'c'}));

    document.UpdateAllViews(frame->EditorView());
    EXPECT_EQ(frame->LeftView()->model()->rowCount(), 2);
    EXPECT_TRUE(frame->LeftView()->selectionModel()->hasSelection());

    document.UpdateAllViews(nullptr);
    EXPECT_EQ(frame->LeftView()->model()->rowCount(), 3);
    EXPECT_EQ(Cell(*frame->LeftView(), 2, 1), QStringLiteral("2"));
    // After a rebuild no row shows as selected while the document keeps its selection.
    EXPECT_FALSE(frame->LeftView()->selectionModel()->hasSelection());
    EXPECT_EQ(document.SelectedEntry(), 1);
}

TEST(CLeftView, AHugeEntryIsShownByTheRawViewOnlyWhenTheUserSaysYes)
{
    // When to ask, and what, is the document's rule; the list shows what the answer leads to.
    AppHarness harness;
    CChildFrame* frame = harness.StartOn(
        BigArchiveBuilder().Add("a.txt", "a").Add("huge.bin", std::vector<std::uint8_t>(CQuartoDoc::HugeEntrySize + 1, 'b')));
    ASSERT_NE(frame, nullptr);
    harness.prompt.Answer({false});
    test::SelectRow(*frame, 1);
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_FALSE(frame->Document().PreviewBytes().has_value());
    EXPECT_FALSE(frame->EditorView()->RawView()->isVisible());

    test::SelectRow(*frame, 0);
    harness.prompt.Answer({true});
    test::SelectRow(*frame, 1);
    EXPECT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_TRUE(frame->EditorView()->RawView()->isVisible());
    EXPECT_EQ(frame->EditorView()->RawView()->Layout().LineCount(), 1u);
}

} // namespace
} // namespace kestrel
