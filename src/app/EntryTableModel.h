#pragma once

#include "archive/EntryListOrder.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <cstddef>
#include <vector>

namespace kestrel {

class ArchiveDocument;

/// The archive's entry table as the columns "Name", "Filesize" and "Type". Which entries show and
/// in which order is the list order's business (filter, sort); every conversion between a row and
/// a table index goes through EntryAt and RowOf. Nothing else is copied: rows are read from the
/// archive when shown, so a table of 100,000 entries costs no more than the rows on screen.
/// Names that several entries share are marked, saying which copy the games use.
class EntryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, SizeColumn, TypeColumn, ColumnCount };

    explicit EntryTableModel(ArchiveDocument& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// The table index of the entry `row` shows, or -1.
    int EntryAt(int row) const { return m_order.EntryAt(row); }
    /// The row that shows entry `entry`, or -1 when the filter hides it.
    int RowOf(int entry) const { return m_order.RowOf(entry); }
    int EntryCount() const { return m_order.EntryCount(); }

    void SetFilter(const QString& text);
    void SetSort(EntrySortKey key, bool descending);
    EntrySortKey SortKey() const { return m_order.SortKey(); }
    bool SortDescending() const { return m_order.Descending(); }

    /// Re-reads the whole table (rows added, removed, renamed or re-sorted).
    void Rebuild();
    /// Re-reads the sizes only (an entry's bytes changed in place).
    void RefreshSizes();

signals:
    /// The rows shown changed: another filter, order or table.
    void RowsChanged();

private:
    void FindDuplicates();
    QString DuplicateTip(int entry) const;

    ArchiveDocument& m_document;
    EntryListOrder m_order;
    std::vector<std::vector<size_t>> m_duplicates;
    std::vector<int> m_duplicateGroupOf; ///< per entry: its group in m_duplicates, or -1
    QIcon m_duplicateIcon;
};

} // namespace kestrel
