#include "app/StringTableView.h"

#include "app/StringTableModel.h"
#include "strings/CsfTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace kestrel {
namespace {

// Values hold line breaks (mission briefings, tooltips); a one-line editor would lose them.
class MultiLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QPlainTextEdit(parent);
        editor->setTabChangesFocus(true);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QPlainTextEdit*>(editor)->setPlainText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        editor->setGeometry(option.rect.adjusted(0, 0, 0, option.rect.height() * 3));
    }
};

} // namespace

StringTableView::StringTableView(Write write, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("stringTableView"));
    m_model = new StringTableModel(
        [write = std::move(write)](const CsfTable& table) {
            const std::vector<std::uint8_t> bytes = WriteCsf(table);
            return write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        },
        this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setFilterKeyColumn(-1);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("stringFilter"));
    m_filter->setPlaceholderText(tr("Filter labels and values"));
    m_filter->setClearButtonEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);

    m_add = new QPushButton(tr("Add label"), this);
    m_add->setObjectName(QStringLiteral("addLabel"));
    m_remove = new QPushButton(tr("Remove label"), this);
    m_remove->setObjectName(QStringLiteral("removeLabel"));

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("stringTable"));
    m_table->setModel(m_proxy);
    m_table->setItemDelegateForColumn(StringTableModel::ValueColumn, new MultiLineDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(StringTableModel::ValueColumn, QHeaderView::Stretch);

    connect(m_add, &QPushButton::clicked, this, [this] {
        m_filter->clear();
        const int row = m_model->AddLabel();
        if (row < 0)
            return;
        const QModelIndex shown = m_proxy->mapFromSource(m_model->index(row, StringTableModel::LabelColumn));
        m_table->setCurrentIndex(shown);
        m_table->edit(shown);
    });
    connect(m_remove, &QPushButton::clicked, this, &StringTableView::RemoveSelectedLabel);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_filter, 1);
    bar->addWidget(m_add);
    bar->addWidget(m_remove);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_table, 1);
}

bool StringTableView::Show(std::string_view bytes)
{
    CsfReadResult read = ReadCsf(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!read.complete && read.stoppedAt == 0)
        return false;
    // Writing back a table read only in part would drop what follows the damage.
    const bool readOnly = !read.complete;
    m_note = readOnly ? tr("Damaged string table, shown read-only: %1 (at byte %2)")
                            .arg(QString::fromLatin1(read.problem.c_str()))
                            .arg(read.stoppedAt)
                      : QString();
    m_model->SetTable(std::move(read.table), readOnly);
    m_add->setEnabled(!readOnly);
    m_remove->setEnabled(!readOnly);
    m_table->resizeColumnToContents(StringTableModel::LabelColumn);
    return true;
}

bool StringTableView::GoToLabel(std::string_view name)
{
    const int row = m_model->RowOfLabel(name);
    if (row < 0)
        return false;
    m_filter->clear();
    const QModelIndex shown = m_proxy->mapFromSource(m_model->index(row, StringTableModel::ValueColumn));
    m_table->setCurrentIndex(shown);
    m_table->scrollTo(shown, QAbstractItemView::PositionAtCenter);
    return true;
}

void StringTableView::RemoveSelectedLabel()
{
    const QModelIndex current = m_proxy->mapToSource(m_table->currentIndex());
    if (current.isValid())
        m_model->RemoveLabelAt(current.row());
}

} // namespace kestrel
