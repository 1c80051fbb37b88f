// Find and Replace in the text modes of the preview.
#include "app/CQuartoView.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/TextWriteBack.h"

#include "app/RawTextView.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <limits>

namespace kestrel {

bool CQuartoView::FindText(const TextSearch& search)
{
    if (!ShowsText())
        return false;
    // One character past the selection's start, so that finding again moves on from a match.
    const auto from = static_cast<std::size_t>(m_edit->textCursor().selectionStart()) + 1;
    const auto match = FindInText(m_writeBack->Text(), search, from);
    if (!match)
        return false;
    SelectText(static_cast<int>(*match), static_cast<int>(search.what.size()));
    return true;
}

int CQuartoView::ReplaceText(const TextSearch& search, const QString& replacement, bool all)
{
    if (!ShowsText() || m_edit->isReadOnly() || !m_document.ActivateEditMode())
        return 0;
    auto from = all ? std::size_t{0} : static_cast<std::size_t>(m_edit->textCursor().selectionStart());
    int replaced = 0;
    while (const auto match = FindInText(m_writeBack->Text(), search, from)) {
        SelectText(static_cast<int>(*match), static_cast<int>(search.what.size()));
        QTextCursor cursor = m_edit->textCursor();
        cursor.insertText(replacement);
        m_edit->setTextCursor(cursor);
        ++replaced;
        if (!all)
            break;
        // The next search starts behind the replacement, so a replacement holding the search
        // text is not replaced again.
        from = static_cast<std::size_t>(cursor.position());
    }
    return replaced;
}

void CQuartoView::ShowLine(std::uint64_t line)
{
    const int number = static_cast<int>(std::min<std::uint64_t>(line, std::numeric_limits<int>::max()));
    if (ShowsText()) {
        const QTextBlock block = m_edit->document()->findBlockByNumber(number);
        if (!block.isValid())
            return;
        SelectText(block.position(), block.length() - 1);
        m_edit->centerCursor();
    } else if (m_raw->isVisible()) {
        // The raw view's scroll bar counts lines.
        m_raw->verticalScrollBar()->setValue(number);
    }
}

void CQuartoView::SelectText(int start, int length)
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);
}

QString CQuartoView::SelectedText() const
{
    return ShowsText() ? m_edit->textCursor().selectedText() : QString();
}

} // namespace kestrel
