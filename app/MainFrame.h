#pragma once

#include "app/CommandTarget.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <map>
#include <vector>

class CChildFrame;
class CHelpWindow;
class CRecentFileList;
class CSqlLogWindow;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

// The main window: menu bar, toolbar, status bar and the client area with
// the document windows. It routes every command to the active document
// window first (its view, then its document), then answers its own (the
// bars and the Window menu), then hands it to the application; a command
// nobody answers is disabled.
class CMainFrame : public QMainWindow, public CCommandTarget
{
    Q_OBJECT

public:
    enum Indicator { CapsLock, NumLock, ScrollLock };

    CMainFrame(CCommandTarget *application, const CRecentFileList *recentFiles,
               QWidget *parent = nullptr);
    ~CMainFrame() override;

    QMdiArea *MdiArea() const { return m_mdiArea; }
    // The document window the commands go to, or null.
    CChildFrame *ActiveChild() const;
    QList<CChildFrame *> Children() const;
    // The menu entry (and toolbar button) of a command, or null.
    QAction *CommandAction(int id) const;
    QToolBar *ToolBar() const { return m_toolBar; }
    CSqlLogWindow *SqlLog() const { return m_sqlLog; }
    QLabel *IndicatorPane(Indicator indicator) const { return m_indicators[indicator]; }
    QLabel *ZoomPane() const { return m_zoomPane; }
    // True while the document menus are in the menu bar.
    bool DocumentMenusShown() const { return m_documentMenusShown; }
    CHelpWindow *HelpWindow();
    // Whether the user last had the document windows maximized: a new one
    // comes up so when no other is open. Remembered between runs.
    bool DocumentsMaximized() const { return m_documentsMaximized; }

    bool RouteCommand(int id);
    bool RouteCommandState(int id, bool &enabled, bool &checked) const;
    void ShowCommandText(int id, QAction &action) const;
    // Brings every menu entry, toolbar button and accelerator up to date.
    void UpdateCommandUI();
    void UpdateIndicators();
    // Closes every document, each asking to save; false when one stays open.
    bool CloseAllDocuments();

    bool OnCommand(int id) override;
    bool CommandState(int id, bool &enabled, bool &checked) const override;

signals:
    // An available command was sent on its way.
    void commandRouted(int id);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *CreateCommandAction(int id);
    void CreateActions();
    void CreateMenus();
    QMenu *CreateMenu(const QString &title, const std::vector<int> &ids);
    QMenu *CreateFileMenu(const std::vector<int> &ids);
    void CreateToolBar();
    void CreateStatusBar();
    void CreateAccelerators();
    void CreateSqlLog();

    void ShowDocumentMenus(bool document);
    void OnActiveChildChanged();
    void OnChildStateChanged();
    // The window's size, place and state, its bars, the SQL Log and the
    // document windows' maximized state, kept in the user's settings.
    void RestoreWindowSettings();
    void SaveWindowSettings() const;
    void ShowZoom();
    void UpdateTitle();
    void UpdateRecentFileEntries();
    void FillWindowList();
    void ArrangeIcons();

    CCommandTarget *m_application = nullptr;
    const CRecentFileList *m_recentFiles = nullptr;
    QMdiArea *m_mdiArea = nullptr;
    QToolBar *m_toolBar = nullptr;
    CSqlLogWindow *m_sqlLog = nullptr;
    QLabel *m_readyPane = nullptr;
    QLabel *m_indicators[3] = {nullptr, nullptr, nullptr};
    QLabel *m_zoomPane = nullptr;
    std::map<int, QAction *> m_actions;
    std::vector<std::pair<int, QAction *>> m_accelerators;
    QAction *m_recentPlaceholder = nullptr;
    QList<QMenu *> m_noDocumentMenus;
    QList<QMenu *> m_documentMenus;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListActions;
    QPointer<CHelpWindow> m_helpWindow;
    bool m_documentMenusShown = true;
    bool m_documentsMaximized = false;
};
