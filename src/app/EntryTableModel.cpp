#include "app/EntryTableModel.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"

namespace kestrel {

EntryTableModel::EntryTableModel(ArchiveDocument& document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document), m_rows(document.EntryCount())
{
}

int EntryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int EntryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant EntryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_document.EntryCount())
        return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return FromBytes(m_document.EntryName(index.row()));
        return QString::number(m_document.EntrySize(index.row()));
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant EntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? Text(AppString::ColumnName) : Text(AppString::ColumnSize);
}

void EntryTableModel::Rebuild()
{
    beginResetModel();
    m_rows = m_document.EntryCount();
    endResetModel();
}

void EntryTableModel::RefreshSizes()
{
    if (m_rows > 0)
        emit dataChanged(index(0, 1), index(m_rows - 1, 1), {Qt::DisplayRole});
}

} // namespace kestrel
