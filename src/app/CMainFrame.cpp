#include "app/CMainFrame.h"

#include "app/AppSettings.h"
#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CLeftView.h"
#include "app/CQuartoView.h"
#include "app/CKestrelApp.h"
#include "app/ExternalEditors.h"
#include "app/OptionsDialog.h"
#include "app/LockKeyState.h"
#include "app/ToolbarIcons.h"
#include "archive/BIGEntry.h"
#include "base/IPrompt.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSet>
#include <QStatusBar>
#include <QToolBar>

#include <utility>

namespace kestrel {
namespace {

constexpr Command checkableCommands[] = {
    Command::ViewToolbar,   Command::ViewStatusBar,     Command::ViewLargeIcons, Command::ViewSmallIcons,
    Command::ViewList,      Command::ViewDetails,       Command::DeviceOpenGL,   Command::DeviceD3D9,
    Command::ViewTextures,  Command::ViewAlphaBlending, Command::FormatBIGF,     Command::FormatBIG4,
    Command::ViewAutoArrange,
};

// Entries that exist only while an archive window is active (the archive window's own menu).
constexpr Command archiveOnlyCommands[] = {
    Command::FileClose, Command::FileSave, Command::FileQuickSave, Command::FileSaveAs,
};

// Print has no handler: its entry is shown disabled rather than doing nothing when chosen.
constexpr Command notYetAvailable[] = {
    Command::FilePrint,
};

// Archive commands that work whenever an archive window is active.
constexpr Command alwaysOnArchive[] = {
    Command::FileQuickSave,  Command::FormatBIGF,       Command::FormatBIG4,       Command::EditExtractAll,
    Command::EditAddFile,    Command::EditAddDirectory, Command::EditAddEmptyFile,  Command::EditFilterEntries,
    Command::EditFindInArchive,
};

// The entry list is always a report with sizes; the icon and list modes have nothing to show.
constexpr Command iconModeCommands[] = {
    Command::ViewLargeIcons, Command::ViewSmallIcons,  Command::ViewList,
    Command::ViewArrangeByName, Command::ViewAutoArrange, Command::ViewLineUpIcons,
};

template <typename Range>
bool Contains(const Range& range, Command command)
{
    return std::find(std::begin(range), std::end(range), command) != std::end(range);
}

} // namespace

CMainFrame::CMainFrame(CKestrelApp& app) : m_app(app)
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(Text(AppString::AppTitle));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ConnectActions();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    UpdateRecentFileMenu();
    UpdateCommandStates();
    resize(1024, 768);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    // The archive windows die with the base class, after this part of the object: they must not
    // call back into it.
    m_mdiArea->disconnect(this);
    for (CChildFrame* frame : findChildren<CChildFrame*>()) // also windows closed but not yet deleted
        frame->disconnect(this);
    delete m_mdiArea;
}

void CMainFrame::CreateActions()
{
    for (int i = 0; i < CommandCount; ++i) {
        const auto command = static_cast<Command>(i);
        auto* action = new QAction(CommandText(command), this);
        action->setObjectName(QStringLiteral("action") + CommandKey(command));
        action->setShortcuts(CommandShortcuts(command));
        action->setStatusTip(CommandPrompt(command));
        action->setCheckable(Contains(checkableCommands, command));
        const QIcon icon = ToolbarIcon(command);
        if (!icon.isNull())
            action->setIcon(icon);
        m_actions[static_cast<size_t>(i)] = action;
    }
    // Radio behaviour for the two device entries, checked from the settings in UpdateCommandStates.
    auto* devices = new QActionGroup(this);
    devices->addAction(Action(Command::DeviceOpenGL));
    devices->addAction(Action(Command::DeviceD3D9));
}

