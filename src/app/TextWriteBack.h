#pragma once

#include "app/TextLineEnds.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <string_view>

class QTextDocument;

namespace kestrel {

/// Carries the edits of a text shown in an editor back into the entry's bytes, at a cost that
/// does not grow with every keystroke: the editor's changes are followed where it says they
/// happened, and the bytes are rebuilt once per turn of the event loop however many changes it
/// brought. Until then the write is pending; `Flush` writes it at once (before anything reads
/// the entry).
///
/// The entry's line ends are kept (the editor knows only one kind), and so is a terminating
/// zero byte: an entry that ends in its only NUL (an empty entry is one such byte) is edited as
/// the text before it and written back with the NUL after the text.
class TextWriteBack : public QObject
{
    Q_OBJECT

public:
    /// `write` receives the entry's new bytes.
    TextWriteBack(QTextDocument& document, std::function<void(std::string_view)> write, QObject* parent = nullptr);

    /// Whether `bytes` can be edited as text: no NUL byte, or only one that ends it.
    static bool IsEditable(std::string_view bytes);

    /// Shows the entry `bytes` (which become the base of the following edits) by handing their
    /// text to `setText`, which puts it into the document; any pending write is dropped.
    void Load(std::string_view bytes, const std::function<void(const QString&)>& setText);
    /// Asks for a write at the end of this turn of the event loop.
    void Schedule();
    bool IsPending() const { return m_pending; }
    /// Writes a pending change now.
    void Flush();

    /// The editor's text as bytes (one per character, line ends as LF), as followed so far.
    const std::string& Text() const { return m_text; }
    /// The entry's bytes for the text followed so far.
    std::string EntryBytes() const;

private:
    void OnContentsChange(int position, int removed, int added);
    /// Reads the whole document again; used when a change report does not add up.
    void Resynchronise();

    QTextDocument& m_document;
    std::function<void(std::string_view)> m_write;
    std::string m_text;
    TextLineEnds m_lineEnds;
    bool m_terminated = false;
    bool m_loading = false;
    bool m_pending = false;
    QTimer m_turnEnd;
};

} // namespace kestrel
