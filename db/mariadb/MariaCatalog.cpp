// The whole catalog of the current database in three queries, with the
// values the MariaDB ODBC driver's catalog functions give table by table:
// each of those functions runs one information_schema query per table,
// and a server opens the definitions of every table a query over the
// whole database reads only once.
#include "db/mariadb/MariaAdapter.h"

#include "db/CatalogRows.h"
#include "db/DbSession.h"
#include "db/ResultCodes.h"


// The driver's own expressions for SQLColumns: DATA_TYPE as the Unicode
// driver gives it to an ODBC 2 application, TYPE_NAME as COLUMN_TYPE
// without its first bracket, COLUMN_SIZE, LENGTH (a character column's in
// bytes of the connection's character set), DECIMAL_DIGITS, NULLABLE (an
// AUTO_INCREMENT or TIMESTAMP column counts as nullable) and COLUMN_DEF.
// The key is not the driver's SQLPrimaryKeys (COLUMN_KEY = 'PRI', which
// holds a table's first unique index of NOT NULL columns where it has no
// key, numbered by place in the table): it is the index PRIMARY, in its
// own order, as ReadPrimaryKey reads it table by table.
#define MARIA_TYPE_CODE                                                                                   \
    "case DATA_TYPE when 'bit' then if(NUMERIC_PRECISION = 1, -7, -2) when 'tinyint' then -6 "           \
    "when 'smallint' then 5 when 'year' then 5 when 'mediumint' then 4 when 'int' then 4 "               \
    "when 'bigint' then -5 when 'blob' then -4 when 'tinyblob' then -4 when 'mediumblob' then -4 "       \
    "when 'longblob' then -4 when 'decimal' then 3 when 'float' then if(NUMERIC_SCALE is null, 7, 3) "   \
    "when 'double' then if(NUMERIC_SCALE is null, 8, 3) when 'binary' then -2 when 'varbinary' then -3 " \
    "when 'text' then -10 when 'tinytext' then -10 when 'mediumtext' then -10 when 'longtext' then -10 " \
    "when 'char' then -8 when 'enum' then -8 when 'set' then -8 when 'varchar' then -9 "                 \
    "when 'date' then 9 when 'time' then 10 when 'datetime' then 11 when 'timestamp' then 11 "           \
    "else -4 end"
#define MARIA_COLUMN_SIZE                                                                                 \
    "cast(case when DATA_TYPE = 'bit' then (NUMERIC_PRECISION + 7) / 8 "                                 \
    "when DATA_TYPE in ('tinyint', 'smallint', 'mediumint', 'int', 'bigint', 'decimal') "                \
    "then NUMERIC_PRECISION "                                                                            \
    "when DATA_TYPE = 'float' then if(NUMERIC_SCALE is null, 7, NUMERIC_PRECISION) "                     \
    "when DATA_TYPE = 'double' then if(NUMERIC_SCALE is null, 15, NUMERIC_PRECISION) "                   \
    "when DATA_TYPE = 'date' then 10 when DATA_TYPE = 'time' then 8 when DATA_TYPE = 'year' then 4 "     \
    "when DATA_TYPE in ('timestamp', 'datetime') then 19 else CHARACTER_MAXIMUM_LENGTH end as unsigned)"

const char *const CMariaAdapter::kColumnQuery =
    "select TABLE_NAME, COLUMN_NAME, " MARIA_TYPE_CODE ", "
    "upper(if(COLUMN_TYPE like '%(%)%', concat(substring(COLUMN_TYPE, 1, locate('(', COLUMN_TYPE) - 1), "
    "substring(COLUMN_TYPE, 1 + locate(')', COLUMN_TYPE))), COLUMN_TYPE)), " MARIA_COLUMN_SIZE ", "
    "cast(case " MARIA_TYPE_CODE " when -7 then 1 when -6 then 1 when 5 then 2 "
    "when 4 then if(DATA_TYPE = 'mediumint', 3, 4) when -5 then 20 when 7 then 4 when 8 then 8 "
    "when 9 then 6 when 10 then 6 when 11 then 16 "
    "when 3 then " MARIA_COLUMN_SIZE " + if(COLUMN_TYPE like '%unsigned', 1, 2) "
    "when -2 then if(DATA_TYPE = 'bit', cast((NUMERIC_PRECISION + 7) / 8 as signed), CHARACTER_OCTET_LENGTH) "
    "when -3 then CHARACTER_OCTET_LENGTH when -4 then CHARACTER_OCTET_LENGTH "
    "else CHARACTER_MAXIMUM_LENGTH * (select MAXLEN from information_schema.CHARACTER_SETS "
    "where CHARACTER_SET_NAME = @@character_set_client) end as signed), "
    "NUMERIC_SCALE, "
    "if(DATA_TYPE = 'timestamp', 1, if(IS_NULLABLE = 'YES', 1, if(EXTRA = 'auto_increment', 1, 0))), "
    "COLUMN_DEFAULT "
    "from information_schema.COLUMNS where TABLE_SCHEMA = database() "
    "order by TABLE_NAME, binary TABLE_NAME, ORDINAL_POSITION";

