// The text modes of the preview: entry bytes shown 1:1 in the editor, every change written back.
#include "app/CQuartoView.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/RawTextView.h"
#include "app/StructureMenuController.h"
#include "app/IniProblemPane.h"
#include "app/TextWriteBack.h"
#include "archive/CBIGFile.h"
#include "ini/IniWorkspace.h"
#include "archive/CQuartoDoc.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <utility>

namespace kestrel {
namespace {

constexpr int BattleForMiddleEarth = 2;

} // namespace

void CQuartoView::SetUpTextEditing()
{
    m_writeBack = new TextWriteBack(*m_edit->document(),
                                    [this](std::string_view bytes) { m_document.WriteSelectedEntry(bytes, this); }, this);
    connect(m_edit->document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        m_lastChangePosition = position;
        m_lastChangeAdded = added;
    });
    connect(m_edit, &QPlainTextEdit::textChanged, this, &CQuartoView::OnTextChanged);
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
    m_structureMenu = new StructureMenuController(m_context, m_document, *m_edit, *m_writeBack, this);
    connect(m_structureMenu, &StructureMenuController::GoToLabelRequested, this, &CQuartoView::GoToLabelRequested);
    // Go to label is enabled by the caret's line, so the commands follow the caret from line to line.
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        const bool namesLabel = CaretLabel().has_value();
        if (namesLabel != std::exchange(m_caretNamesLabel, namesLabel))
            emit StateChanged();
    });
    m_problems = new IniProblemPane(*m_edit, this);
    connect(m_problems, &IniProblemPane::ProblemsShown, this, &CQuartoView::LayOutText);
}

std::optional<std::string> CQuartoView::CaretLabel() const
{
    if (m_mode != PreviewMode::IniText || m_edit->isHidden())
        return std::nullopt;
    return LabelAtCaret(*m_edit);
}

void CQuartoView::LayOutText()
{
    const bool listed = m_problems->IsChecking() && m_problems->count() > 0 && !m_edit->isHidden();
    const int listHeight = listed ? std::min(height() / 4, 8 * fontMetrics().height()) : 0;
    m_edit->setGeometry(0, 0, width(), height() - listHeight);
    m_problems->setGeometry(0, height() - listHeight, width(), listHeight);
    m_problems->setVisible(listed);
}

void CQuartoView::StartProblemChecks()
{
    // Checked against the archive's other INI texts and the game's ini.big, as the game would
    // read them together.
    const int selected = m_document.SelectedEntry();
    CBIGFile& archive = m_document.Doc().GetArchive();
    std::vector<std::pair<std::string, std::string>> others;
    for (int i = 0; i < archive.GetEntryCount(); ++i) {
        if (i == selected || !IsIniEntryName(archive.GetEntryName(i)))
            continue;
        if (const auto bytes = archive.GetEntryBytes(i))
            others.emplace_back(archive.GetEntryName(i), std::string(bytes->begin(), bytes->end()));
    }
    m_problems->Start(m_document.EntryName(selected), DocumentGameBlock(m_context, m_document), std::move(others),
                      DocumentGameIni(m_context, m_document));
}

bool CQuartoView::ShowLongLinesRaw(std::string_view bytes)
{
    // The editor lays out a whole line again at every keystroke in it: a line of megabytes (a
    // file saved without line ends) would freeze the window for seconds per key. Such entries
    // are painted by the raw view, which only ever measures what is on screen.
    std::size_t longest = 0;
    for (std::size_t start = 0; start < bytes.size() && longest <= MaxEditableLineLength;) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    if (longest <= MaxEditableLineLength)
        return false;
    SetEditorText({});
    m_edit->setReadOnly(true);
    m_raw->SetBytes(bytes);
    m_raw->setGeometry(rect());
    m_raw->show();
    SetStatusNote(Text(AppString::StatusReadOnlyLongLine).arg(Counted(MaxEditableLineLength)));
    return true;
}

void CQuartoView::ShowText(std::string_view bytes)
{
    if (ShowLongLinesRaw(bytes))
        return;
    // A NUL byte inside the text cannot be written back faithfully through a text editor: such
    // entries are shown but not edited. One that only ends the text is kept behind it.
    const bool editable = TextWriteBack::IsEditable(bytes);
    SetEditorText(bytes);
    m_structureMenu->SetActive(m_mode == PreviewMode::IniText);
    m_edit->setReadOnly(!editable);
    SetStatusNote(editable ? QString() : Text(AppString::StatusReadOnlyNul));
    m_edit->show();
    if (m_mode == PreviewMode::IniText && editable)
        StartProblemChecks();
    LayOutText();
}

void CQuartoView::SetEditorText(std::string_view bytes)
{
    const bool wasSetting = m_settingText;
    m_settingText = true;
    m_writeBack->Load(bytes, [this](const QString& text) { m_edit->setPlainText(text); });
    m_settingText = wasSetting;
}

void CQuartoView::OnTextChanged()
{
    if (m_settingText || m_writeBack->IsSettingText() || !ShowsText() || m_edit->isReadOnly())
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
        ReplaceTabsWithBlanks(m_lastChangePosition, m_lastChangeAdded);
    m_writeBack->Schedule();
    m_document.SetPendingWrite(m_writeBack, [writeBack = m_writeBack] { writeBack->Flush(); });
}

void CQuartoView::ReplaceTabsWithBlanks(int position, int added)
{
    // Only the text the change brought can hold a new tab. Replaced through the cursor rather
    // than by setting the whole text again, so the caret, the selection and the scroll position
    // follow the replacement by themselves.
    const std::string& text = m_writeBack->Text();
    const auto from = static_cast<std::size_t>(std::max(position, 0));
    const std::size_t to = std::min(text.size(), from + static_cast<std::size_t>(std::max(added, 0)));
    std::vector<int> tabs;
    for (std::size_t at = text.find('\t', from); at < to; at = text.find('\t', at + 1))
        tabs.push_back(static_cast<int>(at));
    if (tabs.empty())
        return;
    m_settingText = true;
    QTextCursor edit(m_edit->document());
    edit.beginEditBlock();
    for (auto tab = tabs.rbegin(); tab != tabs.rend(); ++tab) {
        QTextCursor cursor(m_edit->document());
        cursor.setPosition(*tab);
        cursor.setPosition(*tab + 1, QTextCursor::KeepAnchor);
        cursor.insertText(QStringLiteral("    "));
    }
    edit.endEditBlock();
    m_settingText = false;
}

void CQuartoView::CompleteText()
{
    m_writeBack->Complete();
}

bool CQuartoView::StartsTextChange(QObject* watched, QEvent* event) const
{
    // A large text is still arriving in the editor; what could change it or read all of it
    // waits until it has.
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        return watched == m_edit || watched == m_edit->viewport();
    default:
        return false;
    }
}

bool CQuartoView::eventFilter(QObject* watched, QEvent* event)
{
    if (StartsTextChange(watched, event))
        CompleteText();
    // Editing keys belong to the text while it has the focus, also where the window binds the
    // same key to an archive command (Ctrl+Del deletes a word, not the entry).
    if (watched == m_edit && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (const auto standard :
             {QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfLine,
              QKeySequence::DeleteCompleteLine, QKeySequence::Delete, QKeySequence::Backspace,
              QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo}) {
            if (key->matches(standard)) {
                event->accept();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrel
