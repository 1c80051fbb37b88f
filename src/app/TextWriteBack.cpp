#include "app/TextWriteBack.h"

#include "app/AppStrings.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace kestrel {
namespace {

// About the first screens of text, and what the editor takes in a few tens of milliseconds.
constexpr std::size_t FirstPartBytes = 16 * 1024;
constexpr std::size_t LaterPartBytes = 128 * 1024;

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
    m_loadTimer.setInterval(0);
    connect(&m_loadTimer, &QTimer::timeout, this, &TextWriteBack::LoadNextPart);
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
    m_loadedUpTo = PartEnd(FirstPartBytes);
    m_loading = true;
    setText(FromBytes(std::string_view(m_text).substr(0, m_loadedUpTo)));
    m_loading = false;
    if (IsComplete())
        Complete();
    else
        m_loadTimer.start();
}

void TextWriteBack::Complete()
{
    while (!IsComplete())
        LoadNextPart();
    m_loadTimer.stop();
    if (static_cast<std::size_t>(m_document.characterCount() - 1) != m_text.size())
        Resynchronise();
}

std::size_t TextWriteBack::PartEnd(std::size_t bytes) const
{
    // Parts end after a line break, so the line the editor holds last is always a whole one.
    if (m_text.size() - m_loadedUpTo <= bytes)
        return m_text.size();
    const std::size_t lineEnd = m_text.find('\n', m_loadedUpTo + bytes);
    return lineEnd == std::string::npos ? m_text.size() : lineEnd + 1;
}

void TextWriteBack::LoadNextPart()
{
    const std::size_t end = PartEnd(LaterPartBytes);
    QTextCursor cursor(&m_document);
    cursor.movePosition(QTextCursor::End);
    m_loading = true;
    // Appending is not an edit the user could undo.
    m_document.setUndoRedoEnabled(false);
    cursor.insertText(FromBytes(std::string_view(m_text).substr(m_loadedUpTo, end - m_loadedUpTo)));
    m_document.setUndoRedoEnabled(true);
    m_loading = false;
    m_loadedUpTo = end;
    if (IsComplete())
        m_loadTimer.stop();
}

void TextWriteBack::OnContentsChange(int position, int removed, int added)
{
    if (m_loading)
        return;
    // The document holds the text up to m_loadedUpTo (all of it once loaded). It sometimes
    // counts its closing paragraph end into both numbers.
    const std::size_t length = static_cast<std::size_t>(m_document.characterCount() - 1);
    const auto start = static_cast<std::size_t>(std::max(position, 0));
    if (start > m_loadedUpTo || start > length) {
        Resynchronise();
        return;
    }
    const std::size_t gone = std::min(static_cast<std::size_t>(std::max(removed, 0)), m_loadedUpTo - start);
    const std::size_t come = std::min(static_cast<std::size_t>(std::max(added, 0)), length - start);
    if (m_loadedUpTo - gone + come != length) {
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
    m_loadedUpTo = m_loadedUpTo - gone + inserted.size();
}

void TextWriteBack::Resynchronise()
{
    // What the document does not hold yet is still to come after what it holds.
    std::string text = EditorBytes(m_document.toRawText());
    const std::size_t shown = text.size();
    text += std::string_view(m_text).substr(m_loadedUpTo);
    m_lineEnds.Follow(m_text, text);
    m_text = std::move(text);
    m_loadedUpTo = shown;
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
