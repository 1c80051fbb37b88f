#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "app/EntryTableModel.h"
#include "app/RawTextView.h"

#include "archive/CQuartoDoc.h"
#include "app/CMainFrame.h"
#include "app/EntryDragOut.h"
#include "app/EntryListPane.h"
#include "app/FindInArchiveDialog.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTest>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;

QString Cell(CLeftView& list, int row, int column)
{
    return list.model()->index(row, column).data().toString();
}

TEST(CLeftView, ShowsTheEntriesInTableOrderAndClicksAndArrowKeysSelectAndLoadThemAndF6MovesTheFocus)
{
    AppHarness harness;
    CChildFrame* frame = harness.StartOn(BigArchiveBuilder()
                                             .Add("a.bin", std::vector<std::uint8_t>(1234567, 'a'))
                                             .Add("two.txt", "second")
                                             .Add("\xE9t\xE9.txt", "c"));
    ASSERT_NE(frame, nullptr);
    CLeftView& list = *frame->LeftView();
    ASSERT_EQ(list.model()->rowCount(), 3);
    EXPECT_EQ(Cell(list, 0, 1), QStringLiteral("1234567")) << "plain decimal";
    EXPECT_EQ(Cell(list, 2, 0), QString::fromLatin1("\xE9t\xE9.txt"));
    test::SelectRow(*frame, 1);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    ASSERT_TRUE(frame->Document().PreviewBytes().has_value());
    EXPECT_EQ(*frame->Document().PreviewBytes(), "second");
    EXPECT_EQ(frame->EditorView()->Mode(), PreviewMode::PlainText);

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

class EntryFinding : public ::testing::Test
{
protected:
    void Start(const BigArchiveBuilder& archive)
    {
        frame = harness.StartOn(archive);
        ASSERT_NE(frame, nullptr);
        list = frame->LeftView();
    }
    CMainFrame& Main() { return *harness.App().MainFrame(); }
    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    }
    void ClickHeader(int column)
    {
        QHeaderView* header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }

    AppHarness harness;
    CChildFrame* frame = nullptr;
    CLeftView* list = nullptr;
};

TEST_F(EntryFinding, TheFilterAndHeaderClicksChangeTheRowsButCommandsActOnTheEntryShown)
{
    Start(BigArchiveBuilder()
              .Add("art\\b.tga", "12345")
              .Add("data\\ini\\weapon.ini", "1")
              .Add("data\\ini\\armor.ini", "123")
              .Add("readme.txt", "12"));
    Main().Action(Command::EditFilterEntries)->trigger();
    QLineEdit* filter = frame->ListPane()->FilterBox();
    EXPECT_EQ(frame->window()->focusWidget(), filter);
    QTest::keyClicks(filter, QStringLiteral("*.INI"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("data\\ini\\weapon.ini"), QStringLiteral("data\\ini\\armor.ini")}));
    EXPECT_EQ(Main().findChild<QLabel*>(QStringLiteral("entryCount"))->text(), QStringLiteral("2 of 4 entries"));

    // The orders themselves are the entry list order's (EntryTable tests); here, that a column
    // sorts by its key and the third click gives table order back.
    ClickHeader(EntryTableModel::NameColumn);
    EXPECT_EQ(Names().first(), QStringLiteral("data\\ini\\armor.ini"));
    filter->clear();
    ClickHeader(EntryTableModel::TypeColumn);
    ClickHeader(EntryTableModel::TypeColumn);
    EXPECT_EQ(Names().first(), QStringLiteral("readme.txt"));
    ClickHeader(EntryTableModel::TypeColumn); // the third click: table order again
    EXPECT_EQ(Names().first(), QStringLiteral("art\\b.tga"));

    // Sorted by size and filtered, the first row is armor.ini (entry 2): Delete removes that one.
    ClickHeader(EntryTableModel::SizeColumn);
    ClickHeader(EntryTableModel::SizeColumn);
    QTest::keyClicks(filter, QStringLiteral("data"));
    test::SelectRow(*frame, 0);
    EXPECT_EQ(frame->Document().SelectedEntry(), 2);
    EXPECT_EQ(*frame->Document().PreviewBytes(), "123");
    harness.prompt.Answer({true});
    Main().Action(Command::EditDeleteFile)->trigger();
    EXPECT_EQ(Names(), QStringList{QStringLiteral("data\\ini\\weapon.ini")});
    EXPECT_EQ(frame->Document().EntryCount(), 3);
}

