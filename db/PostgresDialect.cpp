#include "db/PostgresDialect.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

const char *const CPostgresDialect::kTriggerFunctionComment =
    "Body of one trigger, written by Vellumix; dropped with the trigger";

namespace {

// Every name a change carries, new or existing.
struct CNameCollector
{
    std::vector<std::string> names;

    void Add(const std::string &name) { names.push_back(name); }
    void Add(const std::vector<std::string> &more) { names.insert(names.end(), more.begin(), more.end()); }
    void AddColumns(const std::vector<CColumnDef> &columns)
    {
        for (const CColumnDef &column : columns)
            Add(column.m_name);
    }

    void operator()(const CCreateTable &c) { Add(c.m_table); AddColumns(c.m_columns); }
    void operator()(const CAddColumns &c) { Add(c.m_table); AddColumns(c.m_columns); }
    void operator()(const CDropColumns &c) { Add(c.m_table); Add(c.m_columns); }
    void operator()(const CDropIndex &c) { Add(c.m_table); Add(c.m_index); }
    void operator()(const CDropTrigger &c) { Add(c.m_table); Add(c.m_trigger); }
    void operator()(const CDropTable &c) { Add(c.m_table); }
    void operator()(const CDropRelationship &c) { Add(c.m_foreignTable); Add(c.m_name); }
    void operator()(const CCreateIndex &c)
    {
        Add(c.m_name);
        Add(c.m_table);
        for (const CIndexSegment &segment : c.m_segments)
            Add(segment.m_column);
    }
    void operator()(const CCreateTrigger &c) { Add(c.m_name); Add(c.m_table); }
    void operator()(const CAddForeignKey &c)
    {
        Add(c.m_table);
        Add(c.m_columns);
        Add(c.m_referencedTable);
        Add(c.m_referencedColumns);
    }
};

uint32_t Fnv1a(const std::string &text)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

// The text cut to at most the given bytes without splitting a UTF-8
// character.
std::string CutToBytes(const std::string &text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

// The body between dollar quotes whose tag first appears where it closes
// them: neither inside the body nor where the body's end runs into it
// ("...$body" followed by "$body$").
std::string DollarQuoted(const std::string &body)
{
    std::string tag = "$body$";
    for (int n = 1; (body + tag).find(tag) < body.size(); ++n)
        tag = "$body" + std::to_string(n) + "$";
    return tag + body + tag;
}

std::string FirstWord(const std::string &lower)
{
    const size_t start = lower.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    size_t end = start;
    while (end < lower.size() && std::isalpha(static_cast<unsigned char>(lower[end])))
        ++end;
    return lower.substr(start, end - start);
}

// The last word, with trailing semicolons and white space left out.
std::string LastWord(const std::string &lower)
{
    const size_t last = lower.find_last_not_of(" \t\r\n;");
    if (last == std::string::npos)
        return std::string();
    size_t start = last + 1;
    while (start > 0 && std::isalpha(static_cast<unsigned char>(lower[start - 1])))
        --start;
    return lower.substr(start, last + 1 - start);
}

bool IsBlock(const std::string &body)
{
    const std::string lower = SqlText::ToLower(body);
    const std::string first = FirstWord(lower);
    return (first == "begin" || first == "declare") && LastWord(lower) == "end";
}

// What a wrapped body returns: the row that goes on before an insert,
// update or delete; nothing after the event, where the value is ignored.
const char *ReturnedRow(const CCreateTrigger &change)
{
    if (change.m_timing == TriggerTiming::After)
        return "NULL";
    return change.m_event == TriggerEvent::Delete ? "OLD" : "NEW";
}

} // namespace

bool CPostgresDialect::HasFeature(Feature feature) const
{
    switch (feature) {
    case Feature::ModifiableIndex:
    case Feature::NotNullIndex:
    case Feature::TriggerFiringOrder:
        return false;
    case Feature::TriggerCondition:
    case Feature::DeleteRule:
        return true;
    }
    return false;
}

std::string CPostgresDialect::TriggerFunctionName(const std::string &table,
                                                  const std::string &trigger)
{
    const std::string name = table + "_" + trigger;
    if (name.size() <= kMaxNameBytes)
        return name;
    char hash[16];
    std::snprintf(hash, sizeof hash, "_%08x", static_cast<unsigned>(Fnv1a(table + '\0' + trigger)));
    return CutToBytes(name, kMaxNameBytes - 9) + hash;
}

std::string CPostgresDialect::UnusedFunctionQuery(const std::string &table,
                                                  const std::string &trigger)
{
    std::string query =
        "select distinct p.oid::regprocedure::text from pg_trigger t "
        "join pg_class c on c.oid = t.tgrelid join pg_proc p on p.oid = t.tgfoid "
        "where c.relname = " + QuoteLiteral(table)
        + " and c.relnamespace = (select oid from pg_namespace where nspname = current_schema())"
          " and not t.tgisinternal and obj_description(p.oid, 'pg_proc') = "
        + QuoteLiteral(kTriggerFunctionComment);
    if (trigger.empty())
        return query + " and not exists (select 1 from pg_trigger u where u.tgfoid = p.oid "
                       "and u.tgrelid <> c.oid)";
    return query + " and t.tgname = " + QuoteLiteral(trigger)
           + " and not exists (select 1 from pg_trigger u where u.tgfoid = p.oid "
             "and u.oid <> t.oid)";
}

CRendering CPostgresDialect::CheckNameLengths(const CSchemaChange &change)
{
    CNameCollector collector;
    std::visit(collector, change);
    for (const std::string &name : collector.names)
        if (name.size() > kMaxNameBytes)
            return Refusal("PostgreSQL names are at most 63 bytes long; \"" + name
                           + "\" is longer. Nothing was changed.");
    return CRendering();
}

int CPostgresDialect::Apply(CDbSession &session, const CSchemaChange &change) const
{
    const CRendering tooLong = CheckNameLengths(change);
    if (tooLong.m_result < 0)
        return Refuse(session, tooLong);
    if (const auto *trigger = std::get_if<CDropTrigger>(&change))
        return ApplyDroppingFunctions(session, change, trigger->m_table, trigger->m_trigger);
    if (const auto *table = std::get_if<CDropTable>(&change))
        return ApplyDroppingFunctions(session, change, table->m_table, std::string());
    return CDialect::Apply(session, change);
}

// The functions to drop are read before anything is dropped, while the
// triggers still name them; the drop and theirs then go in one transaction.
int CPostgresDialect::ApplyDroppingFunctions(CDbSession &session, const CSchemaChange &change,
                                             const std::string &table,
                                             const std::string &trigger) const
{
    CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    const int result = session.QueryRows(UnusedFunctionQuery(table, trigger), {1},
                                         [&rendering](const CDbRow &row) {
                                             rendering.m_statements.push_back("DROP FUNCTION "
                                                                              + row[0]);
                                         });
    if (result < 0)
        return result;
    return RunStatements(session, rendering.m_statements);
}

CRendering CPostgresDialect::CreateTable(const CCreateTable &change) const
{
    return Statement(CreateTableStatement(change));
}

CRendering CPostgresDialect::AddColumns(const CAddColumns &change) const
{
    if (change.m_columns.empty())
        return CRendering();
    std::string text = "ALTER TABLE " + QuoteIdentifier(change.m_table);
    for (size_t i = 0; i < change.m_columns.size(); ++i)
        text += (i > 0 ? ", " : " ") + std::string("ADD COLUMN ")
                + ColumnDefinition(change.m_columns[i]);
    return Statement(text);
}

CRendering CPostgresDialect::DropColumns(const CDropColumns &change) const
{
    if (change.m_columns.empty())
        return CRendering();
    std::string text = "ALTER TABLE " + QuoteIdentifier(change.m_table);
    for (size_t i = 0; i < change.m_columns.size(); ++i)
        text += (i > 0 ? ", " : " ") + std::string("DROP COLUMN ")
                + QuoteIdentifier(change.m_columns[i]);
    return Statement(text);
}

// Index names are unique in their schema; the unqualified name finds the
// index of the schema the tables are shown from.
CRendering CPostgresDialect::DropIndex(const CDropIndex &change) const
{
    return Statement("DROP INDEX " + QuoteIdentifier(change.m_index));
}

CRendering CPostgresDialect::DropTrigger(const CDropTrigger &change) const
{
    return Statement("DROP TRIGGER " + QuoteIdentifier(change.m_trigger) + " ON "
                     + QuoteIdentifier(change.m_table));
}

CRendering CPostgresDialect::DropTable(const CDropTable &change) const
{
    return Statement("DROP TABLE " + QuoteIdentifier(change.m_table));
}

CRendering CPostgresDialect::DropRelationship(const CDropRelationship &change) const
{
    return Statement("ALTER TABLE " + QuoteIdentifier(change.m_foreignTable) + " DROP CONSTRAINT "
                     + QuoteIdentifier(change.m_name));
}

CRendering CPostgresDialect::CreateIndex(const CCreateIndex &change) const
{
    return Statement(IndexStatement(change));
}

std::string CPostgresDialect::FunctionBody(const CCreateTrigger &change)
{
    if (IsBlock(change.m_body)) {
        std::string body = change.m_body;
        SqlText::TrimRight(body);
        return body.back() == ';' ? body : body + ";";
    }
    std::string statements = change.m_body;
    SqlText::TrimRight(statements);
    if (statements.empty() || statements.back() != ';')
        statements += ';';
    return "BEGIN " + statements + " RETURN " + ReturnedRow(change) + "; END;";
}

CRendering CPostgresDialect::CreateTrigger(const CCreateTrigger &change) const
{
    const std::string function =
        QuoteIdentifier(TriggerFunctionName(change.m_table, change.m_name)) + "()";
    std::string trigger = TriggerHead(change) + "FOR EACH ROW ";
    if (!change.m_condition.empty())
        trigger += "WHEN (" + change.m_condition + ") ";
    CRendering rendering;
    rendering.m_statements = {
        "CREATE FUNCTION " + function + " RETURNS trigger LANGUAGE plpgsql AS "
            + DollarQuoted(FunctionBody(change)),
        "COMMENT ON FUNCTION " + function + " IS " + QuoteLiteral(kTriggerFunctionComment),
        trigger + "EXECUTE FUNCTION " + function,
    };
    return rendering;
}

CRendering CPostgresDialect::AddForeignKey(const CAddForeignKey &change) const
{
    return Statement("ALTER TABLE " + QuoteIdentifier(change.m_table) + " ADD "
                     + ForeignKeyClause(change));
}

// Collation names are identifiers in PostgreSQL ("C", "en_US"); the name
// is written as typed and the server checks it.
std::string CPostgresDialect::CollationClause(const std::string &collation) const
{
    return " COLLATE " + QuoteIdentifier(collation);
}
