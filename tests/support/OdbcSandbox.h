#pragma once

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <string>

// A private ODBC configuration for one test program: the driver list and
// the data sources live in files of a temporary folder that ODBCSYSINI and
// ODBCINI point at, so the machine's own configuration is never read or
// touched. Create it before the first ODBC call of the process: it also
// keeps the driver manager's configuration library loaded for the whole
// process (see KeepOdbcModulesLoaded).
class COdbcSandbox
{
public:
    COdbcSandbox();

    // Builds a SQLite database file from the SQL script and registers it as
    // a data source with the SQLite3 driver. Returns the database path.
    QString AddSqliteSource(const QString &dsn, const QString &sql);
    // Registers a data source of any driver of the sandbox: settings are
    // its key=value lines (Driver=... first), each ending with a line feed.
    void AddDataSource(const QString &dsn, const QString &settings);
    // Registers one more driver under the name, with its library.
    void AddDriver(const QString &name, const QString &library);
    // Runs further SQL against an existing data source's database file.
    bool RunSql(const QString &dsn, const QString &sql);
    QString DatabasePath(const QString &dsn) const;
    QString Folder() const { return m_dir.path(); }

    static std::string ConnectionString(const QString &dsn) { return "DSN=" + dsn.toStdString(); }

    // The driver the PostgreSQL sources use: the program reads and writes
    // 8-bit text, which the ANSI driver passes through unchanged.
    static constexpr const char *kPostgresDriver = "PostgreSQL ANSI";

private:
    void WriteDrivers();
    void WriteDataSources();

    QTemporaryDir m_dir;
    QStringList m_sources;
    QMap<QString, QString> m_drivers;
    QMap<QString, QString> m_otherSources;
};

// Keeps the driver manager's configuration library loaded until the process
// ends, so that the leak checker does not take the memory its globals hold
// for leaks of a module that is gone. The sandbox does this itself; a test
// that uses the driver manager without a sandbox calls it first.
void KeepOdbcModulesLoaded();
// The same for a program the test starts with this environment: it
// preloads the library, after the sanitizer's runtime when the tests are
// built with it (that runtime has to come first).
void KeepOdbcModulesLoaded(QProcessEnvironment &environment);

// Runs a SQL script against a SQLite database file with the sqlite3 shell.
bool RunSqliteScript(const QString &databasePath, const QString &sql, QString *errors = nullptr);

// Runs SQL with the sqlite3 shell and returns what it prints, errors
// included. Every value is printed quoted as SQL, so text, numbers, blobs
// and NULL are told apart: the engine's own account of the file.
QString QuerySqlite(const QString &databasePath, const QString &sql);
