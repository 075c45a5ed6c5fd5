// What a schema script needs of a SQLite table (TableDefinitions.h): the
// pragmas give the catalog's facts, the stored CREATE texts what only they
// keep (constraint names, CHECK and COLLATE clauses, index conditions,
// trigger statements).

#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/TableDefinitions.h"
#include "db/sqlite/SqliteAdapter.h"
#include "db/sqlite/SqliteSchemaQueries.h"
#include "db/sqlite/SqliteTableSql.h"

using SqlText::QuoteLiteral;
using SqlTokens::IsKeyword;
using SqlTokens::SameName;
using SqlTokens::SameNames;

namespace {

using CRows = std::vector<std::vector<std::string>>;

std::string TokenText(const std::string &sql, const CSqlTokens &tokens, size_t first, size_t last)
{
    return sql.substr(tokens[first].m_begin, tokens[last].m_end - tokens[first].m_begin);
}

bool HasKeyword(const CSqlTokens &tokens, size_t first, size_t last, const char *keyword)
{
    for (size_t i = first; i <= last; ++i)
        if (IsKeyword(tokens[i], keyword))
            return true;
    return false;
}

// The clauses a column or the table keeps only in the text; the keys,
// defaults and null rules come from the pragmas.
bool KeptAsText(CSqliteConstraint::Kind kind)
{
    return kind == CSqliteConstraint::Check || kind == CSqliteConstraint::Collate
           || kind == CSqliteConstraint::Unique;
}

void ReadTableText(const std::string &sql, CTableDefinitions &definitions)
{
    const CSqliteTableDefinition table = ReadTableDefinition(sql);
    definitions.m_withoutRowid = table.m_withoutRowid;
    for (const CSqliteTableElement &element : table.m_elements) {
        CStoredColumn *column = nullptr;
        for (CStoredColumn &stored : definitions.m_columns)
            if (element.m_isColumn && SameName(stored.m_name, element.m_column))
                column = &stored;
        // The type as the table wrote it: the pragma spells some in
        // capitals of its own.
        const size_t typeEnd = element.m_constraints.empty() ? element.m_last + 1
                                                              : element.m_constraints.front().m_first;
        if (column && typeEnd > element.m_first + 1)
            column->m_type = TokenText(sql, table.m_tokens, element.m_first + 1, typeEnd - 1);
        for (const CSqliteConstraint &constraint : element.m_constraints) {
            const std::string text = TokenText(sql, table.m_tokens, constraint.m_first, constraint.m_last);
            if (constraint.m_kind == CSqliteConstraint::PrimaryKey && column) {
                definitions.m_keyOnColumn = true;
                definitions.m_autoIncrement = HasKeyword(table.m_tokens, constraint.m_first,
                                                         constraint.m_last, "autoincrement");
            } else if (KeptAsText(constraint.m_kind)) {
                (column ? column->m_clauses : definitions.m_constraints).push_back(text);
            }
        }
    }
}

// The WHERE condition of a stored CREATE INDEX; empty for none.
std::string ConditionOf(const std::string &sql)
{
    const CSqlTokens tokens = TokenizeSql(sql);
    for (size_t i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i].m_depth == 0 && IsKeyword(tokens[i], "where"))
            return TokenText(sql, tokens, i + 1, tokens.size() - 1);
    return {};
}

int ReadIndex(CDbSession &session, const std::string &name, bool unique, const std::string &sql,
              CStoredIndex &index)
{
    index = CStoredIndex{name, unique, {}};
    CRows rows;
    const int result = SqliteSchema::ReadRows(
        session, "SELECT coalesce(name, ''), \"desc\", cid FROM pragma_index_xinfo(" + QuoteLiteral(name)
                     + ") WHERE key = 1 ORDER BY seqno", 3, rows);
    for (const auto &row : rows) {
        // A column of -2 is an expression, which only the text carries.
        if (row[2] == "-2")
            index.m_statement = sql;
        index.m_segments.push_back({row[0], row[1] == "1"});
    }
    index.m_condition = ConditionOf(sql);
    return result;
}

