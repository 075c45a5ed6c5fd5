#pragma once

#include "db/DbmsAdapter.h"
#include "db/postgres/PostgresDialect.h"

// The dictionary of a PostgreSQL server reached through psqlODBC. The
// program shows the tables of the connection's current schema, the one
// that unqualified names in its statements refer to; a table of the same
// name in another schema never shows. Foreign keys come from pg_constraint
// with the indexes at both ends named as the driver's SQLStatistics names
// them, triggers from pg_trigger without the engine's internal ones.
class CPostgresAdapter : public CDbmsAdapter
{
public:
    std::string GetDbmsName() const override;
    int LoadRelationships(CDbSession &session,
                          std::vector<CDbRelationship> &relationships) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;
    const CDialect &GetDialect() const override { return m_dialect; }
    // The indexes, and the foreign keys whose columns include a dropped one
    // (PostgresDropEffects.cpp).
    int ReadColumnDropEffects(CDbSession &session, const std::string &table,
                              const std::vector<std::string> &columns, std::vector<std::string> &indexes,
                              std::vector<std::string> &keys) override;
    // From pg_index and pg_trigger (PostgresDefinitions.cpp).
    int ReadIndexDefinition(CDbSession &session, const std::string &table, const std::string &index,
                            CCreateIndex &definition) override;
    int ReadTriggerDefinition(CDbSession &session, const std::string &table, const std::string &trigger,
                              CCreateTrigger &definition) override;
    // From the catalog of the current schema (PostgresTableDefinitions.cpp).
    int ReadTableDefinitions(CDbSession &session, const std::string &table,
                             CTableDefinitions &definitions) override;
    int PrepareSession(CDbSession &session) override;
    bool EscapesTheSearchEscape() const override { return false; }
    int ReadCatalogSchema(CDbSession &session, std::string &schema) override;
    int ParameterKind(const std::string &createParams) const override;
    void NormalizeColumnFacts(std::string &typeName, std::string &dataType,
                              const std::string &precision, std::string &length) const override;
    // The whole catalog of the current schema in four queries
    // (PostgresCatalog.cpp), as psqlODBC reports it under the options it
    // runs with by default; under others, table by table.
    bool ReadsCatalogInBulk() const override { return true; }
    bool BulkReadMatches(const CDbSession &session) const override;
    int ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                          std::vector<CCatalogTable> &tables,
                          const CCatalogProgress &progress) override;

    // One row per foreign key of the current schema: constraint name,
    // parent table, the unique index behind the referenced columns, foreign
    // table and the best index whose leading columns are the key's (empty
    // when there is none).
    static const char *const kRelationshipQuery;
    // The table's own triggers in firing order, with the table name as a
    // string literal.
    static std::string TriggerQuery(const std::string &table);
    // Every column, every index column, the columns of every key index
    // and every trigger of the current schema's tables.
    static const char *const kColumnQuery;
    static const char *const kIndexQuery;
    static const char *const kPrimaryKeyQuery;
    static const char *const kCatalogTriggerQuery;

private:
    CPostgresDialect m_dialect;
};
