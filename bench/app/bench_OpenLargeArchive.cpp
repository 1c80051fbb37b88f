// Time from opening an archive of 100,000 entries to its entry list painted, and the memory that
// costs. Run by hand (an X server is not needed):
//   QT_QPA_PLATFORM=offscreen build/test/bin/bench_app_open [entries]
#include "app/CChildFrame.h"
#include "app/CKestrelApp.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "base/IPrompt.h"
#include "support/BigArchiveBuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class SilentPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// Resident and peak memory of this process in kB, from the kernel's view.
std::pair<long, long> MemoryKb()
{
    std::ifstream status("/proc/self/status");
    long resident = 0;
    long peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            resident = std::stol(line.substr(6));
        else if (line.rfind("VmHWM:", 0) == 0)
            peak = std::stol(line.substr(6));
    }
    return {resident, peak};
}

class PaintWatcher : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The list's rows are painted on its viewport.
        if (event->type() == QEvent::Paint && qobject_cast<kestrel::CLeftView*>(watched->parent()))
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;

    QTemporaryDir folder;
    kestrel::test::BigArchiveBuilder builder;
    for (int i = 0; i < entries; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "data\\ini\\object\\generated\\unit%06d.ini", i);
        builder.Add(name, "Object Unit\r\nEnd\r\n");
    }
    const std::string archive = builder.WriteTo(folder.filePath(QStringLiteral("large.big")).toStdString()).string();
    std::ofstream(folder.filePath(QStringLiteral("kestrel.ini")).toStdString()) << "Games\r\n  Generals\r\n  End\r\nEnd\r\n";

    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    SilentPrompt prompt;
    kestrel::CKestrelApp::Options options;
    options.programFolder = folder.path();
    options.settings = &settings;
    options.prompt = &prompt;
    kestrel::CKestrelApp app(options);

    const long residentBefore = MemoryKb().first;
    QElapsedTimer clock;
    clock.start();
    PaintWatcher watcher;
    application.installEventFilter(&watcher);
    if (!app.InitInstance({QString::fromStdString(archive)}))
        return 1;
    kestrel::CLeftView* list = app.MainFrame()->ActiveChild()->LeftView();
    while (!watcher.painted || list->model()->rowCount() != entries)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 elapsed = clock.elapsed();
    const auto [residentAfter, peakAfter] = MemoryKb();

    std::printf("entries: %d\nopen to list painted: %lld ms\n", entries, static_cast<long long>(elapsed));
    std::printf("resident memory: %ld kB before, %ld kB after (+%ld kB); peak %ld kB\n", residentBefore,
                residentAfter, residentAfter - residentBefore, peakAfter);
        return 0;
}
