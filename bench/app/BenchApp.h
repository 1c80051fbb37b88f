#pragma once

// What the windowed program's benchmarks share: Kestrel started on an archive in a temporary
// folder, with every question answered Yes and no message shown.
#include "app/CKestrelApp.h"
#include "base/IPrompt.h"

#include <QSettings>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace kestrel::bench {

class SilentPrompt : public IPrompt
{
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
};

/// Call before the QApplication exists: no X server is needed.
inline void UseOffscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

/// The application over `folder` (its kestrel.ini and settings are written there); InitInstance
/// is left to the caller, which may want to time it.
class BenchApp
{
public:
    explicit BenchApp(const QTemporaryDir& folder)
        : m_settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
    {
        std::ofstream(folder.filePath(QStringLiteral("kestrel.ini")).toStdString())
            << "Games\r\n  Generals\r\n  End\r\nEnd\r\n";
        CKestrelApp::Options options;
        options.programFolder = folder.path();
        options.settings = &m_settings;
        options.prompt = &m_prompt;
        m_app = std::make_unique<CKestrelApp>(options);
    }

    CKestrelApp& App() { return *m_app; }

private:
    QSettings m_settings;
    SilentPrompt m_prompt;
    std::unique_ptr<CKestrelApp> m_app;
};

} // namespace kestrel::bench
