// Times loading a whole schema into the diagram model (CDoc::LoadAllTables,
// reporting to the load progress as opening a document does, and the
// relationship load) against baselines measured in the same run, fetching
// the same columns of the same rows into a fixed buffer without building
// anything: the engine's bulk catalog queries run bare (where the adapter
// reads the catalog in bulk), and the per-table ODBC catalog calls that the
// load made before, and still makes for engines without a bulk read. Each
// table count is measured on SQLite, PostgreSQL and MariaDB; each --sql file
// is a SQLite schema script (a real database's schema, say) measured on
// SQLite.
// From 2,000 tables on the per-table calls take minutes, so they are
// measured once.
//
//   bench_load [table counts...] [--sql FILE.sql]...   default: 100 1000
//
// It uses a private ODBC configuration in a temporary folder, never the
// user's, and builds its SQLite databases there: the generated ones with
// libsqlite3 (SqliteSchemaFile.h), a --sql script with the sqlite3 shell.
// The PostgreSQL databases live on the server that VELLUMIX_PGHOST names
// (scripts/postgres-server.sh run bench_load), or else on a throwaway
// server that it starts with the same script and removes at the end; the
// MariaDB databases likewise (VELLUMIX_MARIADB_SOCKET,
// scripts/mariadb-server.sh).
// The last lines are the headline figures, "name: value unit".
#include "bench/BenchMariaServer.h"
#include "bench/BenchOdbc.h"
#include "bench/BenchPostgresServer.h"
#include "bench/SchemaGenerator.h"
#include "bench/SqliteSchemaFile.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/SqlText.h"
#include "db/mariadb/MariaAdapter.h"
#include "db/postgres/PostgresAdapter.h"
#include "db/sqlite/SqliteAdapter.h"
#include "document/Doc.h"
#include "document/LoadProgress.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// What the model reads from an engine's dictionary besides the catalog
// calls, so that the bare side reads the same.
struct CDictionaryReads
{
    struct CQuery
    {
        std::string sql;
        std::vector<int> columns;
    };
    std::string schema;                     // the catalog calls' schema; empty for none
    bool schemaIsCatalog = false;           // passed as the catalog instead (MariaDB)
    std::string (*tableTriggers)(const std::string &table) = nullptr; // a query per table
    std::vector<CQuery> triggers;           // queries over the whole database
    std::vector<CQuery> relationships;
    // The queries of the adapter's bulk catalog read; none for an engine
    // that reads its catalog table by table.
    std::vector<CQuery> bulk;
};

CDictionaryReads SqliteReads()
{
    CDictionaryReads reads;
    reads.triggers = {{CSqliteAdapter::kTriggerQuery, {1, 2}}};
    reads.relationships = {{CSqliteAdapter::kForeignKeyQuery, {1, 2, 3, 4, 5, 6}},
                           {CSqliteAdapter::kKeyQuery, {1, 2, 3, 4, 5, 6, 7, 8}},
                           {CSqliteAdapter::kTableSqlQuery, {1, 2}}};
    reads.bulk = {{CSqliteAdapter::kColumnQuery, {1, 2, 3, 4, 5, 6, 7, 8}},
                  {CSqliteAdapter::kIndexQuery, {1, 2, 3, 4, 5, 6}},
                  {CSqliteAdapter::kTriggerQuery, {1, 2}}};
    return reads;
}

