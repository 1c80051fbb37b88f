#include "AppHarness.h"

#include "app/AppCommands.h"
#include "app/AppSettings.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/SingleInstance.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QToolBar>
#include <QProcess>
#include <QTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrel {
namespace {

using test::AppHarness;
using test::BigArchiveBuilder;
using test::Shown;

QStringList VisibleTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (QAction* action : actions)
        if (action->isVisible() && !action->isSeparator())
            texts.append(Shown(action->text()));
    return texts;
}

bool Contains(QSet<QChar>& set, QChar c)
{
    const bool known = set.contains(c);
    set.insert(c);
    return known;
}

QMenu* FindMenu(CMainFrame& frame, const char* key)
{
    return frame.findChild<QMenu*>(QStringLiteral("menu") + QString::fromLatin1(key));
}

TEST(Startup, WithoutKestrelIniTellsWhereItLookedAndEnds)
{
    AppHarness harness(false);
    EXPECT_FALSE(harness.Start());
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text, "Failed to load kestrel.ini");
    EXPECT_EQ(harness.prompt.shown[0].caption, (harness.folder / "program" / "kestrel.ini").string());
    EXPECT_EQ(harness.App().MainFrame(), nullptr);
}

TEST(Startup, FindsKestrelIniInTheInstalledDataFolderToo)
{
    AppHarness harness(false);
    test::WriteFileBytes(harness.folder / "data" / "kestrel.ini", test::Bytes("; installed\r\n"));
    EXPECT_TRUE(harness.Start());
    EXPECT_EQ(harness.App().ConfigurationPath().toStdString(), (harness.folder / "data" / "kestrel.ini").string());
}

TEST(Startup, WithoutArgumentsOpensOneNewEmptyArchiveWindow)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame* main = harness.App().MainFrame();
    ASSERT_EQ(main->ChildFrames().size(), 1);
    CChildFrame* child = main->ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Document().EntryCount(), 0);
    EXPECT_EQ(child->Document().Title(), QStringLiteral("Kestrel1"));
    EXPECT_TRUE(child->isMaximized());
    EXPECT_TRUE(harness.prompt.shown.empty());
}

TEST(Startup, OpensTheArchiveNamedOnTheCommandLineAndRemembersIt)
{
    AppHarness harness;
    BigArchiveBuilder archive;
    archive.Add("data\\a.ini", "A = 1\r\n").Add("data\\b.txt", "b");
    CChildFrame* child = harness.StartOn(archive);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Document().EntryCount(), 2);
    EXPECT_EQ(child->Document().Title(), QStringLiteral("test.big"));
    ASSERT_EQ(harness.App().Settings().RecentFiles().size(), 1);
    EXPECT_TRUE(harness.App().Settings().RecentFiles()[0].endsWith(QStringLiteral("test.big")));
}

TEST(Startup, AMissingArchiveOnTheCommandLineEndsTheProgramAfterSayingSo)
{
    AppHarness harness;
    EXPECT_FALSE(harness.Start({QString::fromStdString((harness.folder / "missing.big").string())}));
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_NE(harness.prompt.shown[0].text.find("missing.big"), std::string::npos);
}

TEST(MainFrameMenus, ShowTheArchiveMenusOnlyWhileAnArchiveWindowIsActive)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame& main = *harness.App().MainFrame();
    EXPECT_EQ(VisibleTexts(main.menuBar()->actions()),
              (QStringList{QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("View"),
                           QStringLiteral("Window"), QStringLiteral("Help")}));
    EXPECT_EQ(VisibleTexts(FindMenu(main, "File")->actions()),
              (QStringList{QStringLiteral("New"), QStringLiteral("Open..."), QStringLiteral("Close"),
                           QStringLiteral("Save"), QStringLiteral("Quick Save"), QStringLiteral("Save As..."),
                           QStringLiteral("Set File Format"), QStringLiteral("Exit")}));
    EXPECT_EQ(VisibleTexts(FindMenu(main, "SetFileFormat")->actions()),
              (QStringList{QStringLiteral("BIGF (C&C Generals)"), QStringLiteral("BIG4 (BFME)")}));
    EXPECT_EQ(VisibleTexts(FindMenu(main, "Window")->actions()).mid(0, 4),
              (QStringList{QStringLiteral("New Window"), QStringLiteral("Cascade"), QStringLiteral("Tile"),
                           QStringLiteral("Arrange Icons")}));

    // Each menu's mnemonics are unique.
    for (QMenu* menu : main.findChildren<QMenu*>()) {
        QSet<QChar> mnemonics;
        for (QAction* action : menu->actions()) {
            const qsizetype at = action->text().indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (at >= 0) {
                EXPECT_FALSE(Contains(mnemonics, action->text()[at + 1].toLower())) << action->text().toStdString();
            }
        }
    }
    QAction* saveButton = main.findChild<QAction*>(QStringLiteral("actionFileSaveButton"));
    ASSERT_NE(saveButton, nullptr);
    EXPECT_TRUE(saveButton->isEnabled());

    harness.App().OnFileClose(main.ActiveChild());
    QApplication::processEvents();
    ASSERT_TRUE(main.ChildFrames().isEmpty());
    // The toolbar keeps its Save button, disabled.
    EXPECT_TRUE(main.findChild<QToolBar*>()->actions().contains(saveButton));
    EXPECT_FALSE(saveButton->isEnabled());
    EXPECT_EQ(VisibleTexts(main.menuBar()->actions()),
              (QStringList{QStringLiteral("File"), QStringLiteral("View"), QStringLiteral("Help")}));
    EXPECT_EQ(VisibleTexts(FindMenu(main, "File")->actions()),
              (QStringList{QStringLiteral("New"), QStringLiteral("Open..."), QStringLiteral("Exit")}));
    EXPECT_EQ(VisibleTexts(FindMenu(main, "Help")->actions()), QStringList{QStringLiteral("About Quarto...")});
}

