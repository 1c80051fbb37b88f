#include "app/TextWriteBack.h"

#include "app/AppStrings.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace kestrel {
namespace {

// The document keeps line breaks as paragraph separators (toPlainText would also turn a
// no-break space into a blank, so the raw characters are read instead).
std::string EditorBytes(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return ToBytes(text);
}

std::size_t LineBreaks(std::string_view text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TextWriteBack::TextWriteBack(QTextDocument& document, std::function<void(std::string_view)> write, QObject* parent)
    : QObject(parent), m_document(document), m_write(std::move(write))
{
    m_turnEnd.setSingleShot(true);
    m_turnEnd.setInterval(0);
    connect(&m_turnEnd, &QTimer::timeout, this, &TextWriteBack::Flush);
    connect(&document, &QTextDocument::contentsChange, this, &TextWriteBack::OnContentsChange);
}

bool TextWriteBack::IsEditable(std::string_view bytes)
{
    const std::size_t nul = bytes.find('\0');
    return nul == std::string_view::npos || nul + 1 == bytes.size();
}

void TextWriteBack::Load(std::string_view bytes, const std::function<void(const QString&)>& setText)
{
    m_pending = false;
    m_turnEnd.stop();
    m_terminated = !bytes.empty() && bytes.back() == '\0' && IsEditable(bytes);
    if (m_terminated)
        bytes.remove_suffix(1);
    m_lineEnds = TextLineEnds::FromBytes(bytes, m_text);
    m_loading = true;
    setText(FromBytes(m_text));
    m_loading = false;
    if (static_cast<std::size_t>(m_document.characterCount() - 1) != m_text.size())
        Resynchronise();
}

void TextWriteBack::OnContentsChange(int position, int removed, int added)
{
    if (m_loading)
        return;
    // The document sometimes counts its closing paragraph end into both numbers.
    const std::size_t length = static_cast<std::size_t>(m_document.characterCount() - 1);
    const auto start = static_cast<std::size_t>(std::max(position, 0));
    if (start > m_text.size() || start > length) {
        Resynchronise();
        return;
    }
    const std::size_t gone = std::min(static_cast<std::size_t>(std::max(removed, 0)), m_text.size() - start);
    const std::size_t come = std::min(static_cast<std::size_t>(std::max(added, 0)), length - start);
    if (m_text.size() - gone + come != length) {
        Resynchronise();
        return;
    }
    QTextCursor cursor(&m_document);
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(start + come), QTextCursor::KeepAnchor);
    const std::string inserted = EditorBytes(cursor.selectedText());
    // Lines before the change are the same before and after it.
    const auto firstLine = static_cast<std::size_t>(m_document.findBlock(static_cast<int>(start)).blockNumber());
    m_lineEnds.Replace(firstLine, LineBreaks(std::string_view(m_text).substr(start, gone)), LineBreaks(inserted));
    m_text.replace(start, gone, inserted);
}

void TextWriteBack::Resynchronise()
{
    std::string text = EditorBytes(m_document.toRawText());
    m_lineEnds.Follow(m_text, text);
    m_text = std::move(text);
}

void TextWriteBack::Schedule()
{
    m_pending = true;
    m_turnEnd.start();
}

void TextWriteBack::Flush()
{
    if (!m_pending)
        return;
    m_pending = false;
    m_turnEnd.stop();
    m_write(EntryBytes());
}

std::string TextWriteBack::EntryBytes() const
{
    std::string bytes = m_lineEnds.ToBytes(m_text);
    if (m_terminated)
        bytes += '\0';
    return bytes;
}

} // namespace kestrel
