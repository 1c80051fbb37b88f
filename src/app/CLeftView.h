#pragma once

#include <QTreeView>

namespace kestrel {

class ArchiveDocument;
class EntryTableModel;

/// The entry list of an archive window: a report of every entry's name and size in table
/// order. Selecting a row, by mouse or keyboard, makes it the document's selected entry and
/// loads it for the preview. The list holds no state of its own beyond the rows.
class CLeftView : public QTreeView
{
    Q_OBJECT

public:
    static constexpr int NameColumnWidth = 150;

    explicit CLeftView(ArchiveDocument& document, QWidget* parent = nullptr);

    void OnInitialUpdate();
    /// Rebuilds the rows unless the change came from one of the document's views (then only the
    /// sizes are refreshed, as a text edit may have changed one).
    void OnUpdate(const QObject* sender);

    EntryTableModel* EntryModel() const { return m_model; }

private:
    void OnSelectionChanged(const QItemSelection& selected);

    ArchiveDocument& m_document;
    EntryTableModel* m_model = nullptr;
};

} // namespace kestrel
