#include "tests/support/EngineDiagram.h"

#include "tests/support/PervasiveFixture.h"

namespace {

const QString kSqliteDsn = QStringLiteral("Shop");

} // namespace

bool CEngineDiagram::Open(const QString &engine, const QString &sql)
{
    m_diagram->Close();
    m_engine = engine;
    m_error.clear();
    if (engine == "PostgreSQL") {
        if (!m_database.Recreate() || !m_database.Run(sql))
            return Fail(m_database.Error());
    } else if (engine == "SQLite" || engine == "Pervasive") {
        m_sandbox.AddSqliteSource(kSqliteDsn, sql);
    } else {
        return Fail("No engine is called " + engine);
    }
    // For Pervasive the document knows that one adapter alone, so that it,
    // not SQLite's own, answers for the SQLite driver.
    m_diagram = std::make_unique<CDiagramDriver>(engine == "Pervasive" ? SqliteWithPervasiveDialect()
                                                                       : MakeDbmsAdapters());
    return Reopen();
}

bool CEngineDiagram::Reopen() { return m_diagram->Open(ConnectionString()); }

bool CEngineDiagram::RunElsewhere(const QString &sql)
{
    if (m_engine == "PostgreSQL")
        return m_database.Run(sql) || Fail(m_database.Error());
    return m_sandbox.RunSql(kSqliteDsn, sql) || Fail("sqlite3 refused the script");
}

std::string CEngineDiagram::ConnectionString() const
{
    return m_engine == "PostgreSQL" ? m_database.ConnectionString() : COdbcSandbox::ConnectionString(kSqliteDsn);
}

bool CEngineDiagram::Fail(const QString &error)
{
    m_error = error;
    return false;
}
