#pragma once

#include "archive/EditorTable.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QProcess;
class QSettings;

namespace kestrel {

class ArchiveDocument;
class IPrompt;

/// The editor table's values in the settings group "Editors".
class SettingsEditorStore : public IEditorTableStore
{
public:
    /// The store must outlive this object.
    explicit SettingsEditorStore(QSettings& settings) : m_settings(settings) {}
    std::optional<std::string> ReadEditorValue(int index) const override;
    void WriteEditorValue(int index, const std::string& value) override;

private:
    QSettings& m_settings;
};

/// Edit with Editor: writes the selected entry to a file of its own, starts the editor the
/// table names for it, keeps the entry locked while the editor runs and takes the file back
/// when the editor process ends. Everything happens on the user-interface thread: the end of
/// an editor arrives as QProcess::finished. A hand-off whose document closed, or whose entry
/// vanished, keeps its file and tells the user where it is, so no edit is lost.
class ExternalEditors : public QObject
{
    Q_OBJECT

public:
    /// `settings` and `prompt` must outlive this object.
    ExternalEditors(QSettings& settings, IPrompt& prompt);
    ~ExternalEditors() override;

    void LoadEditors() { m_table.LoadEditors(); }
    EditorTable& Table() { return m_table; }

    /// Each hand-off gets a private folder below this one (the system's temporary folder unless
    /// set; tests set their own).
    void SetTemporaryRoot(const QString& folder) { m_temporaryRoot = folder; }

    /// Hands `document`'s selected, unlocked entry to its editor. False when nothing was handed
    /// out (no entry, edit mode declined, the file or the editor could not be made or started;
    /// the user was told why).
    bool EditWithEditor(ArchiveDocument& document);
    /// Editors still running.
    int RunningCount() const { return static_cast<int>(m_sessions.size()); }

    /// Lets running editors go on after Kestrel ends and tells the user where their files stay.
    void ReleaseRunning();

private:
    struct Session;

    bool StartEditor(Session& session, const std::string& editor, QString& failure);
    void OnEditorFinished(Session* session);
    void SettleTakeBack(Session& session);
    void RemoveFolder(const Session& session);

    SettingsEditorStore m_store;
    EditorTable m_table;
    IPrompt& m_prompt;
    QString m_temporaryRoot;
    std::vector<std::unique_ptr<Session>> m_sessions;
};

} // namespace kestrel