// Indexes made by CREATE INDEX, in the order they were made; those of the
// table's constraints come back with the constraints.
int ReadStoredIndexes(CDbSession &session, const std::string &table, CTableDefinitions &definitions)
{
    CRows rows;
    const std::string condition = "type = 'index' AND sql IS NOT NULL AND tbl_name = "
                                  + QuoteLiteral(table) + " COLLATE NOCASE";
    int result = SqliteSchema::ReadRows(
        session, "SELECT i.name, i.\"unique\" FROM sqlite_master m JOIN pragma_index_list("
                     + QuoteLiteral(table) + ") i ON i.name = m.name WHERE m." + condition
                     + " ORDER BY m.rowid", 2, rows);
    std::vector<std::string> texts;
    if (result >= 0)
        result = SqliteSchema::ReadSql(session, condition, texts);
    for (size_t i = 0; i < rows.size() && i < texts.size() && result >= 0; ++i) {
        definitions.m_indexes.emplace_back();
        result = ReadIndex(session, rows[i][0], rows[i][1] == "1", texts[i], definitions.m_indexes.back());
    }
    return result;
}

std::string RuleOf(const std::string &action)
{
    return action == "NO ACTION" ? std::string() : action;
}

// pragma_foreign_key_list numbers the keys from the last one written, so
// they are turned back into the order of the text, whose clauses give
// them their names.
int ReadStoredForeignKeys(CDbSession &session, const std::string &table, const std::string &sql,
                    CTableDefinitions &definitions)
{
    CRows rows;
    const int result = SqliteSchema::ReadRows(
        session, "SELECT id, \"table\", \"from\", coalesce(\"to\", ''), on_delete, on_update "
                 "FROM pragma_foreign_key_list(" + QuoteLiteral(table) + ") ORDER BY id DESC, seq", 6, rows);
    std::vector<CStoredForeignKey> &keys = definitions.m_foreignKeys;
    std::string lastId;
    for (const auto &row : rows) {
        if (keys.empty() || row[0] != lastId)
            keys.push_back({"", {}, row[1], {}, RuleOf(row[4]), RuleOf(row[5])});
        keys.back().m_columns.push_back(row[2]);
        if (!row[3].empty())
            keys.back().m_parentColumns.push_back(row[3]);
        lastId = row[0];
    }
    std::vector<CSqliteForeignKeyClause> clauses = ParseForeignKeyClauses(sql);
    for (CStoredForeignKey &key : keys)
        for (CSqliteForeignKeyClause &clause : clauses)
            if (!clause.m_name.empty() && SameNames(clause.m_columns, key.m_columns)
                && SameName(clause.m_parentTable, key.m_parentTable)) {
                key.m_name = clause.m_name;
                clause.m_name.clear(); // one name per key
                break;
            }
    return result;
}

int ReadStoredTriggers(CDbSession &session, const std::string &table, CTableDefinitions &definitions)
{
    const std::string condition =
        "type = 'trigger' AND tbl_name = " + QuoteLiteral(table) + " COLLATE NOCASE";
    CRows names;
    int result = SqliteSchema::ReadRows(session, "SELECT name FROM sqlite_master WHERE " + condition
                                                     + " ORDER BY rowid", 1, names);
    std::vector<std::string> texts;
    if (result >= 0)
        result = SqliteSchema::ReadSql(session, condition, texts);
    for (size_t i = 0; i < names.size() && i < texts.size(); ++i)
        definitions.m_triggers.push_back({names[i][0], texts[i]});
    return result;
}

} // namespace

int CSqliteAdapter::ReadTableDefinitions(CDbSession &session, const std::string &table,
                                         CTableDefinitions &definitions)
{
    definitions = CTableDefinitions();
    CRows columns;
    int result = SqliteSchema::ReadRows(session,
                                        "SELECT name, type, coalesce(dflt_value, '') FROM pragma_table_info("
                                            + QuoteLiteral(table) + ") ORDER BY cid",
                                        3, columns);
    for (const auto &row : columns)
        definitions.m_columns.push_back({row[0], row[1], row[2]});
    std::vector<std::string> texts;
    if (result >= 0)
        result = SqliteSchema::ReadSql(session, "type = 'table' AND name = " + QuoteLiteral(table)
                                                    + " COLLATE NOCASE", texts);
    const std::string sql = texts.empty() ? std::string() : texts.front();
    ReadTableText(sql, definitions);
    if (result >= 0)
        result = ReadStoredIndexes(session, table, definitions);
    if (result >= 0)
        result = ReadStoredForeignKeys(session, table, sql, definitions);
    if (result >= 0)
        result = ReadStoredTriggers(session, table, definitions);
    return result < 0 ? result : DbResult::kOk;
}
