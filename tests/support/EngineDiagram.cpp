#include "tests/support/EngineDiagram.h"

#include "tests/support/MariaDatabase.h"
#include "tests/support/PervasiveFixture.h"

namespace {

const QString kSqliteDsn = QStringLiteral("Shop");

} // namespace

CEngineDiagram::CEngineDiagram() = default;
CEngineDiagram::~CEngineDiagram() = default;

bool CEngineDiagram::Open(const QString &engine, const QString &sql)
{
    m_diagram->Close();
    m_engine = engine;
    m_error.clear();
    if (engine == "PostgreSQL") {
        if (!m_database.Recreate() || !m_database.Run(sql))
            return Fail(m_database.Error());
    } else if (engine == "MariaDB") {
        if (!m_maria)
            m_maria = std::make_unique<CMariaDatabase>(m_sandbox);
        if (!m_maria->IsReady() || !m_maria->Recreate() || !m_maria->Run(sql))
            return Fail(m_maria->Error());
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
    if (m_engine == "MariaDB")
        return m_maria->Run(sql) || Fail(m_maria->Error());
    return m_sandbox.RunSql(kSqliteDsn, sql) || Fail("sqlite3 refused the script");
}

std::string CEngineDiagram::ConnectionString() const
{
    if (m_engine == "MariaDB")
        return m_maria->ConnectionString();
    return m_engine == "PostgreSQL" ? m_database.ConnectionString() : COdbcSandbox::ConnectionString(kSqliteDsn);
}

bool CEngineDiagram::Fail(const QString &error)
{
    m_error = error;
    return false;
}
