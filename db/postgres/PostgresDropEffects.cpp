// What a column drop takes along on PostgreSQL, for the question before it.
#include "db/postgres/PostgresAdapter.h"

#include "db/DbSession.h"
#include "db/SqlText.h"

namespace {

// The table's foreign keys with any of the named columns among their own
// (the server drops those with the column), in the current schema, the one
// the program shows.
std::string DroppedKeysQuery(const std::string &table, const std::vector<std::string> &columns)
{
    std::string names;
    for (const std::string &column : columns)
        names += (names.empty() ? "" : ", ") + SqlText::QuoteLiteral(column);
    return "select c.conname from pg_constraint c join pg_class t on t.oid = c.conrelid "
           "where c.contype = 'f' and t.relname = " + SqlText::QuoteLiteral(table)
           + " and t.relnamespace = (select oid from pg_namespace where nspname = current_schema()) "
             "and exists (select 1 from pg_attribute a where a.attrelid = t.oid "
             "and a.attnum = any(c.conkey) and a.attname in (" + names + ")) order by c.conname";
}

} // namespace

int CPostgresAdapter::ReadColumnDropEffects(CDbSession &session, const std::string &table,
                                            const std::vector<std::string> &columns,
                                            std::vector<std::string> &indexes, std::vector<std::string> &keys)
{
    int result = CDbmsAdapter::ReadColumnDropEffects(session, table, columns, indexes, keys);
    if (result >= 0 && !columns.empty())
        result = session.QueryRows(DroppedKeysQuery(table, columns), {1},
                                   [&keys](const CDbRow &row) { keys.push_back(row[0]); });
    if (result < 0)
        session.CloseStatement();
    return result;
}
