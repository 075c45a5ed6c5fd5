#pragma once

#include <QString>

#include <string>

class COdbcSandbox;

// A database of its own on the throwaway MariaDB server of the test run,
// registered in the sandbox as a data source of the MariaDB ODBC driver.
//
// scripts/mariadb-server.sh starts the server and hands its socket over in
// VELLUMIX_MARIADB_SOCKET (with VELLUMIX_MARIADB_USER); scripts/test.sh
// runs the whole suite under it, and CTest runs each MariaDB test program
// through it, which starts a server of its own when none was handed over.
// A test that finds no server fails with the reason:
//
//     COdbcSandbox sandbox;                       // before any ODBC call
//     CMariaDatabase database(sandbox);
//     QVERIFY2(database.IsReady(), qPrintable(database.Error()));
//     QVERIFY2(database.Run(schemaSql), qPrintable(database.Error()));
//     driver.Open(database.ConnectionString());   // a CDiagramDriver
//
// The database is dropped when the object goes.
class CMariaDatabase
{
public:
    explicit CMariaDatabase(COdbcSandbox &sandbox, const QString &dsn = QStringLiteral("Maria"));
    ~CMariaDatabase();
    CMariaDatabase(const CMariaDatabase &) = delete;
    CMariaDatabase &operator=(const CMariaDatabase &) = delete;

    // False when there is no server or the database could not be created;
    // Error() then says why.
    bool IsReady() const { return m_ready; }
    // What went wrong last: no server, or the client's messages.
    const QString &Error() const { return m_error; }

    // Runs a SQL script against the database with the mariadb client,
    // stopping at the first error. The session quotes names with
    // backquotes, the server's own way.
    bool Run(const QString &sql);
    // Runs a query with the client and returns its rows, one line each,
    // the values separated by tabs (NULL as "NULL"); empty after an error.
    QString Query(const QString &sql);
    // Drops the database and creates it again empty.
    bool Recreate();

    QString Dsn() const { return m_dsn; }
    QString Name() const { return m_name; }
    std::string ConnectionString() const;

    // The name the sandbox registers the MariaDB ODBC driver under, as
    // Debian's odbc-mariadb does in the machine's configuration.
    static constexpr const char *kDriver = "MariaDB Unicode";

private:
    bool FindServer();
    bool RunClient(const QString &database, const QString &sql, QString *output = nullptr);

    QString m_dsn;
    QString m_name;
    QString m_socket;
    QString m_user;
    QString m_error;
    bool m_ready = false;
};
