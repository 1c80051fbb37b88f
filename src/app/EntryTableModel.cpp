#include "app/EntryTableModel.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "archive/CBIGFile.h"
#include "archive/CQuartoDoc.h"
#include "archive/DuplicateNames.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace kestrel {

EntryTableModel::EntryTableModel(ArchiveDocument& document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document),
      m_duplicateIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
{
    Rebuild();
}

int EntryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_order.RowCount();
}

int EntryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

Qt::ItemFlags EntryTableModel::flags(const QModelIndex& index) const
{
    // Rows can be dragged out onto a file manager.
    return QAbstractTableModel::flags(index) | (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QVariant EntryTableModel::data(const QModelIndex& index, int role) const
{
    const int entry = EntryAt(index.row());
    // The table may have changed before the views were told; such rows show nothing until then.
    if (!index.isValid() || entry < 0 || entry >= m_document.EntryCount() ||
        static_cast<size_t>(entry) >= m_duplicateGroupOf.size())
        return {};
    const int group = m_duplicateGroupOf[static_cast<size_t>(entry)];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: return FromBytes(m_document.EntryName(entry));
        case SizeColumn: return QString::number(m_document.EntrySize(entry));
        default: return FromBytes(EntryTypeOf(m_document.EntryName(entry)));
        }
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DecorationRole:
        return index.column() == NameColumn && group >= 0 ? QVariant(m_duplicateIcon) : QVariant();
    case Qt::ToolTipRole: return group >= 0 ? QVariant(DuplicateTip(entry)) : QVariant();
    case Qt::ForegroundRole:
        // Copies the games never read are greyed.
        if (group >= 0 && CopyTheGamesUse(m_duplicates[static_cast<size_t>(group)]) != static_cast<size_t>(entry))
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default: return {};
    }
}

QString EntryTableModel::DuplicateTip(int entry) const
{
    const auto& group = m_duplicates[static_cast<size_t>(m_duplicateGroupOf[static_cast<size_t>(entry)])];
    const QString count = QString::number(group.size());
    const size_t used = CopyTheGamesUse(group);
    if (used == static_cast<size_t>(entry))
        return Text(AppString::DuplicateUsed).arg(count);
    const int usedIndex = static_cast<int>(used);
    return Text(AppString::DuplicateIgnored)
        .arg(count, FromBytes(m_document.EntryName(usedIndex)), Counted(used + 1),
             Counted(static_cast<std::uint64_t>(m_order.EntryCount())));
}

QVariant EntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return Text(AppString::ColumnName);
    case SizeColumn: return Text(AppString::ColumnSize);
    default: return Text(AppString::ColumnType);
    }
}

void EntryTableModel::SetFilter(const QString& text)
{
    beginResetModel();
    m_order.SetFilter(m_document.Doc().GetArchive(), EntryNameMatcher(ToBytes(text)));
    endResetModel();
    emit RowsChanged();
}

void EntryTableModel::SetSort(EntrySortKey key, bool descending)
{
    beginResetModel();
    m_order.SetSort(m_document.Doc().GetArchive(), key, descending);
    endResetModel();
    emit RowsChanged();
}

void EntryTableModel::Rebuild()
{
    beginResetModel();
    m_order.Reset(m_document.Doc().GetArchive());
    FindDuplicates();
    endResetModel();
    emit RowsChanged();
}

void EntryTableModel::FindDuplicates()
{
    const CBIGFile& archive = m_document.Doc().GetArchive();
    m_duplicates = DuplicateNameGroups(static_cast<size_t>(archive.GetEntryCount()),
                                       [&](size_t i) -> std::string_view { return archive.GetEntryName(static_cast<int>(i)); });
    m_duplicateGroupOf.assign(static_cast<size_t>(archive.GetEntryCount()), -1);
    for (size_t group = 0; group < m_duplicates.size(); ++group) {
        for (const size_t entry : m_duplicates[group])
            m_duplicateGroupOf[entry] = static_cast<int>(group);
    }
}

void EntryTableModel::RefreshSizes()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, SizeColumn), index(rowCount() - 1, SizeColumn), {Qt::DisplayRole});
}

} // namespace kestrel
