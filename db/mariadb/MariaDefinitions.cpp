// Indexes and triggers of a MariaDB table as information_schema holds
// them, for the dialogs that edit them, and what a column drop takes along.
#include "db/mariadb/MariaAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SchemaChange.h"
#include "db/SqlText.h"

#include <cctype>

using SqlText::QuoteIdentifier;

namespace {

// One row per index column in index order: unique, the column (empty for
// an expression, which MySQL keeps), its direction, whether only a prefix
// of it is indexed, and the index's kind.
std::string IndexQuery(const std::string &table, const std::string &index)
{
    return "select NON_UNIQUE, coalesce(COLUMN_NAME, ''), coalesce(COLLATION, ''), SUB_PART is not null, "
           "INDEX_TYPE from information_schema.STATISTICS where TABLE_SCHEMA = database() and "
           + CMariaAdapter::NameIs("TABLE_NAME", table) + " and " + CMariaAdapter::NameIs("INDEX_NAME", index)
           + " order by SEQ_IN_INDEX";
}

std::string TriggerDefinitionQuery(const std::string &table, const std::string &trigger)
{
    return "select ACTION_TIMING, EVENT_MANIPULATION, ACTION_STATEMENT from information_schema.TRIGGERS "
           "where EVENT_OBJECT_SCHEMA = database() and " + CMariaAdapter::NameIs("EVENT_OBJECT_TABLE", table)
           + " and " + CMariaAdapter::NameIs("TRIGGER_NAME", trigger);
}

// The table's foreign keys with any of the named columns among their own:
// the server refuses to drop such a column while the key stands.
std::string DroppedKeysQuery(const std::string &table, const std::vector<std::string> &columns)
{
    std::string names;
    for (const std::string &column : columns)
        names += (names.empty() ? "" : ", ") + CMariaAdapter::TextLiteral(column);
    return "select distinct CONSTRAINT_NAME from information_schema.KEY_COLUMN_USAGE "
           "where TABLE_SCHEMA = database() and REFERENCED_TABLE_NAME is not null and "
           + CMariaAdapter::NameIs("TABLE_NAME", table) + " and COLUMN_NAME in (" + names
           + ") order by CONSTRAINT_NAME";
}

std::string CannotEdit(const char *kind, const std::string &name, const char *why)
{
    return std::string("The ") + kind + " " + QuoteIdentifier(name) + " cannot be edited here: " + why;
}

bool IsWordAt(const std::string &text, size_t at, const char *word)
{
    size_t i = 0;
    for (; word[i]; ++i)
        if (at + i >= text.size() || std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    const size_t end = at + i;
    return end == text.size() || !(std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_');
}

// Create Trigger puts plain statements into "BEGIN\n...\nEND" and keeps a
// block as it is. The wrapper comes off only when what it wraps is not a
// block itself: created again, that block would stand without it.
std::string BodyOf(const std::string &statement)
{
    const std::string head = "BEGIN\n", tail = "\nEND";
    if (statement.size() < head.size() + tail.size() || statement.compare(0, head.size(), head) != 0
        || statement.compare(statement.size() - tail.size(), tail.size(), tail) != 0)
        return statement;
    std::string inner = statement.substr(head.size(), statement.size() - head.size() - tail.size());
    std::string trimmed = inner;
    SqlText::TrimRight(trimmed);
    while (!trimmed.empty() && trimmed.back() == ';') {
        trimmed.pop_back();
        SqlText::TrimRight(trimmed);
    }
    const size_t first = trimmed.find_first_not_of(" \t\r\n");
    const bool block = first != std::string::npos && IsWordAt(trimmed, first, "begin") && trimmed.size() >= 3
                       && IsWordAt(trimmed, trimmed.size() - 3, "end");
    return block ? statement : inner;
}

int ReadAll(CDbSession &session, const std::string &query, std::vector<int> columns,
            std::vector<CDbRow> &rows)
{
    return session.QueryRows(query, columns, [&rows](const CDbRow &row) { rows.push_back(row); });
}

} // namespace

int CMariaAdapter::ReadIndexDefinition(CDbSession &session, const std::string &table, const std::string &index,
                                       CCreateIndex &definition)
{
    std::vector<CDbRow> rows;
    const int result = ReadAll(session, IndexQuery(table, index), {1, 2, 3, 4, 5}, rows);
    if (result < 0)
        return result;
    if (rows.empty())
        return Refuse(session, "The current database has no index " + QuoteIdentifier(index) + " on table "
                                   + QuoteIdentifier(table) + ".");
    if (index == "PRIMARY")
        return Refuse(session, "The index " + QuoteIdentifier(index) + " is the primary key of table "
                                   + QuoteIdentifier(table) + "; it is edited with the table.");
    for (const CDbRow &row : rows) {
        if (row[1].empty())
            return Refuse(session, CannotEdit("index", index, "it indexes an expression."));
        if (row[3] == "1")
            return Refuse(session, CannotEdit("index", index, "it indexes only the first characters of a column."));
        if (row[4] != "BTREE")
            return Refuse(session, CannotEdit("index", index, ("it is a " + row[4] + " index.").c_str()));
    }
    definition = CCreateIndex();
    definition.m_name = index;
    definition.m_table = table;
    definition.m_unique = rows.front()[0] == "0";
    for (const CDbRow &row : rows)
        definition.m_segments.push_back({row[1], row[2] == "D"});
    return DbResult::kOk;
}

int CMariaAdapter::ReadTriggerDefinition(CDbSession &session, const std::string &table,
                                         const std::string &trigger, CCreateTrigger &definition)
{
    std::vector<CDbRow> rows;
    const int result = ReadAll(session, TriggerDefinitionQuery(table, trigger), {1, 2, 3}, rows);
    if (result < 0)
        return result;
    if (rows.empty())
        return Refuse(session, "The current database has no trigger " + QuoteIdentifier(trigger)
                                   + " on table " + QuoteIdentifier(table) + ".");
    const CDbRow &row = rows.front();
    if (row[1] != "INSERT" && row[1] != "UPDATE" && row[1] != "DELETE")
        return Refuse(session, CannotEdit("trigger", trigger, "it fires on more than one event."));
    definition = CCreateTrigger();
    definition.m_name = trigger;
    definition.m_table = table;
    definition.m_timing = row[0] == "BEFORE" ? TriggerTiming::Before : TriggerTiming::After;
    definition.m_event = row[1] == "INSERT"   ? TriggerEvent::Insert
                         : row[1] == "DELETE" ? TriggerEvent::Delete
                                              : TriggerEvent::Update;
    definition.m_body = BodyOf(row[2]);
    return DbResult::kOk;
}

int CMariaAdapter::ReadColumnDropEffects(CDbSession &session, const std::string &table,
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
