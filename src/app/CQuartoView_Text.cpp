// The text modes of the preview: entry bytes shown 1:1 in the editor, every change written back.
#include "app/CQuartoView.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace kestrel {
namespace {

constexpr int BattleForMiddleEarth = 2;

// The document keeps line breaks as paragraph separators; toPlainText would also turn a
// no-break space (byte A0) into a blank, so the raw text is read instead.
QString RawEditorText(const QPlainTextEdit& edit)
{
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

void CQuartoView::ShowText(std::string_view bytes)
{
    // A NUL byte cannot be written back faithfully through a text editor: such entries are
    // shown but not edited.
    const bool hasNul = bytes.find('\0') != std::string_view::npos;
    SetEditorText(bytes);
    m_edit->setReadOnly(hasNul);
    SetStatusNote(hasNul ? Text(AppString::StatusReadOnlyNul) : QString());
    m_edit->setGeometry(rect());
    m_edit->show();
}

void CQuartoView::SetEditorText(std::string_view bytes)
{
    m_lineEnds = TextLineEnds::FromBytes(bytes, m_shownText);
    const bool wasSetting = m_settingText;
    m_settingText = true;
    m_edit->setPlainText(FromBytes(m_shownText));
    m_settingText = wasSetting;
}

std::string CQuartoView::EditorText() const
{
    return ToBytes(RawEditorText(*m_edit));
}

void CQuartoView::OnTextChanged()
{
    if (m_settingText || !ShowsText() || m_edit->isReadOnly())
        return;
    const bool wasOn = m_document.IsEditModeOn();
    if (!m_document.ActivateEditMode()) {
        // Refused: the keystroke is undone; the caret goes back to where the change began.
        const int caret = m_lastChangePosition;
        const int scroll = m_edit->verticalScrollBar()->value();
        const std::optional<std::string_view> bytes = m_document.PreviewBytes();
        SetEditorText(bytes.value_or(std::string_view()));
        QTextCursor cursor = m_edit->textCursor();
        cursor.setPosition(std::min(caret, m_edit->document()->characterCount() - 1));
        m_edit->setTextCursor(cursor);
        m_edit->verticalScrollBar()->setValue(scroll);
        return;
    }
    if (!wasOn)
        m_edit->setFocus(); // the question took it
    if (m_document.GameKind() != BattleForMiddleEarth)
        ReplaceTabsWithBlanks();
    const std::string text = EditorText();
    m_lineEnds.Follow(m_shownText, text);
    m_shownText = text;
    m_document.WriteSelectedEntry(m_lineEnds.ToBytes(text), this);
}

void CQuartoView::ReplaceTabsWithBlanks()
{
    // Done through the cursor rather than by setting the whole text again, so the caret, the
    // selection and the scroll position follow the replacement by themselves.
    QTextDocument* document = m_edit->document();
    QTextCursor tab = document->find(QStringLiteral("\t"));
    if (tab.isNull())
        return;
    m_settingText = true;
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (; !tab.isNull(); tab = document->find(QStringLiteral("\t"), tab))
        tab.insertText(QStringLiteral("    "));
    edit.endEditBlock();
    m_settingText = false;
}

} // namespace kestrel
