#include "app/IniProblemPane.h"

#include "ini/IniWorkspace.h"
#include "w3d/GameIniArchive.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>

#include <mutex>

namespace kestrel {

/// What the text is checked against, built on the first check and kept for the entry: the
/// archive's other INI texts and the game's "ini.big". Only one worker uses it at a time.
struct IniReferenceSet
{
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> pendingTexts;
    std::optional<std::filesystem::path> gameIni;
    std::unique_ptr<IniWorkspace> workspace;
};

namespace {

std::vector<IniProblem> CheckInWorkspace(IniReferenceSet& references, const CIniBlock* gameBlock,
                                         const std::string& entry, const std::string& text)
{
    const std::lock_guard lock(references.mutex);
    if (!references.workspace) {
        references.workspace = std::make_unique<IniWorkspace>(gameBlock);
        for (const auto& [name, other] : references.pendingTexts)
            references.workspace->SetEntry(name, other, false);
        references.pendingTexts.clear();
        if (references.gameIni)
            AddGameIniDefinitions(*references.workspace, *references.gameIni);
    }
    references.workspace->SetEntry(entry, text, true);
    return references.workspace->Check(entry);
}

} // namespace

IniProblemPane::IniProblemPane(QPlainTextEdit& edit, QWidget* parent)
    : QListWidget(parent), m_edit(edit)
{
    setObjectName(QStringLiteral("problemList"));
    m_workers.setMaxThreadCount(1);
    hide();
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &IniProblemPane::CheckNow);
    connect(&m_edit, &QPlainTextEdit::textChanged, this, &IniProblemPane::CheckSoon);
    connect(this, &QListWidget::itemActivated, this, &IniProblemPane::MoveCaretTo);
    connect(this, &QListWidget::itemClicked, this, &IniProblemPane::MoveCaretTo);
}

IniProblemPane::~IniProblemPane()
{
    m_active = false;
    m_workers.waitForDone();
}

void IniProblemPane::Start(std::string entryName, const CIniBlock* gameBlock,
                          std::vector<std::pair<std::string, std::string>> otherEntries,
                          std::optional<std::filesystem::path> gameIni)
{
    m_entryName = std::move(entryName);
    m_gameBlock = gameBlock;
    m_references = std::make_shared<IniReferenceSet>();
    m_references->pendingTexts = std::move(otherEntries);
    m_references->gameIni = std::move(gameIni);
    m_active = true;
    CheckNow();
}

void IniProblemPane::Stop()
{
    m_active = false;
    ++m_generation;
    m_pause.stop();
    m_references.reset();
    Show({});
}

void IniProblemPane::CheckSoon()
{
    if (m_active)
        m_pause.start();
}

void IniProblemPane::CheckNow()
{
    if (!m_active)
        return;
    const unsigned generation = ++m_generation;
    std::string text = m_edit.toPlainText().toLatin1().toStdString();
    QPointer<IniProblemPane> self(this);
    m_workers.start(
        [self, generation, references = m_references, gameBlock = m_gameBlock, entry = m_entryName,
         text = std::move(text)] {
            std::vector<IniProblem> problems = CheckInWorkspace(*references, gameBlock, entry, text);
            if (!self)
                return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, generation, problems = std::move(problems)]() mutable {
                    if (self && self->m_active && generation == self->m_generation)
                        self->Show(std::move(problems));
                },
                Qt::QueuedConnection);
        });
}

void IniProblemPane::Show(std::vector<IniProblem> problems)
{
    m_problems = std::move(problems);
    clear();
    QList<QTextEdit::ExtraSelection> underlines;
    for (const IniProblem& problem : m_problems) {
        auto* item = new QListWidgetItem(QStringLiteral("%1: %2: %3")
                                             .arg(problem.line)
                                             .arg(QLatin1String(ProblemKindName(problem.kind)))
                                             .arg(QString::fromLatin1(problem.message)),
                                         this);
        item->setData(Qt::UserRole, problem.line);
        item->setForeground(problem.severity == IniSeverity::Error ? QColor(Qt::darkRed) : QColor(Qt::darkYellow));
        const QTextBlock block = m_edit.document()->findBlockByNumber(problem.line - 1);
        if (!block.isValid())
            continue;
        QTextEdit::ExtraSelection underline;
        underline.cursor = QTextCursor(block);
        underline.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        underline.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        underline.format.setUnderlineColor(problem.severity == IniSeverity::Error ? Qt::red : QColor(0xE0, 0x90, 0));
        underlines.append(underline);
    }
    m_edit.setExtraSelections(underlines);
    emit ProblemsShown();
}

void IniProblemPane::MoveCaretTo(QListWidgetItem* item)
{
    if (!item)
        return;
    const QTextBlock block = m_edit.document()->findBlockByNumber(item->data(Qt::UserRole).toInt() - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    m_edit.setTextCursor(cursor);
    m_edit.ensureCursorVisible();
    m_edit.setFocus();
}

} // namespace kestrel