TEST(MainFrameTitles, ShowTheArchiveNameOnceAndMarkUnsavedChanges)
{
    AppHarness harness;
    CChildFrame* child = harness.StartOn(BigArchiveBuilder().Add("a.ini", "A"));
    ASSERT_NE(child, nullptr);
    CMainFrame& main = *harness.App().MainFrame();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kestrel - [test.big[*]]"));
    EXPECT_FALSE(child->isWindowModified());
    child->Document().SetModifiedFlag(true);
    EXPECT_TRUE(child->isWindowModified());
    child->Document().SetModifiedFlag(false);
    EXPECT_FALSE(child->isWindowModified());
}

TEST(Startup, AFileThatIsNoArchiveOpensEmptyButIsNotRemembered)
{
    AppHarness harness;
    test::WriteFileBytes(harness.folder / "notes.big", test::Bytes("just some text, no archive"));
    harness.prompt.Answer({false}); // not opened as an archive of unknown format
    ASSERT_TRUE(harness.Start({QString::fromStdString((harness.folder / "notes.big").string())}));
    EXPECT_EQ(harness.App().MainFrame()->ActiveChild()->Document().EntryCount(), 0);
    EXPECT_TRUE(harness.App().Settings().RecentFiles().isEmpty());
}

TEST(MainFrameMenus, BindTheShortcutsAndShowReplacesWithoutBindingIt)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame& main = *harness.App().MainFrame();
    EXPECT_EQ(main.Action(Command::FileNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(main.Action(Command::FileSave)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(main.Action(Command::EditCut)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+X")), QKeySequence(QStringLiteral("Shift+Del"))}));
    EXPECT_EQ(main.Action(Command::EditDeleteFile)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Del")));
    EXPECT_TRUE(main.Action(Command::EditReplace)->text().endsWith(QStringLiteral("\tCtrl+R")));
    EXPECT_TRUE(main.Action(Command::EditReplace)->shortcuts().isEmpty());
}

TEST(MainFrameMenus, DeviceEntriesFollowTheSettingsAndStoreChanges)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame& main = *harness.App().MainFrame();
    main.UpdateCommandStates();
    // Without Direct3D 9 OpenGL draws, whatever is stored.
    EXPECT_TRUE(main.Action(Command::DeviceOpenGL)->isChecked());
    EXPECT_FALSE(main.Action(Command::DeviceD3D9)->isEnabled());
    EXPECT_TRUE(main.Action(Command::ViewTextures)->isChecked());
    EXPECT_TRUE(main.Action(Command::ViewAlphaBlending)->isChecked());
    EXPECT_FALSE(main.Action(Command::FilePrint)->isEnabled());

    main.Action(Command::DeviceOpenGL)->trigger();
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text,
              "Kestrel will use OpenGL after you close all open big files or restart Kestrel");
    EXPECT_EQ(harness.prompt.shown[0].caption, "Kestrel");
    EXPECT_EQ(harness.Settings().value(QStringLiteral("Device/UseOpenGL")).toInt(), 1);

    main.Action(Command::ViewTextures)->trigger();
    EXPECT_FALSE(main.Action(Command::ViewTextures)->isChecked());
    EXPECT_EQ(harness.Settings().value(QStringLiteral("Device/Textures")).toInt(), 0);
    main.Action(Command::ViewAlphaBlending)->trigger();
    EXPECT_EQ(harness.Settings().value(QStringLiteral("Device/AlphaBlending")).toInt(), 0);

    harness.Restart();
    ASSERT_TRUE(harness.Start());
    EXPECT_FALSE(harness.App().Settings().Textures());
    EXPECT_FALSE(harness.App().Settings().AlphaBlending());
}

TEST(MainFrameMenus, TogglingTexturesReopensTheTextureArchivesOfEveryOpenDocument)
{
    // Without game blocks in kestrel.ini each reopening says so, which makes it countable.
    AppHarness harness(false);
    test::WriteFileBytes(harness.folder / "program" / "kestrel.ini", test::Bytes("Other\r\nEnd\r\n"));
    ASSERT_NE(harness.StartOn(BigArchiveBuilder().Add("a.ini", "a")), nullptr);
    ASSERT_NE(harness.App().OpenDocumentFile(harness.WriteArchive(BigArchiveBuilder().Add("b.ini", "b"), "b.big")),
              nullptr);
    CMainFrame& main = *harness.App().MainFrame();
    main.Action(Command::WindowNew)->trigger(); // a second window must not double the request
    harness.prompt.shown.clear();

    main.Action(Command::ViewTextures)->trigger();
    ASSERT_EQ(harness.prompt.shown.size(), 2u);
    EXPECT_EQ(harness.prompt.shown[0].text, "Failed to interpret kestrel.ini");
    EXPECT_EQ(harness.prompt.shown[1].text, "Failed to interpret kestrel.ini");
}

TEST(MainFrameMenus, NewWindowShowsTheSameDocumentInASecondNumberedWindow)
{
    AppHarness harness;
    CChildFrame* first = harness.StartOn(BigArchiveBuilder().Add("a.ini", "x"));
    ASSERT_NE(first, nullptr);
    CMainFrame& main = *harness.App().MainFrame();
    main.Action(Command::WindowNew)->trigger();
    ASSERT_EQ(main.ChildFrames().size(), 2);
    CChildFrame* second = main.ActiveChild();
    EXPECT_NE(second, first);
    EXPECT_EQ(&second->Document(), &first->Document());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("test.big:1[*]"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("test.big:2[*]"));

    second->close();
    QApplication::processEvents();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("test.big[*]"));
}

TEST(MainFrameMenus, SaveWithoutAnArchiveWindowDoesNothing)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    harness.App().OnFileSave(nullptr, false);
    EXPECT_TRUE(harness.prompt.shown.empty());
}

