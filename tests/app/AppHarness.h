#pragma once

#include "app/CKestrelApp.h"
#include "samples/BigArchiveBuilder.h"
#include "support/FakePrompt.h"

#include <QSettings>
#include <QString>

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace kestrel {
class ArchiveDocument;
class CChildFrame;
class CQuartoView;
class CLeftView;
class ICommandDialogs;
} // namespace kestrel

namespace kestrel::test {

// The windowed-program tests make their archives with the sample writers.
using namespace kestrel::samples;

/// A Kestrel application over a temporary program folder, a settings file of its own and a
/// scripted prompt, so tests never touch the user's settings or show a message box.
class AppHarness
{
public:
    explicit AppHarness(bool withConfiguration = true);
    ~AppHarness();

    /// Runs the start-up with the given command line; false when the program would end.
    bool Start(const QStringList& arguments = {});
    QSettings& Settings() { return *m_settings; }
    CKestrelApp& App() { return *m_app; }
    /// Recreates the application on the same folder and settings (a restart).
    void Restart();

    /// Writes an archive into the temporary folder and returns its path.
    QString WriteArchive(const BigArchiveBuilder& builder, const std::string& fileName = "test.big");
    /// Starts Kestrel on a fresh archive and returns its window.
    CChildFrame* StartOn(const BigArchiveBuilder& builder);

    FakePrompt prompt;
    TempFolder folder;
    /// The archive commands' dialogs for the next Restart; the real ones when null.
    ICommandDialogs* dialogs = nullptr;

private:
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<CKestrelApp> m_app;
};

/// The bytes of the document's entry `index` as text, or "<unreadable>".
std::string EntryText(ArchiveDocument& document, int index);
/// Selects `row` in the window's entry list the way a click does.
void SelectRow(CChildFrame& frame, int row);
/// Runs the event loop until `condition` holds or `timeoutMs` passed; whether it held.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 2000);

} // namespace kestrel::test