// SQLStatistics: no table-statistics row, unique indexes first, then by
// name (the server's order of names, which ignores letter case). Tables
// whose names differ only in case come one after the other, not mixed.
const char *const CMariaAdapter::kIndexQuery =
    "select TABLE_NAME, NON_UNIQUE, INDEX_NAME, COLUMN_NAME from information_schema.STATISTICS "
    "where TABLE_SCHEMA = database() "
    "order by TABLE_NAME, binary TABLE_NAME, NON_UNIQUE, INDEX_NAME, SEQ_IN_INDEX";

// MariaDB refuses the name PRIMARY to every index but the primary key's.
std::string CMariaAdapter::PrimaryKeyQuery(const std::string &table)
{
    return "select COLUMN_NAME from information_schema.STATISTICS where TABLE_SCHEMA = database() and "
           + NameIs("TABLE_NAME", table) + " and INDEX_NAME = 'PRIMARY' order by SEQ_IN_INDEX";
}

int CMariaAdapter::ReadPrimaryKey(CDbSession &session, const std::string &table,
                                  std::vector<std::string> &columns)
{
    return session.QueryRows(PrimaryKeyQuery(table), {1},
                             [&columns](const CDbRow &row) { columns.push_back(row[0]); });
}

const char *const CMariaAdapter::kTriggerQuery =
    "select EVENT_OBJECT_TABLE, TRIGGER_NAME from information_schema.TRIGGERS "
    "where EVENT_OBJECT_SCHEMA = database() order by TRIGGER_NAME";

namespace {


} // namespace

int CMariaAdapter::ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                                     std::vector<CCatalogTable> &tables, const CCatalogProgress &progress)
{
    const int total = static_cast<int>(names.size());
    CCatalogPlaces read(names);

    // Rows come by table name as the server orders names, which ignores
    // letter case (names that differ only in case one after the other);
    // each goes to the table of exactly its name, in its order there.
    // Columns and indexes are the first two thirds of the load; building the
    // tables, which the loader reports, is the last.
    CCatalogPhaseProgress columnPhase(progress, total, 0, 3);
    int result = CatalogRows::ReadAll(session, kColumnQuery, 9, [&](const CDbRow &row) {
        CCatalogTable *table = read.Find(row[0]);
        if (!table)
            return true;
        table->m_columns.push_back(CCatalogColumn{row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]});
        return columnPhase.Reached(row[0]);
    });
    CCatalogPhaseProgress indexPhase(progress, total, 1, 3);
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kIndexQuery, 4, [&](const CDbRow &row) {
            CCatalogTable *table = read.Find(row[0]);
            if (!table)
                return true;
            std::vector<CCatalogIndex> &indexes = table->m_indexes;
            if (indexes.empty() || indexes.back().m_name != row[2])
                indexes.push_back(CCatalogIndex{row[2], row[1] == "0", {}});
            indexes.back().m_columns.push_back(row[3]);
            if (row[2] == "PRIMARY")
                table->m_primaryKey.push_back(row[3]);
            return indexPhase.Reached(row[0]);
        });
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kTriggerQuery, 2, [&](const CDbRow &row) {
            if (CCatalogTable *table = read.Find(row[0]))
                table->m_triggers.push_back(row[1]);
            return true;
        });
    if (result < 0)
        return result;
    tables = read.Take();
    return DbResult::kOk;
}
