#include "document/Doc.h"

#include "db/ConnectionString.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "diagram/TableWnd.h"
#include "document/AutoLayout.h"
#include "document/DiagramFile.h"
#include "document/FileWrite.h"
#include "document/ErrorReport.h"
#include "document/LoadProgress.h"
#include "model/SchemaLoader.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>
#include <unordered_map>

namespace {

// What reading a diagram file does, applied to one document.
class CDocReadTarget : public CDiagramTarget
{
public:
    explicit CDocReadTarget(CDoc &doc) : m_doc(doc) {}

    // A connection string from the file may need the user's consent or
    // more information; the session asks for it.
    int ConnectWith(const std::string &connectionString) override
    {
        CDbSession &session = m_doc.m_session;
        const int result = connectionString.empty() ? session.Connect()
                                                    : session.ConnectFromFile(connectionString);
        if (result >= 0)
            m_doc.SetTitle(QString::fromStdString(m_doc.m_session.m_dsn));
        return result;
    }
    bool HasTables() const override { return m_doc.TableCount() > 0; }
    int LoadAllTables() override
    {
        m_byName.clear();
        return m_doc.LoadAllTables();
    }
    // Looked up by name in a table made once after loading: a search of the
    // table list for every line of the file grew with the square of the
    // diagram. Of equal names the first in document order counts, as
    // FindTable finds it.
    void SetRecordedPosition(const std::string &table, const QPoint &position) override
    {
        if (m_byName.empty()) {
            m_byName.reserve(static_cast<size_t>(m_doc.TableCount()));
            for (int i = 0; i < m_doc.TableCount(); ++i)
                m_byName.emplace(m_doc.GetTable(i)->m_name, m_doc.GetTable(i));
        }
        const auto found = m_byName.find(table);
        if (found != m_byName.end())
            found->second->m_savedPos = position;
    }
    void SetViewMode(int mode) override { m_doc.m_viewMode = mode; }

private:
    CDoc &m_doc;
    std::unordered_map<std::string, CTableWnd *> m_byName;
};

} // namespace

CDoc::CDoc(const CAdapterList &adapters, ConnectPrompt prompt, const QString &untitledName)
    : m_session(adapters, std::move(prompt)), m_title(untitledName)
{
}

CDoc::~CDoc()
{
    DeleteTables();
}

CTableWnd *CDoc::GetTable(int index) const
{
    if (index < 0 || index >= TableCount())
        return nullptr;
    return m_tables[static_cast<size_t>(index)];
}

int CDoc::IndexOfTable(const CTableWnd *table) const
{
    const auto found = std::find(m_tables.begin(), m_tables.end(), table);
    return found == m_tables.end() ? -1 : static_cast<int>(found - m_tables.begin());
}

const CTableSchema *CDoc::FindSchema(const std::string &table) const
{
    return m_schema.FindTable(table);
}

int CDoc::ReloadTable(CTableWnd &table)
{
    CTableSchema schema;
    const int result = SchemaLoader::LoadTable(m_session, table.m_name, schema);
    if (result < 0)
        return result;
    m_schema.PutTable(std::move(schema));
    // The rows are new: nothing of them is selected.
    table.ClearSelection();
    table.ShowSchema(*m_schema.FindTable(table.m_name));
    return result;
}

int CDoc::ReloadRelationships() { return SchemaLoader::LoadRelationships(m_session, m_schema); }

CTableWnd *CDoc::FindTable(const std::string &name) const
{
    for (CTableWnd *table : m_tables)
        if (table->m_name == name)
            return table;
    return nullptr;
}

void CDoc::RemoveTable(CTableWnd *table)
{
    m_tables.erase(std::remove(m_tables.begin(), m_tables.end(), table), m_tables.end());
}

void CDoc::AppendTable(CTableWnd *table) { m_tables.push_back(table); }

void CDoc::AddCreatedTable(CTableWnd *table)
{
    AppendTable(table);
    m_tableCreated = true;
    m_modified = true;
}

void CDoc::DeleteTables()
{
    for (CTableWnd *table : m_tables)
        delete table;
    m_tables.clear();
}

int CDoc::LoadAllTables()
{
    std::vector<std::string> names;
    int result = ReloadRelationships();
    if (result >= 0)
        result = SchemaLoader::ListUserTables(m_session, names);
    if (result >= 0) {
        std::vector<CTableSchema> schemas;
        result = SchemaLoader::LoadTables(m_session, names, schemas, [this](int loaded, int total) {
            return !m_loadProgress || m_loadProgress->Step(loaded, total);
        });
        // What was read before a failure or a cancel stays, as the caller
        // decides what comes of it.
        m_tables.reserve(m_tables.size() + schemas.size());
        for (CTableSchema &schema : schemas) {
            auto *table = new CTableWnd(this, schema.m_name);
            m_schema.PutTable(std::move(schema));
            table->ShowSchema(*m_schema.FindTable(table->m_name));
            m_tables.push_back(table);
        }
    }

    std::vector<int> counts;
    counts.reserve(m_tables.size());
    for (const CTableWnd *table : m_tables)
        counts.push_back(table->ItemCount());
    const std::vector<QPoint> positions = AutoLayout(counts);
    for (size_t i = 0; i < m_tables.size(); ++i)
        m_tables[i]->m_savedPos = positions[i];
    return result;
}

