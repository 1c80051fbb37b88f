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
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <QSettings>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrel {
using testing::HasSubstr;

namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;

/// The visible entries of a menu (or of the menu bar when `key` is empty), joined by '|'.
QString Visible(CMainFrame& frame, const char* key = "")
{
    const QList<QAction*> actions = *key ? frame.findChild<QMenu*>(QStringLiteral("menu") + QString::fromLatin1(key))->actions()
                                         : frame.menuBar()->actions();
    QStringList texts;
    for (QAction* action : actions)
        if (action->isVisible() && !action->isSeparator())
            texts.append(DisplayedText(action->text()));
    return texts.join(QLatin1Char('|'));
}

QString PathIn(AppHarness& harness, const char* name)
{
    return QString::fromStdString((harness.folder / name).string());
}

TEST(Startup, LooksForKestrelIniBesideTheProgramThenInTheDataFolderAndEndsWithoutIt)
{
    AppHarness harness(false);
    EXPECT_FALSE(harness.Start());
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text, "Failed to load kestrel.ini");
    EXPECT_EQ(harness.prompt.shown[0].caption, (harness.folder / "program" / "kestrel.ini").string());
    EXPECT_EQ(harness.App().MainFrame(), nullptr);

    samples::WriteFileBytes(harness.folder / "data" / "kestrel.ini", samples::Bytes("; installed\r\n"));
    harness.Restart();
    EXPECT_TRUE(harness.Start());
    EXPECT_EQ(harness.App().ConfigurationPath().toStdString(), (harness.folder / "data" / "kestrel.ini").string());
}

TEST(Startup, OpensWhatTheCommandLineNamesAndRemembersOnlyRealArchives)
{
    AppHarness harness;
    EXPECT_FALSE(harness.Start({PathIn(harness, "missing.big")})) << "a missing archive ends the program";
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_THAT(harness.prompt.shown[0].text, HasSubstr("missing.big"));

    samples::WriteFileBytes(harness.folder / "notes.big", samples::Bytes("just some text, no archive"));
    harness.Restart();
    harness.prompt.Answer({false}); // not opened as an archive of unknown format
    ASSERT_TRUE(harness.Start({PathIn(harness, "notes.big")}));
    EXPECT_EQ(harness.App().MainFrame()->ActiveChild()->Document().EntryCount(), 0);
    EXPECT_TRUE(harness.App().Settings().RecentFiles().isEmpty());

    harness.Restart();
    CChildFrame* child = harness.StartOn(BigArchiveBuilder().Add("data\\a.ini", "A = 1\r\n").Add("data\\b.txt", "b"));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Document().EntryCount(), 2);
    EXPECT_EQ(child->Document().Title(), QStringLiteral("test.big"));
    ASSERT_EQ(harness.App().Settings().RecentFiles().size(), 1);
    EXPECT_TRUE(harness.App().Settings().RecentFiles()[0].endsWith(QStringLiteral("test.big")));
}

