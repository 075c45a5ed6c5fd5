#include "app/SchemaApp.h"

#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/CommandLineInfo.h"
#include "app/DataSourceDlg.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "diagram/SharedResources.h"
#include "res/Resource.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QSettings>
#include <QWhatsThis>

namespace {
const char *const kSettingsSection = "Settings";
const char *const kPreviewPagesEntry = "PreviewPages";
} // namespace

// The names come first: settings live under Korvantis/Vellumix, and the
// command-line tool reports the version before any start-up.
CSchemaApp::CSchemaApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Korvantis"));
    setApplicationName(QStringLiteral("Vellumix"));
    setApplicationVersion(QStringLiteral("1.0"));
    setDesktopFileName(DesktopFileName());
}

QString CSchemaApp::DesktopFileName() { return QStringLiteral("com.korvantis.Vellumix"); }

CSchemaApp::~CSchemaApp() = default;

CMainFrame *CSchemaApp::MainFrame() const { return m_mainFrame; }

bool CSchemaApp::InitInstance()
{
    return InitInstance(arguments().mid(1));
}

bool CSchemaApp::InitInstance(const QStringList &arguments)
{
    LoadStdProfileSettings();

    Shared::DiagramFont();
    m_adapters = MakeDbmsAdapters();

    m_mainFrame = new CMainFrame(this, &m_recentFiles);
    m_docTemplate = std::make_unique<CDocTemplate>(m_mainFrame->MdiArea(), m_adapters,
                                                   DataSourcePrompt(), &m_printSettings);
    connect(m_docTemplate.get(), &CDocTemplate::fileUsed, this,
            [this](const QString &path) { m_recentFiles.Add(path); });

    CCommandLineInfo commandLine;
    commandLine.Parse(arguments);

    m_mainFrame->show();
    m_mainFrame->update();

    if (commandLine.m_shellCommand == CCommandLineInfo::FileOpen)
        OpenDocumentFile(commandLine.m_fileName);
    return true;
}

void CSchemaApp::ExitInstance()
{
    // The documents (and their connections) go with the main window, while
    // the adapters they use are still there.
    delete m_mainFrame;
    m_docTemplate.reset();
    m_adapters = CAdapterList();
    SaveStdProfileSettings();
}

void CSchemaApp::LoadStdProfileSettings()
{
    QSettings settings;
    m_recentFiles.Read(settings);
    m_printSettings.SetPreviewPages(
        settings.value(QStringLiteral("%1/%2").arg(QLatin1String(kSettingsSection),
                                                   QLatin1String(kPreviewPagesEntry)),
                       0)
            .toInt());
}

void CSchemaApp::SaveStdProfileSettings() const
{
    QSettings settings;
    m_recentFiles.Write(settings);
    if (m_printSettings.PreviewPages() != 0)
        settings.setValue(QStringLiteral("%1/%2").arg(QLatin1String(kSettingsSection),
                                                     QLatin1String(kPreviewPagesEntry)),
                          m_printSettings.PreviewPages());
}

// The driver manager has no data-source dialog of its own here; the
// program's dialog takes its place, over the main window.
ConnectPrompt CSchemaApp::DataSourcePrompt()
{
    return [this](CDbSession &session, std::string &connectionString, const std::string &reason) {
        QWidget *parent = activeModalWidget();
        if (!parent)
            parent = m_mainFrame;
        return CDataSourceDlg::Prompt(session, connectionString, reason, parent);
    };
}

// --- documents -------------------------------------------------------------

CChildFrame *CSchemaApp::NewDocument()
{
    return m_docTemplate->OpenDocumentFile(QString());
}

CChildFrame *CSchemaApp::OpenDocumentFile(const QString &path)
{
    return m_docTemplate->OpenDocumentFile(path);
}

void CSchemaApp::OnFileOpen()
{
    QFileDialog dialog(m_mainFrame, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({CDocTemplate::GetDocString(CDocTemplate::FilterName),
                           QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(CDocTemplate::GetDocString(CDocTemplate::FilterExt).mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenDocumentFile(dialog.selectedFiles().first());
}

// A file that is gone or unreadable leaves the list; one that exists stays
// even when the connection failed, so a passing network or driver problem
// does not cost the entry.
void CSchemaApp::OnOpenRecentFile(int index)
{
    const QString path = m_recentFiles.At(index);
    if (path.isEmpty())
        return;
    if (OpenDocumentFile(path))
        return;
    const QFileInfo file(path);
    if (!file.exists() || !file.isReadable())
        m_recentFiles.Remove(m_recentFiles.Files().indexOf(path));
}

void CSchemaApp::OnFilePrintSetup()
{
    m_printSettings.RunSetupDialog(m_mainFrame);
}

void CSchemaApp::OnAppAbout()
{
    CAboutDlg dialog(m_mainFrame);
    dialog.exec();
}

void CSchemaApp::ShowHelp(const QString &page)
{
    if (m_mainFrame)
        m_mainFrame->HelpWindow()->ShowPage(page);
}

// --- commands --------------------------------------------------------------

bool CSchemaApp::OnCommand(int id)
{
    if (id >= Cmd::FileMru1 && id < Cmd::FileMru1 + CRecentFileList::kSize) {
        OnOpenRecentFile(id - Cmd::FileMru1);
        return true;
    }
    switch (id) {
    case Cmd::FileNew: NewDocument(); return true;
    case Cmd::FileOpen: OnFileOpen(); return true;
    case Cmd::FilePrintSetup: OnFilePrintSetup(); return true;
    case Cmd::AppAbout: OnAppAbout(); return true;
    case Cmd::AppExit:
        if (m_mainFrame)
            m_mainFrame->close();
        return true;
    case Cmd::HelpIndex:
    case Cmd::Help:
    case Cmd::DefaultHelp: ShowHelp(QStringLiteral("index.html")); return true;
    case Cmd::HelpUsing: ShowHelp(QStringLiteral("using.html")); return true;
    case Cmd::ContextHelp: QWhatsThis::enterWhatsThisMode(); return true;
    default: return false;
    }
}

bool CSchemaApp::CommandState(int id, bool &enabled, bool &checked) const
{
    checked = false;
    if (id >= Cmd::FileMru1 && id < Cmd::FileMru1 + CRecentFileList::kSize) {
        enabled = id - Cmd::FileMru1 < m_recentFiles.Count();
        return true;
    }
    switch (id) {
    case Cmd::FileNew:
    case Cmd::FileOpen:
    case Cmd::FilePrintSetup:
    case Cmd::AppAbout:
    case Cmd::AppExit:
    case Cmd::HelpIndex:
    case Cmd::Help:
    case Cmd::DefaultHelp:
    case Cmd::HelpUsing:
    case Cmd::ContextHelp: enabled = true; return true;
    default: return false;
    }
}
