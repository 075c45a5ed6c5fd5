#include "db/postgres/PostgresDefinitions.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlFragment.h"
#include "db/SqlText.h"
#include "db/postgres/PostgresAdapter.h"
#include "db/sqlite/SqliteTokens.h"

#include <vector>

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

namespace {

const char *const kInCurrentSchema =
    " and t.relnamespace = (select oid from pg_namespace where nspname = current_schema())";

// pg_trigger.tgtype bits.
constexpr int kRow = 1;
constexpr int kBefore = 2;
constexpr int kInsert = 4;
constexpr int kDelete = 8;
constexpr int kUpdate = 16;
constexpr int kTruncate = 32;
constexpr int kInstead = 64;

// Whether a key column is more than a column in plain order: another
// collation than the column's, an operator class that is not the default,
// or NULLS FIRST / LAST against the direction's default (indoption bit 0
// is DESC, bit 1 NULLS FIRST).
const char *const kColumnIsMore =
    "exists (select 1 from generate_series(0, i.indnkeyatts - 1) c(n) "
    "join pg_attribute b on b.attrelid = i.indrelid and b.attnum = i.indkey[c.n] "
    "join pg_opclass o on o.oid = i.indclass[c.n] "
    "where i.indcollation[c.n] <> b.attcollation or not o.opcdefault "
    "or (i.indoption[c.n] & 1) <> ((i.indoption[c.n] >> 1) & 1))";

// One row per key column in key order: unique, whether the index is more
// than plain columns (an expression, a WHERE clause, INCLUDE columns,
// another method than btree, kColumnIsMore), whether a constraint owns it,
// the column and whether it sorts descending.
std::string IndexQuery(const std::string &table, const std::string &name)
{
    return "select i.indisunique::int, "
           "(i.indexprs is not null or i.indpred is not null or i.indnatts <> i.indnkeyatts "
           "or am.amname <> 'btree' or " + std::string(kColumnIsMore) + ")::int, "
           "exists (select 1 from pg_constraint k where k.conindid = i.indexrelid "
           "and k.conrelid = i.indrelid and k.contype in ('p', 'u', 'x'))::int, "
           "coalesce(a.attname, ''), (i.indoption[k.n] & 1)::int "
           "from pg_index i join pg_class x on x.oid = i.indexrelid "
           "join pg_class t on t.oid = i.indrelid join pg_am am on am.oid = x.relam "
           "cross join generate_series(0, i.indnkeyatts - 1) k(n) "
           "left join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[k.n] "
           "where x.relname = " + QuoteLiteral(name) + " and t.relname = " + QuoteLiteral(table)
           + kInCurrentSchema + " order by k.n";
}

// The trigger's type bits, whether it is more than the dialog shows
// (arguments, UPDATE OF columns, transition tables, a constraint
// trigger), its function's language and source, and its definition.
std::string TriggerQuery(const std::string &table, const std::string &name)
{
    return "select tg.tgtype::int, "
           "(tg.tgnargs > 0 or tg.tgattr::text <> '' or tg.tgoldtable is not null "
           "or tg.tgnewtable is not null or tg.tgconstraint <> 0)::int, "
           "l.lanname, p.prosrc, pg_get_triggerdef(tg.oid, true) "
           "from pg_trigger tg join pg_class t on t.oid = tg.tgrelid "
           "join pg_proc p on p.oid = tg.tgfoid join pg_language l on l.oid = p.prolang "
           "where not tg.tgisinternal and tg.tgname = " + QuoteLiteral(name) + " and t.relname = "
           + QuoteLiteral(table) + kInCurrentSchema;
}

int Refuse(CDbSession &session, const std::string &message)
{
    session.m_lastError = message;
    return DbResult::kErrorWithoutNativeCode;
}

std::string CannotEdit(const char *kind, const std::string &name, const char *why)
{
    return std::string("The ") + kind + " " + QuoteIdentifier(name) + " cannot be edited here: " + why;
}

int TakeIndexRows(CDbSession &session, const std::vector<CDbRow> &rows, CCreateIndex &index)
{
    if (rows.empty())
        return Refuse(session, "The current schema has no index " + QuoteIdentifier(index.m_name)
                                   + " on table " + QuoteIdentifier(index.m_table) + ".");
    if (rows.front()[1] == "1")
        return Refuse(session, CannotEdit("index", index.m_name,
                                          "it has more than columns in plain order (an expression, a "
                                          "WHERE clause, INCLUDE columns, a collation, an operator class, "
                                          "NULLS FIRST or LAST, or another method than btree)."));
    if (rows.front()[2] == "1")
        return Refuse(session, "The index " + QuoteIdentifier(index.m_name)
                                   + " belongs to a key or a UNIQUE constraint of table "
                                   + QuoteIdentifier(index.m_table) + "; it is edited with the table.");
    index.m_unique = rows.front()[0] == "1";
    for (const CDbRow &row : rows)
        index.m_segments.push_back({row[3], row[4] == "1"});
    return DbResult::kOk;
}

std::string WhyNotShown(int type, const std::string &more, const std::string &language)
{
    if (!(type & kRow))
        return "it fires once per statement, not for each row.";
    if (type & (kInstead | kTruncate))
        return "it fires INSTEAD OF or on TRUNCATE.";
    const int events = type & (kInsert | kDelete | kUpdate);
    if (events != kInsert && events != kDelete && events != kUpdate)
        return "it fires on more than one event.";
    if (more == "1")
        return "it has arguments, a column list, transition tables or a constraint.";
    if (language != "plpgsql")
        return "its function is not written in PL/pgSQL.";
    return std::string();
}

int TakeTriggerRow(CDbSession &session, const std::vector<CDbRow> &rows, CCreateTrigger &trigger)
{
    if (rows.empty())
        return Refuse(session, "The current schema has no trigger " + QuoteIdentifier(trigger.m_name)
                                   + " on table " + QuoteIdentifier(trigger.m_table) + ".");
    const CDbRow &row = rows.front();
    const int type = std::stoi(row[0]);
    const std::string why = WhyNotShown(type, row[1], row[2]);
    if (!why.empty())
        return Refuse(session, CannotEdit("trigger", trigger.m_name, why.c_str()));
    trigger.m_timing = (type & kBefore) ? TriggerTiming::Before : TriggerTiming::After;
    trigger.m_event = (type & kInsert)   ? TriggerEvent::Insert
                      : (type & kDelete) ? TriggerEvent::Delete
                                         : TriggerEvent::Update;
    trigger.m_condition = PostgresDefinitions::ConditionOf(row[4]);
    trigger.m_body = PostgresDefinitions::BodyOf(row[3], trigger);
    return DbResult::kOk;
}

int ReadAll(CDbSession &session, const std::string &query, std::vector<int> columns,
            std::vector<CDbRow> &rows)
{
    return session.QueryRows(query, columns, [&rows](const CDbRow &row) { rows.push_back(row); });
}

} // namespace

