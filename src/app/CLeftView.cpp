#include "app/CLeftView.h"

#include "app/AppSettings.h"
#include "app/ArchiveDocument.h"
#include "app/EntryDragOut.h"
#include "app/EntryTableModel.h"

#include <QDrag>
#include <QHeaderView>

#include <algorithm>

namespace kestrel {
namespace {

EntrySortKey SortKeyOf(int column)
{
    switch (column) {
    case EntryTableModel::NameColumn: return EntrySortKey::Name;
    case EntryTableModel::SizeColumn: return EntrySortKey::Size;
    case EntryTableModel::TypeColumn: return EntrySortKey::Type;
    default: return EntrySortKey::TableOrder;
    }
}

} // namespace

CLeftView::CLeftView(ArchiveDocument& document, AppSettings* settings, QWidget* parent)
    : QTreeView(parent), m_document(document), m_settings(settings)
{
    setObjectName(QStringLiteral("leftView"));
    m_model = new EntryTableModel(document, this);
    m_dragOut = new EntryDragOut(document, this);
    setModel(m_model);
    // A flat list with equal rows: the view then lays out only the rows on screen.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    // Sorting belongs to the model's list order, which keeps rows mapped to table indices.
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::NoContextMenu);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(header(), &QHeaderView::sectionClicked, this, &CLeftView::OnHeaderClicked);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!m_fittingColumns && m_settings)
            m_settings->SetColumnWidth(column, width);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) { OnSelectionChanged(selected); });
    connect(m_model, &EntryTableModel::RowsChanged, this, &CLeftView::RowsChanged);
    connect(&document, &ArchiveDocument::Updated, this, &CLeftView::OnUpdate);
}

void CLeftView::OnInitialUpdate()
{
    m_model->Rebuild();
    FitColumns();
}

void CLeftView::FitColumns()
{
    // A width the user chose is kept, except that sizes are never cut off.
    const auto chosen = [this](int column) { return m_settings ? m_settings->ColumnWidth(column) : 0; };
    const int name = chosen(0) > 0 ? chosen(0) : std::clamp(sizeHintForColumn(0), NameColumnWidth, MaxFittedNameWidth);
    SetColumnWidth(EntryTableModel::NameColumn, name);
    SetColumnWidth(EntryTableModel::SizeColumn, std::max({chosen(1), header()->sectionSizeHint(1), SizeColumnNeed()}));
    SetColumnWidth(EntryTableModel::TypeColumn, std::max(chosen(2), header()->sectionSizeHint(2)));
}

int CLeftView::SizeColumnNeed() const
{
    // The widest size is the one with most digits; measuring that one row is exact where a
    // sampled fit over thousands of rows is not.
    int widest = -1;
    for (int row = 0, count = m_model->rowCount(); row < count; ++row)
        if (widest < 0 || m_document.EntrySize(m_model->EntryAt(row)) > m_document.EntrySize(m_model->EntryAt(widest)))
            widest = row;
    if (widest < 0)
        return 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, m_model->index(widest, EntryTableModel::SizeColumn)).width();
}

void CLeftView::SetColumnWidth(int column, int width)
{
    m_fittingColumns = true;
    header()->resizeSection(column, width);
    m_fittingColumns = false;
}

void CLeftView::OnUpdate(const QObject* sender)
{
    if (sender == this)
        return;
    if (sender)
        m_model->RefreshSizes();
    else
        m_model->Rebuild();
    if (const int need = SizeColumnNeed(); header()->sectionSize(EntryTableModel::SizeColumn) < need)
        SetColumnWidth(EntryTableModel::SizeColumn, need);
}

void CLeftView::OnSelectionChanged(const QItemSelection& selected)
{
    if (selected.isEmpty() || m_showingSelection)
        return;
    const int entry = m_model->EntryAt(selected.indexes().first().row());
    if (entry < 0)
        return;
    m_document.SelectEntry(entry);
    m_document.UpdateAllViews(this);
}

void CLeftView::SetFilter(const QString& text)
{
    m_model->SetFilter(text);
    ShowDocumentSelection();
}

void CLeftView::OnHeaderClicked(int column)
{
    const EntrySortKey key = SortKeyOf(column);
    EntrySortKey next = key;
    bool descending = false;
    if (m_model->SortKey() == key) {
        descending = !m_model->SortDescending();
        if (!descending)
            next = EntrySortKey::TableOrder; // the third click
    }
    m_model->SetSort(next, descending);
    header()->setSortIndicatorShown(next != EntrySortKey::TableOrder);
    header()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    ShowDocumentSelection();
}

void CLeftView::ShowDocumentSelection()
{
    const int row = m_model->RowOf(m_document.SelectedEntry());
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, EntryTableModel::NameColumn);
    m_showingSelection = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_showingSelection = false;
    scrollTo(index);
}

bool CLeftView::SelectEntry(int entry)
{
    const int row = m_model->RowOf(entry);
    if (row < 0)
        return false;
    const QModelIndex index = m_model->index(row, EntryTableModel::NameColumn);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    return true;
}

void CLeftView::startDrag(Qt::DropActions)
{
    const int entry = m_model->EntryAt(currentIndex().row());
    if (entry < 0)
        return;
    QMimeData* files = m_dragOut->Extract({entry});
    if (!files)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(files);
    drag->exec(Qt::CopyAction);
}

} // namespace kestrel
