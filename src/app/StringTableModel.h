#pragma once

#include "strings/CsfTable.h"

#include <QAbstractTableModel>

#include <functional>
#include <utility>
#include <vector>

namespace kestrel {

/// The rows of a CSF string table for a table view: one row per string (label, value, extra
/// value), one row for a label without strings. Every edit builds the changed table and hands it
/// to the commit function first; only when that accepts (edit mode granted, entry written) does
/// the model take it, so the view never shows what the entry does not hold.
class StringTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LabelColumn, ValueColumn, ExtraColumn, ColumnCount };
    using Commit = std::function<bool(const CsfTable&)>;

    explicit StringTableModel(Commit commit, QObject* parent = nullptr);

    void SetTable(CsfTable table, bool readOnly);
    const CsfTable& Table() const { return m_table; }
    bool IsReadOnly() const { return m_readOnly; }

    /// The row of the first string of the label named `name` (A-Z case ignored), or -1.
    int RowOfLabel(std::string_view name) const;
    /// Appends a label with one empty string, named "NEW:Label" (numbered to be unique). Its row,
    /// or -1 when the commit refused.
    int AddLabel();
    /// Removes the label shown in `row` with all its strings.
    bool RemoveLabelAt(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    bool Apply(CsfTable changed);
    void BuildRows();

    Commit m_commit;
    CsfTable m_table;
    bool m_readOnly = false;
    /// Per row: the label's index and the string's index (-1 for a label without strings).
    std::vector<std::pair<int, int>> m_rows;
};

} // namespace kestrel
