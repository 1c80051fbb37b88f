#include "app/CLeftView.h"

#include "app/AppSettings.h"
#include "app/ArchiveDocument.h"
#include "app/EntryTableModel.h"

#include <QHeaderView>

#include <algorithm>

namespace kestrel {

CLeftView::CLeftView(ArchiveDocument& document, AppSettings* settings, QWidget* parent)
    : QTreeView(parent), m_document(document), m_settings(settings)
{
    setObjectName(QStringLiteral("leftView"));
    m_model = new EntryTableModel(document, this);
    setModel(m_model);
    // A flat list with equal rows: the view then lays out only the rows on screen.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!m_fittingColumns && m_settings)
            m_settings->SetColumnWidth(column, width);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) { OnSelectionChanged(selected); });
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
    const int chosenName = m_settings ? m_settings->ColumnWidth(0) : 0;
    const int chosenSize = m_settings ? m_settings->ColumnWidth(1) : 0;
    const int name = chosenName > 0 ? chosenName
                                    : std::clamp(sizeHintForColumn(0), NameColumnWidth, MaxFittedNameWidth);
    SetColumnWidth(0, name);
    SetColumnWidth(1, std::max({chosenSize, header()->sectionSizeHint(1), SizeColumnNeed()}));
}

int CLeftView::SizeColumnNeed() const
{
    // The widest size is the one with most digits; measuring that one row is exact where a
    // sampled fit over thousands of rows is not.
    int widest = -1;
    for (int row = 0, count = m_model->rowCount(); row < count; ++row)
        if (widest < 0 || m_document.EntrySize(row) > m_document.EntrySize(widest))
            widest = row;
    if (widest < 0)
        return 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, m_model->index(widest, 1)).width();
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
    if (const int need = SizeColumnNeed(); header()->sectionSize(1) < need)
        SetColumnWidth(1, need);
}

void CLeftView::OnSelectionChanged(const QItemSelection& selected)
{
    if (selected.isEmpty())
        return;
    m_document.SelectEntry(selected.indexes().first().row());
    m_document.UpdateAllViews(this);
}

} // namespace kestrel
