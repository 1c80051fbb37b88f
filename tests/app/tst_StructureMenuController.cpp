#include "AppHarness.h"

#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CQuartoView.h"
#include "app/StructureMenuController.h"

#include "archive/CQuartoDoc.h"

#include <QAction>
#include <QGridLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <QWidgetAction>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;

constexpr const char* kStructure = "    ForcedObjects\r\n"
                                   "      Body =\r\n"
                                   "    End\r\n"
                                   "    INIStructure\r\n"
                                   "      Object\r\n"
                                   "        KindOf = Lists KindOfs\r\n"
                                   "        Weapon = Named weapon::Weapon\r\n"
                                   "        Body Specified ActiveBody ModuleTag_01\r\n"
                                   "          MaxHealth = 100\r\n"
                                   "        End\r\n"
                                   "      End\r\n"
                                   "    End\r\n"
                                   "    Lists\r\n"
                                   "      KindOfs\r\n"
                                   "        VEHICLE =\r\n"
                                   "        INFANTRY =\r\n"
                                   "      End\r\n"
                                   "    End\r\n";

std::string Configuration(const std::string& extraStructure = {})
{
    std::string structure = kStructure;
    structure.insert(structure.find("    End\r\n    Lists"), extraStructure);
    return "Games\r\n  Generals\r\n" + structure + "  End\r\n  ZeroHour\r\n  End\r\n  BFME\r\n" + structure
        + "  End\r\nEnd\r\n";
}

/// The action reached by following menu texts: popups by title, then an item (in a column
/// grid too).
QAction* ActionAt(QMenu& menu, const QStringList& path)
{
    QMenu* current = &menu;
    QAction* found = nullptr;
    for (const QString& text : path) {
        if (!current)
            return nullptr;
        found = nullptr;
        for (QAction* action : current->actions()) {
            QList<QAction*> candidates{action};
            if (auto* holder = qobject_cast<QWidgetAction*>(action)) {
                for (auto* button : holder->defaultWidget()->findChildren<QToolButton*>())
                    candidates << button->defaultAction();
            }
            for (QAction* candidate : candidates) {
                if (candidate->text() == text)
                    found = candidate;
            }
        }
        if (!found)
            return nullptr;
        current = found->menu();
    }
    return found;
}

QStringList Titles(const QMenu& menu)
{
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles << action->text();
    return titles;
}

class StructureMenuControllerTest : public ::testing::Test
{
protected:
    CChildFrame* Open(const BigArchiveBuilder& archive, const std::string& extraStructure = {})
    {
        samples::WriteFileBytes(harness.folder / "program" / "kestrel.ini", samples::Bytes(Configuration(extraStructure)));
        frame = harness.StartOn(archive);
        if (!frame)
            return nullptr;
        view = frame->EditorView();
        test::SelectRow(*frame, 0);
        // Every menu that opens is read and answered from the script, one path per menu.
        view->StructureMenu().SetMenuRunner([this](QMenu& menu, const QPoint&) -> QAction* {
            shownMenus.push_back(Titles(menu));
            inspect(menu);
            if (choices.empty())
                return nullptr;
            QAction* chosen = ActionAt(menu, choices.front());
            choices.erase(choices.begin());
            return chosen;
        });
        return frame;
    }

    /// Right-button release over `line` of the text.
    void RightClickLine(int line)
    {
        QPlainTextEdit* edit = view->EditControl();
        QTextCursor cursor(edit->document()->findBlockByNumber(line));
        QTest::mouseRelease(edit->viewport(), Qt::RightButton, {}, edit->cursorRect(cursor).center());
    }

    std::string Entry(int index = 0)
    {
        test::WaitFor([] { return false; }, 20); // the write-back runs at the end of the turn
        return test::EntryText(frame->Document(), index);
    }

    AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
    std::vector<QStringList> choices;
    std::vector<QStringList> shownMenus;
    std::function<void(QMenu&)> inspect = [](QMenu&) {};
};