TEST(SingleInstance, ASecondStartHandsItsArchiveToTheRunningInstanceAsAnAbsolutePath)
{
    const QString name = QStringLiteral("kestrel-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance running;
    QString received;
    ASSERT_TRUE(running.Listen(name, [&](const QString& path) { received = path; }));

    // The second start blocks until the running instance answers, so it runs beside this loop.
    std::atomic<int> handedOver{-1};
    std::thread second([&] { handedOver = SingleInstance::HandOver(name, QStringLiteral("mods/x.big")) ? 1 : 0; });
    const bool answered = test::WaitFor([&] { return handedOver != -1 && !received.isEmpty(); }, 5000);
    second.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(handedOver, 1);
    EXPECT_EQ(received, QDir::current().absoluteFilePath(QStringLiteral("mods/x.big")));

    EXPECT_FALSE(SingleInstance::HandOver(name + QStringLiteral("-nobody"), QStringLiteral("x.big")));
}

// Runs a nested event loop, as a message box does, until `done` holds.
void RunModalLoopUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(SingleInstance, AFileHandedOverByASecondProcessIsOpenedAfterTheHandOverIsDone)
{
    for (const bool openAnyway : {false, true}) {
        AppHarness harness;
        BigArchiveBuilder archive;
        archive.Add("data\\a.ini", "A = 1\r\n");
        ASSERT_TRUE(harness.Start({harness.WriteArchive(archive)}));
        const QString corrupt = QString::fromStdString((harness.folder / "corrupt.big").string());
        test::WriteFileBytes(harness.folder / "corrupt.big", test::Bytes(std::string(5000, 'x')));

        // The running instance's question stays open until the second process has gone.
        const QString user = QStringLiteral("handover-%1-%2").arg(QCoreApplication::applicationPid()).arg(openAnyway);
        SingleInstance running;
        QProcess second;
        ASSERT_TRUE(running.Listen(QStringLiteral("kestrel-") + user, [&](const QString& path) {
            harness.prompt.Answer({openAnyway});
            RunModalLoopUntil([&] { return second.state() == QProcess::NotRunning; });
            harness.App().OpenDocumentFile(path);
        }));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("USER"), user);
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(KESTREL_APP_PATH), {corrupt});
        ASSERT_TRUE(test::WaitFor([&] { return harness.App().MainFrame()->ChildFrames().size() == 2; }, 10000));
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(harness.App().MainFrame()->ActiveChild()->Document().Title(), QStringLiteral("corrupt.big"));
        ASSERT_FALSE(harness.prompt.shown.empty());
        EXPECT_TRUE(harness.prompt.shown[0].question);
        // The first archive is still there and the event loop still runs.
        QApplication::processEvents();
        EXPECT_EQ(harness.App().MainFrame()->ChildFrames()[0]->Document().EntryCount(), 1);
    }
}

} // namespace
} // namespace kestrel