void CMainFrame::ConnectActions()
{
    auto on = [this](Command command, auto handler) { connect(Action(command), &QAction::triggered, this, handler); };
    // Toggles receive the new checked state.
    on(Command::FileNew, [this] { m_app.OnFileNew(); });
    on(Command::FileOpen, [this] { m_app.OnFileOpen(); });
    on(Command::FileClose, [this] { m_app.OnFileClose(ActiveChild()); });
    on(Command::FileSave, [this] { m_app.OnFileSave(ActiveChild(), false); });
    on(Command::FileSaveAs, [this] { m_app.OnFileSave(ActiveChild(), true); });
    on(Command::FileExit, [this] { close(); });
    on(Command::EditCut, [this] { if (auto* child = ActiveChild()) child->CutText(); });
    on(Command::EditCopy, [this] { if (auto* child = ActiveChild()) child->CopyText(); });
    on(Command::EditPaste, [this] { if (auto* child = ActiveChild()) child->PasteText(); });
    on(Command::EditFind, [this] { if (auto* child = ActiveChild()) child->FindText(false); });
    on(Command::EditReplace, [this] { if (auto* child = ActiveChild()) child->FindText(true); });
    // The archive commands act on the active archive window, whichever of its panes has the focus.
    auto onChild = [this, &on](Command command, auto handler) {
        on(command, [this, handler] {
            if (CChildFrame* child = ActiveChild())
                handler(*child);
            UpdateCommandStates(); // also puts back a format check mark the click toggled
        });
    };
    onChild(Command::FileQuickSave, [](CChildFrame& child) { child.OnQuickSave(); });
    onChild(Command::FormatBIGF, [](CChildFrame& child) { child.OnSetFileFormat(BIGFormat_BIGF); });
    onChild(Command::FormatBIG4, [](CChildFrame& child) { child.OnSetFileFormat(BIGFormat_BIG4); });
    onChild(Command::EditFilterEntries, [](CChildFrame& child) { child.FocusEntryFilter(); });
    onChild(Command::EditFindInArchive, [](CChildFrame& child) { child.FindInArchive(); });
    onChild(Command::EditGoToLabel, [](CChildFrame& child) { child.GoToLabel(); });
    onChild(Command::EditExtract, [](CChildFrame& child) { child.OnExtract(); });
    onChild(Command::EditExtractAll, [](CChildFrame& child) { child.OnExtractAll(); });
    // The menu and the entry list's own key delete at once; the key pressed while another pane
    // has the focus (where it could have been meant for the text) asks first.
    onChild(Command::EditDeleteFile, [this](CChildFrame& child) {
        const bool byKey = std::exchange(m_deleteKeyPressed, false);
        child.OnDeleteFile(byKey && !child.LeftView()->hasFocus());
    });
    onChild(Command::EditAddFile, [](CChildFrame& child) { child.OnAddFile(); });
    onChild(Command::EditAddDirectory, [](CChildFrame& child) { child.OnAddDirectory(); });
    onChild(Command::EditAddEmptyFile, [](CChildFrame& child) { child.OnAddEmptyFile(); });
    onChild(Command::EditRenameFile, [](CChildFrame& child) { child.OnRenameFile(); });
    onChild(Command::EditWithEditor, [this](CChildFrame& child) { m_app.Editors().EditWithEditor(child.Document()); });
    on(Command::ViewToolbar, [this](bool shown) { m_toolBar->setVisible(shown); });
    on(Command::ViewStatusBar, [this](bool shown) { statusBar()->setVisible(shown); });
    on(Command::ViewSplit, [this] { if (auto* child = ActiveChild()) child->StartKeyboardSplit(); });
    on(Command::DeviceOpenGL, &CMainFrame::OnUseOpenGL);
    on(Command::DeviceD3D9, &CMainFrame::OnUseD3D9);
    on(Command::ViewTextures, &CMainFrame::OnToggleTextures);
    on(Command::ViewAlphaBlending, &CMainFrame::OnToggleAlphaBlending);
    on(Command::WindowNew, &CMainFrame::OnNewWindow);
    on(Command::WindowCascade, [this] { m_mdiArea->cascadeSubWindows(); });
    on(Command::WindowTile, [this] { m_mdiArea->tileSubWindows(); });
    on(Command::WindowArrangeIcons, &CMainFrame::OnArrangeIcons);
    on(Command::HelpAbout, &CMainFrame::OnAbout);
    on(Command::ViewOptions, &CMainFrame::OnOptions);
}

