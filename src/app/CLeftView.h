#pragma once

#include <QTreeView>

namespace kestrel {

class AppSettings;
class ArchiveDocument;
class EntryDragOut;
class EntryTableModel;

/// The entry list of an archive window: every entry's name, size and type, in table order
/// unless a header click sorted it, narrowed by a name filter. Selecting a row, by mouse or
/// keyboard, makes the entry it shows the document's selected entry and loads it for the
/// preview. Rows dragged onto a file manager are extracted there.
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
    /// Shows only the entries whose names match `text` (substring or pattern); the selected entry
    /// stays selected while it is shown.
    void SetFilter(const QString& text);
    /// Selects the row of entry `entry`, loading it as a click does; false when the filter hides it.
    bool SelectEntry(int entry);

signals:
    /// The rows shown changed (filter, sort or table): the status bar counts them.
    void RowsChanged();

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void OnSelectionChanged(const QItemSelection& selected);
    /// Header clicks cycle a column through ascending, descending and back to table order.
    void OnHeaderClicked(int column);
    /// Marks the document's selected entry in the rows again, without loading it anew.
    void ShowDocumentSelection();
    void FitColumns();
    /// The width the Size column needs to show the largest size in full.
    int SizeColumnNeed() const;
    void SetColumnWidth(int column, int width);

    ArchiveDocument& m_document;
    AppSettings* m_settings = nullptr;
    bool m_fittingColumns = false;
    bool m_showingSelection = false;
    EntryTableModel* m_model = nullptr;
    EntryDragOut* m_dragOut = nullptr;
};

} // namespace kestrel
