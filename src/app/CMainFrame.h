#pragma once

#include "app/AppCommands.h"
#include "archive/IDocumentObserver.h"

#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kestrel {

class CChildFrame;
class CKestrelApp;

/// The main window: the multi-document area that holds the archive windows, the menus, the
/// toolbar and the status bar. Commands that need an archive act on the active archive window;
/// their enabled and checked states follow it.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CKestrelApp& app);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_mdiArea; }
    QAction* Action(Command command) const { return m_actions[static_cast<size_t>(command)]; }
    /// The active archive window, or null.
    CChildFrame* ActiveChild() const;
    QList<CChildFrame*> ChildFrames() const;

    /// Adds an archive window and shows it maximized.
    void AddChildFrame(CChildFrame* frame);
    /// The first archive window whose document was opened from `path`, or null.
    CChildFrame* FindFrameForPath(const QString& path) const;
    /// Numbers the windows of documents shown in more than one ("demo.big:1", "demo.big:2").
    void UpdateFrameTitles();

    /// Recomputes every command's enabled and checked state from the active archive window.
    void UpdateCommandStates();
    void UpdateRecentFileMenu();

    /// Asks every open document to close, or reopen, its texture archives.
    void Broadcast(DocumentBroadcast request);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void ConnectActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* ToolBarStandIn(QAction* action);
    QMenu* AddMenu(QMenu* parent, Menu menu, std::initializer_list<Command> commands);
    void UpdateArchiveCommands(const CChildFrame* child);
    void UpdateWindowMenu();
    void UpdateLockIndicators();
    void UpdatePreviewSurfaces();

    void OnUseOpenGL();
    void OnUseD3D9();
    void OnToggleTextures();
    void OnToggleAlphaBlending();
    void OnAbout();
    void OnOptions();
    void OnNewWindow();
    void OnArrangeIcons();
    void OnSubWindowActivated(QMdiSubWindow* window);

    CKestrelApp& m_app;
    QMdiArea* m_mdiArea = nullptr;
    std::array<QAction*, CommandCount> m_actions{};
    QToolBar* m_toolBar = nullptr;
    QAction* m_toolBarSave = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_formatMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QList<QAction*> m_windowListActions;
    std::array<QLabel*, 3> m_indicators{};
    QLabel* m_note = nullptr;
    QLabel* m_entryCount = nullptr;
    bool m_deleteKeyPressed = false;
    bool m_surfaceUpdateQueued = false;
};

} // namespace kestrel
