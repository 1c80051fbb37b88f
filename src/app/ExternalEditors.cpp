#include "app/ExternalEditors.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "archive/CQuartoDoc.h"
#include "archive/ExternalEdit.h"
#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/File.h"
#include "base/IPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>

namespace kestrel {
namespace {

QString EditorsKey(int index)
{
    return QStringLiteral("Editors/%1").arg(index);
}

// Long enough for a program on a slow disk; a missing program fails at once.
constexpr int StartTimeoutMs = 10000;
// Nobody opens, edits and saves a file this fast: an editor that ends sooner without a change
// has handed the file to another window (xdg-open always does), which still has to read it.
constexpr qint64 HandedOnMs = 3000;

bool SameAsEntry(CQuartoDoc& document, const std::string& entryName, const std::string& bytes)
{
    CBIGFile& archive = document.GetArchive();
    const auto current = archive.GetEntryBytes(archive.FindEntry(entryName));
    return current && std::equal(current->begin(), current->end(), bytes.begin(), bytes.end());
}

std::string Caption()
{
    return TextBytes(AppString::AppTitle);
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

std::optional<std::string> SettingsEditorStore::ReadEditorValue(int index) const
{
    const QString key = EditorsKey(index);
    if (!m_settings.contains(key))
        return std::nullopt;
    return m_settings.value(key).toString().toUtf8().toStdString();
}

void SettingsEditorStore::WriteEditorValue(int index, const std::string& value)
{
    m_settings.setValue(EditorsKey(index), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    m_settings.sync();
}

/// One entry out for editing: its private folder and file, and the editor's process.
struct ExternalEditors::Session
{
    QPointer<ArchiveDocument> document;
    QString documentTitle; // for the message when the document is gone
    std::string entryName;
    QString folder;
    QString file;
    QString editor; // the program that was started, as the table names it
    QProcess* process = nullptr; // a child of ExternalEditors
    QElapsedTimer clock;         // since the editor started
};

ExternalEditors::ExternalEditors(QSettings& settings, IPrompt& prompt)
    : m_store(settings), m_table(m_store), m_prompt(prompt), m_temporaryRoot(QDir::tempPath())
{
}

ExternalEditors::~ExternalEditors()
{
    ReleaseRunning();
}

bool ExternalEditors::EditWithEditor(ArchiveDocument& document)
{
    const int selected = document.SelectedEntry();
    if (selected < 0 || selected >= document.EntryCount() || document.IsEntryLocked(document.EntryName(selected)))
        return false;
    if (!document.ActivateEditMode())
        return false;
    CBIGFile& archive = document.Doc().GetArchive();
    auto session = std::make_unique<Session>();
    session->document = &document;
    session->documentTitle = document.Title();
    session->entryName = document.EntryName(selected);
    const QString shownName = FromBytes(session->entryName);

    const auto bytes = archive.GetEntryBytes(selected);
    if (!bytes) {
        m_prompt.ShowMessage(ToBytes(Text(AppString::CannotReadEntry).arg(shownName, FromBytes(archive.LastError()))),
                             Caption());
        return false;
    }
    // A private folder per hand-off: two entries with the same last name never share a file,
    // and on a shared system nobody else can read or swap the file.
    QTemporaryDir folder(QDir(m_temporaryRoot).filePath(QStringLiteral("kestrel-XXXXXX")));
    if (!folder.isValid()) {
        m_prompt.ShowMessage(ToBytes(Text(AppString::EditorTempFailed).arg(shownName, folder.errorString())), Caption());
        return false;
    }
    const std::string fileNameBytes = ExternalEditFileName(session->entryName);
    const QString fileName = FromBytes(fileNameBytes);
    session->folder = folder.path();
    session->file = folder.filePath(fileName);
    std::string error;
    if (!WriteWholeFileAtomically(session->file.toStdU16String(), bytes->data(), bytes->size(), false, error)) {
        m_prompt.ShowMessage(ToBytes(Text(AppString::EditorTempFailed).arg(shownName, FromBytes(error))), Caption());
        return false;
    }

    const std::string editor = m_table.FindEditor(fileNameBytes);
    QString failure;
    if (!StartEditor(*session, editor, failure)) {
        m_prompt.ShowMessage(ToBytes(Text(AppString::EditorStartFailed)
                                         .arg(QString::fromUtf8(editor.data(), static_cast<qsizetype>(editor.size())),
                                              failure, shownName)),
                             Caption());
        return false; // the folder goes with `folder`
    }
    folder.setAutoRemove(false);
    session->clock.start();

    Session* started = session.get();
    connect(started->process, &QProcess::finished, this, [this, started] { OnEditorFinished(started); });
    m_sessions.push_back(std::move(session));
    document.Doc().LockEntry(started->entryName);
    document.UpdateAllViews(nullptr);
    return true;
}

bool ExternalEditors::StartEditor(Session& session, const std::string& editor, QString& failure)
{
    const std::string filePath = session.file.toUtf8().toStdString();
    const auto isProgramFile = [](const std::string& path) {
        const QFileInfo info(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
        return info.isFile() && info.isExecutable();
    };
    QStringList reasons;
    for (const std::string& candidate : EditorCandidates(editor)) {
        const std::optional<EditorCommand> command = BuildEditorCommand(candidate, filePath, isProgramFile);
        const QString shown = QString::fromUtf8(candidate.data(), static_cast<qsizetype>(candidate.size()));
        if (!command) {
            reasons.append(shown + QStringLiteral(": ") + Text(AppString::EditorNoProgram));
            continue;
        }
        auto* process = new QProcess(this);
        // An editor's output goes where Kestrel's goes instead of piling up in memory.
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments;
        for (const std::string& argument : command->arguments)
            arguments.append(QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())));
        process->start(QString::fromUtf8(command->program.data(), static_cast<qsizetype>(command->program.size())),
                       arguments);
        if (process->waitForStarted(StartTimeoutMs)) {
            session.process = process;
            session.editor = shown;
            return true;
        }
        reasons.append(shown + QStringLiteral(": ") + process->errorString());
        delete process;
    }
    failure = reasons.join(QLatin1Char('\n'));
    return false;
}

void ExternalEditors::OnEditorFinished(Session* session)
{
    const auto found = std::find_if(m_sessions.begin(), m_sessions.end(),
                                    [session](const std::unique_ptr<Session>& known) { return known.get() == session; });
    if (found == m_sessions.end())
        return;
    std::unique_ptr<Session> ended = std::move(*found);
    m_sessions.erase(found);
    // Deleted once its own signal has returned.
    ended->process->deleteLater();
    SettleTakeBack(*ended);
}

void ExternalEditors::SettleTakeBack(Session& session)
{
    const QString shownName = FromBytes(session.entryName);
    const QString where = Native(session.file);
    ArchiveDocument* document = session.document.data();
    if (!document) {
        m_prompt.ShowMessage(ToBytes(Text(AppString::EditorDocumentClosed).arg(session.documentTitle, shownName, where)),
                             Caption());
        return;
    }
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(session.file.toStdU16String(), bytes, &error)) {
        document->Doc().UnlockEntry(session.entryName);
        m_prompt.ShowMessage(ToBytes(Text(AppString::EditorFileUnreadable).arg(shownName, FromBytes(error))), Caption());
        RemoveFolder(session);
    } else {
        const bool handedOn = session.clock.elapsed() < HandedOnMs && SameAsEntry(document->Doc(), session.entryName, bytes);
        switch (TakeBackExternalEdit(document->Doc(), session.entryName, bytes)) {
        case TakeBackResult::TakenBack:
            document->SetModifiedFlag(true);
            if (!handedOn) {
                RemoveFolder(session);
                break;
            }
            m_prompt.ShowMessage(ToBytes(Text(AppString::EditorHandedOn).arg(session.editor, shownName, where)), Caption());
            break;
        case TakeBackResult::EntryGone:
            m_prompt.ShowMessage(ToBytes(Text(AppString::EditorEntryGone).arg(shownName, document->Title(), where)),
                                 Caption());
            break;
        case TakeBackResult::Refused:
            m_prompt.ShowMessage(
                ToBytes(Text(AppString::EditorTakeBackRefused)
                            .arg(document->Title(), FromBytes(document->Doc().GetArchive().LastError()), where)),
                Caption());
            break;
        }
    }
    const int selected = document->SelectedEntry();
    if (selected >= 0 && selected < document->EntryCount() &&
        EqualsIgnoringAsciiCase(document->EntryName(selected), session.entryName))
        document->LoadSelectedEntry();
    document->UpdateAllViews(nullptr);
}

void ExternalEditors::RemoveFolder(const Session& session)
{
    // The folder is Kestrel's own; editors may have left backup files beside the file.
    QDir(session.folder).removeRecursively();
}

void ExternalEditors::ReleaseRunning()
{
    if (m_sessions.empty())
        return;
    QString text = Text(AppString::EditorsStillOpen);
    for (const std::unique_ptr<Session>& session : m_sessions) {
        text += QLatin1Char('\n') + Native(session->file);
        // Destroying a QProcess kills its program, and the editor may hold unsaved work: the
        // process object is let go and the editor runs on.
        session->process->disconnect(this);
        session->process->setParent(nullptr);
        session->process = nullptr;
    }
    m_sessions.clear();
    m_prompt.ShowMessage(ToBytes(text), Caption());
}

} // namespace kestrel
