#include "app/RawTextView.h"

#include "app/AppStrings.h"

#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace kestrel {

RawTextView::RawTextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("rawTextView"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    const QFontMetrics metrics(font);
    m_lineHeight = std::max(1, metrics.height());
    m_columnWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void RawTextView::SetBytes(std::string_view bytes)
{
    m_layout.SetBytes(bytes);
    m_hasBytes = true;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
}

void RawTextView::Clear()
{
    m_layout.SetBytes({});
    m_hasBytes = false;
    UpdateScrollBars();
    viewport()->update();
}

void RawTextView::UpdateScrollBars()
{
    const QSize page = viewport()->size();
    const size_t lines = m_hasBytes ? m_layout.LineCount() : 0;
    const size_t columns = m_hasBytes ? m_layout.MaxColumns() : 0;
    // Scroll bars count lines and columns, not pixels, so 100 MB of text stays within int range.
    const int pageLines = std::max(1, page.height() / m_lineHeight);
    const int pageColumns = std::max(1, page.width() / m_columnWidth);
    verticalScrollBar()->setPageStep(pageLines);
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::min<size_t>(lines, INT32_MAX)) - pageLines));
    horizontalScrollBar()->setPageStep(pageColumns);
    horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::min<size_t>(columns, INT32_MAX)) - pageColumns));
}

void RawTextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void RawTextView::paintEvent(QPaintEvent* event)
{
    if (!m_hasBytes)
        return;
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QRect dirty = event->rect();
    const auto firstLine = static_cast<size_t>(verticalScrollBar()->value() + dirty.top() / m_lineHeight);
    const auto lastLine = static_cast<size_t>(verticalScrollBar()->value() + dirty.bottom() / m_lineHeight);
    const auto firstColumn = static_cast<size_t>(horizontalScrollBar()->value());
    const auto columns = static_cast<size_t>(viewport()->width() / m_columnWidth + 2);
    const int ascent = painter.fontMetrics().ascent();
    for (size_t line = firstLine; line <= lastLine && line < m_layout.LineCount(); ++line) {
        const std::string visible = RawTextLayout::VisibleColumns(m_layout.Line(line), firstColumn, columns);
        const int y = static_cast<int>(line - static_cast<size_t>(verticalScrollBar()->value())) * m_lineHeight;
        painter.drawText(0, y + ascent, FromBytes(visible));
    }
}

} // namespace kestrel