QMenu* CMainFrame::AddMenu(QMenu* parent, Menu menu, std::initializer_list<Command> commands)
{
    QMenu* added = parent ? parent->addMenu(MenuTitle(menu)) : menuBar()->addMenu(MenuTitle(menu));
    added->setObjectName(QStringLiteral("menu") + MenuKey(menu));
    for (Command command : commands) {
        if (command == Command::Count)
            added->addSeparator();
        else
            added->addAction(Action(command));
    }
    connect(added, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    return added;
}

void CMainFrame::CreateMenus()
{
    constexpr Command separator = Command::Count;
    m_fileMenu = AddMenu(nullptr, Menu::File,
                         {Command::FileNew, Command::FileOpen, Command::FileClose, Command::FileSave,
                          Command::FileQuickSave, Command::FileSaveAs});
    m_formatMenu = AddMenu(m_fileMenu, Menu::SetFileFormat, {Command::FormatBIGF, Command::FormatBIG4});
    m_recentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(Command::FileExit));

    m_editMenu = AddMenu(nullptr, Menu::Edit,
                         {Command::EditCut, Command::EditCopy, Command::EditPaste, separator, Command::EditFind,
                          Command::EditReplace, Command::EditFilterEntries, Command::EditFindInArchive,
                          Command::EditGoToLabel, separator,
                          Command::EditExtract, Command::EditExtractAll,
                          Command::EditWithEditor, separator, Command::EditDeleteFile, Command::EditAddFile,
                          Command::EditAddDirectory, Command::EditAddEmptyFile, Command::EditRenameFile});

    QMenu* view = AddMenu(nullptr, Menu::View,
                          {Command::ViewToolbar, Command::ViewStatusBar, separator, Command::ViewSplit, separator,
                           Command::ViewLargeIcons, Command::ViewSmallIcons, Command::ViewList, Command::ViewDetails,
                           separator});
    AddMenu(view, Menu::ArrangeIcons, {Command::ViewArrangeByName, separator, Command::ViewAutoArrange});
    view->addAction(Action(Command::ViewLineUpIcons));
    view->addSeparator();
    AddMenu(view, Menu::Device3D, {Command::DeviceOpenGL, Command::DeviceD3D9});
    view->addAction(Action(Command::ViewTextures));
    view->addAction(Action(Command::ViewAlphaBlending));
    view->addSeparator();
    view->addAction(Action(Command::ViewOptions));

    m_windowMenu = AddMenu(nullptr, Menu::Window,
                           {Command::WindowNew, Command::WindowCascade, Command::WindowTile,
                            Command::WindowArrangeIcons, separator});
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
    AddMenu(nullptr, Menu::Help, {Command::HelpAbout});
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Standard"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    const Command buttons[] = {Command::FileNew,        Command::FileOpen,       Command::FileSave,  Command::Count,
                               Command::EditCut,        Command::EditCopy,       Command::EditPaste, Command::Count,
                               Command::FilePrint,      Command::Count,          Command::ViewLargeIcons,
                               Command::ViewSmallIcons, Command::ViewList,       Command::ViewDetails,
                               Command::Count,          Command::HelpAbout};
    for (Command command : buttons) {
        if (command == Command::Count)
            m_toolBar->addSeparator();
        else if (command == Command::FileSave)
            m_toolBar->addAction(m_toolBarSave = ToolBarStandIn(Action(command)));
        else
            m_toolBar->addAction(Action(command));
    }
    Action(Command::ViewToolbar)->setChecked(true);
}

QAction* CMainFrame::ToolBarStandIn(QAction* action)
{
    // The menu entry disappears without an archive window, but a toolbar button that vanished
    // would shift its neighbours: the button stays and is only disabled.
    auto* standIn = new QAction(action->icon(), action->text(), this);
    standIn->setObjectName(action->objectName() + QStringLiteral("Button"));
    standIn->setStatusTip(action->statusTip());
    connect(standIn, &QAction::triggered, action, &QAction::trigger);
    return standIn;
}

