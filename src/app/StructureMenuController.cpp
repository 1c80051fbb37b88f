#include "app/StructureMenuController.h"

#include "app/AppCommands.h"
#include "app/AppContext.h"
#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/TextWriteBack.h"
#include "archive/CQuartoDoc.h"
#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"
#include "strings/StringLabelReference.h"
#include "w3d/GameIniArchive.h"
#include "w3d/IInstallPathProvider.h"

#include <QGridLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolButton>
#include <QWidgetAction>

namespace kestrel {
namespace {

constexpr const char* CommandProperty = "structureCommand";

QAction* ItemAction(const MenuEntry& entry, QObject* parent)
{
    auto* action = new QAction(FromBytes(entry.text), parent);
    action->setData(entry.command);
    action->setCheckable(entry.checkable);
    action->setChecked(entry.checked);
    return action;
}

/// A popup whose entries start new columns: Qt menus have no column breaks, so the items sit
/// in a grid of buttons, one column per run.
void AddColumns(QMenu& menu, const std::vector<MenuEntry>& entries, QMenu& root)
{
    auto* grid = new QWidget(&menu);
    grid->setObjectName(QStringLiteral("menuColumns"));
    auto* layout = new QGridLayout(grid);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    int column = 0;
    for (const MenuEntry& entry : entries) {
        if (entry.newColumn) {
            ++column;
            row = 0;
        }
        QAction* action = ItemAction(entry, &menu);
        auto* button = new QToolButton(grid);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layout->addWidget(button, row++, column);
        QObject::connect(action, &QAction::triggered, &root, [&root, action] {
            root.setProperty(CommandProperty, action->data());
            root.close();
        });
    }
    auto* holder = new QWidgetAction(&menu);
    holder->setDefaultWidget(grid);
    menu.addAction(holder);
}

void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, QMenu& root)
{
    const bool columns = std::any_of(entries.begin(), entries.end(), [](const MenuEntry& e) { return e.newColumn; });
    if (columns) {
        AddColumns(menu, entries, root);
        return;
    }
    for (const MenuEntry& entry : entries) {
        if (entry.IsPopup()) {
            QMenu* popup = menu.addMenu(FromBytes(entry.text));
            FillMenu(*popup, entry.entries, root);
        } else {
            menu.addAction(ItemAction(entry, &menu));
        }
    }
}

/// The editor's position of a byte offset of the entry: the editor holds each line end as one
/// character.
int EditorPosition(std::string_view bytes, std::size_t offset)
{
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < offset && i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++pairs;
    }
    return static_cast<int>(offset - pairs);
}

QString EditorText(std::string_view bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            text += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            text += bytes[i];
        }
    }
    return FromBytes(text);
}

} // namespace

StructureMenuController::StructureMenuController(AppContext& context, ArchiveDocument& document, QPlainTextEdit& edit,
                                                 TextWriteBack& writeBack, QObject* parent)
    : QObject(parent), m_context(context), m_document(document), m_edit(edit), m_writeBack(writeBack)
{
    m_runMenu = [](QMenu& menu, const QPoint& at) { return menu.exec(at); };
    // The same command as the Edit menu's, whose shortcut the text shows; choosing it is read
    // from the menu's answer, not from the action's signal, so tests can script it.
    const QList<QKeySequence> keys = CommandShortcuts(Command::EditGoToLabel);
    m_goToLabel = new QAction(CommandText(Command::EditGoToLabel)
                                  + (keys.isEmpty() ? QString() : QLatin1Char('\t') + keys.first().toString(QKeySequence::NativeText)),
                              this);
    m_goToLabel->setObjectName(QStringLiteral("structureGoToLabel"));
    m_viewport = m_edit.viewport();
    m_viewport->installEventFilter(this);
    connect(m_edit.document(), &QTextDocument::contentsChange, this, [this] {
        m_isParsed = false;
        m_goToBuilt = false;
    });
}

StructureMenuController::~StructureMenuController() = default;

void StructureMenuController::SetActive(bool active)
{
    m_active = active;
    m_isParsed = false;
    m_goToBuilt = false;
}