namespace PostgresDefinitions {

int ReadIndex(CDbSession &session, const std::string &table, const std::string &name, CCreateIndex &index)
{
    std::vector<CDbRow> rows;
    const int result = ReadAll(session, IndexQuery(table, name), {1, 2, 3, 4, 5}, rows);
    if (result < 0)
        return result;
    index = CCreateIndex();
    index.m_name = name;
    index.m_table = table;
    return TakeIndexRows(session, rows, index);
}

int ReadTrigger(CDbSession &session, const std::string &table, const std::string &name,
                CCreateTrigger &trigger)
{
    std::vector<CDbRow> rows;
    const int result = ReadAll(session, TriggerQuery(table, name), {1, 2, 3, 4, 5}, rows);
    if (result < 0)
        return result;
    trigger = CCreateTrigger();
    trigger.m_name = name;
    trigger.m_table = table;
    return TakeTriggerRow(session, rows, trigger);
}

// The server quotes every name that needs it, so a bare WHEN outside
// brackets is the keyword; the condition is the bracket that follows it.
std::string ConditionOf(const std::string &definition)
{
    const CSqlTokens tokens = TokenizeSql(definition);
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!SqlTokens::IsKeyword(tokens[i], "when") || tokens[i].m_depth != 0
            || !SqlTokens::IsPunct(tokens[i + 1], '('))
            continue;
        for (size_t j = i + 2; j < tokens.size(); ++j)
            if (SqlTokens::IsPunct(tokens[j], ')') && tokens[j].m_depth == 0)
                return definition.substr(tokens[i + 1].m_end, tokens[j].m_begin - tokens[i + 1].m_end);
    }
    return std::string();
}

// Create Trigger wraps a plain body as "BEGIN <body>\nRETURN <row>; END;"
// and keeps a block as it is. The wrapper comes off only when what it
// wraps is not a block itself: created again, that block would lose its
// RETURN.
std::string BodyOf(const std::string &source, const CCreateTrigger &trigger)
{
    const std::string row = trigger.m_timing == TriggerTiming::After  ? "NULL"
                            : trigger.m_event == TriggerEvent::Delete ? "OLD"
                                                                      : "NEW";
    const std::string head = "BEGIN ";
    const std::string tail = "\nRETURN " + row + "; END;";
    if (source.size() < head.size() + tail.size() || source.compare(0, head.size(), head) != 0
        || source.compare(source.size() - tail.size(), tail.size(), tail) != 0)
        return source;
    const std::string inner = source.substr(head.size(), source.size() - head.size() - tail.size());
    const SqlFragment::CBody body = SqlFragment::ReadPostgresBody(inner);
    return body.m_error.empty() && !body.m_block ? inner : source;
}

} // namespace PostgresDefinitions

int CPostgresAdapter::ReadIndexDefinition(CDbSession &session, const std::string &table,
                                          const std::string &index, CCreateIndex &definition)
{
    return PostgresDefinitions::ReadIndex(session, table, index, definition);
}

int CPostgresAdapter::ReadTriggerDefinition(CDbSession &session, const std::string &table,
                                            const std::string &trigger, CCreateTrigger &definition)
{
    return PostgresDefinitions::ReadTrigger(session, table, trigger, definition);
}