// What the menus hold and what a pick writes is the structure menu's (StructureMenu tests); here,
// that a click reaches it at the caret and the pick lands in the entry.
TEST_F(StructureMenuControllerTest, AClickMovesTheCaretOffersTheMenuAndWritesThePickIntoTheEntry)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("data\\ini\\object\\tank.ini", "Object Tank\r\n  \r\nEnd\r\n")));
    harness.prompt.Answer({true});
    choices = {{QStringLiteral("Add Module"), QStringLiteral("Body = ActiveBody")}};
    int caretLine = -1;
    inspect = [&](QMenu&) { caretLine = view->EditControl()->textCursor().blockNumber(); };
    RightClickLine(1);
    EXPECT_EQ(caretLine, 1);
    ASSERT_EQ(shownMenus.size(), 1u);
    EXPECT_EQ(shownMenus[0], (QStringList{QStringLiteral("Add Module"), QStringLiteral("Add Value"), QStringLiteral("Go To"),
                                          QString(), QStringLiteral("&Go to label\tF12")}));
    EXPECT_EQ(Entry(0), "Object Tank\r\n     Body = ActiveBody ModuleTag_01\r\n\r\n     End\r\n  \r\nEnd\r\n");
    EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(StructureMenuControllerTest, ObjectNamesComeFromTheArchiveAndTheGamesIniBigAndFollowEdits)
{
    BigArchiveBuilder game;
    game.Add("Data\\INI\\Weapon.ini", std::string("Weapon GameGun\r\nEnd\r\n"));
    game.WriteTo(harness.folder / "Game" / "INI.BIG");
    harness.Settings().setValue(QStringLiteral("InstallPaths/Generals"),
                                QString::fromStdString((harness.folder / "Game").string()));
    ASSERT_TRUE(Open(BigArchiveBuilder()
                         .Add("data\\ini\\object\\tank.ini", "Object Tank\r\n  Weapon = Primary Gun1\r\nEnd\r\n")
                         .Add("data\\ini\\weapon.ini", "Weapon ModGun\r\nEnd\r\n")));
    harness.prompt.Answer({true});
    QStringList offered;
    inspect = [&](QMenu& menu) {
        offered.clear();
        for (QAction* action : menu.actions()) {
            if (action->text() == QStringLiteral("Set Value"))
                offered = Titles(*action->menu());
        }
    };
    choices = {{QStringLiteral("Set Value"), QStringLiteral("GameGun")}};
    RightClickLine(1);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("ModGun"), QStringLiteral("GameGun")}));
    EXPECT_EQ(Entry(), "Object Tank\r\n  Weapon = Primary GameGun\r\nEnd\r\n");

    // Editing the weapon file drops its parse from the cache: the new name is offered next.
    test::SelectRow(*frame, 1);
    QTextCursor cursor = view->EditControl()->textCursor();
    cursor.setPosition(7);
    view->EditControl()->setTextCursor(cursor);
    QTest::keyClicks(view->EditControl(), QStringLiteral("New"));
    Entry();
    test::SelectRow(*frame, 0);
    RightClickLine(1);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("NewModGun"), QStringLiteral("GameGun")}));
}

TEST_F(StructureMenuControllerTest, ManyValueKeysStandInColumnsOfThirty)
{
    std::string keys = "      Big\r\n";
    for (int i = 0; i < 120; ++i)
        keys += "        Key" + std::to_string(1000 + i) + " = 1\r\n";
    keys += "      End\r\n";
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("b.ini", "Big\r\nEnd\r\n"), keys));
    harness.prompt.Answer({true});
    int columns = 0;
    inspect = [&](QMenu& menu) {
        QAction* addValue = ActionAt(menu, {QStringLiteral("Add Value")});
        ASSERT_NE(addValue, nullptr);
        auto* grid = addValue->menu()->findChild<QWidget*>(QStringLiteral("menuColumns"));
        ASSERT_NE(grid, nullptr);
        auto* layout = static_cast<QGridLayout*>(grid->layout());
        columns = layout->columnCount();
        EXPECT_EQ(layout->rowCount(), 30);
    };
    choices = {{QStringLiteral("Add Value"), QStringLiteral("Key1119")}};
    RightClickLine(0);
    EXPECT_EQ(columns, 4);
    EXPECT_EQ(Entry(), "Big\r\n    Key1119 = 1\r\nEnd\r\n");
}

// How Go To splits many blocks into popups is the menu model's (StructureMenu tests); here, that
// the pick moves the caret and changes nothing.
TEST_F(StructureMenuControllerTest, GoToMovesTheCaretToTheChosenBlock)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("two.ini", "Object A\r\nEnd\r\nObject B\r\nEnd\r\n")));
    choices = {{QStringLiteral("Go To")}, {QStringLiteral("Object B")}}; // Go To opens a menu of its own
    RightClickLine(0);
    EXPECT_EQ(view->EditControl()->textCursor().blockNumber(), 2);
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(StructureMenuControllerTest, RefusedEditModeUndoesAnInsertion)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.ini", "Object A\r\nEnd\r\n")));
    harness.prompt.Answer({false});
    choices = {{QStringLiteral("Add Value"), QStringLiteral("KindOf")}};
    RightClickLine(0);
    EXPECT_EQ(Entry(), "Object A\r\nEnd\r\n");
    EXPECT_EQ(view->EditControl()->toPlainText(), QStringLiteral("Object A\nEnd\n"));
}

TEST_F(StructureMenuControllerTest, FindSelectsTheNextMatchAndReplaceAllWritesEveryReplacement)
{
    ASSERT_TRUE(Open(BigArchiveBuilder().Add("a.txt", "Gun gun GUN Gunner\r\ngun\r\n")));
    QPlainTextEdit* edit = view->EditControl();
    EXPECT_TRUE(view->FindText({"gun", false, true}));
    EXPECT_EQ(edit->textCursor().selectionStart(), 4) << "from one past the selection's start";
    EXPECT_TRUE(view->FindText({"gun", true, false}));
    EXPECT_EQ(edit->textCursor().selectionStart(), 19);
    EXPECT_FALSE(view->FindText({"gun", true, false}));
    EXPECT_EQ(edit->textCursor().selectionStart(), 19) << "no match keeps the selection";
    EXPECT_EQ(view->SelectedText(), QStringLiteral("gun"));

    harness.prompt.Answer({true});
    EXPECT_EQ(view->ReplaceText({"gun", false, true}, QStringLiteral("gun gun"), true), 4);
    EXPECT_EQ(Entry(), "gun gun gun gun gun gun Gunner\r\ngun gun\r\n");
    edit->undo();
    EXPECT_EQ(Entry(), "gun gun gun gun gun gun Gunner\r\ngun\r\n") << "each replacement can be undone";
}

} // namespace
} // namespace kestrel