TEST_F(EntryFinding, DuplicateNamesAreMarkedAndSayWhichCopyTheGamesUse)
{
    Start(BigArchiveBuilder().Add("data\\a.ini", "old").Add("b.ini", "b").Add("DATA\\A.INI", "new"));
    const auto cell = [this](int row, int role) { return list->model()->index(row, 0).data(role); };
    EXPECT_EQ(cell(0, Qt::ToolTipRole).toString(),
              QStringLiteral("2 entries share this name (ignoring case). The games use the last one in the table, "
                             "not this one: DATA\\A.INI (entry 3 of 3)."));
    EXPECT_EQ(cell(2, Qt::ToolTipRole).toString(),
              QStringLiteral("2 entries share this name (ignoring case). The games use this one, the last in the table."));
    EXPECT_FALSE(cell(1, Qt::ToolTipRole).isValid());
    EXPECT_FALSE(cell(1, Qt::DecorationRole).isValid());
    EXPECT_TRUE(cell(0, Qt::DecorationRole).isValid() && cell(2, Qt::DecorationRole).isValid());
}

TEST_F(EntryFinding, FindInArchiveListsMatchesAndOpensTheEntryAtTheLine)
{
    Start(BigArchiveBuilder()
              .Add("data\\ini\\weapon.ini", "Weapon Gun\n  Damage = 10\nEnd\n")
              .Add("data\\ini\\object.ini", "Object Tank\nEnd\n  damage = 99\n")
              .Add("readme.txt", "damage"));
    QTest::keyClicks(frame->ListPane()->FilterBox(), QStringLiteral("weapon"));
    FindInArchiveDialog* find = frame->FindInArchive();
    find->findChild<QLineEdit*>(QStringLiteral("searchFor"))->setText(QStringLiteral("DAMAGE"));
    find->findChild<QLineEdit*>(QStringLiteral("inEntries"))->setText(QStringLiteral("*.ini"));
    ASSERT_TRUE(find->StartSearch());
    ASSERT_TRUE(test::WaitFor([&] { return !find->IsSearching(); }, 10000));
    QTreeWidget* results = find->Results();
    ASSERT_EQ(results->topLevelItemCount(), 2);
    EXPECT_EQ(results->topLevelItem(1)->text(0), QStringLiteral("data\\ini\\object.ini"));
    EXPECT_EQ(results->topLevelItem(1)->text(1), QStringLiteral("3"));
    EXPECT_EQ(results->topLevelItem(1)->text(2), QStringLiteral("  damage = 99"));
    EXPECT_EQ(find->Status()->text(), QStringLiteral("2 matching lines in 2 entries."));

    // object.ini is hidden by the list's filter: choosing it clears the filter and shows line 3.
    emit results->itemActivated(results->topLevelItem(1), 0);
    EXPECT_EQ(frame->Document().SelectedEntry(), 1);
    EXPECT_TRUE(frame->ListPane()->FilterBox()->text().isEmpty());
    EXPECT_EQ(frame->EditorView()->EditControl()->textCursor().blockNumber(), 2);
    EXPECT_EQ(frame->EditorView()->SelectedText(), QStringLiteral("  damage = 99"));

    find->findChild<QCheckBox*>(QStringLiteral("regex"))->setChecked(true);
    find->findChild<QLineEdit*>(QStringLiteral("searchFor"))->setText(QStringLiteral("(("));
    EXPECT_FALSE(find->StartSearch());
    EXPECT_TRUE(find->Status()->text().startsWith(QStringLiteral("The archive cannot be searched: not a valid regular")));
}

TEST_F(EntryFinding, DraggedEntriesAreExtractedAsFilesNamedAfterThem)
{
    Start(BigArchiveBuilder().Add("data\\ini\\weapon.ini", "Weapon X\nEnd\n"));
    auto* dragOut = list->findChild<EntryDragOut*>();
    ASSERT_NE(dragOut, nullptr);
    const std::unique_ptr<QMimeData> files(dragOut->Extract({0}));
    ASSERT_TRUE(files);
    ASSERT_EQ(files->urls().size(), 1);
    const QString path = files->urls().first().toLocalFile();
    EXPECT_TRUE(path.endsWith(QStringLiteral("/weapon.ini")));
    const auto bytes = samples::ReadFileBytes(path.toStdString());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Weapon X\nEnd\n");
}

} // namespace
} // namespace kestrel
