#pragma once

#include <QTreeView>

namespace kestrel {

class AppSettings;
class ArchiveDocument;
class EntryTableModel;

/// The entry list of an archive window: a report of every entry's name and size in table
/// order. Selecting a row, by mouse or keyboard, makes it the document's selected entry and
/// loads it for the preview. The list holds no state of its own beyond the rows.
class CLeftView : public QTreeView
{
    Q_OBJECT

public:
    /// The narrowest the Name column starts; names that need more get it.
    static constexpr int NameColumnWidth = 150;
    static constexpr int MaxFittedNameWidth = 600;

    /// `settings` (optional) remembers the column widths the user chose.
    explicit CLeftView(ArchiveDocument& document, AppSettings* settings = nullptr, QWidget* parent = nullptr);

    void OnInitialUpdate();
    /// Rebuilds the rows unless the change came from one of the document's views (then only the
    /// sizes are refreshed, as a text edit may have changed one).
    void OnUpdate(const QObject* sender);

    EntryTableModel* EntryModel() const { return m_model; }

private:
    void OnSelectionChanged(const QItemSelection& selected);
    void FitColumns();
    /// The width the Size column needs to show the largest size in full.
    int SizeColumnNeed() const;
    void SetColumnWidth(int column, int width);

    ArchiveDocument& m_document;
    AppSettings* m_settings = nullptr;
    bool m_fittingColumns = false;
    EntryTableModel* m_model = nullptr;
};

} // namespace kestrel
