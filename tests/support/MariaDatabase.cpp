#include "tests/support/MariaDatabase.h"

#include "tests/support/OdbcSandbox.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

namespace {

// Where Debian's odbc-mariadb puts the driver.
QString DriverPath()
{
    for (const char *folder : {"/usr/lib/x86_64-linux-gnu/odbc/", "/usr/lib/aarch64-linux-gnu/odbc/",
                               "/usr/lib/odbc/"})
        if (QFile::exists(QString::fromLatin1(folder) + "libmaodbc.so"))
            return QString::fromLatin1(folder) + "libmaodbc.so";
    return QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so");
}

// One name per database in the process, unique among the test programs
// that share a server.
QString NewDatabaseName()
{
    static int count = 0;
    return QStringLiteral("vellumix_test_%1_%2").arg(getpid()).arg(++count);
}

QString Quoted(const QString &name) { return '`' + QString(name).replace('`', "``") + '`'; }

} // namespace

CMariaDatabase::CMariaDatabase(COdbcSandbox &sandbox, const QString &dsn)
    : m_dsn(dsn), m_name(NewDatabaseName())
{
    if (!FindServer() || !Recreate())
        return;
    sandbox.AddDriver(QString::fromLatin1(kDriver), DriverPath());
    // The program reads and writes 8-bit text: UTF-8 on the connection
    // passes every name through unchanged.
    sandbox.AddDataSource(m_dsn, QStringLiteral("Driver=%1\nSOCKET=%2\nDATABASE=%3\nUSER=%4\n"
                                                "CHARSET=utf8mb4\n")
                                     .arg(QString::fromLatin1(kDriver), m_socket, m_name, m_user));
}

CMariaDatabase::~CMariaDatabase()
{
    if (m_ready)
        RunClient(QString(), "DROP DATABASE IF EXISTS " + Quoted(m_name) + ";");
}

bool CMariaDatabase::FindServer()
{
    m_socket = qEnvironmentVariable("VELLUMIX_MARIADB_SOCKET");
    m_user = qEnvironmentVariable("VELLUMIX_MARIADB_USER", "vellumix");
    if (m_socket.isEmpty()) {
        m_error = "No MariaDB server was handed to this test: VELLUMIX_MARIADB_SOCKET is not set. "
                  "Run the tests with scripts/test.sh, or one test program as "
                  "scripts/mariadb-server.sh run PROGRAM.";
        return false;
    }
    if (!QFileInfo(m_socket).exists()) {
        m_error = "No MariaDB server listens at " + m_socket + " (VELLUMIX_MARIADB_SOCKET).";
        return false;
    }
    return true;
}

bool CMariaDatabase::Recreate()
{
    m_ready = RunClient(QString(), "DROP DATABASE IF EXISTS " + Quoted(m_name) + ";\nCREATE DATABASE "
                                       + Quoted(m_name) + " CHARACTER SET utf8mb4;\n");
    return m_ready;
}

bool CMariaDatabase::Run(const QString &sql) { return m_ready && RunClient(m_name, sql); }

QString CMariaDatabase::Query(const QString &sql)
{
    QString output;
    if (!m_ready || !RunClient(m_name, sql, &output))
        return QString();
    return output;
}

std::string CMariaDatabase::ConnectionString() const { return COdbcSandbox::ConnectionString(m_dsn); }

bool CMariaDatabase::RunClient(const QString &database, const QString &sql, QString *output)
{
    QStringList arguments = {"--no-defaults", "--batch", "--skip-column-names", "--raw",
                             "--default-character-set=utf8mb4", "-S", m_socket, "-u", m_user};
    if (!database.isEmpty())
        arguments << "-D" << database;
    QProcess client;
    client.start("mariadb", arguments);
    if (!client.waitForStarted()) {
        m_error = "mariadb cannot be started (package mariadb-client): " + client.errorString();
        return false;
    }
    client.write(sql.toUtf8());
    client.closeWriteChannel();
    if (!client.waitForFinished(120000)) {
        client.kill();
        client.waitForFinished();
        m_error = "mariadb did not finish within two minutes.";
        return false;
    }
    const bool ok = client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    if (!ok)
        m_error = "mariadb failed: " + QString::fromUtf8(client.readAllStandardError());
    else if (output)
        *output = QString::fromUtf8(client.readAllStandardOutput());
    return ok;
}
