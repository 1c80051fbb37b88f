// Progress of long archive commands as the windowed program shows it: it never covers a
// question asked in the middle of the work, and Cancel, Escape and the close button stop it.
// Then the questions themselves, answered by clicking and typing in the real dialogs.
#include "ArchiveCommandsFixture.h"

#include "app/QtCommandDialogs.h"
#include "app/FilenameDialog.h"
#include "app/OverwriteDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QCheckBox>
#include <QLineEdit>

#include <functional>
#include <gtest/gtest.h>

namespace kestrel {
namespace {

using namespace test;
namespace fs = std::filesystem;

/// Scripted questions with the real progress dialogs.
class RealProgressDialogs : public ScriptedDialogs
{
public:
    explicit RealProgressDialogs(int delayMs) : m_real([]() -> QWidget* { return QApplication::activeModalWidget(); }, delayMs)
    {
    }

    std::unique_ptr<IProgress> StartProgress(const std::string& label, bool cancellable) override
    {
        ScriptedDialogs::StartProgress(label, cancellable);
        return m_real.StartProgress(label, cancellable);
    }
    OverwriteAnswer AskOverwrite(const std::string& entryName, bool offerUseForAll) override
    {
        if (whileAsking)
            whileAsking();
        return ScriptedDialogs::AskOverwrite(entryName, offerUseForAll);
    }

    std::function<void()> whileAsking;

private:
    QtCommandDialogs m_real;
};

QProgressDialog* VisibleProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible())
            return progress;
    return nullptr;
}

class ProgressTest : public ArchiveCommandsTest
{
protected:
    void UseProgressDelay(int delayMs)
    {
        real = std::make_unique<RealProgressDialogs>(delayMs);
        harness.dialogs = real.get();
        harness.Restart();
    }

    std::unique_ptr<RealProgressDialogs> real;
};

TEST_F(ProgressTest, AnOverwriteQuestionKeptOpenPastFourSecondsIsNeverCoveredByProgress)
{
    UseProgressDelay(QtCommandDialogs::DefaultProgressDelayMs);
    Open(BigArchiveBuilder().Add("data\\a.ini", "old"));
    File("data/a.ini");
    File("data/b.ini");
    real->paths = {harness.folder / "data"};
    real->overwrites = {{true, false}};
    bool covered = false;
    real->whileAsking = [&] {
        // The user leaves the question open, as a modal dialog's event loop does.
        QEventLoop loop;
        QTimer::singleShot(4300, &loop, &QEventLoop::quit);
        loop.exec();
        covered = VisibleProgress() != nullptr;
    };
    Trigger(Command::EditAddDirectory);
    EXPECT_FALSE(covered);
    EXPECT_EQ(Content("data\\a.ini"), "new");
    EXPECT_EQ(Content("data\\b.ini"), "new");
}

TEST_F(ProgressTest, CancelEscapeAndCloseStopExtractAllAndSayHowFarItGot)
{
    constexpr int entries = 200;
    BigArchiveBuilder archive;
    for (int i = 0; i < entries; ++i)
        archive.Add("dir\\f" + std::to_string(1000 + i) + ".ini", "x");
    const std::function<void(QProgressDialog&)> ways[] = {
        [](QProgressDialog& progress) {
            QPushButton* cancel = progress.findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
            cancel->click();
        },
        [](QProgressDialog& progress) { QTest::keyClick(&progress, Qt::Key_Escape); },
        [](QProgressDialog& progress) { progress.close(); },
    };
    for (const auto& stop : ways) {
        UseProgressDelay(0);
        Open(archive);
        harness.prompt.Answer({true});
        const fs::path target = harness.folder / ("out" + std::to_string(&stop - ways));
        real->paths = {target};
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (QProgressDialog* progress = VisibleProgress()) {
                watcher.stop();
                stop(*progress);
            }
        });
        watcher.start(0);
        Trigger(Command::EditExtractAll);

        ASSERT_EQ(harness.prompt.shown.size(), 2u);
        const std::string& report = harness.prompt.shown[1].text;
        const std::size_t of = report.find(" of 200 entries extracted");
        ASSERT_NE(of, std::string::npos) << report;
        const int written = std::stoi(report.substr(0, of));
        EXPECT_LT(written, entries);
        int files = 0;
        if (fs::exists(target / "dir"))
            for ([[maybe_unused]] const auto& file : fs::directory_iterator(target / "dir"))
                ++files;
        EXPECT_EQ(files, written);
    }
}

/// Runs `answer` on the dialog that the next modal question opens.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

TEST(QtCommandDialogs, TakeTheAnswersGivenInTheDialogs)
{
    QtCommandDialogs dialogs([]() -> QWidget* { return nullptr; });
    WhenShown<OverwriteDialog>([](OverwriteDialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("useForAllBox"));
        EXPECT_TRUE(box->isVisible());
        box->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("yesButton")), Qt::LeftButton);
    });
    const OverwriteAnswer answer = dialogs.AskOverwrite("data\\a.ini", true);
    EXPECT_TRUE(answer.overwrite);
    EXPECT_TRUE(answer.useForAll);

    // Not offered, the box stays hidden; Escape is No.
    WhenShown<OverwriteDialog>([](OverwriteDialog& dialog) {
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("useForAllBox"))->isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs.AskOverwrite("data\\a.ini", false).overwrite);

    WhenShown<FilenameDialog>([](FilenameDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"));
        EXPECT_EQ(edit->text(), QStringLiteral("NewFile.ini"));
        edit->setText(QString::fromLatin1("data\\\xE9t\xE9.ini"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.AskEntryName("NewFile.ini"), std::optional<std::string>("data\\\xE9t\xE9.ini"));

    // A typed name that was cancelled is not taken.
    WhenShown<FilenameDialog>([](FilenameDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("typed.ini"));
        dialog.reject();
    });
    EXPECT_EQ(dialogs.AskEntryName("NewFile.ini"), std::nullopt);
}

} // namespace
} // namespace kestrel