void CMainFrame::CreateStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->showMessage(Text(AppString::StatusReady));
    // Remarks about the shown entry stay visible while menu prompts come and go in the message pane.
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("statusNote"));
    statusBar()->addPermanentWidget(m_note);
    m_entryCount = new QLabel(this);
    m_entryCount->setObjectName(QStringLiteral("entryCount"));
    statusBar()->addPermanentWidget(m_entryCount);
    const AppString names[] = {AppString::IndicatorCaps, AppString::IndicatorNum, AppString::IndicatorScroll};
    const char* objectNames[] = {"indicatorCaps", "indicatorNum", "indicatorScroll"};
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(objectNames[i]));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Reserve the text's width so the pane does not jump when the key changes state.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Text(names[i])) + 8);
        statusBar()->addPermanentWidget(label);
        m_indicators[i] = label;
    }
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(Text(AppString::StatusReady));
    });
    Action(Command::ViewStatusBar)->setChecked(true);
    UpdateLockIndicators();
}

CChildFrame* CMainFrame::ActiveChild() const
{
    return qobject_cast<CChildFrame*>(m_mdiArea->activeSubWindow());
}

QList<CChildFrame*> CMainFrame::ChildFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        if (auto* frame = qobject_cast<CChildFrame*>(window))
            frames.append(frame);
    return frames;
}

void CMainFrame::AddChildFrame(CChildFrame* frame)
{
    m_mdiArea->addSubWindow(frame);
    connect(frame, &CChildFrame::CommandStateChanged, this, &CMainFrame::UpdateCommandStates);
    connect(frame, &CChildFrame::CommandStateChanged, this, &CMainFrame::UpdateFrameTitles);
    // After the area has moved the window's buttons into the menu bar, or back.
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateFrameTitles, Qt::QueuedConnection);
    connect(frame, &QObject::destroyed, this, [this] {
        UpdateFrameTitles();
        UpdateCommandStates();
    });
    frame->showMaximized();
    m_mdiArea->setActiveSubWindow(frame);
    UpdateFrameTitles();
    UpdateCommandStates();
}

CChildFrame* CMainFrame::FindFrameForPath(const QString& path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* frame : ChildFrames()) {
        const QString known = frame->Document().PathName();
        if (!known.isEmpty() && QFileInfo(known).absoluteFilePath() == wanted)
            return frame;
    }
    return nullptr;
}

void CMainFrame::UpdateFrameTitles()
{
    const QList<CChildFrame*> frames = ChildFrames();
    for (CChildFrame* frame : frames) {
        QList<CChildFrame*> siblings;
        for (CChildFrame* other : frames)
            if (&other->Document() == &frame->Document())
                siblings.append(other);
        QString title = frame->Document().Title();
        if (siblings.size() > 1)
            title += QStringLiteral(":%1").arg(siblings.indexOf(frame) + 1);
        // "[*]" is where the window system shows the unsaved-changes marker.
        frame->setWindowTitle(title + QStringLiteral("[*]"));
        frame->setWindowModified(frame->Document().IsModified());
    }
    // A maximized archive window whose buttons moved into the menu bar adds its own title to
    // this one ("Kestrel - [demo.big]"); naming it here as well would show it twice.
    CChildFrame* active = ActiveChild();
    const bool namedByArea = active && active->isMaximized() && active->maximizedButtonsWidget();
    setWindowTitle(active && !namedByArea ? Text(AppString::AppTitle) + QStringLiteral(" - ") + active->windowTitle()
                                          : Text(AppString::AppTitle));
    setWindowModified(active && active->isWindowModified());
}

