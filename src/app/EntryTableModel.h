#pragma once

#include <QAbstractTableModel>

namespace kestrel {

class ArchiveDocument;

/// The archive's entry table as two columns, "Name" and "Filesize", one row per entry in table
/// order (row i is entry i). Nothing is copied: rows are read from the archive when shown, so a
/// table of 100,000 entries costs no more than the rows on screen.
class EntryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit EntryTableModel(ArchiveDocument& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Re-reads the whole table (rows added, removed, renamed or re-sorted).
    void Rebuild();
    /// Re-reads the sizes only (an entry's bytes changed in place).
    void RefreshSizes();

private:
    ArchiveDocument& m_document;
    int m_rows = 0;
};

} // namespace kestrel