CDictionaryReads PostgresReads()
{
    CDictionaryReads reads;
    reads.schema = "public";
    reads.tableTriggers = CPostgresAdapter::TriggerQuery;
    reads.relationships = {{"select current_schema()", {1}},
                           {CPostgresAdapter::kRelationshipQuery, {1, 2, 3, 4, 5}}};
    reads.bulk = {{CPostgresAdapter::kColumnQuery, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
                  {CPostgresAdapter::kIndexQuery, {1, 2, 3, 4}},
                  {CPostgresAdapter::kPrimaryKeyQuery, {1, 2, 3, 4}},
                  {CPostgresAdapter::kCatalogTriggerQuery, {1, 2}}};
    return reads;
}

// The catalog is the database; the session's settings are made at connect.
CDictionaryReads MariaReads(const std::string &database)
{
    CDictionaryReads reads;
    reads.schema = database;
    reads.schemaIsCatalog = true;
    reads.tableTriggers = CMariaAdapter::TriggerQuery;
    reads.relationships = {{"select coalesce(database(), '')", {1}},
                           {CMariaAdapter::kForeignKeyQuery, {1, 2, 3, 4}},
                           {CMariaAdapter::kForeignKeyColumnQuery, {1, 2, 3, 4}},
                           {CMariaAdapter::kIndexColumnQuery, {1, 2, 3, 4}}};
    reads.bulk = {{CMariaAdapter::kColumnQuery, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
                  {CMariaAdapter::kIndexQuery, {1, 2, 3, 4}},
                  {CMariaAdapter::kTriggerQuery, {1, 2}}};
    return reads;
}

// The bare ODBC side: one connection and statement, every value read with
// SQLGetData into the same 255-byte buffer the session uses.
class CBareOdbc
{
public:
    explicit CBareOdbc(const std::string &dsn)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        std::string connection = "DSN=" + dsn;
        SQLDriverConnect(m_dbc, nullptr, Text(connection), SQL_NTS, nullptr, 0, nullptr,
                         SQL_DRIVER_NOPROMPT);
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &m_stmt);
        SQLCHAR escape[8] = {};
        SQLSMALLINT length = 0;
        if (SQLGetInfo(m_dbc, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length) == SQL_SUCCESS)
            m_escape = reinterpret_cast<const char *>(escape);
    }
    ~CBareOdbc()
    {
        SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }

    // Seconds spent in each kind of call during one LoadAll.
    struct CParts
    {
        double tables = 0, columns = 0, statistics = 0, triggers = 0, relationships = 0;
    };

    // Everything the model load reads, in the same order, with the same
    // arguments: table names escaped as search patterns where the catalog
    // call takes a pattern.
    CParts LoadAll(const CDictionaryReads &reads)
    {
        CParts parts;
        std::vector<std::string> tables;
        const std::string schemaPattern = SqlText::EscapePattern(reads.schema, m_escape);
        SQLCHAR *schema = reads.schema.empty() || reads.schemaIsCatalog ? nullptr : Text(reads.schema);
        SQLCHAR *schemaAsPattern = schema ? Text(schemaPattern) : nullptr;
        SQLCHAR *catalog = reads.schemaIsCatalog ? Text(reads.schema) : nullptr;
        SQLCHAR *catalogAsPattern = catalog ? Text(schemaPattern) : nullptr;
        parts.tables = Seconds([&] {
            SQLTables(m_stmt, catalogAsPattern, SQL_NTS, schemaAsPattern, SQL_NTS, nullptr, 0, Text("TABLE"),
                      SQL_NTS);
            while (SQLFetch(m_stmt) == SQL_SUCCESS) {
                Read(3);
                tables.emplace_back(m_buffer);
            }
            SQLFreeStmt(m_stmt, SQL_CLOSE);
        });
        for (std::string &table : tables) {
            const std::string pattern = SqlText::EscapePattern(table, m_escape);
            parts.columns += Seconds([&] {
                SQLColumns(m_stmt, catalog, SQL_NTS, schemaAsPattern, SQL_NTS, Text(pattern), SQL_NTS,
                           nullptr, 0);
                Drain({4, 5, 6, 7, 8, 9, 11, 13});
            });
            parts.statistics += Seconds([&] {
                SQLStatistics(m_stmt, catalog, SQL_NTS, schema, SQL_NTS, Text(table), SQL_NTS,
                              SQL_INDEX_ALL, SQL_ENSURE);
                Drain({4, 6, 7, 9});
            });
            parts.statistics += Seconds([&] {
                SQLPrimaryKeys(m_stmt, catalog, SQL_NTS, schema, SQL_NTS, Text(table), SQL_NTS);
                Drain({4, 5});
            });
            if (reads.tableTriggers)
                parts.triggers += Seconds([&] { Query(reads.tableTriggers(table), {1}); });
        }
        parts.triggers += Seconds([&] {
            for (const CDictionaryReads::CQuery &query : reads.triggers)
                Query(query.sql, query.columns);
        });
        parts.relationships = Seconds([&] {
            for (const CDictionaryReads::CQuery &query : reads.relationships)
                Query(query.sql, query.columns);
        });
        return parts;
    }

    // What the bulk load reads: the table list, the bulk queries and the
    // relationship queries.
    double LoadBulk(const CDictionaryReads &reads)
    {
        const std::string schemaPattern = SqlText::EscapePattern(reads.schema, m_escape);
        SQLCHAR *pattern = reads.schema.empty() ? nullptr : Text(schemaPattern);
        SQLCHAR *catalogAsPattern = reads.schemaIsCatalog ? pattern : nullptr;
        SQLCHAR *schemaAsPattern = reads.schemaIsCatalog ? nullptr : pattern;
        return Seconds([&] {
            SQLTables(m_stmt, catalogAsPattern, SQL_NTS, schemaAsPattern, SQL_NTS, nullptr, 0, Text("TABLE"),
                      SQL_NTS);
            Drain({3});
            for (const CDictionaryReads::CQuery &query : reads.bulk)
                Query(query.sql, query.columns);
            for (const CDictionaryReads::CQuery &query : reads.relationships)
                Query(query.sql, query.columns);
        });
    }

private:
    static SQLCHAR *Text(const std::string &text)
    {
        return reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.c_str()));
    }
    void Read(int column)
    {
        SQLLEN indicator = 0;
        SQLGetData(m_stmt, SQLUSMALLINT(column), SQL_C_CHAR, m_buffer, sizeof m_buffer, &indicator);
    }
    void Drain(const std::vector<int> &columns)
    {
        while (SQLFetch(m_stmt) == SQL_SUCCESS)
            for (int column : columns)
                Read(column);
        SQLFreeStmt(m_stmt, SQL_CLOSE);
    }
    void Query(const std::string &sql, const std::vector<int> &columns)
    {
        SQLExecDirect(m_stmt, Text(sql), SQL_NTS);
        Drain(columns);
    }

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    char m_buffer[255] = {};
    std::string m_escape;
};

