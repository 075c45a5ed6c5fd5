#include "app/MainFrame.h"

#include "view/DbView.h"

#include "app/AppImages.h"
#include "app/ChildFrame.h"
#include "diagram/CommandTable.h"
#include "app/HelpWindow.h"
#include "app/LockKeyState.h"
#include "app/RecentFileList.h"
#include "app/SqlLogWindow.h"
#include "res/Resource.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int kSeparator = 0;
constexpr int kRecentFiles = -1; // where the recent-file entries stand

const char *const kAppTitle = "Vellumix";

// Where the windows' state is kept in the user's settings; the state's
// version changes when the bars or docks change, so that an older state is
// not forced onto a different window.
const char *const kWindowGroup = "MainFrame";
constexpr int kWindowStateVersion = 1;

// Commands without a handler anywhere in the program.
bool AlwaysDisabled(int id)
{
    return id == Cmd::EditCut || id == Cmd::EditCopy
        || id == Cmd::EditPaste || id == Cmd::CreateForeignKey;
}

bool IsCheckable(int id)
{
    return id == Cmd::ViewToolbar || id == Cmd::ViewStatusBar || id == Cmd::ViewSqlLog
        || id == Cmd::ViewSchema
        || id == Cmd::ViewTableDiagram || id == Cmd::ViewAttributes;
}

struct CAccelerator
{
    int m_id;
    QList<QKeySequence> m_keys;
};

