#include "db/postgres/PostgresDialect.h"

#include "db/ColumnCheck.h"
#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlFragment.h"
#include "db/SqlText.h"
#include "db/TableAlteration.h"

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

    void operator()(const CCreateTable &c)
    {
        Add(c.m_table);
        AddColumns(c.m_columns);
        Add(c.m_primaryKey);
    }
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
    void operator()(const CAlterTable &c)
    {
        Add(c.m_table);
        Add(c.m_newName);
        for (const CAlteredColumn &column : c.m_columns)
            Add(column.m_column.m_name);
    }
    void operator()(const CReplaceIndex &c) { (*this)(c.m_new); }
    void operator()(const CReplaceTrigger &c) { (*this)(c.m_new); }
    void operator()(const CAddForeignKey &c)
    {
        Add(c.m_table);
        Add(c.m_columns);
        Add(c.m_referencedTable);
        Add(c.m_referencedColumns);
    }
};

uint64_t Fnv1a(const std::string &text)
{
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
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

// The columns a change adds, or null when it adds none.
const std::vector<CColumnDef> *NewColumns(const CSchemaChange &change)
{
    if (const auto *table = std::get_if<CCreateTable>(&change))
        return &table->m_columns;
    if (const auto *add = std::get_if<CAddColumns>(&change))
        return &add->m_columns;
    return nullptr;
}

// The primary key constraint of a table of the schema the tables are shown
// from; no row when it has none.
std::string KeyNameQuery(const std::string &table)
{
    return "select conname from pg_constraint where contype = 'p' and conrelid = (select oid from "
           "pg_class where relname = " + QuoteLiteral(table)
           + " and relnamespace = (select oid from pg_namespace where nspname = current_schema()))";
}

// Every trigger of the schema the tables are shown from, with its table and
// the source of its function.
const char *const kTriggerBodiesQuery =
    "select t.tgname, c.relname, p.prosrc from pg_trigger t join pg_class c on c.oid = t.tgrelid "
    "join pg_proc p on p.oid = t.tgfoid where c.relnamespace = (select oid from pg_namespace "
    "where nspname = current_schema()) and not t.tgisinternal order by c.relname, t.tgname";

bool IsNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// Whether the text names the identifier as a word of its own, in any
// letter case (quoted or not).
bool NamesWord(const std::string &text, const std::string &word)
{
    const std::string haystack = SqlText::ToLower(text);
    const std::string needle = SqlText::ToLower(word);
    for (size_t at = haystack.find(needle); !needle.empty() && at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        const size_t end = at + needle.size();
        if ((at == 0 || !IsNameCharacter(haystack[at - 1]))
            && (end == haystack.size() || !IsNameCharacter(haystack[end])))
            return true;
    }
    return false;
}

// The columns whose collation the edit sets: the new ones and the changed.
std::vector<CColumnDef> CollatedColumns(const CTableAlteration &alteration)
{
    std::vector<CColumnDef> columns = alteration.m_added;
    for (const CChangedColumn &changed : alteration.m_changed)
        if (changed.m_collation || changed.m_type)
            columns.push_back(*changed.m_after);
    return columns;
}

// One column's changes. A default that stands while the type changes
// would have to be converted too, which fails for many pairs of types
// (an old text default on a new integer): it is dropped first and set
// again once the type has changed.
void AlterColumn(const std::string &table, const CChangedColumn &changed, const std::string &collation,
                 std::vector<std::string> &statements)
{
    const std::string head = "ALTER TABLE " + QuoteIdentifier(table) + " ALTER COLUMN "
                             + QuoteIdentifier(changed.m_after->m_name) + " ";
    const std::string &defaultNow = changed.m_after->m_default;
    const bool dropDefaultFirst = changed.m_type && !changed.m_before->m_default.empty();
    if (dropDefaultFirst || (changed.m_default && defaultNow.empty()))
        statements.push_back(head + "DROP DEFAULT");
    if (changed.m_type || changed.m_collation) {
        const std::string type = ColumnTypeText(*changed.m_after);
        statements.push_back(head + "TYPE " + type + collation + " USING "
                             + QuoteIdentifier(changed.m_after->m_name) + "::" + type);
    }
    if (!defaultNow.empty() && (changed.m_default || dropDefaultFirst))
        statements.push_back(head + "SET DEFAULT " + defaultNow);
    if (changed.m_notNull)
        statements.push_back(head + (changed.m_after->m_nullMark == "1" ? "SET NOT NULL" : "DROP NOT NULL"));
}

std::string CollationQuery(const std::string &collation)
{
    return "select count(*) from pg_collation where collname = " + QuoteLiteral(collation)
           + " and collencoding in (-1, pg_char_to_encoding(getdatabaseencoding()))"
             " and pg_collation_is_visible(oid)";
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

// T_R alone would give table a_b with trigger c the function of table a
// with trigger b_c. The length of T at the end tells where T ends, so no
// two pairs share a name; a name too long for that ends in 16 hex digits
// instead, which the short form (one or two digits after its last '_')
// never does.
std::string CPostgresDialect::TriggerFunctionName(const std::string &table,
                                                  const std::string &trigger)
{
    const std::string name = table + "_" + trigger + "_" + std::to_string(table.size());
    if (name.size() <= kMaxNameBytes)
        return name;
    char hash[24];
    std::snprintf(hash, sizeof hash, "_%016llx",
                  static_cast<unsigned long long>(Fnv1a(table + '\0' + trigger)));
    return CutToBytes(table + "_" + trigger, kMaxNameBytes - 17) + hash;
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
    if (const auto *alter = std::get_if<CAlterTable>(&change))
        return ApplyAlterTable(session, *alter);
    if (const std::vector<CColumnDef> *columns = NewColumns(change))
        return ApplyWithCollations(session, change, *columns);
    if (const auto *trigger = std::get_if<CDropTrigger>(&change))
        return ApplyDroppingFunctions(session, change, trigger->m_table, trigger->m_trigger);
    if (const auto *replace = std::get_if<CReplaceTrigger>(&change))
        return ApplyDroppingFunctions(session, change, replace->m_old.m_table,
                                      replace->m_old.m_trigger,
                                      DropTrigger(replace->m_old).m_statements.size());
    if (const auto *table = std::get_if<CDropTable>(&change))
        return ApplyDroppingFunctions(session, change, table->m_table, std::string());
    return CDialect::Apply(session, change);
}

// The statements are rendered (and refused) before the catalog is asked,
// so that a refused change sends nothing at all.
int CPostgresDialect::ApplyWithCollations(CDbSession &session, const CSchemaChange &change,
                                          const std::vector<CColumnDef> &columns) const
{
    const CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    for (const CColumnDef &column : columns) {
        if (column.m_collation.empty())
            continue;
        const int known = CheckCollation(session, column);
        if (known < 0)
            return known;
    }
    return RunStatements(session, rendering.m_statements);
}

// The server would refuse an unknown collation too, but only while the
// change runs and in words about its parser; the catalog tells before
// anything is sent that PostgreSQL has no such collation (Pervasive.SQL's
// word case among them).
int CPostgresDialect::CheckCollation(CDbSession &session, const CColumnDef &column)
{
    std::string count;
    const int result = session.QueryRows(CollationQuery(column.m_collation), {1},
                                         [&count](const CDbRow &row) { count = row[0]; });
    if (result < 0)
        return result;
    if (count != "0")
        return DbResult::kOk;
    return Refuse(session, Refusal("PostgreSQL has no collation " + QuoteIdentifier(column.m_collation)
                                   + " (column " + QuoteIdentifier(column.m_name)
                                   + "). Nothing was changed."));
}

// The functions to drop are read before anything is dropped, while the
// triggers still name them; the drop and theirs then go in one transaction.
// They follow the drop's own statements (the first dropStatements of the
// change, all of them by default) and come before anything a replacement
// creates: the new trigger's function may take the old one's name.
int CPostgresDialect::ApplyDroppingFunctions(CDbSession &session, const CSchemaChange &change,
                                             const std::string &table, const std::string &trigger,
                                             size_t dropStatements) const
{
    CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    size_t at = std::min(dropStatements, rendering.m_statements.size());
    const int result = session.QueryRows(UnusedFunctionQuery(table, trigger), {1},
                                         [&rendering, &at](const CDbRow &row) {
                                             auto &statements = rendering.m_statements;
                                             statements.insert(statements.begin() + at++,
                                                               "DROP FUNCTION " + row[0]);
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

// The added RETURN and END start a line of their own, so that a body
// ending in a comment does not comment them out.
std::string CPostgresDialect::FunctionBody(const CCreateTrigger &change, const SqlFragment::CBody &body)
{
    const std::string closed = SqlFragment::ClosedBody(change.m_body, body);
    if (body.m_block)
        return closed;
    return "BEGIN " + closed + "\nRETURN " + ReturnedRow(change) + "; END;";
}

CRendering CPostgresDialect::CreateTrigger(const CCreateTrigger &change) const
{
    const std::string condition = SqlFragment::CheckCondition(change.m_condition, SqlSyntax::Postgres);
    if (!condition.empty())
        return Refusal(condition);
    const SqlFragment::CBody body = SqlFragment::ReadPostgresBody(change.m_body);
    if (!body.m_error.empty())
        return Refusal(SqlFragment::Refusal("trigger body", "one block of statements", body.m_error));
    const std::string function =
        QuoteIdentifier(TriggerFunctionName(change.m_table, change.m_name)) + "()";
    std::string trigger = TriggerHead(change) + "FOR EACH ROW ";
    if (!change.m_condition.empty())
        trigger += "WHEN (" + change.m_condition + ") ";
    CRendering rendering;
    rendering.m_statements = {
        "CREATE FUNCTION " + function + " RETURNS trigger LANGUAGE plpgsql AS "
            + DollarQuoted(FunctionBody(change, body)),
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

CRendering CPostgresDialect::AlterTable(const CAlterTable &change) const
{
    return AlterStatements(change, change.m_table + "_pkey");
}

CRendering CPostgresDialect::AlterStatements(const CAlterTable &change, const std::string &keyName) const
{
    const CTableAlteration alteration = ReadAlteration(change);
    if (!alteration.m_error.empty())
        return Refusal(alteration.m_error);
    const std::string table = QuoteIdentifier(change.m_table);
    CRendering rendering;
    std::vector<std::string> &statements = rendering.m_statements;
    for (const auto &rename : alteration.m_renames)
        statements.push_back("ALTER TABLE " + table + " RENAME COLUMN " + QuoteIdentifier(rename.first)
                             + " TO " + QuoteIdentifier(rename.second));
    if (alteration.m_keyChanged && !change.m_keyBefore.empty())
        statements.push_back("ALTER TABLE " + table + " DROP CONSTRAINT " + QuoteIdentifier(keyName));
    for (const std::string &column : alteration.m_dropped)
        statements.push_back("ALTER TABLE " + table + " DROP COLUMN " + QuoteIdentifier(column));
    for (const CChangedColumn &changed : alteration.m_changed) {
        const std::string &collation = changed.m_after->m_collation;
        AlterColumn(change.m_table, changed, collation.empty() ? std::string() : CollationClause(collation),
                    statements);
    }
    for (const CColumnDef &column : alteration.m_added)
        statements.push_back("ALTER TABLE " + table + " ADD COLUMN " + ColumnDefinition(column));
    if (alteration.m_keyChanged && !alteration.m_key.empty())
        statements.push_back("ALTER TABLE " + table + " ADD PRIMARY KEY (" + IdentifierList(alteration.m_key)
                             + ")");
    if (!alteration.m_newName.empty())
        statements.push_back("ALTER TABLE " + table + " RENAME TO " + QuoteIdentifier(alteration.m_newName));
    return rendering;
}

// PostgreSQL renames a table or a column everywhere but in the bodies of
// functions: a trigger whose function names the old name, on this table or
// another, would fail on its next row. Such a rename is refused, naming the
// trigger, before anything is sent. A body that names the word for
// something else is refused too: better a clear refusal than a broken
// trigger.
int CPostgresDialect::CheckTriggerBodies(CDbSession &session, const CAlterTable &change) const
{
    std::vector<std::pair<std::string, std::string>> renamed; // kind, old name
    if (!change.m_newName.empty() && change.m_newName != change.m_table)
        renamed.emplace_back("table", change.m_table);
    for (const CAlteredColumn &column : change.m_columns)
        if (!column.m_from.empty() && column.m_from != column.m_column.m_name)
            renamed.emplace_back("column", column.m_from);
    if (renamed.empty())
        return DbResult::kOk;
    std::string trigger, table, kind, named;
    const int result = session.QueryRows(kTriggerBodiesQuery, {1, 2, 3}, [&](const CDbRow &row) {
        for (const auto &[what, name] : renamed)
            if (named.empty() && NamesWord(row[2], name))
                trigger = row[0], table = row[1], kind = what, named = name;
    });
    if (result < 0 || named.empty())
        return result;
    return Refuse(session, Refusal("The trigger " + QuoteIdentifier(trigger) + " of the table "
                                   + QuoteIdentifier(table) + " names the " + kind + " "
                                   + QuoteIdentifier(named)
                                   + " in its body, which PostgreSQL does not rename: the "
                                     "trigger would fail afterwards. Edit or drop the trigger "
                                     "first. Nothing was changed."));
}

// Refusals come before the catalog is asked; the key's name is read only
// when the key goes, and an edit that changes nothing sends nothing.
int CPostgresDialect::ApplyAlterTable(CDbSession &session, const CAlterTable &change) const
{
    CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    const CTableAlteration alteration = ReadAlteration(change);
    const int bodies = CheckTriggerBodies(session, change);
    if (bodies < 0)
        return bodies;
    for (const CColumnDef &column : CollatedColumns(alteration)) {
        const int known = column.m_collation.empty() ? DbResult::kOk : CheckCollation(session, column);
        if (known < 0)
            return known;
    }
    if (alteration.m_keyChanged && !change.m_keyBefore.empty()) {
        std::string keyName;
        const int result = session.QueryRows(KeyNameQuery(change.m_table), {1},
                                             [&keyName](const CDbRow &row) { keyName = row[0]; });
        if (result < 0)
            return result;
        if (!keyName.empty())
            rendering = AlterStatements(change, keyName);
    }
    return RunStatements(session, rendering.m_statements);
}

// Collation names are identifiers in PostgreSQL ("C", "en_US"); the name
// is written as typed, once the catalog has it (CheckCollation).
std::string CPostgresDialect::CollationClause(const std::string &collation) const
{
    return " COLLATE " + QuoteIdentifier(collation);
}