void CMainFrame::UpdateCommandStates()
{
    const AppSettings& settings = m_app.Settings();
    Action(Command::DeviceOpenGL)->setChecked(settings.DeviceIsOpenGL());
    Action(Command::DeviceD3D9)->setChecked(!settings.DeviceIsOpenGL());
    Action(Command::DeviceD3D9)->setEnabled(AppSettings::HasDirect3D9());
    Action(Command::ViewTextures)->setChecked(settings.Textures());
    Action(Command::ViewAlphaBlending)->setChecked(settings.AlphaBlending());
    Action(Command::ViewToolbar)->setChecked(m_toolBar->isVisible() || !isVisible());
    Action(Command::ViewStatusBar)->setChecked(statusBar()->isVisible() || !isVisible());
    UpdateArchiveCommands(ActiveChild());
}

void CMainFrame::UpdateArchiveCommands(const CChildFrame* child)
{
    const bool hasArchive = child != nullptr;
    const CChildFrame::CommandState state = hasArchive ? child->CurrentCommandState() : CChildFrame::CommandState{};
    for (Command command : archiveOnlyCommands)
        Action(command)->setVisible(hasArchive);
    m_formatMenu->menuAction()->setVisible(hasArchive);
    m_editMenu->menuAction()->setVisible(hasArchive);
    m_windowMenu->menuAction()->setVisible(hasArchive);

    const bool editable = state.showsText && !state.textReadOnly;
    Action(Command::FileClose)->setEnabled(hasArchive);
    Action(Command::FileSave)->setEnabled(hasArchive);
    Action(Command::FileSaveAs)->setEnabled(hasArchive);
    m_toolBarSave->setEnabled(hasArchive);
    Action(Command::EditCopy)->setEnabled(state.showsText);
    Action(Command::EditCut)->setEnabled(editable);
    Action(Command::EditPaste)->setEnabled(editable);
    Action(Command::EditFind)->setEnabled(state.showsText);
    Action(Command::EditReplace)->setEnabled(editable);
    Action(Command::EditGoToLabel)->setEnabled(state.caretNamesLabel);
    Action(Command::ViewSplit)->setEnabled(hasArchive);
    Action(Command::ViewDetails)->setEnabled(hasArchive);
    Action(Command::ViewDetails)->setChecked(hasArchive);
    for (Command command : iconModeCommands)
        Action(command)->setEnabled(false);
    for (Command command : {Command::WindowNew, Command::WindowCascade, Command::WindowTile, Command::WindowArrangeIcons})
        Action(command)->setEnabled(hasArchive);
    m_note->setText(state.note);
    m_entryCount->setText(hasArchive ? Text(AppString::EntriesShown)
                                           .arg(Counted(static_cast<std::uint64_t>(state.shownEntries)),
                                                Counted(static_cast<std::uint64_t>(state.totalEntries)))
                                     : QString());
    Action(Command::FormatBIGF)->setChecked(hasArchive && state.format == BIGFormat_BIGF);
    Action(Command::FormatBIG4)->setChecked(hasArchive && state.format == BIGFormat_BIG4);
    for (Command command : alwaysOnArchive)
        Action(command)->setEnabled(hasArchive);
    const bool entryFree = state.entrySelected && !state.entryLocked;
    Action(Command::EditExtract)->setEnabled(state.entrySelected);
    Action(Command::EditDeleteFile)->setEnabled(entryFree);
    Action(Command::EditRenameFile)->setEnabled(entryFree);
    Action(Command::EditWithEditor)->setEnabled(entryFree);
    for (Command command : notYetAvailable)
        Action(command)->setEnabled(false);
}

