#pragma once

#include <QString>

#include <string>

class COdbcSandbox;

// A database of its own on the throwaway PostgreSQL server of the test run,
// registered in the sandbox as a data source of the psqlODBC driver.
//
// scripts/postgres-server.sh starts the server and hands its socket folder
// over in VELLUMIX_PGHOST (with VELLUMIX_PGPORT and VELLUMIX_PGUSER);
// scripts/test.sh runs the whole suite under it, and CTest runs each
// PostgreSQL test program through it, which starts a server of its own when
// none was handed over. A test that finds no server fails with the reason:
//
//     COdbcSandbox sandbox;                       // before any ODBC call
//     CPostgresDatabase database(sandbox);
//     QVERIFY2(database.IsReady(), qPrintable(database.Error()));
//     QVERIFY2(database.Run(schemaSql), qPrintable(database.Error()));
//     driver.Open(database.ConnectionString());   // a CDiagramDriver
//
// The database is dropped when the object goes, with any connection still
// open to it.
class CPostgresDatabase
{
public:
    explicit CPostgresDatabase(COdbcSandbox &sandbox, const QString &dsn = QStringLiteral("Postgres"));
    ~CPostgresDatabase();
    CPostgresDatabase(const CPostgresDatabase &) = delete;
    CPostgresDatabase &operator=(const CPostgresDatabase &) = delete;

    // False when there is no server or the database could not be created;
    // Error() then says why.
    bool IsReady() const { return m_ready; }
    // What went wrong last: no server, or psql's messages.
    const QString &Error() const { return m_error; }

    // Runs a SQL script against the database with psql, stopping at the
    // first error.
    bool Run(const QString &sql);
    // Drops the database, also while sessions are connected to it, and
    // creates it again empty.
    bool Recreate();

    QString Dsn() const { return m_dsn; }
    QString Name() const { return m_name; }
    std::string ConnectionString() const;

private:
    bool FindServer();
    bool RunPsql(const QString &database, const QString &sql);

    QString m_dsn;
    QString m_name;
    QString m_host;
    QString m_port;
    QString m_user;
    QString m_error;
    bool m_ready = false;
};