TEST(MainFrameMenus, FollowTheActiveArchiveWindowAndBindTheShortcuts)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame& main = *harness.App().MainFrame();
    // Without arguments: one new, empty, maximised archive window.
    ASSERT_EQ(main.ChildFrames().size(), 1);
    EXPECT_EQ(main.ActiveChild()->Document().EntryCount(), 0);
    EXPECT_EQ(main.ActiveChild()->Document().Title(), QStringLiteral("Kestrel1"));
    EXPECT_TRUE(main.ActiveChild()->isMaximized());
    EXPECT_TRUE(harness.prompt.shown.empty());

    EXPECT_EQ(Visible(main), QStringLiteral("File|Edit|View|Window|Help"));
    EXPECT_EQ(Visible(main, "File"), QStringLiteral("New|Open...|Close|Save|Quick Save|Save As...|Set File Format|Exit"));
    EXPECT_EQ(Visible(main, "SetFileFormat"), QStringLiteral("BIGF (C&C Generals)|BIG4 (BFME)"));
    EXPECT_TRUE(Visible(main, "Window").startsWith(QStringLiteral("New Window|Cascade|Tile|Arrange Icons")));
    for (QMenu* menu : main.findChildren<QMenu*>()) {
        QSet<QChar> mnemonics;
        for (QAction* action : menu->actions()) {
            const qsizetype at = action->text().indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (at < 0)
                continue;
            const qsizetype before = mnemonics.size();
            mnemonics.insert(action->text()[at + 1].toLower());
            EXPECT_NE(mnemonics.size(), before) << "mnemonic used twice: " << action->text().toStdString();
        }
    }
    // Replace shows its shortcut without binding it.
    EXPECT_TRUE(main.Action(Command::EditReplace)->shortcuts().isEmpty());
    QAction* saveButton = main.findChild<QAction*>(QStringLiteral("actionFileSaveButton"));
    ASSERT_NE(saveButton, nullptr);
    EXPECT_TRUE(saveButton->isEnabled());

    harness.App().OnFileClose(main.ActiveChild());
    QApplication::processEvents();
    ASSERT_TRUE(main.ChildFrames().isEmpty());
    EXPECT_TRUE(main.findChild<QToolBar*>()->actions().contains(saveButton)) << "the toolbar keeps Save, disabled";
    EXPECT_FALSE(saveButton->isEnabled());
    EXPECT_EQ(Visible(main), QStringLiteral("File|View|Help"));
    EXPECT_EQ(Visible(main, "File"), QStringLiteral("New|Open...|Exit"));
    EXPECT_EQ(Visible(main, "Help"), QStringLiteral("About Quarto..."));
    harness.App().OnFileSave(nullptr, false);
    EXPECT_TRUE(harness.prompt.shown.empty()) << "Save without an archive window does nothing";
}

TEST(MainFrameTitles, ShowTheArchiveNameOnceMarkUnsavedChangesAndNumberSecondWindows)
{
    AppHarness harness;
    CChildFrame* first = harness.StartOn(BigArchiveBuilder().Add("a.ini", "A"));
    ASSERT_NE(first, nullptr);
    CMainFrame& main = *harness.App().MainFrame();
    for (const bool maximized : {true, false}) {
        if (!maximized)
            first->showNormal();
        QApplication::processEvents();
        const QString title = main.windowTitle();
        EXPECT_TRUE(title.startsWith(QStringLiteral("Kestrel - "))) << title.toStdString();
        EXPECT_EQ(title.count(QStringLiteral("test.big")), 1) << title.toStdString();
        EXPECT_FALSE(main.isWindowModified());
        first->Document().SetModifiedFlag(true);
        EXPECT_TRUE(first->isWindowModified());
        EXPECT_TRUE(main.isWindowModified());
        first->Document().SetModifiedFlag(false);
        EXPECT_FALSE(first->isWindowModified());
    }

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

TEST(MainFrameMenus, DeviceEntriesFollowTheSettingsAndStoreChanges)
{
    AppHarness harness;
    ASSERT_TRUE(harness.Start());
    CMainFrame& main = *harness.App().MainFrame();
    main.UpdateCommandStates();
    // Without Direct3D 9 OpenGL draws, whatever is stored.
    EXPECT_TRUE(main.Action(Command::DeviceOpenGL)->isChecked());
    EXPECT_FALSE(main.Action(Command::DeviceD3D9)->isEnabled());

    main.Action(Command::DeviceOpenGL)->trigger();
    ASSERT_EQ(harness.prompt.shown.size(), 1u);
    EXPECT_EQ(harness.prompt.shown[0].text,
              "Kestrel will use OpenGL after you close all open big files or restart Kestrel");
    EXPECT_EQ(harness.Settings().value(QStringLiteral("Device/UseOpenGL")).toInt(), 1);

    main.Action(Command::ViewTextures)->trigger();
    main.Action(Command::ViewAlphaBlending)->trigger();
    harness.Restart();
    ASSERT_TRUE(harness.Start());
    EXPECT_FALSE(harness.App().Settings().Textures());
    EXPECT_FALSE(harness.App().Settings().AlphaBlending());
}

TEST(MainFrameMenus, TogglingTexturesReopensTheTextureArchivesOfEveryOpenDocument)
{
    // Without game blocks in kestrel.ini each reopening says so, which makes it countable.
    AppHarness harness(false);
    samples::WriteFileBytes(harness.folder / "program" / "kestrel.ini", samples::Bytes("Other\r\nEnd\r\n"));
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

TEST(SingleInstance, AFileHandedOverByASecondProcessIsOpenedAfterTheHandOverIsDone)
{
    for (const bool openAnyway : {false, true}) {
        AppHarness harness;
        ASSERT_TRUE(harness.Start({harness.WriteArchive(BigArchiveBuilder().Add("data\\a.ini", "A = 1\r\n"))}));
        samples::WriteFileBytes(harness.folder / "corrupt.big", samples::Bytes(std::string(5000, 'x')));

        // The running instance's question stays open, in a nested loop as a message box runs one,
        // until the second process has gone.
        const QString user = QStringLiteral("handover-%1-%2").arg(QCoreApplication::applicationPid()).arg(openAnyway);
        SingleInstance running;
        QProcess second;
        ASSERT_TRUE(running.Listen(QStringLiteral("kestrel-") + user, [&](const QString& path) {
            harness.prompt.Answer({openAnyway});
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                if (second.state() == QProcess::NotRunning)
                    loop.quit();
            });
            poll.start(10);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            harness.App().OpenDocumentFile(path);
        }));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("USER"), user);
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(KESTREL_APP_PATH), {PathIn(harness, "corrupt.big")});
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

