#include "tests/support/PostgresDatabase.h"

#include "db/SqlText.h"
#include "tests/support/OdbcSandbox.h"

#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

namespace {

QString QuotedName(const QString &name)
{
    return QString::fromStdString(SqlText::QuoteIdentifier(name.toStdString()));
}

// One name per database in the process, unique among the test programs
// that share a server.
QString NewDatabaseName()
{
    static int count = 0;
    return QStringLiteral("vellumix_test_%1_%2").arg(getpid()).arg(++count);
}

} // namespace

CPostgresDatabase::CPostgresDatabase(COdbcSandbox &sandbox, const QString &dsn)
    : m_dsn(dsn), m_name(NewDatabaseName())
{
    if (!FindServer() || !Recreate())
        return;
    sandbox.AddDataSource(m_dsn, QStringLiteral("Driver=%1\nServername=%2\nPort=%3\nDatabase=%4\n"
                                                "Username=%5\n")
                                     .arg(QString::fromLatin1(COdbcSandbox::kPostgresDriver),
                                          m_host, m_port, m_name, m_user));
}

CPostgresDatabase::~CPostgresDatabase()
{
    if (m_ready)
        RunPsql("postgres", "DROP DATABASE IF EXISTS " + QuotedName(m_name) + " WITH (FORCE);");
}

bool CPostgresDatabase::FindServer()
{
    m_host = qEnvironmentVariable("VELLUMIX_PGHOST");
    m_port = qEnvironmentVariable("VELLUMIX_PGPORT", "5432");
    m_user = qEnvironmentVariable("VELLUMIX_PGUSER", "vellumix");
    if (m_host.isEmpty()) {
        m_error = "No PostgreSQL server was handed to this test: VELLUMIX_PGHOST is not set. "
                  "Run the tests with scripts/test.sh, or one test program as "
                  "scripts/postgres-server.sh run PROGRAM.";
        return false;
    }
    const QString socket = m_host + "/.s.PGSQL." + m_port;
    if (!QFileInfo(socket).exists()) {
        m_error = "No PostgreSQL server listens at " + socket + " (VELLUMIX_PGHOST).";
        return false;
    }
    return true;
}

bool CPostgresDatabase::Recreate()
{
    m_ready = RunPsql("postgres", "DROP DATABASE IF EXISTS " + QuotedName(m_name)
                                      + " WITH (FORCE);\nCREATE DATABASE " + QuotedName(m_name)
                                      + ";\n");
    return m_ready;
}

bool CPostgresDatabase::Run(const QString &sql) { return m_ready && RunPsql(m_name, sql); }

std::string CPostgresDatabase::ConnectionString() const { return COdbcSandbox::ConnectionString(m_dsn); }

bool CPostgresDatabase::RunPsql(const QString &database, const QString &sql)
{
    QProcess psql;
    psql.start("psql", {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", m_host, "-p", m_port, "-U",
                        m_user, "-d", database});
    if (!psql.waitForStarted()) {
        m_error = "psql cannot be started (package postgresql-client): " + psql.errorString();
        return false;
    }
    psql.write(sql.toUtf8());
    psql.closeWriteChannel();
    if (!psql.waitForFinished(120000)) {
        psql.kill();
        psql.waitForFinished();
        m_error = "psql did not finish within two minutes.";
        return false;
    }
    const bool ok = psql.exitStatus() == QProcess::NormalExit && psql.exitCode() == 0;
    if (!ok)
        m_error = "psql failed: " + QString::fromUtf8(psql.readAllStandardError());
    return ok;
}