struct CFigures
{
    double model = 1e9;
    double baseline = 1e9; // the per-table calls
    double bulk = 1e9;     // the bulk queries; unmeasured without them
    CBareOdbc::CParts parts; // of the best baseline round
    int tables = 0;
    int relationships = 0;
};

// The model side: a document connected outside the timing, then the table
// load and the relationship reload, as opening a diagram does them.
bool MeasureModel(const std::string &dsn, CFigures &figures)
{
    const CAdapterList adapters = MakeDbmsAdapters();
    CDoc doc(adapters);
    if (doc.m_session.Connect("DSN=" + dsn) < 0) {
        std::fprintf(stderr, "cannot connect to %s: %s\n", dsn.c_str(),
                     doc.m_session.m_lastError.c_str());
        return false;
    }
    int result = 0;
    CLoadProgress progress;
    doc.SetLoadProgress(&progress);
    const double seconds = Seconds([&] {
        // The relationships are read with the tables.
        result = doc.LoadAllTables();
    });
    if (result < 0) {
        std::fprintf(stderr, "load failed: %s\n", doc.m_session.GetErrorText(result).c_str());
        return false;
    }
    figures.model = std::min(figures.model, seconds);
    figures.tables = doc.TableCount();
    figures.relationships = doc.Schema().RelationshipCount();
    return true;
}