// A load of many tables shows its progress and can be cancelled; the
// document then comes to nothing, like one that failed.
int CDoc::LoadWithFeedback(const std::function<int()> &load)
{
    CLoadProgress progress;
    CLoadProgress *const given = m_loadProgress;
    if (!given)
        m_loadProgress = &progress;
    const int result = load();
    m_loadProgress = given;
    return result;
}

// Connection errors have no owner window: the document's frame is not shown
// yet and may be discarded. A load or a data-source choice the user
// cancelled is not an error.
void CDoc::ReportError(int code)
{
    const bool cancelled = code == DbResult::kCancelled
                           || (code == DbResult::kNoData && m_session.PromptCancelled());
    if (!cancelled)
        ReportDbError(nullptr, m_session, code);
}

bool CDoc::OnNewDocument()
{
    int result = m_session.Connect();
    if (result < 0) {
        ReportError(result);
        return false;
    }
    SetTitle(QString::fromStdString(m_session.m_dsn));
    result = LoadWithFeedback([this] { return LoadAllTables(); });
    if (result < 0) {
        ReportError(result);
        return false;
    }
    m_pathName.clear();
    m_modified = false;
    m_tableCreated = false;
    m_savedViewMode = m_viewMode;
    return true;
}

bool CDoc::OnOpenDocument(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        ShowError(nullptr, QStringLiteral("%1\nCannot find this file.\nPlease verify that the "
                                          "correct path and file name are given.")
                               .arg(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(nullptr, QStringLiteral("Failed to open document."));
        return false;
    }
    const int result = LoadWithFeedback([&] { return LoadDiagram(file.readAll()); });
    if (result < 0) {
        ReportError(result);
        return false;
    }
    // Without a data-source line or a table line the reader never connects:
    // the file is something else, and opening it would leave a document
    // that can do nothing, under a name that would then enter the recent
    // files.
    if (!m_session.IsConnected()) {
        ShowError(nullptr, QStringLiteral("%1 is not a diagram file: it names no data source (no "
                                          "DSN= line before its tables).")
                               .arg(path));
        return false;
    }
    m_modified = false;
    m_tableCreated = false;
    m_pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    emit fileUsed(m_pathName);
    return true;
}

int CDoc::LoadDiagram(const QByteArray &content)
{
    CDocReadTarget target(*this);
    const int result = ReadDiagram(content, target);
    m_savedViewMode = m_viewMode;
    return result;
}

// The file is written beside the old one and renamed over it only when
// written whole, so a failed save (a full disk too) leaves the previous
// diagram intact.
bool CDoc::OnSaveDocument(const QString &path)
{
    std::vector<CDiagramEntry> entries;
    entries.reserve(m_tables.size());
    for (const CTableWnd *table : m_tables)
        entries.push_back({table->m_name, table->GetPosition()});
    const QByteArray content = WriteDiagram(
        ConnectionString::ForDiagramFile(m_session.GetSentConnectionString(), m_session.m_dsn),
        m_viewMode, entries);

    QFileInfo info(path);
    if (info.exists() && !info.isWritable()) {
        ShowError(DialogParent(), QStringLiteral("Unable to write to %1, it is read-only or "
                                                 "opened by someone else.")
                                      .arg(path));
        return false;
    }
    const FileWrite::CResult written = FileWrite::WriteWhole(path, content);
    if (!written.written) {
        const bool full = written.error == QFileDevice::ResourceError;
        ShowError(DialogParent(), full ? QStringLiteral("Destination disk drive is full.")
                                       : QStringLiteral("Failed to save document."));
        return false;
    }
    // What is on disk is now the layout to compare with when closing, so
    // that moving a table back after saving is noticed and saving alone
    // asks nothing.
    for (CTableWnd *table : m_tables)
        table->m_savedPos = table->GetPosition();
    m_savedViewMode = m_viewMode;
    m_modified = false;
    m_tableCreated = false;
    m_pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    emit fileUsed(m_pathName);
    return true;
}

bool CDoc::DoSave(bool saveAs)
{
    QString path = m_pathName;
    if (saveAs || path.isEmpty()) {
        path = QFileDialog::getSaveFileName(DialogParent(), QStringLiteral("Save As"),
                                            ProposedFileName(m_title),
                                            QStringLiteral("Vellumix Files (*.vmx)"));
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".vmx");
    }
    return OnSaveDocument(path);
}

QString CDoc::ProposedFileName(const QString &title)
{
    const QString extension = QStringLiteral(".vmx");
    return title.endsWith(extension, Qt::CaseInsensitive) ? title : title + extension;
}

bool CDoc::CheckMovedTables()
{
    // A view mode the file does not hold would be lost as silently as a
    // moved window.
    m_modified = m_tableCreated || m_viewMode != m_savedViewMode;
    for (const CTableWnd *table : m_tables)
        if (table->GetPosition() != table->m_savedPos)
            m_modified = true;
    return m_modified;
}

// Cancel keeps the document open: closing anyway would lose the user's
// window layout.
bool CDoc::SaveModified()
{
    if (!CheckMovedTables())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellumix"),
                    QStringLiteral("Save changes to %1?").arg(m_title),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, DialogParent());
    switch (box.exec()) {
    case QMessageBox::Yes: return DoSave(false);
    case QMessageBox::No: return true;
    default: return false;
    }
}

void CDoc::SetTitle(const QString &title)
{
    m_title = title;
    emit titleChanged(title);
}

QWidget *CDoc::DialogParent() const
{
    return m_view ? m_view->window() : nullptr;
}
