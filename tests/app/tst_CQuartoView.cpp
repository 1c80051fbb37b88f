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
#include "app/StringTableModel.h"
#include "app/CompressedSoundDecoder.h"
#include "app/SoundPlayback.h"
#include "app/SoundPreview.h"
#include "sound/WavDecoder.h"
#include "sound/WavTestFile.h"
#include "samples/ByteWriter.h"

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
#include <QLineEdit>
#include <QPushButton>
#include <QAudioFormat>
#include <QSlider>
#include <QGridLayout>
#include <QToolButton>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

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


using test::Bytes8;

/// A 16-bit PCM WAV of a decaying tone, so the waveform's columns differ from each other.
Bytes8 ToneWav(std::uint16_t channels, int frames)
{
    test::WavBytes data;
    for (int frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < channels; ++channel)
            test::PutLE(data, static_cast<std::uint16_t>(std::lround(30000.0 * std::sin(frame * 0.05 * (channel + 1)) * (frames - frame) / frames)), 2);
    return test::PcmWav(channels, 16, data, 22050);
}

Bytes8 ReadSourceFile(const std::string& path)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    std::ifstream file(std::string(source ? source : ".") + "/" + path, std::ios::binary);
    return Bytes8(std::istreambuf_iterator<char>(file), {});
}

class SoundPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = harness.StartOn(BigArchiveBuilder()
                                    .Add("audio\\broken.wav", Bytes8(wav.begin(), wav.begin() + 30))
                                    .Add("audio\\tone.mp3", ReadSourceFile("tests/app/data/tone.mp3"))
                                    .Add("audio\\tone.wav", wav)
                                    .Add("data\\readme.txt", "text"));
        ASSERT_NE(frame, nullptr);
        view = frame->EditorView();
        sound = view->Sound();
        // No test may make a sound, whatever the machine has.
        sound->SetOutputFinder([] { return QAudioDevice(); });
        test::SelectRow(*frame, 2);
        ASSERT_EQ(view->Mode(), PreviewMode::Sound);
    }
    template <typename Widget> Widget* Child(const char* name) { return sound->findChild<Widget*>(QString::fromLatin1(name)); }

    const Bytes8 wav = ToneWav(2, 22050 * 5 / 2);
    test::AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
    SoundPreview* sound = nullptr;
};

TEST_F(SoundPreviewTest, ShowsTheFormatAndTheRenderersWaveformAndDisablesPlayWithoutAnOutput)
{
    EXPECT_TRUE(sound->isVisible());
    EXPECT_EQ(Child<QLabel>("soundFormat")->text(), QStringLiteral("PCM 16-bit, 22050 Hz, stereo, 0:03"));
    EXPECT_EQ(Child<QLabel>("soundTime")->text(), QStringLiteral("0:00 / 0:03"));

    DecodedSound decoded;
    std::string error;
    ASSERT_TRUE(DecodeWav(wav, decoded, error)) << error;
    const WaveformStyle style = sound->PictureStyle();
    const std::vector<std::uint8_t> expected = RenderWaveform(decoded, style);
    const QImage& picture = sound->Picture();
    ASSERT_EQ(picture.size(), QSize(style.width, style.height));
    for (int y = 0; y < picture.height(); ++y)
        ASSERT_EQ(std::memcmp(picture.constScanLine(y), expected.data() + std::size_t(y) * std::size_t(style.width) * 4,
                              std::size_t(style.width) * 4), 0) << "row " << y;

    QPushButton* play = Child<QPushButton>("soundPlay");
    EXPECT_FALSE(play->isEnabled());
    EXPECT_FALSE(play->toolTip().isEmpty());
    EXPECT_TRUE(Child<QSlider>("soundPosition")->isEnabled()); // the position still moves without an output

    test::SelectRow(*frame, 0);
    EXPECT_EQ(view->Mode(), PreviewMode::RawText);
    EXPECT_FALSE(sound->isVisible());
    EXPECT_TRUE(view->StatusNote().contains(QStringLiteral("cannot be played"))) << view->StatusNote().toStdString();
}

TEST_F(SoundPreviewTest, StopAndAnotherSelectionRewind)
{
    Child<QSlider>("soundPosition")->setValue(1500);
    EXPECT_EQ(sound->Position(), 1500);
    EXPECT_EQ(Child<QLabel>("soundTime")->text(), QStringLiteral("0:01 / 0:03"));
    QPushButton* stop = Child<QPushButton>("soundStop");
    ASSERT_TRUE(stop->isEnabled());
    stop->click();
    EXPECT_EQ(sound->Position(), 0);
    EXPECT_EQ(Child<QSlider>("soundPosition")->value(), 0);
    EXPECT_FALSE(stop->isEnabled());

    sound->Seek(99999); // past the end: held at the end
    EXPECT_EQ(sound->Position(), sound->Duration());
    test::SelectRow(*frame, 3);
    EXPECT_EQ(view->Mode(), PreviewMode::PlainText);
    test::SelectRow(*frame, 2);
    EXPECT_EQ(sound->Position(), 0);
}

// tone.mp3: one second of a 500 Hz sine at half of full scale, 16 kHz mono, 32 kbit/s.
TEST_F(SoundPreviewTest, AnMp3IsDecodedInTheBackgroundForItsWaveform)
{
    test::SelectRow(*frame, 1);
    ASSERT_EQ(view->Mode(), PreviewMode::Sound);
    ASSERT_TRUE(test::WaitFor([&] { return !sound->Picture().isNull() || !sound->Note().isEmpty(); }, 20000));
    EXPECT_EQ(sound->Note(), QString());
    EXPECT_EQ(Child<QLabel>("soundFormat")->text(), QStringLiteral("MP3, 16000 Hz, mono, 0:01"));
    const auto [low, high] = std::ranges::minmax(sound->Sound().samples);
    EXPECT_NEAR(high, 16384, 1600);
    EXPECT_NEAR(low, -16384, 1600);
    EXPECT_FALSE(Child<QPushButton>("soundPlay")->isEnabled());
}

TEST(SoundConversion, SamplesOfEveryFormatBecome16BitAndSurroundMixesToStereo)
{
    const std::uint8_t u8[] = {0, 255};
    const std::int32_t s32 = 0x12345678;
    const float f32[] = {-1.0f, 4.0f, NAN, 0.5f};
    EXPECT_EQ(ToInt16Sample(&u8[0], QAudioFormat::UInt8), -32768);
    EXPECT_EQ(ToInt16Sample(&u8[1], QAudioFormat::UInt8), 32512);
    EXPECT_EQ(ToInt16Sample(&s32, QAudioFormat::Int32), 0x1234);
    EXPECT_EQ(ToInt16Sample(&f32[0], QAudioFormat::Float), -32767);
    EXPECT_EQ(ToInt16Sample(&f32[1], QAudioFormat::Float), 32767) << "clamped";
    EXPECT_EQ(ToInt16Sample(&f32[2], QAudioFormat::Float), 0);
    EXPECT_EQ(ToInt16Sample(&f32[3], QAudioFormat::Float), 16384);

    DecodedSound surround;
    surround.sampleRate = 8000;
    surround.channels = 3;
    surround.samples = {300, 10, 100, -3000, 20, 1000};
    const QByteArray pcm = PlayablePcm(surround);
    ASSERT_EQ(pcm.size(), 4 * 2);
    std::vector<std::int16_t> stereo(4);
    std::memcpy(stereo.data(), pcm.constData(), 8);
    EXPECT_EQ(stereo, (std::vector<std::int16_t>{200, 10, -1000, 20})) << "channels 0 and 2 on the left";
}

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
