#pragma once

#include "app/AppContext.h"

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QSettings;

namespace kestrel {

class AppSettings;
class CIniBlock;
class IInstallPathProvider;
class ArchiveDocument;
class CChildFrame;
class CMainFrame;
class ExternalEditors;
class ICommandDialogs;
class IPrompt;
class SharedPreviewDevice;

/// The application object: start-up, the settings, the document framework (new, open, close,
/// save of archive documents and their windows) and the main window.
class CKestrelApp : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        /// Folder of the executable, where kestrel.ini is looked for first.
        QString programFolder;
        /// Installed data folder, where kestrel.ini is looked for second; empty: none.
        QString dataFolder;
        /// Settings store; must outlive the application object.
        QSettings* settings = nullptr;
        /// Message boxes when null.
        IPrompt* prompt = nullptr;
        /// The archive commands' file, folder, name and progress dialogs; the real ones when null.
        ICommandDialogs* dialogs = nullptr;
    };

    explicit CKestrelApp(const Options& options);
    ~CKestrelApp() override;

    /// Start-up: configuration, settings, main window, command line (one optional archive
    /// path). False when the program has to end.
    bool InitInstance(const QStringList& arguments);

    /// Where kestrel.ini was (or, when it is nowhere, should have been) found.
    QString ConfigurationPath() const;
    /// The parsed kestrel.ini; null before a successful start-up.
    const CIniBlock* Configuration() const { return m_configuration.get(); }

    CChildFrame* OnFileNew();
    void OnFileOpen();
    /// Opens an archive in a new window, or activates the window that already shows it. Null
    /// when the file cannot be opened.
    CChildFrame* OpenDocumentFile(const QString& path);
    void OpenRecentFile(const QString& path);
    /// A second window on the same document.
    CChildFrame* OpenWindowOn(const std::shared_ptr<ArchiveDocument>& document);
    void OnFileClose(CChildFrame* frame);
    void OnFileSave(CChildFrame* frame, bool askForPath);
    /// Offers to save a modified document; false when the user cancelled.
    bool SaveModified(ArchiveDocument& document);
    /// Closes every archive window (offering to save); false when the user cancelled.
    bool CloseAllDocuments();

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    AppSettings& Settings() { return *m_settings; }
    IPrompt& Prompt() { return *m_prompt; }
    ICommandDialogs& Dialogs() { return *m_dialogs; }
    AppContext& Context() { return *m_context; }
    ExternalEditors& Editors() { return *m_editors; }

    /// Test seam: answers "Save changes to ...?" (Yes, No or Cancel) instead of a message box.
    std::function<QMessageBox::StandardButton(const QString& text)> askSaveChanges;

private:
    bool LoadConfiguration();
    CChildFrame* CreateFrame(const std::shared_ptr<ArchiveDocument>& document);
    QString NextUntitledName();

    Options m_options;
    std::unique_ptr<IPrompt> m_ownPrompt;
    IPrompt* m_prompt = nullptr;
    std::unique_ptr<ICommandDialogs> m_ownDialogs;
    ICommandDialogs* m_dialogs = nullptr;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<SharedPreviewDevice> m_device;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<CIniBlock> m_configuration;
    std::unique_ptr<IInstallPathProvider> m_installPaths;
    std::unique_ptr<ExternalEditors> m_editors;
    std::unique_ptr<CMainFrame> m_mainFrame;
    QString m_configurationPath;
    int m_untitledCount = 0;
};

} // namespace kestrel
