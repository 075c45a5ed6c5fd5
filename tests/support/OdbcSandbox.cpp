#include "tests/support/OdbcSandbox.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <cstdlib>
#include <dlfcn.h>

namespace {
const char *const kDriverPath = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// Where Debian's odbc-postgresql puts the ANSI and Unicode drivers.
QString PostgresDriverPath(const QString &library)
{
    for (const char *folder : {"/usr/lib/x86_64-linux-gnu/odbc/", "/usr/lib/aarch64-linux-gnu/odbc/",
                               "/usr/lib/odbc/"})
        if (QFile::exists(folder + library))
            return folder + library;
    return "/usr/lib/x86_64-linux-gnu/odbc/" + library;
}

bool WriteText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(text.toUtf8());
    return true;
}
} // namespace

// The driver manager loads its configuration library when it first needs
// it and unloads it at the end, while that library's globals still hold
// memory: the leak checker would report that memory, from a module that is
// gone, as leaked. Loaded once more here and never unloaded, the library is
// still there when the checker looks.
void KeepOdbcModulesLoaded()
{
    static void *const configuration = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
    if (!configuration)
        qWarning("libodbcinst.so.2 could not be kept loaded: %s", dlerror());
}

void KeepOdbcModulesLoaded(QProcessEnvironment &environment)
{
    QStringList preload;
    Dl_info runtime = {};
    if (void *init = dlsym(RTLD_DEFAULT, "__asan_init"); init && dladdr(init, &runtime) && runtime.dli_fname)
        preload << QString::fromLocal8Bit(runtime.dli_fname);
    preload << QStringLiteral("libodbcinst.so.2");
    environment.insert(QStringLiteral("LD_PRELOAD"), preload.join(QLatin1Char(' ')));
}

bool RunSqliteScript(const QString &databasePath, const QString &sql, QString *errors)
{
    QProcess shell;
    shell.start("sqlite3", {"-bail", databasePath});
    if (!shell.waitForStarted())
        return false;
    shell.write(sql.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    if (errors)
        *errors = QString::fromUtf8(shell.readAllStandardError());
    return shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
}

QString QuerySqlite(const QString &databasePath, const QString &sql)
{
    QProcess shell;
    shell.start("sqlite3", {"-batch", "-cmd", ".mode quote", databasePath});
    if (!shell.waitForStarted())
        return "error: no sqlite3 shell";
    shell.write(sql.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    return QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError());
}

COdbcSandbox::COdbcSandbox()
{
    KeepOdbcModulesLoaded();
    const QByteArray folder = m_dir.path().toLocal8Bit();
    setenv("ODBCSYSINI", folder.constData(), 1);
    setenv("ODBCINI", (folder + "/user-odbc.ini").constData(), 1);
    WriteDrivers();
    WriteDataSources();
}

void COdbcSandbox::WriteDrivers()
{
    QString text =
        QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1\n\n"
                       "[%2]\nDescription=PostgreSQL ODBC driver (ANSI version)\nDriver=%3\n\n"
                       "[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC driver (Unicode version)\n"
                       "Driver=%4\n")
            .arg(kDriverPath, QString::fromLatin1(kPostgresDriver),
                 PostgresDriverPath("psqlodbca.so"), PostgresDriverPath("psqlodbcw.so"));
    for (auto it = m_drivers.cbegin(); it != m_drivers.cend(); ++it)
        text += QStringLiteral("\n[%1]\nDriver=%2\n").arg(it.key(), it.value());
    WriteText(m_dir.filePath("odbcinst.ini"), text);
}

void COdbcSandbox::AddDriver(const QString &name, const QString &library)
{
    m_drivers[name] = library;
    WriteDrivers();
}

QString COdbcSandbox::DatabasePath(const QString &dsn) const { return m_dir.filePath(dsn + ".db"); }

QString COdbcSandbox::AddSqliteSource(const QString &dsn, const QString &sql)
{
    const QString path = DatabasePath(dsn);
    QFile::remove(path);
    QString errors;
    if (!RunSqliteScript(path, sql, &errors))
        qWarning("sqlite3 failed for %s: %s", qPrintable(dsn), qPrintable(errors));
    if (!m_sources.contains(dsn))
        m_sources << dsn;
    WriteDataSources();
    return path;
}

void COdbcSandbox::AddDataSource(const QString &dsn, const QString &settings)
{
    m_otherSources[dsn] = settings;
    WriteDataSources();
}

bool COdbcSandbox::RunSql(const QString &dsn, const QString &sql)
{
    return RunSqliteScript(DatabasePath(dsn), sql);
}

void COdbcSandbox::WriteDataSources()
{
    QString text;
    for (const QString &dsn : m_sources)
        text += QStringLiteral("[%1]\nDescription=Test source %1\nDriver=SQLite3\nDatabase=%2\n\n")
                    .arg(dsn, DatabasePath(dsn));
    for (auto source = m_otherSources.cbegin(); source != m_otherSources.cend(); ++source)
        text += QStringLiteral("[%1]\nDescription=Test source %1\n%2\n").arg(source.key(), source.value());
    WriteText(m_dir.filePath("user-odbc.ini"), text);
    // The system data sources live beside the driver list; keep them empty.
    WriteText(m_dir.filePath("odbc.ini"), QString());
}
