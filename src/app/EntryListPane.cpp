#include "app/EntryListPane.h"

#include "app/AppStrings.h"
#include "app/CLeftView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrel {

EntryListPane::EntryListPane(ArchiveDocument& document, AppSettings* settings, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("entryListPane"));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("entryFilter"));
    m_filter->setPlaceholderText(Text(AppString::FilterPlaceholder));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_list = new CLeftView(document, settings, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    // Every keystroke filters at once: the list order walks a table of 100,000 names in a few
    // milliseconds, so there is nothing to gain from waiting for a pause in typing.
    connect(m_filter, &QLineEdit::textChanged, m_list, &CLeftView::SetFilter);
    setFocusProxy(m_list);
}

void EntryListPane::FocusFilter()
{
    m_filter->setFocus(Qt::ShortcutFocusReason);
    m_filter->selectAll();
}

void EntryListPane::ShowEntry(int entry)
{
    if (!m_list->SelectEntry(entry)) {
        m_filter->clear();
        m_list->SelectEntry(entry);
    }
}

bool EntryListPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_filter || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Escape:
        if (m_filter->text().isEmpty())
            m_list->setFocus();
        m_filter->clear();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // On to the rows found; the first one is chosen when none is yet.
        m_list->setFocus();
        if (!m_list->currentIndex().isValid() && m_list->model()->rowCount() > 0)
            m_list->setCurrentIndex(m_list->model()->index(0, 0));
        return true;
    default:
        return false;
    }
}

} // namespace kestrel
