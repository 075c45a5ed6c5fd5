#include "app/SchemaScriptExport.h"

#include "app/DiagramExport.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "document/FileWrite.h"
#include "model/SchemaScript.h"

#include <QFile>

namespace {

QString OneLine(const std::string &text)
{
    return QString::fromStdString(text).simplified();
}

} // namespace

CSchemaScriptExport::CSchemaScriptExport(const CAdapterList &adapters) : m_adapters(adapters) {}

CSchemaScriptExport::~CSchemaScriptExport() = default;

// The output is checked before anything connects, so that a mistyped name
// fails at once.
bool CSchemaScriptExport::Run(const QString &diagramPath, const QString &outputPath,
                              std::optional<ScriptEngine> target)
{
    const QString refusal = FileWrite::Refusal(outputPath);
    if (!refusal.isEmpty())
        return Fail(QStringLiteral("cannot write %1: %2").arg(outputPath, refusal));
    QFile input(diagramPath);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1: %2").arg(diagramPath, input.errorString()));
    const QString source = QStringLiteral("the data source of %1").arg(diagramPath);
    return Load(input.readAll(), diagramPath, source) && Write(outputPath, target, source);
}

bool CSchemaScriptExport::RunForSource(const QString &dsn, const QString &outputPath,
                                       std::optional<ScriptEngine> target)
{
    const QString refusal = FileWrite::Refusal(outputPath);
    if (!refusal.isEmpty())
        return Fail(QStringLiteral("cannot write %1: %2").arg(outputPath, refusal));
    if (!IsDataSourceName(dsn))
        return Fail(QStringLiteral("\"%1\" is not a data source name").arg(dsn));
    const QString source = QStringLiteral("the data source %1").arg(dsn);
    return Load("DSN=" + dsn.toUtf8() + "\r\n", dsn, source) && Write(outputPath, target, source);
}

// Connects and loads as the diagram export does, with the same reasons;
// a diagram without table lines stands for every table of its source.
bool CSchemaScriptExport::Load(const QByteArray &diagram, const QString &name, const QString &source)
{
    m_doc = std::make_unique<CDoc>(m_adapters);
    CDbSession &session = m_doc->GetSession();
    bool asked = false;
    std::string reason;
    session.SetConnectPrompt([&asked, &reason](CDbSession &, std::string &, const std::string &why) {
        asked = true;
        reason = why;
        return false;
    });
    const int result = m_doc->LoadDiagram(diagram);
    session.SetConnectPrompt(nullptr);
    if (asked && !reason.empty())
        return Fail(QStringLiteral("cannot connect to %1: %2").arg(source, OneLine(reason)));
    if (asked || (result >= 0 && !session.IsConnected()))
        return Fail(QStringLiteral("%1 is not a diagram file: it names no data source (no DSN= "
                                   "line before its tables)")
                        .arg(name));
    if (result < 0) {
        const QString what = session.IsConnected() ? QStringLiteral("cannot read the tables of %1")
                                                   : QStringLiteral("cannot connect to %1");
        return Fail(what.arg(source) + QStringLiteral(": ") + OneLine(session.GetErrorText(result)));
    }
    return true;
}

bool CSchemaScriptExport::Write(const QString &outputPath, std::optional<ScriptEngine> target,
                                const QString &source)
{
    std::vector<std::string> tables;
    for (int i = 0; i < m_doc->TableCount(); ++i)
        tables.push_back(m_doc->GetTable(i)->Name());
    ScriptEngine engine = ScriptEngine::Sqlite;
    if (!SchemaScript::EngineOf(m_doc->GetSession(), engine))
        return Fail(QStringLiteral("cannot write a script of %1: scripts are written from SQLite and "
                                   "PostgreSQL only, not from %2")
                        .arg(source, QString::fromStdString(m_doc->GetSession().GetDbmsName())));
    std::string script, error;
    // A script of no table would pass for a schema.
    if (!SchemaScript::Export(m_doc->GetSession(), tables, target ? &*target : nullptr, script, error))
        return Fail(error.empty() ? QStringLiteral("nothing to write: %1 has no tables").arg(source)
                                  : QStringLiteral("cannot read the tables of %1: %2")
                                        .arg(source, QString::fromStdString(error)));
    const FileWrite::CResult written = FileWrite::WriteWhole(outputPath, QByteArray::fromStdString(script));
    if (!written.written)
        return Fail(QStringLiteral("cannot write %1: %2").arg(outputPath, written.reason));
    return true;
}

bool CSchemaScriptExport::Fail(const QString &error)
{
    m_error = error;
    return false;
}
