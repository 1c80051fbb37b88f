#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CQuartoView.h"
#include "app/StringTableModel.h"
#include "app/StringTableView.h"
#include "archive/CQuartoDoc.h"
#include "strings/CsfTestTables.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using samples::BigArchiveBuilder;
using test::SampleLabels;

class StringTablePreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const samples::Bytes8 table = test::CsfBytes(SampleLabels);
        frame = harness.StartOn(BigArchiveBuilder()
                                    .Add("data\\broken.csf", samples::Bytes8(table.begin(), table.end() - 3))
                                    .Add("data\\lang.csf", table)
                                    .Add("data\\lang.str", "A:B\n\"x\"\nEND\n"));
        ASSERT_NE(frame, nullptr);
        view = frame->EditorView();
    }
    StringTableModel& Model() { return view->StringTable()->Model(); }
    bool Edit(int row, int column, const QString& text) { return Model().setData(Model().index(row, column), text, Qt::EditRole); }
    std::string Entry(int index)
    {
        const auto bytes = frame->Document().Doc().GetArchive().GetEntryBytes(index);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    static std::string Expected(const std::vector<test::TestLabel>& labels)
    {
        const samples::Bytes8 bytes = test::CsfBytes(labels);
        return std::string(bytes.begin(), bytes.end());
    }

    test::AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
};

TEST_F(StringTablePreviewTest, ShowsEveryStringAndFiltersLabelsAndValues)
{
    test::SelectRow(*frame, 1);
    ASSERT_EQ(view->Mode(), PreviewMode::StringTable);
    EXPECT_TRUE(view->StringTable()->isVisible());
    QAbstractItemModel* shown = view->StringTable()->Table()->model();
    EXPECT_EQ(shown->rowCount(), 7); // one row per string, one for the label without strings
    EXPECT_EQ(shown->index(1, StringTableModel::ValueColumn).data().toString(), QStringLiteral("first\nline \"two\""));
    EXPECT_EQ(shown->index(2, StringTableModel::ExtraColumn).data().toString(), QStringLiteral("speech\\voice01"));
    EXPECT_EQ(shown->index(3, StringTableModel::ValueColumn).data().toString(),
              QString::fromUtf16(SampleLabels[2].strings[0].value.c_str()));
    view->StringTable()->Filter()->setText(QStringLiteral("COMMA"));
    ASSERT_EQ(shown->rowCount(), 1);
    EXPECT_EQ(shown->index(0, StringTableModel::LabelColumn).data().toString(), QStringLiteral("GUI:Multi"));
    EXPECT_TRUE(view->StringTable()->GoToLabel("gui:none"));
    EXPECT_EQ(shown->rowCount(), 7);
    EXPECT_EQ(view->StringTable()->Table()->currentIndex().row(), 6);

    test::SelectRow(*frame, 2);
    EXPECT_EQ(view->Mode(), PreviewMode::PlainText);
    test::SelectRow(*frame, 0);
    EXPECT_EQ(view->Mode(), PreviewMode::StringTable);
    EXPECT_FALSE(view->StatusNote().isEmpty());
    EXPECT_FALSE(Edit(0, StringTableModel::ValueColumn, QStringLiteral("changed")));
    EXPECT_FALSE(view->StringTable()->findChild<QPushButton*>(QStringLiteral("addLabel"))->isEnabled());
}

TEST_F(StringTablePreviewTest, EditsPassTheEditModeGateAndLandInTheEntryByteExactly)
{
    test::SelectRow(*frame, 1);
    const std::string before = Entry(1);
    harness.prompt.Answer({false});
    EXPECT_FALSE(Edit(0, StringTableModel::ValueColumn, QStringLiteral("Hummer")));
    EXPECT_EQ(Entry(1), before);
    EXPECT_EQ(Model().index(0, StringTableModel::ValueColumn).data().toString(), QStringLiteral("Humvee"));

    harness.prompt.Answer({true});
    auto labels = SampleLabels;
    labels[0].strings[0].value = u"Hummer\n\u00fc";
    ASSERT_TRUE(Edit(0, StringTableModel::ValueColumn, QStringLiteral("Hummer\n\u00fc")));
    EXPECT_EQ(Entry(1), Expected(labels));

    labels[1].name = "GUI:Renamed";
    labels[1].strings[1].extra = "sfx";
    EXPECT_FALSE(Edit(2, StringTableModel::LabelColumn, QStringLiteral("gui:empty"))); // taken
    ASSERT_TRUE(Edit(2, StringTableModel::LabelColumn, QStringLiteral("GUI:Renamed")));
    ASSERT_TRUE(Edit(2, StringTableModel::ExtraColumn, QStringLiteral("sfx")));
    EXPECT_EQ(Entry(1), Expected(labels));

    view->StringTable()->findChild<QPushButton*>(QStringLiteral("addLabel"))->click();
    labels.push_back({"NEW:Label", {{u"", std::nullopt}}});
    EXPECT_EQ(Entry(1), Expected(labels));
    EXPECT_TRUE(Model().RemoveLabelAt(1));
    labels.erase(labels.begin() + 1);
    EXPECT_EQ(Entry(1), Expected(labels));
    EXPECT_TRUE(frame->Document().Doc().IsModified());
}

} // namespace
} // namespace kestrel
