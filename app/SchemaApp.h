#pragma once

#include "app/CommandTarget.h"
#include "app/RecentFileList.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "view/PrintSettings.h"

#include <QApplication>
#include <QPointer>

#include <memory>

class CChildFrame;
class CDocTemplate;
class CMainFrame;

// The application object: start-up in a fixed order, the application
// commands (New, Open, the recent files, Print Setup without a document,
// About, Exit, help) and exit.
class CSchemaApp : public QApplication, public CCommandTarget
{
    Q_OBJECT

public:
    CSchemaApp(int &argc, char **argv);
    ~CSchemaApp() override;

    // The name of the installed desktop entry, without ".desktop": window
    // managers find the program's name and icon for its windows through it.
    static QString DesktopFileName();

    // Start-up with the process's own command line.
    bool InitInstance();
    // Start-up with the given arguments (those after the program name).
    bool InitInstance(const QStringList &arguments);
    void ExitInstance();

    CMainFrame *MainFrame() const;
    CDocTemplate *DocTemplate() const { return m_docTemplate.get(); }
    CRecentFileList &RecentFiles() { return m_recentFiles; }
    CPrintSettings &PrintSettings() { return m_printSettings; }
    // The engines the documents' sessions know, made anew by InitInstance;
    // every document of the application uses them.
    CAdapterList &Adapters() { return m_adapters; }

    // File New; null when the document did not come up.
    CChildFrame *NewDocument();
    // Opens a diagram file as a document (or activates the window already
    // showing it); null when it could not be opened.
    CChildFrame *OpenDocumentFile(const QString &path);
    void ShowHelp(const QString &page);

    bool OnCommand(int id) override;
    bool CommandState(int id, bool &enabled, bool &checked) const override;

private:
    void LoadStdProfileSettings();
    void SaveStdProfileSettings() const;
    ConnectPrompt DataSourcePrompt();
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnFilePrintSetup();
    void OnAppAbout();

    CRecentFileList m_recentFiles;
    CPrintSettings m_printSettings;
    // The adapters outlive the main window, its documents and the template.
    CAdapterList m_adapters;
    QPointer<CMainFrame> m_mainFrame;
    std::unique_ptr<CDocTemplate> m_docTemplate;
};
