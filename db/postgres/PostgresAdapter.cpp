#include "db/postgres/PostgresAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

// The foreign index is chosen among the referencing table's indexes whose
// first key columns are exactly the key's columns, in any order: one in the
// key's own order first, then one without a WHERE clause, then the one with
// the fewest columns. indkey is zero-based; its slice comes back one-based
// like conkey, so the two compare element by element. Both tables must lie
// in the current schema: a line to a table that is not shown, or to a
// same-named table of this schema, would be wrong.
const char *const CPostgresAdapter::kRelationshipQuery =
    "select c.conname, p.relname, coalesce(pi.relname, ''), f.relname, coalesce(fi.relname, '') "
    "from pg_constraint c "
    "join pg_class f on f.oid = c.conrelid "
    "join pg_class p on p.oid = c.confrelid "
    "left join pg_class pi on pi.oid = c.conindid "
    "left join lateral ("
    "select x.indexrelid from pg_index x, "
    "lateral (select (x.indkey::int2[])[0:cardinality(c.conkey) - 1] as lead) l "
    "where x.indrelid = c.conrelid and x.indnkeyatts >= cardinality(c.conkey) "
    "and l.lead @> c.conkey and l.lead <@ c.conkey "
    "order by l.lead = c.conkey desc, x.indpred is not null, x.indnatts, x.indexrelid "
    "limit 1) fx on true "
    "left join pg_class fi on fi.oid = fx.indexrelid "
    "where c.contype = 'f' "
    "and f.relnamespace = (select oid from pg_namespace where nspname = current_schema()) "
    "and p.relnamespace = f.relnamespace "
    "order by f.relname, c.conname";

namespace {

const char *const kCurrentSchemaQuery = "select current_schema()";

const char *const kNoSchemaMessage =
    "The connection has no current schema: none of the schemas in its search_path exists.";

} // namespace

std::string CPostgresAdapter::GetDbmsName() const { return "PostgreSQL"; }

std::string CPostgresAdapter::TriggerQuery(const std::string &table)
{
    return "select t.tgname from pg_trigger t join pg_class c on c.oid = t.tgrelid "
           "where c.relname = "
           + SqlText::QuoteLiteral(table)
           + " and c.relnamespace = (select oid from pg_namespace where nspname = "
             "current_schema()) and not t.tgisinternal order by t.tgname";
}

// Without a lock timeout a DDL statement waits behind another session's
// lock for as long as that session keeps it; with it the statement fails
// with the server's "lock timeout" and the change is rolled back.
int CPostgresAdapter::PrepareSession(CDbSession &session)
{
    const int result =
        session.Execute("set lock_timeout = " + std::to_string(CDbSession::kLockWaitMilliseconds));
    if (result >= 0)
        session.CloseStatement();
    return result;
}

int CPostgresAdapter::ReadCatalogSchema(CDbSession &session, std::string &schema)
{
    schema.clear();
    int result = session.Execute(kCurrentSchemaQuery);
    if (result >= 0)
        result = session.Fetch();
    if (result >= 0)
        result = session.GetColumnText(1, schema);
    if (result < 0)
        return result;
    session.CloseStatement();
    // Without a schema the catalog calls would show the tables of every
    // schema, and a new table could not be created anywhere.
    if (schema.empty()) {
        session.m_lastError = kNoSchemaMessage;
        return DbResult::kErrorWithoutNativeCode;
    }
    return DbResult::kOk;
}

int CPostgresAdapter::LoadRelationships(CDbSession &session,
                                        std::vector<CDbRelationship> &relationships)
{
    return session.QueryRows(kRelationshipQuery, {1, 2, 3, 4, 5}, [&](const CDbRow &row) {
        relationships.push_back(CDbRelationship{row[1], row[2], row[3], row[4], row[0]});
    });
}

// psqlODBC gives a character column's LENGTH in bytes of the client
// encoding (160 for a varchar(40) in UTF-8) and its declared length as
// PRECISION; it reports a character column longer than 255 as a long
// varchar, a boolean as a varchar(5), and uuid and bytea with sizes nobody
// declared. The rows show what the table declares: character types with
// their length, numeric with precision and scale, every other type bare.
// PostgreSQL calls char(n) bpchar internally.
void CPostgresAdapter::NormalizeColumnFacts(std::string &typeName, std::string &dataType,
                                            const std::string &precision,
                                            std::string &length) const
{
    static const char *const kCharacter = "12"; // SQL_VARCHAR: written with its length
    static const char *const kSizeless = "4";   // SQL_INTEGER: written without a size
    const std::string name = SqlText::ToLower(typeName);
    if (name == "bpchar")
        typeName = "char";
    if (name == "bpchar" || name == "varchar") {
        dataType = kCharacter;
        length = precision;
    } else if (name != "numeric") {
        dataType = kSizeless;
    }
}

// psqlODBC describes its parameters as "max. length" and "precision,
// scale"; blanks and full stops are left out before the words are compared.
int CPostgresAdapter::ParameterKind(const std::string &createParams) const
{
    std::string words;
    for (char c : createParams)
        if (c != ' ' && c != '.')
            words += c;
    if (words == "maxlength" || words == "length")
        return CDbTypeInfo::Length;
    if (words == "precision,scale")
        return CDbTypeInfo::PrecisionScale;
    return CDbTypeInfo::NoSize;
}

// The driver lists each type under its internal name (int4, bool,
// timestamptz); these are the names PostgreSQL schemas are usually written
// with, and the types the driver leaves out.
int CPostgresAdapter::AddExtraTypes(CDbSession &session)
{
    struct Extra { const char *name; int kind; bool nullable; };
    constexpr int none = CDbTypeInfo::NoSize;
    static const Extra extras[] = {
        {"bigint", none, true},    {"bigserial", none, false},
        {"boolean", none, true},   {"decimal", CDbTypeInfo::PrecisionScale, true},
        {"double precision", none, true}, {"integer", none, true},
        {"interval", none, true},  {"json", none, true},
        {"jsonb", none, true},     {"real", none, true},
        {"serial", none, false},   {"smallint", none, true},
        {"timestamp", none, true},
    };
    for (const Extra &extra : extras)
        AddTypeUnlessListed(session, extra.name, extra.kind, extra.nullable);
    return DbResult::kOk;
}

int CPostgresAdapter::LoadTriggerNames(CDbSession &session, const std::string &table,
                                       std::vector<std::string> &names)
{
    return session.QueryRows(TriggerQuery(table), {1},
                             [&names](const CDbRow &row) { names.push_back(row[0]); });
}