class AppSettingsTest : public ::testing::Test
{
protected:
    samples::TempFolder folder;
    QSettings store{QString::fromStdString((folder / "settings.ini").string()), QSettings::IniFormat};
};

TEST_F(AppSettingsTest, ASettingIsOnExactlyWhenItsStoredValueIsOne)
{
    store.setValue(QStringLiteral("Device/UseOpenGL"), 2);
    store.setValue(QStringLiteral("Device/Textures"), 0);
    store.setValue(QStringLiteral("Device/AlphaBlending"), QStringLiteral("yes"));
    AppSettings settings(store);
    settings.Load();
    EXPECT_FALSE(settings.UseOpenGL());
    EXPECT_FALSE(settings.Textures());
    EXPECT_FALSE(settings.AlphaBlending());

    store.setValue(QStringLiteral("Device/UseOpenGL"), 1);
    store.setValue(QStringLiteral("Device/Textures"), 2);
    settings.Load();
    EXPECT_TRUE(settings.UseOpenGL());
    EXPECT_FALSE(settings.Textures());
}

TEST_F(AppSettingsTest, RecentFilesKeepTheFourLatestMostRecentFirstWithoutDuplicates)
{
    AppSettings settings(store);
    settings.Load();
    for (const char* path : {"/a.big", "/b.big", "/c.big", "/d.big", "/e.big", "/c.big"})
        settings.AddRecentFile(QString::fromLatin1(path));
    const QStringList expected = {QStringLiteral("/c.big"), QStringLiteral("/e.big"), QStringLiteral("/d.big"),
                                  QStringLiteral("/b.big")};
    EXPECT_EQ(settings.RecentFiles(), expected);
    AppSettings restarted(store);
    restarted.Load();
    EXPECT_EQ(restarted.RecentFiles(), expected);
    restarted.RemoveRecentFile(QStringLiteral("/e.big"));
    EXPECT_EQ(restarted.RecentFiles().size(), 3);
}

} // namespace
} // namespace kestrel
