#include "AppHarness.h"

#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "app/AppCommands.h"
#include "app/ArchiveDocument.h"
#include "archive/CQuartoDoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QItemSelectionModel>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

// The game blocks a document looks for when it opens; their structure configuration stays empty.
constexpr const char* minimalConfiguration = "Games\r\n  Generals\r\n  End\r\n  ZeroHour\r\n  End\r\n"
                                             "  BFME\r\n  End\r\nEnd\r\n";

} // namespace

AppHarness::AppHarness(bool withConfiguration)
{
    std::filesystem::create_directories(folder / "program");
    std::filesystem::create_directories(folder / "data");
    if (withConfiguration)
        WriteFileBytes(folder / "program" / "kestrel.ini", Bytes(minimalConfiguration));
    m_settings = std::make_unique<QSettings>(QString::fromStdString((folder / "settings.ini").string()),
                                             QSettings::IniFormat);
    Restart();
}

AppHarness::~AppHarness()
{
    m_app.reset();
}

void AppHarness::Restart()
{
    m_app.reset();
    CKestrelApp::Options options;
    options.programFolder = QString::fromStdString((folder / "program").string());
    options.dataFolder = QString::fromStdString((folder / "data").string());
    options.settings = m_settings.get();
    options.prompt = &prompt;
    options.dialogs = dialogs;
    m_app = std::make_unique<CKestrelApp>(options);
}

bool AppHarness::Start(const QStringList& arguments)
{
    return m_app->InitInstance(arguments);
}

QString AppHarness::WriteArchive(const BigArchiveBuilder& builder, const std::string& fileName)
{
    return QString::fromStdString(builder.WriteTo(folder / fileName).string());
}

CChildFrame* AppHarness::StartOn(const BigArchiveBuilder& builder)
{
    if (!Start({WriteArchive(builder)}))
        return nullptr;
    return m_app->MainFrame()->ActiveChild();
}

std::string EntryText(ArchiveDocument& document, int index)
{
    const auto bytes = document.Doc().GetArchive().GetEntryBytes(index);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

void SelectRow(CChildFrame& frame, int row)
{
    CLeftView* list = frame.LeftView();
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace kestrel::test
