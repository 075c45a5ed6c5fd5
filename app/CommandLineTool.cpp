#include "app/CommandLineTool.h"

#include "app/DiagramExport.h"
#include "app/SchemaScriptExport.h"
#include "db/DbmsAdapter.h"
#include "view/DiagramOutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace CommandLineTool {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char *const kProgram = "vellumix";

bool IsToolOption(const QString &argument)
{
    static const QStringList kOptions = {QStringLiteral("-h"), QStringLiteral("--help"),
                                         QStringLiteral("-v"), QStringLiteral("--version"),
                                         QStringLiteral("--export"), QStringLiteral("--export-sql")};
    return kOptions.contains(argument) || argument.startsWith(QLatin1String("--export="))
           || argument.startsWith(QLatin1String("--export-sql="));
}

// The diagram is a diagram file's path, or a data source's name.
int Export(const QString &diagram, bool fromSource, const QString &output, QTextStream &err)
{
    const CAdapterList adapters = MakeDbmsAdapters();
    CDiagramExport job(adapters);
    const bool done = fromSource ? job.RunForSource(diagram, output) : job.Run(diagram, output);
    if (!done) {
        err << kProgram << ": " << job.ErrorText() << Qt::endl;
        return kFailed;
    }
    return kDone;
}

int ExportScript(const QString &diagram, bool fromSource, const QString &output,
                 std::optional<ScriptEngine> target, QTextStream &err)
{
    const CAdapterList adapters = MakeDbmsAdapters();
    CSchemaScriptExport job(adapters);
    const bool done =
        fromSource ? job.RunForSource(diagram, output, target) : job.Run(diagram, output, target);
    if (!done) {
        err << kProgram << ": " << job.ErrorText() << Qt::endl;
        return kFailed;
    }
    return kDone;
}

// Critical and fatal messages still reach the terminal; notices such as a
// missing runtime folder do not.
void KeepSeriousMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// "--export --dsn NAME": the parser would take "--dsn" for the diagram
// file that --export expects, so a --dsn right after --export (or
// --export-sql) stands in for that value and the export option itself is
// dropped; script tells which one it was. Any other --dsn stays for the
// parser and is refused later.
QStringList WithSourceInPlaceOfDiagram(QStringList arguments, bool &fromSource, bool &script)
{
    fromSource = false;
    script = false;
    for (int i = 0; i + 1 < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        const QString &next = arguments.at(i + 1);
        if ((option == QLatin1String("--export") || option == QLatin1String("--export-sql"))
            && (next == QLatin1String("--dsn") || next.startsWith(QLatin1String("--dsn=")))) {
            script = option == QLatin1String("--export-sql");
            arguments.removeAt(i);
            fromSource = true;
            break;
        }
    }
    return arguments;
}

// The engine --dialect names; false for a name it does not know.
bool ScriptTarget(const QString &name, std::optional<ScriptEngine> &target)
{
    if (name == QLatin1String("postgres"))
        target = ScriptEngine::Postgres;
    else if (name == QLatin1String("sqlite"))
        target = ScriptEngine::Sqlite;
    else
        return false;
    return true;
}

int UsageError(const QString &text, QTextStream &err)
{
    err << kProgram << ": " << text << " (see " << kProgram << " --help)" << Qt::endl;
    return kUsage;
}

// Any file name will do for a script: it is text whatever it ends in.
int RunScriptExport(const QStringList &files, const QString &diagram, bool fromSource,
                    const QString &dialectName, QTextStream &err)
{
    if (files.size() != 1)
        return UsageError(QStringLiteral("--export-sql needs exactly one file to write"), err);
    std::optional<ScriptEngine> target;
    if (!dialectName.isNull() && !ScriptTarget(dialectName, target))
        return UsageError(QStringLiteral("--dialect is postgres or sqlite, not \"%1\"").arg(dialectName),
                          err);
    return ExportScript(diagram, fromSource, files.first(), target, err);
}

} // namespace

bool IsRequested(const QStringList &arguments)
{
    for (const QString &argument : arguments)
        if (IsToolOption(argument))
            return true;
    return false;
}

void PrepareProcess(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!IsRequested(arguments))
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(KeepSeriousMessages);
}

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vellumix, a database designer. Opens the diagram file given, or with "
                       "--export writes its whole diagram to a picture or a PDF without opening "
                       "a window; --export --dsn <name> <file> does the same for every table "
                       "of a data source, arranged as Arrange Diagram arranges them. --export-sql writes "
                       "the schema of the same tables as an SQL script instead."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    const QCommandLineOption exportTo(
        QStringLiteral("export"),
        QStringLiteral("Connects to the data source of <diagram.vmx> and writes its whole diagram "
                       "to <file>, a .png or .svg picture or a paged .pdf, then exits."),
        QStringLiteral("diagram.vmx"));
    const QCommandLineOption exportSql(
        QStringLiteral("export-sql"),
        QStringLiteral("Connects to the data source of <diagram.vmx> and writes the tables of its "
                       "diagram to <file> as an SQL script that builds them: tables, indexes, "
                       "foreign keys and triggers, then exits."),
        QStringLiteral("diagram.vmx"));
    const QCommandLineOption dsn(
        QStringLiteral("dsn"),
        QStringLiteral("After --export or --export-sql, in place of the diagram file: connects to "
                       "the data source <name> and writes all its tables (a diagram arranged as "
                       "Arrange Diagram arranges it, or a script)."),
        QStringLiteral("name"));
    const QCommandLineOption dialect(
        QStringLiteral("dialect"),
        QStringLiteral("With --export-sql: writes the script for <engine>, postgres or sqlite, "
                       "instead of the data source's own engine; what does not carry over is "
                       "written as comments."),
        QStringLiteral("engine"));
    parser.addOptions({help, version, exportTo, exportSql, dsn, dialect});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The diagram file to open; with --export, the "
                                                "file to write."),
                                 QStringLiteral("[file]"));

    bool fromSource = false;
    bool fromSourceScript = false;
    const QStringList given = WithSourceInPlaceOfDiagram(arguments, fromSource, fromSourceScript);
    if (!parser.parse(QStringList(QLatin1String(kProgram)) + given))
        return UsageError(parser.errorText(), err);
    if (parser.isSet(help)) {
        out << parser.helpText();
        return kDone;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << Qt::endl;
        return kDone;
    }
    if (parser.isSet(dsn) && (!fromSource || parser.isSet(exportTo) || parser.isSet(exportSql)))
        return UsageError(QStringLiteral("--dsn goes right after --export, in place of the "
                                         "diagram file"),
                          err);
    const bool script = fromSourceScript || parser.isSet(exportSql);
    if (script && parser.isSet(exportTo))
        return UsageError(QStringLiteral("--export and --export-sql cannot go together"), err);
    if (parser.isSet(dialect) && !script)
        return UsageError(QStringLiteral("--dialect goes with --export-sql"), err);
    if (script)
        return RunScriptExport(parser.positionalArguments(),
                               fromSource ? parser.value(dsn) : parser.value(exportSql), fromSource,
                               parser.isSet(dialect) ? parser.value(dialect) : QString(), err);
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("--export needs exactly one file to write"), err);
    if (CDiagramOutput::FormatOf(files.first()) == CDiagramOutput::UnknownFormat)
        return UsageError(QStringLiteral("%1: the file to write must end in .png, .svg or .pdf")
                              .arg(files.first()),
                          err);
    return Export(fromSource ? parser.value(dsn) : parser.value(exportTo), fromSource, files.first(),
                  err);
}

int Run(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Run(arguments, out, err);
}

} // namespace CommandLineTool
