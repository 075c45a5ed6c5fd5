#pragma once

#include "db/DbmsAdapter.h"
#include "db/mariadb/MariaDialect.h"

// The dictionary of a MariaDB (or MySQL) server reached through the MariaDB
// ODBC driver. The program shows the tables of the connection's current
// database, which the driver takes as its catalog. Foreign keys come from
// information_schema with the indexes at both ends as SQLStatistics names
// them, triggers from information_schema.TRIGGERS.
//
// The session quotes identifiers with double quotes (PrepareSession adds
// ANSI_QUOTES to its sql_mode), so every statement here writes string
// literals in single quotes only; a name goes in as a hexadecimal literal,
// which no backslash or quote in it and no sql_mode can change.
class CMariaAdapter : public CDbmsAdapter
{
public:
    // The server's name as the driver reports it: "MariaDB", or "MySQL"
    // for a MySQL server.
    explicit CMariaAdapter(std::string dbmsName = "MariaDB") : m_dbmsName(std::move(dbmsName)) {}

    std::string GetDbmsName() const override { return m_dbmsName; }
    int LoadRelationships(CDbSession &session,
                          std::vector<CDbRelationship> &relationships) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;
    const CDialect &GetDialect() const override { return m_dialect; }
    int PrepareSession(CDbSession &session) override;
    int ReadCatalogSchema(CDbSession &session, std::string &database) override;
    bool SchemaIsCatalog() const override { return true; }
    void NormalizeColumnFacts(std::string &typeName, std::string &dataType,
                              const std::string &precision, std::string &length) const override;

    // The indexes, and the foreign keys whose columns include a dropped one
    // (MariaDefinitions.cpp).
    int ReadColumnDropEffects(CDbSession &session, const std::string &table,
                              const std::vector<std::string> &columns, std::vector<std::string> &indexes,
                              std::vector<std::string> &keys) override;
    // From information_schema.STATISTICS and TRIGGERS (MariaDefinitions.cpp).
    int ReadIndexDefinition(CDbSession &session, const std::string &table, const std::string &index,
                            CCreateIndex &definition) override;
    int ReadTriggerDefinition(CDbSession &session, const std::string &table, const std::string &trigger,
                              CCreateTrigger &definition) override;

    // The whole catalog in three queries (MariaCatalog.cpp).
    bool ReadsCatalogInBulk() const override { return true; }
    int ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                          std::vector<CCatalogTable> &tables,
                          const CCatalogProgress &progress) override;
    // What the driver's catalog calls get wrong table by table: SQLColumns
    // takes "Orders" for "ORDERS", and SQLPrimaryKeys numbers a key's
    // columns by their place in the table and reports a unique index of
    // NOT NULL columns as the key of a table that has none. The key is read
    // from the index the server keeps for it (MariaCatalog.cpp).
    bool ColumnsMatchNamesWithoutCase() const override { return true; }
    bool ReadsPrimaryKeys() const override { return true; }
    int ReadPrimaryKey(CDbSession &session, const std::string &table,
                       std::vector<std::string> &columns) override;

    // The text as a string literal that means the same bytes under every
    // sql_mode: a hexadecimal literal introduced as UTF-8.
    static std::string TextLiteral(const std::string &text);
    // A condition that the information_schema column holds exactly this
    // name, letter case included (those columns compare without case).
    static std::string NameIs(const std::string &column, const std::string &name);
    // The table's own triggers, by name.
    static std::string TriggerQuery(const std::string &table);
    // Every column and every index column of the current database, in the
    // order SQLColumns and SQLStatistics give them table by table
    // (MariaCatalog.cpp).
    static const char *const kColumnQuery;
    static const char *const kIndexQuery;
    // The table's primary key in key order.
    static std::string PrimaryKeyQuery(const std::string &table);
    // Every trigger of the current database with its table, by name.
    static const char *const kTriggerQuery;
    // What LoadRelationships reads: the foreign keys whose tables both lie
    // in the current database, their columns, and every index column.
    static const char *const kForeignKeyQuery;
    static const char *const kForeignKeyColumnQuery;
    static const char *const kIndexColumnQuery;

private:
    std::string m_dbmsName;
    CMariaDialect m_dialect;
};