// The accelerator table, plus the help keys (F1 and Shift+F1) that the
// help handling binds and Refresh (F5).
QList<CAccelerator> AcceleratorTable()
{
    return {
        {Cmd::FileNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {Cmd::FileOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {Cmd::FileSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Cmd::FilePrint, {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {Cmd::EditFind, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {Cmd::EditUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {Cmd::EditRedo, {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
        {Cmd::ViewZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
        {Cmd::ViewZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        {Cmd::ViewZoomReset, {QKeySequence(Qt::CTRL | Qt::Key_0)}},
        {Cmd::EditCut, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {Cmd::EditCopy, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {Cmd::EditPaste, {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {Cmd::Drop, {QKeySequence(Qt::Key_Delete)}},
        {Cmd::NextPane, {QKeySequence(Qt::Key_F6)}},
        {Cmd::PrevPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
        {Cmd::ViewRefresh, {QKeySequence(Qt::Key_F5)}},
        {Cmd::Help, {QKeySequence(Qt::Key_F1)}},
        {Cmd::ContextHelp, {QKeySequence(Qt::SHIFT | Qt::Key_F1)}},
    };
}

bool IsLockKey(int key)
{
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

} // namespace

CMainFrame::CMainFrame(CCommandTarget *application, const CRecentFileList *recentFiles,
                       QWidget *parent)
    : QMainWindow(parent), m_application(application), m_recentFiles(recentFiles)
{
    setWindowTitle(QLatin1String(kAppTitle));
    setWindowIcon(AppImages::ApplicationIcon());
    // A diagram needs room: most of the screen, but never less than a
    // small window's worth.
    const QSize screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableSize()
                             : QSize(900, 640);
    resize(std::max(900, screen.width() * 85 / 100), std::max(640, screen.height() * 85 / 100));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setWhatsThis(QStringLiteral("The document windows: one window for each open "
                                           "connection and its diagram."));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnActiveChildChanged);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    CreateSqlLog();
    RestoreWindowSettings();
    ShowDocumentMenus(false);
    UpdateCommandUI();
    UpdateIndicators();

    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CMainFrame::UpdateIndicators);
}

// The client area reports its document windows going away while the
// QWidget part tears them down; by then this frame no longer listens.
CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    disconnect(m_mdiArea, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    for (QMdiSubWindow *child : m_mdiArea->subWindowList())
        disconnect(child, nullptr, this, nullptr);
}

// --- construction of the bars ---------------------------------------------

QAction *CMainFrame::CreateCommandAction(int id)
{
    auto *action = new QAction(this);
    if (const CCommandText *text = FindCommandText(id)) {
        action->setText(QString::fromLatin1(text->m_menuText ? text->m_menuText : ""));
        if (text->m_prompt) {
            action->setStatusTip(QString::fromLatin1(text->m_prompt));
            action->setWhatsThis(QString::fromLatin1(text->m_prompt));
        }
        if (text->m_toolTip)
            action->setToolTip(QString::fromLatin1(text->m_toolTip));
        if (text->m_image) {
            action->setIcon(AppImages::ToolbarIcon(QString::fromLatin1(text->m_image)));
            action->setIconVisibleInMenu(false);
        }
    }
    action->setCheckable(IsCheckable(id));
    connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    m_actions[id] = action;
    return action;
}

void CMainFrame::CreateActions()
{
    const int ids[] = {
        Cmd::FileNew, Cmd::FileOpen, Cmd::FileClose, Cmd::FileSave, Cmd::FileSaveAs,
        Cmd::FilePrint, Cmd::FilePrintPreview, Cmd::FilePrintSetup, Cmd::FileExport, Cmd::FileExportSql, Cmd::AppExit,
        Cmd::EditUndo, Cmd::EditRedo, Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste, Cmd::EditFind, Cmd::CreateTable,
        Cmd::EditTable, Cmd::AddColumn, Cmd::CreateIndex, Cmd::CreateForeignKey, Cmd::CreateTrigger,
        Cmd::Drop,
        Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::ViewSqlLog, Cmd::ViewSchema, Cmd::ViewTableDiagram,
        Cmd::ViewAttributes, Cmd::ViewRefresh, Cmd::ViewZoomIn, Cmd::ViewZoomOut, Cmd::ViewZoomReset,
        Cmd::ViewZoomFit, Cmd::ViewArrange, Cmd::ViewArrangeSelected, Cmd::WindowCascade, Cmd::WindowTile, Cmd::WindowArrange,
        Cmd::HelpIndex, Cmd::ContextHelp, Cmd::HelpUsing, Cmd::AppAbout};
    for (int id : ids)
        CreateCommandAction(id);

    // The view modes show a radio mark; at most one is set.
    auto *modes = new QActionGroup(this);
    modes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int id : {Cmd::ViewSchema, Cmd::ViewTableDiagram, Cmd::ViewAttributes})
        modes->addAction(m_actions[id]);

    for (int i = 0; i < CRecentFileList::kSize; ++i) {
        QAction *recent = CreateCommandAction(Cmd::FileMru1 + i);
        recent->setStatusTip(QStringLiteral("Open this document"));
    }
    m_recentPlaceholder = new QAction(QStringLiteral("Recent File"), this);
    m_recentPlaceholder->setEnabled(false);
}

QMenu *CMainFrame::CreateMenu(const QString &title, const std::vector<int> &ids)
{
    auto *menu = new QMenu(title, this);
    for (int id : ids) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else if (id == kRecentFiles) {
            menu->addAction(m_recentPlaceholder);
            for (int i = 0; i < CRecentFileList::kSize; ++i)
                menu->addAction(m_actions[Cmd::FileMru1 + i]);
        } else {
            menu->addAction(m_actions[id]);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    return menu;
}

void CMainFrame::CreateMenus()
{
    const std::vector<int> help = {Cmd::HelpIndex, Cmd::ContextHelp, Cmd::HelpUsing, kSeparator,
                                   Cmd::AppAbout};
    // Menu 128: no document.
    m_noDocumentMenus << CreateMenu(QStringLiteral("&File"),
                                    {Cmd::FileNew, Cmd::FileOpen, kSeparator, Cmd::FilePrintSetup,
                                     kSeparator, kRecentFiles, kSeparator, Cmd::AppExit})
                      << CreateMenu(QStringLiteral("&View"),
                                    {Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::ViewSqlLog})
                      << CreateMenu(QStringLiteral("&Help"), help);
    // Menu 129: a document is active.
    m_windowMenu = CreateMenu(QStringLiteral("&Window"),
                              {Cmd::WindowCascade, Cmd::WindowTile, Cmd::WindowArrange});
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::FillWindowList);
    m_documentMenus
        << CreateMenu(QStringLiteral("&File"),
                      {Cmd::FileNew, Cmd::FileOpen, Cmd::FileClose, Cmd::FileSave, Cmd::FileSaveAs,
                       kSeparator, Cmd::FilePrint, Cmd::FilePrintPreview, Cmd::FilePrintSetup,
                       Cmd::FileExport, Cmd::FileExportSql, kSeparator, kRecentFiles, kSeparator, Cmd::AppExit})
        << CreateMenu(QStringLiteral("&Edit"),
                      {Cmd::EditUndo, Cmd::EditRedo, kSeparator, Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste,
                       kSeparator, Cmd::EditFind, kSeparator, Cmd::CreateTable, Cmd::EditTable, Cmd::AddColumn, Cmd::CreateIndex,
                       Cmd::CreateForeignKey, Cmd::CreateTrigger, kSeparator, Cmd::Drop})
        << CreateMenu(QStringLiteral("&View"),
                      {Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::ViewSqlLog, kSeparator, Cmd::ViewSchema,
                       Cmd::ViewTableDiagram, Cmd::ViewAttributes, kSeparator, Cmd::ViewZoomIn,
                       Cmd::ViewZoomOut, Cmd::ViewZoomReset, Cmd::ViewZoomFit, kSeparator, Cmd::ViewArrange,
                       Cmd::ViewArrangeSelected, kSeparator, Cmd::ViewRefresh})
        << m_windowMenu << CreateMenu(QStringLiteral("&Help"), help);
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    const int buttons[] = {Cmd::FileNew, Cmd::FileOpen, Cmd::FileSave, kSeparator,
                           Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste, kSeparator,
                           Cmd::FilePrint, kSeparator, Cmd::ViewZoomOut, Cmd::ViewZoomIn, Cmd::ViewZoomFit,
                           kSeparator, Cmd::AppAbout, Cmd::ContextHelp};
    for (int id : buttons) {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions[id]);
    }
    // The toolbar's own menu entry is the Toolbar command, not Qt's toggle.
    m_toolBar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    // The message pane: "Ready" at rest; a command's prompt replaces it
    // while the command is highlighted.
    m_readyPane = new QLabel(QStringLiteral("Ready"), bar);
    bar->addWidget(m_readyPane, 1);
    // The active diagram's zoom; empty without a document.
    m_zoomPane = new QLabel(bar);
    m_zoomPane->setObjectName(QStringLiteral("ZOOM"));
    m_zoomPane->setAlignment(Qt::AlignCenter);
    m_zoomPane->setMinimumWidth(bar->fontMetrics().horizontalAdvance(QStringLiteral("Zoom 200 %")) + 12);
    bar->addPermanentWidget(m_zoomPane);
    const char *const names[3] = {"CAP", "NUM", "SCRL"};
    const int width = bar->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12;
    for (int i = 0; i < 3; ++i) {
        m_indicators[i] = new QLabel(bar);
        m_indicators[i]->setObjectName(QLatin1String(names[i]));
        m_indicators[i]->setAlignment(Qt::AlignCenter);
        m_indicators[i]->setFrameShape(QFrame::StyledPanel);
        m_indicators[i]->setFrameShadow(QFrame::Sunken);
        m_indicators[i]->setFixedWidth(width);
        bar->addPermanentWidget(m_indicators[i]);
    }
}

void CMainFrame::CreateAccelerators()
{
    for (const CAccelerator &accelerator : AcceleratorTable()) {
        auto *action = new QAction(this);
        action->setShortcuts(accelerator.m_keys);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = accelerator.m_id;
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
        addAction(action);
        m_accelerators.emplace_back(id, action);
    }
}

// The statement log docks at the bottom and starts hidden; its View menu
// entry shows it.
void CMainFrame::CreateSqlLog()
{
    m_sqlLog = new CSqlLogWindow(this);
    m_sqlLog->toggleViewAction()->setVisible(false);
    addDockWidget(Qt::BottomDockWidgetArea, m_sqlLog);
    m_sqlLog->hide();
}

// --- menus, title and document windows ----------------------------------

void CMainFrame::ShowDocumentMenus(bool document)
{
    if (document == m_documentMenusShown)
        return;
    m_documentMenusShown = document;
    menuBar()->clear();
    for (QMenu *menu : document ? m_documentMenus : m_noDocumentMenus)
        menuBar()->addMenu(menu);
}

CChildFrame *CMainFrame::ActiveChild() const
{
    return qobject_cast<CChildFrame *>(m_mdiArea->currentSubWindow());
}

QList<CChildFrame *> CMainFrame::Children() const
{
    QList<CChildFrame *> children;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *child = qobject_cast<CChildFrame *>(window))
            children << child;
    return children;
}

void CMainFrame::OnActiveChildChanged()
{
    CChildFrame *child = ActiveChild();
    if (child) {
        // Follow the active document's title; connecting twice is harmless
        // with a unique connection.
        connect(child, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateTitle,
                Qt::UniqueConnection);
        connect(child, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::OnChildStateChanged,
                Qt::UniqueConnection);
        connect(child, &QObject::destroyed, this, &CMainFrame::OnActiveChildChanged,
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
        connect(child->View(), &CDbView::ZoomChanged, this, &CMainFrame::ShowZoom, Qt::UniqueConnection);
    }
    ShowZoom();
    ShowDocumentMenus(child != nullptr);
    m_sqlLog->SetDocument(child ? child->Document() : nullptr);
    OnChildStateChanged();
    UpdateCommandUI();
}

// The active document window's state is the one a new window takes.
void CMainFrame::OnChildStateChanged()
{
    if (const CChildFrame *child = ActiveChild())
        m_documentsMaximized = child->isMaximized();
    UpdateTitle();
}

// The zoom pane follows the active document's view.
void CMainFrame::ShowZoom()
{
    const CChildFrame *child = ActiveChild();
    m_zoomPane->setText(child ? QStringLiteral("Zoom %1 %").arg(qRound(child->View()->Zoom() * 100))
                              : QString());
}

// "Vellumix - title" while a document window is active; a maximized one,
// whose own caption is gone, shows its title in brackets. This runs after
// the client area's own title handling and replaces it.
void CMainFrame::UpdateTitle()
{
    const CChildFrame *child = ActiveChild();
    QString title = QLatin1String(kAppTitle);
    if (child && !child->windowTitle().isEmpty()) {
        title += child->isMaximized() ? QStringLiteral(" - [%1]").arg(child->windowTitle())
                                      : QStringLiteral(" - ") + child->windowTitle();
    }
    setWindowTitle(title);
}

QAction *CMainFrame::CommandAction(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::UpdateRecentFileEntries()
{
    const int count = m_recentFiles ? m_recentFiles->Count() : 0;
    m_recentPlaceholder->setVisible(count == 0);
    for (int i = 0; i < CRecentFileList::kSize; ++i) {
        QAction *entry = m_actions[Cmd::FileMru1 + i];
        entry->setVisible(i < count);
        if (i < count)
            entry->setText(m_recentFiles->MenuText(i));
    }
}

void CMainFrame::FillWindowList()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<CChildFrame *> children = Children();
    if (children.isEmpty())
        return;
    m_windowListActions << m_windowMenu->addSeparator();
    const CChildFrame *active = ActiveChild();
    int number = 0;
    for (CChildFrame *child : children) {
        ++number;
        QString title = child->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction *entry = m_windowMenu->addAction(text);
        entry->setStatusTip(QStringLiteral("Activate this window"));
        entry->setCheckable(true);
        entry->setChecked(child == active);
        QPointer<CChildFrame> target(child);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target) {
                m_mdiArea->setActiveSubWindow(target);
                target->widget()->setFocus();
            }
        });
        m_windowListActions << entry;
    }
}

// Minimized document windows line up along the bottom of the client area.
void CMainFrame::ArrangeIcons()
{
    const QSize area = m_mdiArea->viewport()->size();
    int x = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = qMax(rowHeight, size.height());
    }
}

CHelpWindow *CMainFrame::HelpWindow()
{
    if (!m_helpWindow)
        m_helpWindow = new CHelpWindow(this);
    return m_helpWindow;
}

// --- command routing -----------------------------------------------------

bool CMainFrame::RouteCommandState(int id, bool &enabled, bool &checked) const
{
    enabled = false;
    checked = false;
    if (AlwaysDisabled(id))
        return false;
    if (const CChildFrame *child = ActiveChild())
        if (child->CommandState(id, enabled, checked))
            return true;
    if (CommandState(id, enabled, checked))
        return true;
    if (m_application && m_application->CommandState(id, enabled, checked))
        return true;
    enabled = false;
    checked = false;
    return false;
}

bool CMainFrame::RouteCommand(int id)
{
    bool enabled = false;
    bool checked = false;
    if (!RouteCommandState(id, enabled, checked) || !enabled) {
        UpdateCommandUI();
        return false;
    }
    emit commandRouted(id);
    bool handled = false;
    if (CChildFrame *child = ActiveChild())
        handled = child->OnCommand(id);
    if (!handled)
        handled = OnCommand(id);
    if (!handled && m_application)
        handled = m_application->OnCommand(id);
    UpdateCommandUI();
    return handled;
}

void CMainFrame::UpdateCommandUI()
{
    UpdateRecentFileEntries();
    bool enabled = false;
    bool checked = false;
    for (const auto &[id, action] : m_actions) {
        RouteCommandState(id, enabled, checked);
        action->setEnabled(enabled);
        ShowCommandText(id, *action);
        if (action->isCheckable())
            action->setChecked(checked);
    }
    for (const auto &[id, action] : m_accelerators) {
        RouteCommandState(id, enabled, checked);
        action->setEnabled(enabled);
    }
}

// A command whose target names what it will do ("Undo Move") shows that
// text; the target answers for such a command whenever it is asked.
void CMainFrame::ShowCommandText(int id, QAction &action) const
{
    QString text;
    const CChildFrame *child = ActiveChild();
    if (child && child->CommandText(id, text) && action.text() != text)
        action.setText(text);
}

bool CMainFrame::OnCommand(int id)
{
    switch (id) {
    case Cmd::ViewToolbar: m_toolBar->setVisible(m_toolBar->isHidden()); return true;
    case Cmd::ViewStatusBar: statusBar()->setVisible(statusBar()->isHidden()); return true;
    case Cmd::ViewSqlLog: m_sqlLog->setVisible(m_sqlLog->isHidden()); return true;
    case Cmd::WindowCascade: m_mdiArea->cascadeSubWindows(); return true;
    case Cmd::WindowTile: m_mdiArea->tileSubWindows(); return true;
    case Cmd::WindowArrange: ArrangeIcons(); return true;
    default: return false;
    }
}

bool CMainFrame::CommandState(int id, bool &enabled, bool &checked) const
{
    switch (id) {
    case Cmd::ViewToolbar:
        enabled = true;
        checked = !m_toolBar->isHidden();
        return true;
    case Cmd::ViewStatusBar:
        enabled = true;
        checked = !statusBar()->isHidden();
        return true;
    case Cmd::ViewSqlLog:
        enabled = true;
        checked = !m_sqlLog->isHidden();
        return true;
    case Cmd::WindowCascade:
    case Cmd::WindowTile:
    case Cmd::WindowArrange:
        enabled = true;
        checked = false;
        return true;
    default: return false;
    }
}

// --- closing and events ---------------------------------------------------

bool CMainFrame::CloseAllDocuments()
{
    for (CChildFrame *child : Children()) {
        m_mdiArea->setActiveSubWindow(child);
        if (!child->close())
            return false;
    }
    return true;
}

// The windows' state is kept as the user left it, not as closing the
// documents one by one leaves it.
void CMainFrame::closeEvent(QCloseEvent *event)
{
    const bool documentsMaximized = m_documentsMaximized;
    if (!CloseAllDocuments()) {
        event->ignore();
        return;
    }
    m_documentsMaximized = documentsMaximized;
    SaveWindowSettings();
    if (m_helpWindow)
        m_helpWindow->close();
    QMainWindow::closeEvent(event);
}

// A first run, or settings that cannot be read, keep the window as the
// constructor made it: most of the screen, toolbar and status bar shown,
// the SQL Log hidden.
void CMainFrame::RestoreWindowSettings()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kWindowGroup));
    restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("State")).toByteArray(), kWindowStateVersion);
    if (!settings.value(QStringLiteral("StatusBar"), true).toBool())
        statusBar()->hide();
    m_documentsMaximized = settings.value(QStringLiteral("DocumentsMaximized"), false).toBool();
}

void CMainFrame::SaveWindowSettings() const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kWindowGroup));
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("State"), saveState(kWindowStateVersion));
    settings.setValue(QStringLiteral("StatusBar"), !statusBar()->isHidden());
    settings.setValue(QStringLiteral("DocumentsMaximized"), m_documentsMaximized);
}

void CMainFrame::UpdateIndicators()
{
    const CLockKeyState state = CLockKeyState::Query();
    const bool on[3] = {state.m_caps, state.m_num, state.m_scroll};
    const char *const names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setText(on[i] ? QLatin1String(names[i]) : QString());
}

// Accelerators must see the current availability before Qt matches a key
// against them, and the lock indicators follow the lock keys.
bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this)
            UpdateCommandUI();
    } else if (type == QEvent::KeyRelease && watched->isWidgetType()
               && IsLockKey(static_cast<QKeyEvent *>(event)->key())) {
        // Also in dialogs: the lock state is the keyboard's, not a window's.
        UpdateIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}
