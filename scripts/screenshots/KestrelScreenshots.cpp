// Opens Kestrel's main window on an archive, shows the given entries one after the other and
// saves a picture of the window for each (the README's screenshots).
//   kestrel-screenshots ARCHIVE OUTDIR ENTRY=FILE.png...
// Run it on an X server (scripts/screenshots.sh starts Xvfb): the 3D previews are real OpenGL
// windows, which only a grab of the screen shows.
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CKestrelApp.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "archive/CBIGFile.h"
#include "archive/CQuartoDoc.h"
#include "base/IPrompt.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// Nobody is there to answer: messages go to the terminal, questions are declined.
class TerminalPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "kestrel-screenshots: %s: %s\n", caption.c_str(), text.c_str());
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override
    {
        ShowMessage(text, caption);
        return false;
    }
};

void Settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool Show(kestrel::CChildFrame& frame, const QString& entry)
{
    kestrel::CLeftView* list = frame.LeftView();
    const int row = frame.Document().Doc().GetArchive().FindEntry(entry.toLatin1().toStdString());
    if (row < 0)
        return false;
    list->setCurrentIndex(list->model()->index(row, 0));
    list->scrollTo(list->model()->index(row, 0));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: kestrel-screenshots ARCHIVE OUTDIR ENTRY=FILE.png...\n");
        return 2;
    }
    QTemporaryDir settingsFolder;
    QSettings settings(settingsFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    TerminalPrompt prompt;
    kestrel::CKestrelApp::Options options;
    options.programFolder = QApplication::applicationDirPath();
    options.settings = &settings;
    options.prompt = &prompt;
    kestrel::CKestrelApp app(options);
    if (!app.InitInstance({arguments[1]}))
        return 1;
    kestrel::CMainFrame& main = *app.MainFrame();
    main.resize(1100, 700);
    main.move(0, 0);
    Settle(1000);

    QDir().mkpath(arguments[2]);
    int failures = 0;
    for (const QString& shot : arguments.mid(3)) {
        const QString entry = shot.section(QLatin1Char('='), 0, 0);
        const QString file = QDir(arguments[2]).filePath(shot.section(QLatin1Char('='), 1));
        if (!Show(*main.ActiveChild(), entry)) {
            std::fprintf(stderr, "kestrel-screenshots: no entry %s\n", entry.toLatin1().constData());
            ++failures;
            continue;
        }
        Settle(1500);
        const QPixmap picture = main.screen()->grabWindow(0, main.frameGeometry().x(), main.frameGeometry().y(),
                                                          main.frameGeometry().width(), main.frameGeometry().height());
        if (!picture.save(file)) {
            std::fprintf(stderr, "kestrel-screenshots: cannot write %s\n", file.toLatin1().constData());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
