#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

struct AppContext;
class CQuartoDoc;
class IPrompt;

/// The windowed program's side of one open archive: the archive document (`CQuartoDoc`) plus
/// what the window framework keeps per document (path, title), and the fan-out of the
/// document's notifications to the views as Qt signals. Shared by every window on the archive.
class ArchiveDocument : public QObject
{
    Q_OBJECT

public:
    explicit ArchiveDocument(AppContext& context);
    ~ArchiveDocument() override;

    /// The archive document, with any pending text edit written into it.
    CQuartoDoc& Doc()
    {
        FlushPendingWrite();
        return *m_doc;
    }

    bool OnNewDocument();
    /// False (after telling the user why) when the file cannot be opened at all.
    bool OnOpenDocument(const QString& path);
    bool OnSaveDocument(const QString& path);

    /// Where the document's windows tell the user about failures.
    IPrompt& Prompt() const;

    const QString& PathName() const { return m_pathName; }
    /// Also makes the file name the title.
    void SetPathName(const QString& path);
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);
    bool IsModified() const;
    /// Sets the document's unsaved-changes state and tells the windows (also when unchanged).
    void SetModifiedFlag(bool modified);

    int EntryCount() const;
    const std::string& EntryName(int index) const;
    std::uint32_t EntrySize(int index) const;
    int Format() const;
    int GameKind() const;

    int SelectedEntry() const;
    /// Makes `index` the selected entry and loads it for the preview (asking first about a huge
    /// entry); the views are not told.
    void SelectEntry(int index);
    /// Reloads the selected entry's bytes for the preview.
    void LoadSelectedEntry();
    /// The selected entry's bytes, or nullopt when none are loaded (no selection, or a huge entry
    /// the user did not want to preview). Valid until the next load.
    std::optional<std::string_view> PreviewBytes() const;
    bool IsEntryLocked(std::string_view name) const;

    bool IsEditModeOn() const;
    /// Asks to turn edit mode on when it is off; true when it is on afterwards.
    bool ActivateEditMode();
    /// Replaces the selected entry's bytes with text edited in a preview, refreshes the preview
    /// bytes and marks the document modified. False when the archive refused the bytes.
    bool WriteSelectedEntry(std::string_view bytes, const QObject* sender);

    /// A view that holds text edits not yet written into the selected entry registers how to
    /// write them; everything that reads the document (commands, saving, closing, other views)
    /// has them written first, so the entry always equals the text when it is read.
    void SetPendingWrite(QObject* writer, std::function<void()> write);
    void FlushPendingWrite() const;

    /// Drops what the program-wide INI object cache holds of this archive (saved or closed).
    void ForgetParsedEntries();

    void CloseTextureArchives();
    void OpenTextureArchives();

    /// Tells every view that the document changed; `sender` (a view, or null) ignores it.
    void UpdateAllViews(const QObject* sender);

signals:
    void Updated(const QObject* sender);
    void ModifiedChanged(bool modified);

private:
    class Observer;

    AppContext& m_context;
    std::unique_ptr<CQuartoDoc> m_doc;
    std::unique_ptr<Observer> m_observer;
    mutable QPointer<QObject> m_pendingWriter;
    mutable std::function<void()> m_pendingWrite;
    QString m_pathName;
    QString m_title;
};

} // namespace kestrel
