#pragma once

#include "db/DbmsAdapter.h"

#include <map>

class CSqliteTableKeys;
struct CSqliteForeignKeyClause;

// The dictionary of the SQLite engine: foreign keys from its pragmas with
// their constraint names from the CREATE TABLE text in sqlite_master, the
// indexes at both ends named as the driver's SQLStatistics names them, and
// triggers from sqlite_master.
//
// Every read goes through the session's one statement and is closed before
// the next; table names only ever reach a statement as a quoted literal or
// as a value inside the engine, so no name can break a query.
class CSqliteAdapter : public CDbmsAdapter
{
public:
    std::string GetDbmsName() const override;
    int LoadRelationships(CDbSession &session) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;

    // One row per foreign-key column of every table, in declaration order.
    static const char *const kForeignKeyQuery;
    // Primary key columns and index columns of every table.
    static const char *const kKeyQuery;
    // The CREATE TABLE text of the tables with named foreign keys, in pieces
    // short enough for one column read.
    static const char *const kTableSqlQuery;
    static std::string TriggerQuery(const std::string &table);

    // The name an unnamed foreign key gets: table_column[_column...]_fkey.
    static std::string GeneratedName(const std::string &table,
                                     const std::vector<std::string> &columns);

private:
    struct CForeignKey;
    using CKeyMap = std::map<std::string, CSqliteTableKeys>;
    using CClauseMap = std::map<std::string, std::vector<CSqliteForeignKeyClause>>;

    static int ReadForeignKeys(CDbSession &session, std::vector<CForeignKey> &keys);
    static int ReadTableKeys(CDbSession &session, CKeyMap &tables);
    static int ReadConstraintClauses(CDbSession &session, CClauseMap &clauses);
    static void NameForeignKeys(std::vector<CForeignKey> &keys, CClauseMap &clauses);
};
