#include "app/CLeftView.h"

#include "app/ArchiveDocument.h"
#include "app/EntryTableModel.h"

#include <QHeaderView>

namespace kestrel {

CLeftView::CLeftView(ArchiveDocument& document, QWidget* parent) : QTreeView(parent), m_document(document)
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
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) { OnSelectionChanged(selected); });
    connect(&document, &ArchiveDocument::Updated, this, &CLeftView::OnUpdate);
}

void CLeftView::OnInitialUpdate()
{
    m_model->Rebuild();
    header()->resizeSection(0, NameColumnWidth);
    header()->resizeSection(1, header()->sectionSizeHint(1));
}

void CLeftView::OnUpdate(const QObject* sender)
{
    if (sender == this)
        return;
    if (sender)
        m_model->RefreshSizes();
    else
        m_model->Rebuild();
}

void CLeftView::OnSelectionChanged(const QItemSelection& selected)
{
    if (selected.isEmpty())
        return;
    m_document.SelectEntry(selected.indexes().first().row());
    m_document.UpdateAllViews(this);
}

} // namespace kestrel
