// What a schema script needs of a PostgreSQL table (TableDefinitions.h),
// from the catalog of the current schema. Types, constraints, index
// conditions and triggers come as the server writes them back
// (format_type, pg_get_constraintdef, pg_get_expr, pg_get_triggerdef,
// pg_get_functiondef), so the script says what the server would say.

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/TableDefinitions.h"
#include "db/postgres/PostgresAdapter.h"

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

namespace {

using CRows = std::vector<CDbRow>;

// The statement is closed also after a failure.
int ReadRows(CDbSession &session, const std::string &query, int columns, CRows &rows)
{
    std::vector<int> numbers;
    for (int c = 1; c <= columns; ++c)
        numbers.push_back(c);
    const int result = session.QueryRows(query, numbers, [&rows](const CDbRow &row) { rows.push_back(row); });
    if (result < 0)
        session.CloseStatement();
    return result;
}

std::string TableOid(const std::string &table)
{
    return "(select t.oid from pg_class t where t.relname = " + QuoteLiteral(table)
           + " and t.relnamespace = (select oid from pg_namespace where nspname = current_schema()))";
}

int ReadColumns(CDbSession &session, const std::string &oid, CTableDefinitions &definitions)
{
    CRows rows;
    const int result = ReadRows(
        session,
        "select a.attname, format_type(a.atttypid, a.atttypmod), "
        "coalesce(pg_get_expr(d.adbin, d.adrelid), '') from pg_attribute a "
        "left join pg_attrdef d on d.adrelid = a.attrelid and d.adnum = a.attnum where a.attrelid = "
            + oid + " and a.attnum > 0 and not a.attisdropped order by a.attnum",
        3, rows);
    for (const CDbRow &row : rows)
        definitions.m_columns.push_back({row[0], row[1], row[2]});
    return result;
}

// UNIQUE and CHECK constraints under their names; the primary key and the
// foreign keys are written from their own facts.
int ReadConstraints(CDbSession &session, const std::string &oid, CTableDefinitions &definitions)
{
    CRows rows;
    const int result = ReadRows(session, "select conname, pg_get_constraintdef(oid) from pg_constraint "
                                         "where conrelid = " + oid
                                             + " and contype in ('u', 'c') order by contype desc, conname",
                                2, rows);
    for (const CDbRow &row : rows)
        definitions.m_constraints.push_back("CONSTRAINT " + QuoteIdentifier(row[0]) + " " + row[1]);
    return result;
}

// One row per key column of every index no constraint owns: an index with
// more than plain columns (an expression, INCLUDE columns, another method,
// a collation or operator class of its own) keeps its whole definition.
int ReadIndexes(CDbSession &session, const std::string &oid, CTableDefinitions &definitions)
{
    CRows rows;
    const int result = ReadRows(
        session,
        "select x.relname, i.indisunique::int, coalesce(pg_get_expr(i.indpred, i.indrelid), ''), "
        "coalesce(a.attname, ''), (i.indoption[k.n] & 1)::int, "
        "(i.indexprs is not null or i.indnatts <> i.indnkeyatts or am.amname <> 'btree' "
        "or i.indcollation[k.n] <> coalesce(a.attcollation, 0) or not o.opcdefault "
        "or (i.indoption[k.n] & 1) <> ((i.indoption[k.n] >> 1) & 1))::int, "
        "pg_get_indexdef(i.indexrelid) "
        "from pg_index i join pg_class x on x.oid = i.indexrelid join pg_am am on am.oid = x.relam "
        "cross join generate_series(0, i.indnkeyatts - 1) k(n) "
        "join pg_opclass o on o.oid = i.indclass[k.n] "
        "left join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[k.n] "
        "where i.indrelid = " + oid
            + " and not exists (select 1 from pg_constraint c where c.conindid = i.indexrelid "
              "and c.conrelid = i.indrelid) order by x.relname, k.n",
        7, rows);
    std::vector<CStoredIndex> &indexes = definitions.m_indexes;
    for (const CDbRow &row : rows) {
        if (indexes.empty() || indexes.back().m_name != row[0])
            indexes.push_back({row[0], row[1] == "1", {}, row[2]});
        indexes.back().m_segments.push_back({row[3], row[4] == "1"});
        if (row[5] == "1")
            indexes.back().m_statement = row[6];
    }
    return result;
}

std::string RuleOf(const std::string &action)
{
    if (action == "r")
        return "RESTRICT";
    if (action == "c")
        return "CASCADE";
    if (action == "n")
        return "SET NULL";
    if (action == "d")
        return "SET DEFAULT";
    return {}; // 'a', NO ACTION
}

int ReadForeignKeys(CDbSession &session, const std::string &oid, CTableDefinitions &definitions)
{
    CRows rows;
    const int result = ReadRows(
        session,
        "select c.conname, p.relname, c.confdeltype, c.confupdtype, a.attname, b.attname "
        "from pg_constraint c join pg_class p on p.oid = c.confrelid "
        "cross join generate_subscripts(c.conkey, 1) k(n) "
        "join pg_attribute a on a.attrelid = c.conrelid and a.attnum = c.conkey[k.n] "
        "join pg_attribute b on b.attrelid = c.confrelid and b.attnum = c.confkey[k.n] "
        "where c.contype = 'f' and c.conrelid = " + oid + " order by c.conname, k.n",
        6, rows);
    std::vector<CStoredForeignKey> &keys = definitions.m_foreignKeys;
    for (const CDbRow &row : rows) {
        if (keys.empty() || keys.back().m_name != row[0])
            keys.push_back({row[0], {}, row[1], {}, RuleOf(row[2]), RuleOf(row[3])});
        keys.back().m_columns.push_back(row[4]);
        keys.back().m_parentColumns.push_back(row[5]);
    }
    return result;
}

int ReadTriggers(CDbSession &session, const std::string &oid, CTableDefinitions &definitions)
{
    CRows rows;
    const int result = ReadRows(session, "select tgname, pg_get_triggerdef(oid), pg_get_functiondef(tgfoid) "
                                         "from pg_trigger where not tgisinternal and tgrelid = " + oid
                                             + " order by tgname",
                                3, rows);
    for (CDbRow &row : rows) {
        SqlText::TrimRight(row[2]);
        definitions.m_triggers.push_back({row[0], row[1], row[2]});
    }
    return result;
}

} // namespace

int CPostgresAdapter::ReadTableDefinitions(CDbSession &session, const std::string &table,
                                           CTableDefinitions &definitions)
{
    definitions = CTableDefinitions();
    const std::string oid = TableOid(table);
    int result = ReadColumns(session, oid, definitions);
    if (result >= 0)
        result = ReadConstraints(session, oid, definitions);
    if (result >= 0)
        result = ReadIndexes(session, oid, definitions);
    if (result >= 0)
        result = ReadForeignKeys(session, oid, definitions);
    if (result >= 0)
        result = ReadTriggers(session, oid, definitions);
    return result < 0 ? result : DbResult::kOk;
}
