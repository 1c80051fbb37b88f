#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestrel {

class ArchiveDocument;

/// Find in Archive: searches the contents of the archive's entries (text or a regular
/// expression, optionally only in entries whose names match) on a worker thread, over a
/// read-only copy of the archive taken when the search starts, so the editor stays usable and
/// the archive may change meanwhile. Matches are listed as they are found; choosing one asks
/// the window to open that entry at that line.
class FindInArchiveDialog : public QDialog
{
    Q_OBJECT

public:
    FindInArchiveDialog(ArchiveDocument& document, QWidget* parent);
    ~FindInArchiveDialog() override;

    /// Starts a search with the texts and options in the dialog; false (with the reason shown in
    /// the dialog) when the pattern is not usable or the archive cannot be read.
    bool StartSearch();
    void CancelSearch();
    bool IsSearching() const;
    /// Fills the search box (the text selected in the preview, say).
    void SetPattern(const QString& pattern);

    QTreeWidget* Results() const { return m_results; }
    QLabel* Status() const { return m_status; }

signals:
    /// The user chose a match: `entry` was its table index when the search started; `name` tells
    /// whether it still is. `line` is counted from 0; a binary entry has no line.
    void OpenRequested(int entry, const std::string& name, std::uint64_t line, bool binary);

private:
    struct Shared;

    void Poll();
    void TakeFound();
    void Finish();
    void OnChosen(QTreeWidgetItem* item);

    ArchiveDocument& m_document;
    QLineEdit* m_pattern = nullptr;
    QLineEdit* m_names = nullptr;
    QCheckBox* m_regex = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTreeWidget* m_results = nullptr;
    QTimer m_poll;
    std::shared_ptr<Shared> m_shared;
    QThread* m_worker = nullptr;
};

} // namespace kestrel
