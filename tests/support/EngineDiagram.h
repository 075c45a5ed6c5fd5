#pragma once

#include "tests/support/DiagramDriver.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"

#include <QString>

#include <memory>

class CMariaDatabase;

// A diagram on a database of one engine, for the programs that run each
// behaviour on every engine it concerns, the engine being a column of the
// test data: "SQLite" and "PostgreSQL" through their own drivers, and
// "Pervasive", SQLite's own dictionary spoken to in the Pervasive.SQL
// dialect, as that engine cannot run here. "MariaDB" needs the MariaDB
// server of the run: a program that opens it includes MariaDatabase.h, so
// that it runs under the server script. Every Open builds the database
// afresh from the script, so each case starts from the same rows.
class CEngineDiagram
{
public:
    CEngineDiagram();
    ~CEngineDiagram();

    // False when the PostgreSQL server is missing; Error() says why.
    bool IsReady() const { return m_database.IsReady(); }
    const QString &Error() const { return m_error; }

    // Builds the engine's database from the script and opens the diagram on
    // it; false, with Error() or a test failure, when any step fails.
    bool Open(const QString &engine, const QString &sql);
    // Opens the diagram again on the database as it stands.
    bool Reopen();
    // Runs SQL against the database as another program would, outside the
    // diagram's session.
    bool RunElsewhere(const QString &sql);

    const QString &Engine() const { return m_engine; }
    CDiagramDriver &Diagram() const { return *m_diagram; }
    COdbcSandbox &Sandbox() { return m_sandbox; }
    CPostgresDatabase &Postgres() { return m_database; }

private:
    std::string ConnectionString() const;
    bool Fail(const QString &error);

    // Declared in this order so the diagram closes before its database goes.
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    // Made when a case first opens MariaDB.
    std::unique_ptr<CMariaDatabase> m_maria;
    std::unique_ptr<CDiagramDriver> m_diagram = std::make_unique<CDiagramDriver>();
    QString m_engine;
    QString m_error;
};
