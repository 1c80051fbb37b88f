#include "app/CKestrelApp.h"
#include "app/CMainFrame.h"
#include "app/SingleInstance.h"
#include "base/TemporaryFiles.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char* argv[])
{
    // A logout or kill during a save would otherwise leave the half-written temporary archive
    // beside the user's file; the signal still ends the program as it would have.
    kestrel::RemoveTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationName(QStringLiteral("Kestrel"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString serverName = kestrel::SingleInstance::DefaultServerName();
    if (!arguments.isEmpty() && kestrel::SingleInstance::HandOver(serverName, arguments.first()))
        return 0;

    QSettings settings;
    kestrel::CKestrelApp::Options options;
    options.programFolder = QApplication::applicationDirPath();
    options.dataFolder = QStringLiteral(KESTREL_DATA_DIR);
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
