#include "app/CKestrelApp.h"

#include "app/AppSettings.h"
#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/ArchiveSaving.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/ExternalEditors.h"
#include "app/MessageBoxPrompt.h"
#include "app/QtCommandDialogs.h"
#include "app/SharedPreviewDevice.h"
#include "archive/CQuartoDoc.h"
#include "ini/CIniBlock.h"
#include "ini/IniObjectCache.h"
#include "ini/StructureConfig.h"
#include "w3d/SettingsAndWineInstallPathProvider.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QSet>
#include <QSettings>

namespace kestrel {
namespace {

QString FileDialogFilter()
{
    return Text(AppString::FileFilter) + QStringLiteral(";;") + Text(AppString::AllFilesFilter);
}

} // namespace

CKestrelApp::CKestrelApp(const Options& options) : m_options(options)
{
    Q_ASSERT(options.settings);
    // Over a progress dialog when one is up, so that a question in the middle of long work is
    // not blocked by it.
    auto dialogParent = [this]() -> QWidget* {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        QWidget* active = QApplication::activeWindow();
        return active ? active : m_mainFrame.get();
    };
    if (options.prompt) {
        m_prompt = options.prompt;
    } else {
        m_ownPrompt = std::make_unique<MessageBoxPrompt>(dialogParent);
        m_prompt = m_ownPrompt.get();
    }
    if (options.dialogs) {
        m_dialogs = options.dialogs;
    } else {
        m_ownDialogs = std::make_unique<QtCommandDialogs>(dialogParent);
        m_dialogs = m_ownDialogs.get();
    }
    m_settings = std::make_unique<AppSettings>(*options.settings);
    m_device = std::make_unique<SharedPreviewDevice>();
    m_editors = std::make_unique<ExternalEditors>(*options.settings, *m_prompt);
    m_context = std::make_unique<AppContext>(AppContext{*m_prompt, *m_settings, *m_device, [this](DocumentBroadcast request) {
        if (m_mainFrame)
            m_mainFrame->Broadcast(request);
    }});
    askSaveChanges = [this](const QString& text) {
        return QMessageBox::question(m_mainFrame.get(), Text(AppString::AppTitle), text,
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    };
}

CKestrelApp::~CKestrelApp()
{
    m_editors->ReleaseRunning();
    // Windows (and with them the views that share the 3D device) go before the device holder.
    m_mainFrame.reset();
}

bool CKestrelApp::InitInstance(const QStringList& arguments)
{
    if (!LoadConfiguration()) {
        m_prompt->ShowMessage(TextBytes(AppString::ConfigLoadFailed),
                              ToBytes(QDir::toNativeSeparators(m_configurationPath)));
        return false;
    }
    m_settings->Load();
    m_installPaths = CreatePlatformInstallPathProvider(m_settings->InstallPaths());
    m_context->installPaths = m_installPaths.get();
    m_editors->LoadEditors();
    m_objectCache = std::make_unique<IniObjectCache>();
    m_context->objectCache = m_objectCache.get();
    m_mainFrame = std::make_unique<CMainFrame>(*this);

    const bool opened = arguments.isEmpty() ? OnFileNew() != nullptr : OpenDocumentFile(arguments.first()) != nullptr;
    if (!opened)
        return false;
    m_mainFrame->show();
    return true;
}

QString CKestrelApp::ConfigurationPath() const
{
    return m_configurationPath;
}

bool CKestrelApp::LoadConfiguration()
{
    const auto path = FindConfigurationFile(m_options.programFolder.toStdU16String(),
                                            m_options.dataFolder.toStdU16String());
    m_configurationPath = QString::fromStdU16String(path.u16string());
    m_configuration = LoadConfigurationFile(path, m_prompt);
    m_context->configuration = m_configuration.get();
    return m_configuration != nullptr;
}

QString CKestrelApp::NextUntitledName()
{
    return Text(AppString::DocumentName) + QString::number(++m_untitledCount);
}

CChildFrame* CKestrelApp::OnFileNew()
{
    auto document = std::make_shared<ArchiveDocument>(*m_context);
    if (!document->OnNewDocument())
        return nullptr;
    document->SetTitle(NextUntitledName());
    return CreateFrame(document);
}

void CKestrelApp::OnFileOpen()
{
    const QString path = QFileDialog::getOpenFileName(m_mainFrame.get(), QString(), QString(), FileDialogFilter());
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

CChildFrame* CKestrelApp::OpenDocumentFile(const QString& path)
{
    if (CChildFrame* shown = m_mainFrame->FindFrameForPath(path)) {
        m_mainFrame->MdiArea()->setActiveSubWindow(shown);
        return shown;
    }
    auto document = std::make_shared<ArchiveDocument>(*m_context);
    if (!document->OnOpenDocument(path)) {
        m_settings->RemoveRecentFile(path);
        m_mainFrame->UpdateRecentFileMenu();
        return nullptr;
    }
    document->SetPathName(path);
    // A file that is no archive still gets its (empty) window, but is not offered again.
    if (document->Doc().GetArchive().HasFile())
        m_settings->AddRecentFile(QFileInfo(path).absoluteFilePath());
    else
        m_settings->RemoveRecentFile(QFileInfo(path).absoluteFilePath());
    m_mainFrame->UpdateRecentFileMenu();
    return CreateFrame(document);
}

void CKestrelApp::OpenRecentFile(const QString& path)
{
    OpenDocumentFile(path);
}

CChildFrame* CKestrelApp::OpenWindowOn(const std::shared_ptr<ArchiveDocument>& document)
{
    return CreateFrame(document);
}

CChildFrame* CKestrelApp::CreateFrame(const std::shared_ptr<ArchiveDocument>& document)
{
    auto* frame = new CChildFrame(*this, document);
    m_mainFrame->AddChildFrame(frame);
    frame->InitialUpdate();
    return frame;
}

void CKestrelApp::OnFileClose(CChildFrame* frame)
{
    if (!frame)
        return;
    std::shared_ptr<ArchiveDocument> document = frame->SharedDocument();
    if (!SaveModified(*document))
        return;
    for (CChildFrame* other : m_mainFrame->ChildFrames())
        if (&other->Document() == document.get())
            other->CloseWithoutAsking();
}

void CKestrelApp::OnFileSave(CChildFrame* frame, bool askForPath)
{
    // With no archive window there is no document to save: nothing happens.
    if (!frame)
        return;
    ArchiveDocument& document = frame->Document();
    QString path = document.PathName();
    if (askForPath || path.isEmpty()) {
        const auto chosen = m_dialogs->AskArchivePath(path.toStdU16String());
        if (!chosen)
            return;
        path = QString::fromStdU16String(chosen->u16string());
    }
    const auto save = [&document, &path] { return document.OnSaveDocument(path); };
    if (SaveWithProgress(document.Doc().GetArchive(), *m_dialogs, ToBytes(document.Title()), save)) {
        document.SetPathName(path);
        m_settings->AddRecentFile(QFileInfo(path).absoluteFilePath());
        m_mainFrame->UpdateRecentFileMenu();
    }
    m_mainFrame->UpdateFrameTitles();
}

bool CKestrelApp::SaveModified(ArchiveDocument& document)
{
    if (!document.IsModified())
        return true;
    const auto answer = askSaveChanges(Text(AppString::SaveChangesQuestion).arg(document.Title()));
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::No)
        return true;
    for (CChildFrame* frame : m_mainFrame->ChildFrames()) {
        if (&frame->Document() == &document) {
            OnFileSave(frame, false);
            break;
        }
    }
    return !document.IsModified();
}

bool CKestrelApp::CloseAllDocuments()
{
    QSet<ArchiveDocument*> asked;
    for (CChildFrame* frame : m_mainFrame->ChildFrames()) {
        if (asked.contains(&frame->Document()))
            continue;
        asked.insert(&frame->Document());
        if (!SaveModified(frame->Document()))
            return false;
    }
    for (CChildFrame* frame : m_mainFrame->ChildFrames())
        frame->CloseWithoutAsking();
    return true;
}

} // namespace kestrel