void MeasureBaseline(const std::string &dsn, const CDictionaryReads &reads, CFigures &figures)
{
    CBareOdbc odbc(dsn);
    CBareOdbc::CParts parts;
    const double seconds = Seconds([&] { parts = odbc.LoadAll(reads); });
    if (seconds < figures.baseline) {
        figures.baseline = seconds;
        figures.parts = parts;
    }
}

void MeasureBulkBaseline(const std::string &dsn, const CDictionaryReads &reads, CFigures &figures)
{
    if (reads.bulk.empty())
        return;
    CBareOdbc odbc(dsn);
    figures.bulk = std::min(figures.bulk, odbc.LoadBulk(reads));
}

// Measures one database; false when the load failed or, for a generated
// schema of `count` tables, found other than its tables and keys. A schema
// from a file (count 0) is named by `label`. Adds the ratios to the
// headline figures.
bool MeasureDatabase(const char *engine, const std::string &dsn, const CDictionaryReads &reads,
                     int count, std::vector<std::string> &headlines, const std::string &label = "")
{
    const int kRounds = 5;
    // The per-table calls of 2,000 tables and more take minutes a round.
    const bool large = count >= 2000;
    const bool bulkModel = !reads.bulk.empty();
    const int modelRounds = large && !bulkModel ? 1 : kRounds;
    CFigures figures;
    // The first round warms the caches and the driver; rounds alternate the
    // two sides so that drift hits both alike; the best round of each side
    // counts.
    for (int round = 0; round <= modelRounds; ++round) {
        CFigures current;
        if (!MeasureModel(dsn, current))
            return false;
        MeasureBulkBaseline(dsn, reads, current);
        if (!large || round == 1)
            MeasureBaseline(dsn, reads, current);
        if (round == 0)
            continue;
        figures.model = std::min(figures.model, current.model);
        figures.bulk = std::min(figures.bulk, current.bulk);
        if (current.baseline < figures.baseline) {
            figures.baseline = current.baseline;
            figures.parts = current.parts;
        }
        figures.tables = current.tables;
        figures.relationships = current.relationships;
    }
    const int tables = std::max(1, figures.tables);
    const bool hasBulk = figures.bulk < 1e9;
    std::printf("%-10s %7d %9.1f %9s %9.1f %12.1f %12.1f %7s %7.3f %s\n", engine, figures.tables,
                figures.model * 1e3, hasBulk ? std::to_string(figures.bulk * 1e3).substr(0, 7).c_str() : "-",
                figures.baseline * 1e3, figures.model * 1e6 / tables, figures.baseline * 1e6 / tables,
                hasBulk ? std::to_string(figures.model / figures.bulk).substr(0, 5).c_str() : "-",
                figures.model / figures.baseline, label.c_str());
    const CBareOdbc::CParts &parts = figures.parts;
    std::printf("           bare per-table us/tbl by call: SQLTables %.1f, SQLColumns %.1f, SQLStatistics and SQLPrimaryKeys %.1f,"
                " trigger queries %.1f, relationship queries %.1f\n",
                parts.tables * 1e6 / tables, parts.columns * 1e6 / tables,
                parts.statistics * 1e6 / tables, parts.triggers * 1e6 / tables,
                parts.relationships * 1e6 / tables);
    std::fflush(stdout);
    const std::string subject = count > 0 ? std::to_string(count) : label;
    char value[32];
    if (hasBulk) {
        std::snprintf(value, sizeof value, "%.2f x", figures.model / figures.bulk);
        headlines.push_back(std::string(engine) + "_load_ratio_bulk_" + subject + ": " + value);
    }
    std::snprintf(value, sizeof value, "%.0f ms", figures.model * 1e3);
    headlines.push_back(std::string(engine) + "_load_ms_" + subject + ": " + value);
    std::snprintf(value, sizeof value, "%.3f x", figures.model / figures.baseline);
    headlines.push_back(std::string(engine) + "_load_ratio_per_table_calls_" + subject + ": " + value);
    if (count > 0 && (figures.tables != count || figures.relationships != count - 1)) {
        std::fprintf(stderr, "%s: expected %d tables and %d relationships, loaded %d and %d\n",
                     engine, count, count - 1, figures.tables, figures.relationships);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CBenchOdbc odbc; // before any ODBC call
    QApplication app(argc, argv);
    CBenchServer server;
    CBenchMariaServer mariaServer;

    std::vector<int> counts;
    std::vector<QString> scripts;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--sql")
            counts.push_back(std::atoi(argv[i]));
        else if (++i < argc)
            scripts.push_back(QString::fromLocal8Bit(argv[i]));
    }
    if (counts.empty() && scripts.empty())
        counts = {100, 1000};

    std::printf("%-10s %7s %9s %9s %9s %12s %12s %7s %7s\n", "engine", "tables", "model ms", "bulk ms",
                "calls ms", "model us/tbl", "calls us/tbl", "/bulk", "/calls");
    std::vector<std::string> headlines;
    int failures = 0;
    for (int count : counts) {
        const std::string dsn = "Bench" + std::to_string(count);
        const std::string path = odbc.DatabasePath(dsn).toStdString();
        if (count < 1 || !CSqliteSchemaFile::Build(path, CSchemaGenerator(count).Script())
            || !odbc.AddSource(dsn, "Driver=SQLite3\nDatabase=" + path + "\n")) {
            std::fprintf(stderr, "cannot build the SQLite database of %d tables\n", count);
            return 1;
        }
        failures += !MeasureDatabase("sqlite", dsn, SqliteReads(), count, headlines);

        const std::string pgDsn = "PgBench" + std::to_string(count);
        const std::string script =
            CSchemaGenerator(count, CSchemaGenerator::Engine::Postgres).Script();
        const std::string settings =
            server.IsRunning() ? server.CreateDatabase(SqlText::ToLower(pgDsn), script) : std::string();
        if (settings.empty() || !odbc.AddSource(pgDsn, settings)) {
            std::fprintf(stderr, "cannot build the PostgreSQL database of %d tables%s\n", count,
                         server.IsRunning() ? "" : ": no server (scripts/postgres-server.sh)");
            ++failures;
            continue;
        }
        failures += !MeasureDatabase("postgres", pgDsn, PostgresReads(), count, headlines);

        const std::string mariaDsn = "MariaBench" + std::to_string(count);
        const std::string database = SqlText::ToLower(mariaDsn);
        const std::string mariaSettings =
            mariaServer.IsRunning()
                ? mariaServer.CreateDatabase(database, CSchemaGenerator(count, CSchemaGenerator::Engine::Maria).Script())
                : std::string();
        if (mariaSettings.empty() || !odbc.AddSource(mariaDsn, mariaSettings)) {
            std::fprintf(stderr, "cannot build the MariaDB database of %d tables%s\n", count,
                         mariaServer.IsRunning() ? "" : ": no server (scripts/mariadb-server.sh)");
            ++failures;
            continue;
        }
        failures += !MeasureDatabase("mariadb", mariaDsn, MariaReads(database), count, headlines);
    }
    for (size_t i = 0; i < scripts.size(); ++i) {
        QFile file(scripts[i]);
        const std::string dsn = "BenchSql" + std::to_string(i);
        if (!file.open(QIODevice::ReadOnly) || !odbc.AddDatabase(dsn, file.readAll().toStdString())) {
            std::fprintf(stderr, "cannot build a SQLite database from %s\n", qPrintable(scripts[i]));
            ++failures;
            continue;
        }
        const std::string label = QFileInfo(scripts[i]).completeBaseName().toStdString();
        failures += !MeasureDatabase("sqlite", dsn, SqliteReads(), 0, headlines, label);
    }
    for (const std::string &line : headlines)
        std::printf("%s\n", line.c_str());
    return failures == 0 ? 0 : 1;
}
