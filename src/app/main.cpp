#include "app/AppManual.h"
#include "app/CKestrelApp.h"
#include "app/CMainFrame.h"
#include "app/SingleInstance.h"
#include "base/BuildInfo.h"
#include "base/TemporaryFiles.h"
#include "ini/StructureConfig.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>

#include <cstring>
#include <iostream>

int main(int argc, char* argv[])
{
    // Answered before Qt starts, so that they work without a display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kestrel::KestrelManual;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << kestrel::VersionLine("kestrel") << '\n';
        return 0;
    }

    // A logout or kill during a save would otherwise leave the half-written temporary archive
    // beside the user's file; the signal still ends the program as it would have.
    kestrel::RemoveTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    // The installed desktop entry and icon, so that task bars group and draw the window as Kestrel.
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kestrel")));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString serverName = kestrel::SingleInstance::DefaultServerName();
    if (!arguments.isEmpty() && kestrel::SingleInstance::HandOver(serverName, arguments.first()))
        return 0;

    QSettings settings;
    kestrel::CKestrelApp::Options options;
    options.programFolder = QApplication::applicationDirPath();
    const auto dataFolder = kestrel::InstalledDataFolder(options.programFolder.toStdU16String());
    options.dataFolder = QString::fromStdU16String(dataFolder.u16string());
    options.settings = &settings;
    kestrel::CKestrelApp app(options);
    if (!app.InitInstance(arguments))
        return 1;

    kestrel::SingleInstance instance;
    instance.Listen(serverName, [&app](const QString& path) {
        app.OpenDocumentFile(path);
        app.MainFrame()->raise();
        app.MainFrame()->activateWindow();
    });
    return QApplication::exec();
}
