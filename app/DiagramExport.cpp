#include "app/DiagramExport.h"

#include "document/Doc.h"
#include "view/DbView.h"
#include "view/DiagramOutput.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Driver messages come as several lines; a reason is one.
QString OneLine(const std::string &text)
{
    return QString::fromStdString(text).simplified();
}

} // namespace

// The characters ODBC forbids in a data source name. Refusing them here
// also keeps the name from adding attributes of its own (";Driver=...") to
// the connection string it becomes.
bool IsDataSourceName(const QString &name)
{
    static const QString kForbidden = QStringLiteral("[]{}(),;?*=!@\\\r\n");
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar c : name)
        if (kForbidden.contains(c))
            return false;
    return true;
}

CDiagramExport::CDiagramExport(const CAdapterList &adapters) : m_adapters(adapters) {}

CDiagramExport::~CDiagramExport() = default;

// The output is checked before anything connects, so that a mistyped name
// fails at once.
bool CDiagramExport::Run(const QString &diagramPath, const QString &outputPath)
{
    const QString refusal = CDiagramOutput::Refusal(outputPath);
    if (!refusal.isEmpty())
        return Fail(refusal);
    QFile input(diagramPath);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1: %2").arg(diagramPath, input.errorString()));
    m_title = QFileInfo(diagramPath).fileName();
    return Load(input.readAll(), diagramPath, QStringLiteral("the data source of %1").arg(diagramPath))
           && Write(outputPath);
}

bool CDiagramExport::RunForSource(const QString &dsn, const QString &outputPath)
{
    const QString refusal = CDiagramOutput::Refusal(outputPath);
    if (!refusal.isEmpty())
        return Fail(refusal);
    if (!IsDataSourceName(dsn))
        return Fail(QStringLiteral("\"%1\" is not a data source name").arg(dsn));
    m_title = dsn;
    return Load("DSN=" + dsn.toUtf8() + "\r\n", dsn, QStringLiteral("the data source %1").arg(dsn))
           && Write(outputPath);
}

// Like File Open, except that a file without a data-source line fails
// instead of asking for a source, a file without table lines shows every
// table, and every failure is a reason to return rather than a message box.
bool CDiagramExport::Load(const QByteArray &diagram, const QString &name, const QString &source)
{
    m_doc = std::make_unique<CDoc>(m_adapters);
    CDbSession &session = m_doc->GetSession();
    // Nobody is there to answer: a connection string that needs the user's
    // consent or more information (see CDbSession::ConnectFromFile) ends
    // the export with the reason the chooser would have shown.
    bool asked = false;
    std::string reason;
    session.SetConnectPrompt([&asked, &reason](CDbSession &, std::string &, const std::string &why) {
        asked = true;
        reason = why;
        return false;
    });
    int result = m_doc->LoadDiagram(diagram);
    session.SetConnectPrompt(nullptr);
    if (asked && !reason.empty())
        return Fail(QStringLiteral("cannot connect to %1: %2").arg(source, OneLine(reason)));
    if (asked || (result >= 0 && !session.IsConnected()))
        return Fail(QStringLiteral("%1 is not a diagram file: it names no data source (no DSN= "
                                   "line before its tables)")
                        .arg(name));
    // The reader loads the tables at the first table line; without one the
    // diagram is the whole data source, arranged below once it is shown.
    const bool wholeSource = result >= 0 && m_doc->TableCount() == 0;
    if (wholeSource)
        result = m_doc->LoadAllTables();
    if (result < 0) {
        const QString what = session.IsConnected() ? QStringLiteral("cannot read the tables of %1")
                                                   : QStringLiteral("cannot connect to %1");
        return Fail(what.arg(source) + QStringLiteral(": ") + OneLine(session.GetErrorText(result)));
    }
    if (m_doc->TableCount() == 0)
        return Fail(QStringLiteral("nothing to draw: %1 has no tables").arg(source));
    m_view = std::make_unique<CDbView>(m_doc.get());
    m_view->OnInitialUpdate();
    // Nobody placed these tables: related ones stand together, none overlap.
    if (wholeSource)
        m_view->ArrangeDiagram();
    return true;
}

bool CDiagramExport::Write(const QString &outputPath)
{
    CDiagramOutput output(*m_view, m_title);
    return output.Write(outputPath) || Fail(output.ErrorText());
}

bool CDiagramExport::Fail(const QString &error)
{
    m_error = error;
    return false;
}
