#pragma once

#include "db/DbmsAdapter.h"
#include "db/sqlite/SqliteDialect.h"

#include <map>

class CSqliteTableKeys;
struct CSqliteForeignKeyClause;

// The dictionary of the SQLite engine: foreign keys from its pragmas with
// their constraint names from the CREATE TABLE text in sqlite_master, the
// indexes at both ends named as the driver's SQLStatistics names them, and
// triggers from sqlite_master.
//
// Every read goes through the session's one statement and is closed before
// the next; no table name is ever written into a statement (names reach
// the engine's pragmas only as values inside a query), so no name can break
// a query.
class CSqliteAdapter : public CDbmsAdapter
{
public:
    std::string GetDbmsName() const override;
    int LoadRelationships(CDbSession &session,
                          std::vector<CDbRelationship> &relationships) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;
    bool ReportsDeclaredTypes() const override { return true; }
    int PrepareSession(CDbSession &session) override;
    const CDialect &GetDialect() const override { return m_dialect; }
    // sqlite_sequence, sqlite_stat1 and every other name SQLite reserves.
    bool IsInternalTable(const std::string &table) const override;
    // The driver reports a rowid key as an index of a name that no index
    // has; it shows as the row id key it is (CSqliteTableKeys).
    std::string ShownIndexName(const std::string &reported) const override;
    // The indexes, and the foreign keys whose columns include a dropped one.
    int ReadColumnDropEffects(CDbSession &session, const std::string &table,
                              const std::vector<std::string> &columns, std::vector<std::string> &indexes,
                              std::vector<std::string> &keys) override;
    // From the stored CREATE text (SqliteDefinitions.cpp).
    int ReadIndexDefinition(CDbSession &session, const std::string &table, const std::string &index,
                            CCreateIndex &definition) override;
    int ReadTriggerDefinition(CDbSession &session, const std::string &table, const std::string &trigger,
                              CCreateTrigger &definition) override;
    // From the pragmas and the stored CREATE texts (SqliteTableDefinitions.cpp).
    int ReadTableDefinitions(CDbSession &session, const std::string &table,
                             CTableDefinitions &definitions) override;

    // One row per foreign-key column of every table, in declaration order.
    static const char *const kForeignKeyQuery;
    // Primary key columns and index columns of every table.
    static const char *const kKeyQuery;
    // The CREATE TABLE text of the tables with named foreign keys, in pieces
    // short enough for one column read.
    static const char *const kTableSqlQuery;
    // Every trigger of the database with its table, in creation order.
    static const char *const kTriggerQuery;
    // Every column of every table, and every index column of every table
    // (SqliteCatalog.cpp).
    static const char *const kColumnQuery;
    static const char *const kIndexQuery;

    // The driver's SQLPrimaryKeys numbers a key's columns in table order,
    // whatever the key's own order, and reports the columns of a table's
    // automatic unique index as the key of a table that declares none; the
    // key is read from the table's own pragma instead (SqliteCatalog.cpp).
    bool ReadsPrimaryKeys() const override { return true; }
    int ReadPrimaryKey(CDbSession &session, const std::string &table,
                       std::vector<std::string> &columns) override;

    // The whole catalog in three queries (SqliteCatalog.cpp).
    bool ReadsCatalogInBulk() const override { return true; }
    int ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                          std::vector<CCatalogTable> &tables,
                          const CCatalogProgress &progress) override;

    // The name an unnamed foreign key gets: table_column[_column...]_fkey.
    static std::string GeneratedName(const std::string &table,
                                     const std::vector<std::string> &columns);

private:
    struct CForeignKey;

    // The triggers of the whole database as one read found them, keyed by
    // lower-case table name. SQLite keeps no index on sqlite_master, so a
    // query per table would scan the whole schema for every table and a
    // load would grow with the square of the table count. The snapshot
    // serves one session while nothing has been sent through it since it
    // was read (every DDL statement goes through Execute) and is dropped
    // whenever a session connects or reloads its relationships.
    struct CTriggerSnapshot
    {
        const CDbSession *session = nullptr; // compared, never used
        std::string connection;
        unsigned long long statementCount = 0;
        std::map<std::string, std::vector<std::string>> byTable;
    };
    bool SnapshotServes(const CDbSession &session) const;
    int ReadTriggerSnapshot(CDbSession &session);

    using CKeyMap = std::map<std::string, CSqliteTableKeys>;
    using CClauseMap = std::map<std::string, std::vector<CSqliteForeignKeyClause>>;

    static int ReadForeignKeys(CDbSession &session, std::vector<CForeignKey> &keys);
    static int ReadTableKeys(CDbSession &session, CKeyMap &tables);
    static int ReadConstraintClauses(CDbSession &session, CClauseMap &clauses);
    static void NameForeignKeys(std::vector<CForeignKey> &keys, CClauseMap &clauses);

    CTriggerSnapshot m_triggers;
    CSqliteDialect m_dialect;
};