bool StructureMenuController::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with the remembered viewport: during the editor's destruction its viewport still
    // gets events while the editor is no scroll area any more.
    if (!m_active || watched != m_viewport)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu)
        return true; // the structure menu replaces the editor's own
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            OpenAt(mouse->position().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

const CIniBlock* DocumentGameBlock(const AppContext& context, const ArchiveDocument& document)
{
    if (!context.configuration)
        return nullptr;
    return FindGameBlock(*context.configuration, static_cast<GameKind>(document.GameKind()));
}

std::optional<std::string> LabelAtCaret(const QPlainTextEdit& edit)
{
    // The editor holds the entry's bytes 1:1 as Latin-1, so its columns are byte columns.
    const QTextCursor caret = edit.textCursor();
    const auto column = static_cast<std::size_t>(caret.positionInBlock());
    if (auto found = LabelInIniLine(ToBytes(caret.block().text()), column))
        return std::move(found->label);
    return std::nullopt;
}

std::optional<std::filesystem::path> DocumentGameIni(const AppContext& context, ArchiveDocument& document)
{
    std::string gameFolder = document.Doc().GetInstallationFolder().string();
    if (gameFolder.empty() && context.installPaths)
        gameFolder = context.installPaths->FindInstallPath(static_cast<GameKind>(document.GameKind())).value_or("");
    return FindGameIniArchive(gameFolder);
}

const CIniBlock* StructureMenuController::GameBlock() const
{
    return DocumentGameBlock(m_context, m_document);
}

bool StructureMenuController::ParseIfNeeded()
{
    // The entry must hold what the editor shows before it is parsed and edited.
    m_writeBack.Flush();
    if (m_isParsed)
        return false;
    m_parsedBytes = m_writeBack.EntryBytes();
    m_parsed = std::make_unique<CIniBlock>(StructureConfig::FromGameBlock(GameBlock()), &m_context.prompt);
    m_parsed->ParseText(m_parsedBytes);
    m_isParsed = true;
    m_goToBuilt = false;
    return true;
}

void StructureMenuController::OpenAt(const QPoint& position)
{
    if (!m_active)
        return;
    ParseIfNeeded();
    m_edit.setTextCursor(m_edit.cursorForPosition(position));
    const int caretLine = m_edit.textCursor().blockNumber();
    m_menuPosition = m_edit.viewport()->mapToGlobal(position);

    const std::optional<std::filesystem::path> gameIni = DocumentGameIni(m_context, m_document);
    ObjectNameLookup names;
    if (m_context.objectCache)
        names = MakeObjectNameLookup(m_document.Doc().GetArchive(), gameIni, *m_context.objectCache, GameBlock());
    m_offer = MakeStructureOffer(*m_parsed, GameBlock(), caretLine, names);
    m_goToLabel->setEnabled(LabelAtCaret(m_edit).has_value());
    RunCommand(RunMenu(StructureMenuEntries(m_offer), true));
}

int StructureMenuController::RunMenu(const std::vector<MenuEntry>& entries, bool offerGoToLabel)
{
    QMenu menu(&m_edit);
    menu.setObjectName(QStringLiteral("structureMenu"));
    FillMenu(menu, entries, menu);
    if (offerGoToLabel) {
        menu.addSeparator();
        menu.addAction(m_goToLabel);
    }
    QAction* chosen = m_runMenu(menu, m_menuPosition);
    if (chosen && chosen == m_goToLabel) {
        if (m_goToLabel->isEnabled())
            emit GoToLabelRequested();
        return 0;
    }
    if (chosen)
        return chosen->data().toInt();
    return menu.property(CommandProperty).isValid() ? menu.property(CommandProperty).toInt() : 0;
}

void StructureMenuController::RunCommand(int command)
{
    if (command == StructureCommand::GoTo) {
        OpenGoTo();
        return;
    }
    if (command <= 0)
        return;
    if (const auto edit = StructureCommandEdit(m_offer, m_parsedBytes, command))
        ApplyEdit(*edit);
}

void StructureMenuController::OpenGoTo()
{
    if (ParseIfNeeded())
        m_offer = StructureOffer{}; // its blocks belonged to the old parse
    if (!m_goToBuilt) {
        m_goTo = BuildGoToMenu(*m_parsed, m_offer.block);
        m_goToBuilt = true;
    }
    const int chosen = RunMenu(m_goTo.entries) - StructureCommand::GoToBlock;
    if (chosen < 0 || chosen >= static_cast<int>(m_goTo.blocks.size()))
        return;
    const QTextBlock line = m_edit.document()->findBlockByNumber(m_goTo.blocks[static_cast<size_t>(chosen)]->GetStartLine());
    QTextCursor cursor(m_edit.document());
    cursor.setPosition(line.isValid() ? line.position() : 0);
    m_edit.setTextCursor(cursor);
    m_edit.centerCursor();
}

void StructureMenuController::ApplyEdit(const TextEdit& edit)
{
    const int start = EditorPosition(m_parsedBytes, edit.offset);
    const int end = EditorPosition(m_parsedBytes, edit.offset + edit.length);
    QTextCursor cursor(m_edit.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(EditorText(edit.text));
}

} // namespace kestrel
