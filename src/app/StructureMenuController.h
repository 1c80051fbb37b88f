#pragma once

#include "ini/StructureMenu.h"
#include "ini/StructureMenuModel.h"

#include <QObject>
#include <QPoint>

#include <filesystem>
#include <functional>
#include <optional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace kestrel {

struct AppContext;
class ArchiveDocument;
class CIniBlock;
class TextWriteBack;

/// The structure menu of an INI entry in the text pane: on a right-button release it parses the
/// entry (once per change), moves the caret to the click and shows what the structure library
/// offers there; a chosen command edits the text through the editor, so the usual write-back
/// (edit mode, tabs, line ends) applies. Go To opens a second menu of every block.
/// The document's game block in the configuration tree, or none.
const CIniBlock* DocumentGameBlock(const AppContext& context, const ArchiveDocument& document);
/// The game's "ini.big": in the document's installation folder, else where the game is installed.
std::optional<std::filesystem::path> DocumentGameIni(const AppContext& context, ArchiveDocument& document);
/// The string-table label the caret's line names (the one under the caret when there are several).
std::optional<std::string> LabelAtCaret(const QPlainTextEdit& edit);

class StructureMenuController : public QObject
{
    Q_OBJECT

public:
    /// Shows a menu at a global point and returns the chosen action (or null); tests script it.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPosition)>;

    StructureMenuController(AppContext& context, ArchiveDocument& document, QPlainTextEdit& edit,
                            TextWriteBack& writeBack, QObject* parent = nullptr);
    ~StructureMenuController() override;

    /// The pane shows an INI entry (true) or anything else; either way the old parse is stale.
    void SetActive(bool active);
    /// Opens the structure menu as a right-button release at `position` (in the edit control's
    /// viewport) does.
    void OpenAt(const QPoint& position);
    void SetMenuRunner(MenuRunner runner) { m_runMenu = std::move(runner); }

signals:
    /// "Go to label" was chosen in the menu (it is offered enabled only where a line names one).
    void GoToLabelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const CIniBlock* GameBlock() const;
    /// True when the entry was parsed anew.
    bool ParseIfNeeded();
    int RunMenu(const std::vector<MenuEntry>& entries, bool offerGoToLabel = false);
    void RunCommand(int command);
    void OpenGoTo();
    void ApplyEdit(const TextEdit& edit);

    AppContext& m_context;
    ArchiveDocument& m_document;
    QPlainTextEdit& m_edit;
    QObject* m_viewport = nullptr;
    TextWriteBack& m_writeBack;
    MenuRunner m_runMenu;
    bool m_active = false;
    std::unique_ptr<CIniBlock> m_parsed;
    std::string m_parsedBytes; // what the offer's edits are made against
    bool m_isParsed = false;
    StructureOffer m_offer;
    GoToMenu m_goTo;
    bool m_goToBuilt = false;
    QPoint m_menuPosition;
    QAction* m_goToLabel = nullptr;
};

} // namespace kestrel
