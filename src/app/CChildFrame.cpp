#include "app/CChildFrame.h"

#include "app/AppSettings.h"
#include "app/ArchiveDocument.h"
#include "app/CKestrelApp.h"
#include "app/CLeftView.h"
#include "app/CMainFrame.h"
#include "app/AppStrings.h"
#include "app/CQuartoView.h"
#include "app/EntryListPane.h"
#include "app/EntryTableModel.h"
#include "app/FindInArchiveDialog.h"
#include "app/FindReplaceDialog.h"
#include "app/StringTableView.h"
#include "archive/CQuartoDoc.h"
#include "base/IPrompt.h"
#include "strings/StringLabelReference.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QMdiArea>
#include <QSplitter>
#include <QStatusBar>

#include <algorithm>

namespace kestrel {

CChildFrame::CChildFrame(CKestrelApp& app, std::shared_ptr<ArchiveDocument> document)
    : m_app(app), m_document(std::move(document))
{
    setObjectName(QStringLiteral("childFrame"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_listPane = new EntryListPane(*m_document, &m_app.Settings(), m_splitter);
    m_leftView = m_listPane->List();
    m_editorView = new CQuartoView(app.Context(), *m_document, m_splitter);
    m_splitter->addWidget(m_listPane);
    m_splitter->addWidget(m_editorView);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({LeftPaneWidth, 100});
    setWidget(m_splitter);

    // Next Pane and Previous Pane: with two panes both move the focus to the other one.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)}) {
        auto* shortcut = new QShortcut(key, this, this, &CChildFrame::FocusOtherPane);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    }
    InstallDropHandling();

    connect(m_editorView, &CQuartoView::StateChanged, this, &CChildFrame::CommandStateChanged);
    connect(m_editorView, &CQuartoView::GoToLabelRequested, this, &CChildFrame::GoToLabel);
    connect(m_leftView, &CLeftView::RowsChanged, this, &CChildFrame::CommandStateChanged);
    connect(m_document.get(), &ArchiveDocument::Updated, this, &CChildFrame::CommandStateChanged);
    connect(m_document.get(), &ArchiveDocument::ModifiedChanged, this, [this](bool modified) {
        setWindowModified(modified);
        emit CommandStateChanged();
    });
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::InitialUpdate()
{
    m_leftView->OnInitialUpdate();
    m_editorView->OnInitialUpdate();
    // The list keeps its width when the window grows; the preview takes the rest.
    m_splitter->setSizes({LeftPaneWidth, std::max(100, m_splitter->width() - LeftPaneWidth)});
}

CChildFrame::CommandState CChildFrame::CurrentCommandState() const
{
    CommandState state;
    const int selected = m_document->SelectedEntry();
    state.entrySelected = selected >= 0 && selected < m_document->EntryCount();
    state.entryLocked = state.entrySelected && m_document->IsEntryLocked(m_document->EntryName(selected));
    state.showsText = m_editorView->ShowsText();
    state.textReadOnly = m_editorView->IsTextReadOnly();
    state.caretNamesLabel = m_editorView->CaretLabel().has_value();
    state.format = m_document->Format();
    state.note = m_editorView->StatusNote();
    state.shownEntries = m_leftView->EntryModel()->rowCount();
    state.totalEntries = m_leftView->EntryModel()->EntryCount();
    return state;
}

void CChildFrame::FocusOtherPane()
{
    const QWidget* focused = window()->focusWidget();
    if (focused == m_listPane || m_listPane->isAncestorOf(focused))
        m_editorView->FocusPreview();
    else
        m_leftView->setFocus();
}

void CChildFrame::FocusEntryFilter()
{
    m_listPane->FocusFilter();
}

FindInArchiveDialog* CChildFrame::FindInArchive()
{
    if (!m_findInArchive) {
        m_findInArchive = new FindInArchiveDialog(*m_document, this);
        connect(m_findInArchive, &FindInArchiveDialog::OpenRequested, this,
                [this](int entry, const std::string& name, std::uint64_t line, bool binary) {
                    OpenEntryAt(entry, name, binary ? std::nullopt : std::optional(line));
                });
    }
    if (const QString selected = m_editorView->SelectedText(); !selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_findInArchive->SetPattern(selected);
    m_findInArchive->show();
    m_findInArchive->raise();
    m_findInArchive->activateWindow();
    return m_findInArchive;
}

bool CChildFrame::ShowEntry(int entry, const std::string& name)
{
    if (m_document->EntryName(entry) != name)
        entry = m_document->Doc().GetArchive().FindEntry(name);
    if (entry < 0) {
        Prompt().ShowMessage(ToBytes(Text(AppString::SearchEntryGone).arg(FromBytes(name))), TextBytes(AppString::AppTitle));
        return false;
    }
    m_listPane->ShowEntry(entry);
    return m_document->SelectedEntry() == entry;
}

void CChildFrame::OpenEntryAt(int entry, const std::string& name, std::optional<std::uint64_t> line)
{
    if (ShowEntry(entry, name) && line)
        m_editorView->ShowLine(*line);
}

void CChildFrame::GoToLabel()
{
    const std::optional<std::string> label = m_editorView->CaretLabel();
    if (!label)
        return;
    // Each open archive once, this window's first; a table found there opens in this window.
    std::vector<CChildFrame*> frames{this};
    std::vector<CBIGFile*> archives{&Archive()};
    for (CChildFrame* frame : m_app.MainFrame()->ChildFrames()) {
        const bool known = std::any_of(frames.begin(), frames.end(),
                                       [frame](const CChildFrame* seen) { return &seen->Document() == &frame->Document(); });
        if (!known) {
            frames.push_back(frame);
            archives.push_back(&frame->Archive());
        }
    }
    const std::optional<LabelLocation> found = FindLabelInArchives(archives, *label);
    if (!found) {
        m_app.MainFrame()->statusBar()->showMessage(Text(AppString::LabelNotFound).arg(FromBytes(*label)));
        return;
    }
    CChildFrame* target = frames[found->archive];
    if (target != this)
        m_app.MainFrame()->MdiArea()->setActiveSubWindow(target);
    if (target->ShowEntry(found->entry, found->entryName) && target->m_editorView->StringTable()->GoToLabel(*label))
        target->m_editorView->FocusPreview();
}

void CChildFrame::CutText()
{
    m_editorView->CutText();
}

void CChildFrame::CopyText()
{
    m_editorView->CopyText();
}

void CChildFrame::PasteText()
{
    m_editorView->PasteText();
}

void CChildFrame::FindText(bool replace)
{
    if (!m_editorView->ShowsText())
        return;
    FindReplaceDialog dialog(replace, m_editorView->SelectedText(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (replace)
        m_editorView->ReplaceText(dialog.Search(), dialog.Replacement(), dialog.ReplaceAll());
    else
        m_editorView->FindText(dialog.Search());
    m_editorView->FocusPreview();
}

void CChildFrame::RepaintPreview()
{
    m_editorView->RequestRepaint();
}

void CChildFrame::StartKeyboardSplit()
{
    m_splitStart = m_splitter->sizes().value(0);
    m_splitter->setFocus();
    m_splitter->installEventFilter(this);
    m_splitter->grabKeyboard();
}

bool CChildFrame::HandleSplitKey(int key)
{
    constexpr int step = 8;
    QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        sizes[0] = std::clamp(sizes[0] + (key == Qt::Key_Left ? -step : step), 0, total);
        sizes[1] = total - sizes[0];
        m_splitter->setSizes(sizes);
        return true;
    case Qt::Key_Escape:
        m_splitter->setSizes({m_splitStart, total - m_splitStart});
        [[fallthrough]];
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_splitter->releaseKeyboard();
        m_splitter->removeEventFilter(this);
        return true;
    default:
        return true; // every other key is swallowed while the divider moves
    }
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_splitter && event->type() == QEvent::KeyPress)
        return HandleSplitKey(static_cast<QKeyEvent*>(event)->key());
    return QMdiSubWindow::eventFilter(watched, event);
}

void CChildFrame::CloseWithoutAsking()
{
    m_closeAsked = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    // The text typed in this window's preview goes into the document before the window does.
    m_document->FlushPendingWrite();
    // Only the last window of a document offers to save it.
    const bool last = m_document.use_count() <= 1;
    if (!m_closeAsked && last && !m_app.SaveModified(*m_document)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace kestrel
