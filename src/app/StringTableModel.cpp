#include "app/StringTableModel.h"

#include "base/AsciiCase.h"

namespace kestrel {
namespace {

QString FromLatin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Label names and extra values are 8-bit: what does not fit becomes '?', as in the text forms.
std::string ToLatin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

} // namespace

StringTableModel::StringTableModel(Commit commit, QObject* parent) : QAbstractTableModel(parent), m_commit(std::move(commit))
{
}

void StringTableModel::SetTable(CsfTable table, bool readOnly)
{
    beginResetModel();
    m_table = std::move(table);
    m_readOnly = readOnly;
    BuildRows();
    endResetModel();
}

void StringTableModel::BuildRows()
{
    m_rows.clear();
    for (int label = 0; label < static_cast<int>(m_table.labels.size()); ++label) {
        const int strings = static_cast<int>(m_table.labels[static_cast<size_t>(label)].strings.size());
        if (strings == 0)
            m_rows.emplace_back(label, -1);
        for (int string = 0; string < strings; ++string)
            m_rows.emplace_back(label, string);
    }
}

int StringTableModel::RowOfLabel(std::string_view name) const
{
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (EqualsIgnoringAsciiCase(m_table.labels[static_cast<size_t>(m_rows[row].first)].name, name))
            return static_cast<int>(row);
    }
    return -1;
}

bool StringTableModel::Apply(CsfTable changed)
{
    if (m_readOnly || !m_commit(changed))
        return false;
    const bool sameRows = changed.labels.size() == m_table.labels.size() && changed.StringCount() == m_table.StringCount();
    if (!sameRows)
        beginResetModel();
    m_table = std::move(changed);
    if (!sameRows) {
        BuildRows();
        endResetModel();
    } else {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
    return true;
}

int StringTableModel::AddLabel()
{
    std::string name = "NEW:Label";
    for (int number = 2; m_table.FindLabel(name); ++number)
        name = "NEW:Label" + std::to_string(number);
    CsfTable changed = m_table;
    changed.labels.push_back({name, {CsfString{}}});
    return Apply(std::move(changed)) ? rowCount() - 1 : -1;
}

bool StringTableModel::RemoveLabelAt(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    CsfTable changed = m_table;
    changed.labels.erase(changed.labels.begin() + m_rows[static_cast<size_t>(row)].first);
    return Apply(std::move(changed));
}

int StringTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StringTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StringTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole))
        return {};
    const auto [labelIndex, stringIndex] = m_rows[static_cast<size_t>(index.row())];
    const CsfLabel& label = m_table.labels[static_cast<size_t>(labelIndex)];
    if (index.column() == LabelColumn)
        return FromLatin1(label.name);
    if (stringIndex < 0)
        return {};
    const CsfString& string = label.strings[static_cast<size_t>(stringIndex)];
    if (index.column() == ValueColumn)
        return QString::fromUtf16(string.value.data(), static_cast<qsizetype>(string.value.size()));
    return string.extra ? FromLatin1(*string.extra) : QVariant();
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case LabelColumn: return tr("Label");
    case ValueColumn: return tr("Value");
    default: return tr("Extra");
    }
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool hasString = index.isValid() && m_rows[static_cast<size_t>(index.row())].second >= 0;
    if (!m_readOnly && index.isValid() && (index.column() == LabelColumn || hasString))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool StringTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const auto [labelIndex, stringIndex] = m_rows[static_cast<size_t>(index.row())];
    CsfTable changed = m_table;
    CsfLabel& label = changed.labels[static_cast<size_t>(labelIndex)];
    const QString text = value.toString();
    if (index.column() == LabelColumn) {
        // The games look labels up by name: an empty or taken name would lose a label's strings.
        const std::string name = ToLatin1(text.trimmed());
        const CsfLabel* existing = changed.FindLabel(name);
        if (name.empty() || name.find_first_of(" \t\r\n") != std::string::npos || (existing && existing != &label))
            return false;
        if (name == label.name)
            return true;
        label.name = name;
    } else if (index.column() == ValueColumn) {
        std::u16string& stored = label.strings[static_cast<size_t>(stringIndex)].value;
        const std::u16string edited(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
        if (edited == stored)
            return true;
        stored = edited;
    } else {
        // An extra value emptied in the table stays an (empty) extra value: the marker is the
        // table author's choice, not something an edit of the text should change.
        std::optional<std::string>& extra = label.strings[static_cast<size_t>(stringIndex)].extra;
        if ((extra ? FromLatin1(*extra) : QString()) == text)
            return true;
        extra = ToLatin1(text);
    }
    return Apply(std::move(changed));
}

} // namespace kestrel