void CMainFrame::UpdateRecentFileMenu()
{
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    const QStringList& files = m_app.Settings().RecentFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
        action->setObjectName(QStringLiteral("actionRecentFile%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] { m_app.OpenRecentFile(path); });
        m_fileMenu->insertAction(m_recentSeparator, action);
        m_recentActions.append(action);
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

void CMainFrame::UpdateWindowMenu()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        auto* action = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
        m_windowListActions.append(action);
    }
}

void CMainFrame::UpdateLockIndicators()
{
    const std::optional<LockKeys> keys = QueryLockKeys();
    const bool on[] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
    const AppString names[] = {AppString::IndicatorCaps, AppString::IndicatorNum, AppString::IndicatorScroll};
    for (size_t i = 0; i < m_indicators.size(); ++i)
        m_indicators[i]->setText(on[i] ? Text(names[i]) : QString());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The lock keys can only change with a key event or while another program has the focus.
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
        UpdateLockIndicators();
    if (event->type() == QEvent::Shortcut && watched == Action(Command::EditDeleteFile))
        m_deleteKeyPressed = true;
    // Archive windows that move, resize, appear or go change which previews they overlap.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide) &&
        qobject_cast<CChildFrame*>(watched) && !m_surfaceUpdateQueued) {
        m_surfaceUpdateQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_surfaceUpdateQueued = false;
            UpdatePreviewSurfaces();
        }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::Broadcast(DocumentBroadcast request)
{
    QSet<ArchiveDocument*> told;
    for (CChildFrame* frame : ChildFrames()) {
        ArchiveDocument* document = &frame->Document();
        if (told.contains(document))
            continue;
        told.insert(document);
        if (request == DocumentBroadcast::CloseTextureArchives)
            document->CloseTextureArchives();
        else
            document->OpenTextureArchives();
    }
}

void CMainFrame::OnUseOpenGL()
{
    m_app.Settings().SetUseOpenGL(true);
    UpdateCommandStates();
    m_app.Prompt().ShowNotice(TextBytes(AppString::WillUseOpenGL), TextBytes(AppString::AppTitle));
}

void CMainFrame::OnUseD3D9()
{
    m_app.Settings().SetUseOpenGL(false);
    UpdateCommandStates();
    m_app.Prompt().ShowNotice(TextBytes(AppString::WillUseD3D9), TextBytes(AppString::AppTitle));
}

void CMainFrame::OnToggleTextures()
{
    AppSettings& settings = m_app.Settings();
    settings.SetTextures(!settings.Textures());
    UpdateCommandStates();
    Broadcast(DocumentBroadcast::ReopenTextureArchives);
}

void CMainFrame::OnToggleAlphaBlending()
{
    AppSettings& settings = m_app.Settings();
    settings.SetAlphaBlending(!settings.AlphaBlending());
    UpdateCommandStates();
    for (CChildFrame* frame : ChildFrames())
        frame->RepaintPreview();
}

void CMainFrame::OnAbout()
{
    QMessageBox about(QMessageBox::Information, Text(AppString::AboutCaption), Text(AppString::AboutText),
                      QMessageBox::Ok, this);
    about.setObjectName(QStringLiteral("aboutBox"));
    about.exec();
}

void CMainFrame::OnOptions()
{
    OptionsDialog dialog(m_app.Editors().Table(), this);
    dialog.exec();
}

void CMainFrame::OnNewWindow()
{
    if (CChildFrame* active = ActiveChild())
        m_app.OpenWindowOn(active->SharedDocument());
}

void CMainFrame::OnArrangeIcons()
{
    // Minimized windows are lined up along the bottom edge, left to right.
    int x = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(x, m_mdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow*)
{
    UpdateFrameTitles();
    UpdateCommandStates();
    UpdatePreviewSurfaces();
}

void CMainFrame::UpdatePreviewSurfaces()
{
    const QList<QMdiSubWindow*> stack = m_mdiArea->subWindowList(QMdiArea::StackingOrder); // bottom first
    for (qsizetype i = 0; i < stack.size(); ++i) {
        auto* frame = qobject_cast<CChildFrame*>(stack[i]);
        if (!frame)
            continue;
        bool covered = false;
        for (qsizetype above = i + 1; above < stack.size() && !covered; ++above)
            covered = stack[above]->isVisible() && stack[above]->geometry().intersects(frame->geometry());
        frame->EditorView()->SetSurfaceCovered(covered);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_app.CloseAllDocuments())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    // Files dropped beside the archive windows are ignored on purpose; archive windows take
    // their own drops.
    event->ignore();
}

} // namespace kestrel
