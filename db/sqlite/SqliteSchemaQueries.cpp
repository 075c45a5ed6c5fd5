#include "db/sqlite/SqliteSchemaQueries.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteTableSql.h"

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

namespace SqliteSchema {

namespace {

// The pieces hold 60 characters, at most 240 bytes of UTF-8; the reader
// trims trailing blanks, so each piece carries a guard character.
const char *const kPieceQuery =
    "WITH RECURSIVE piece(id, sql, pos) AS ("
    "SELECT rowid, sql, 1 FROM sqlite_master WHERE %s "
    "UNION ALL SELECT id, sql, pos + 60 FROM piece WHERE pos + 60 <= length(sql)) "
    "SELECT id, substr(sql, pos, 60) || '|' FROM piece ORDER BY id, pos";

std::string PieceQuery(const std::string &condition)
{
    std::string query = kPieceQuery;
    query.replace(query.find("%s"), 2, condition);
    return query;
}

struct CColumn
{
    std::string m_name;
    bool m_stored = false; // neither hidden nor generated
};

int ReadColumns(CDbSession &session, const std::string &table, std::vector<CColumn> &columns)
{
    std::vector<std::vector<std::string>> rows;
    const int result = ReadRows(session, "SELECT name, hidden FROM pragma_table_xinfo("
                                             + QuoteLiteral(table) + ") ORDER BY cid", 2, rows);
    for (const std::vector<std::string> &row : rows)
        columns.push_back({row[0], row[1] == "0"});
    return result;
}

bool HasColumn(const std::vector<CColumn> &columns, const std::string &name)
{
    for (const CColumn &column : columns)
        if (SqlTokens::SameName(column.m_name, name))
            return true;
    return false;
}

} // namespace

int Run(CDbSession &session, const std::string &statement)
{
    const int result = session.Execute(statement);
    session.CloseStatement();
    return result;
}

// The statement is closed also after a failure.
int ReadRows(CDbSession &session, const std::string &query, int columns,
             std::vector<std::vector<std::string>> &rows)
{
    std::vector<int> numbers;
    for (int c = 1; c <= columns; ++c)
        numbers.push_back(c);
    const int result = session.QueryRows(query, numbers,
                                         [&rows](const CDbRow &row) { rows.push_back(row); });
    if (result < 0)
        session.CloseStatement();
    return result;
}

int ReadValue(CDbSession &session, const std::string &query, std::string &value)
{
    std::vector<std::vector<std::string>> rows;
    const int result = ReadRows(session, query, 1, rows);
    value = rows.empty() ? std::string() : rows.front().front();
    return result;
}

int ReadSql(CDbSession &session, const std::string &condition, std::vector<std::string> &texts)
{
    std::vector<std::vector<std::string>> rows;
    const int result = ReadRows(session, PieceQuery(condition), 2, rows);
    std::string lastId;
    for (std::vector<std::string> &row : rows) {
        std::string &piece = row[1];
        if (!piece.empty())
            piece.pop_back(); // the guard
        if (texts.empty() || row[0] != lastId)
            texts.emplace_back();
        texts.back() += piece;
        lastId = row[0];
    }
    return result;
}

int UnusedTableName(CDbSession &session, const std::string &base, std::string &name)
{
    for (int n = 1;; ++n) {
        name = n == 1 ? base : base + "_" + std::to_string(n);
        std::string count;
        const int result = ReadValue(session, "SELECT count(*) FROM sqlite_master WHERE name = "
                                                  + QuoteLiteral(name) + " COLLATE NOCASE", count);
        if (result < 0 || count == "0")
            return result;
    }
}

int ReadReferringTables(CDbSession &session, const std::string &table, std::vector<std::string> &tables)
{
    std::vector<std::vector<std::string>> rows;
    const std::string name = QuoteLiteral(table);
    const int result = ReadRows(
        session, "SELECT DISTINCT m.name FROM sqlite_master m JOIN pragma_foreign_key_list(m.name) p "
                 "WHERE m.type = 'table' AND m.name <> " + name + " COLLATE NOCASE AND p.\"table\" = "
                 + name + " COLLATE NOCASE ORDER BY m.name", 1, rows);
    for (const std::vector<std::string> &row : rows)
        tables.push_back(row[0]);
    return result;
}

int ReadDependents(CDbSession &session, const std::string &table, std::vector<std::string> &texts)
{
    const std::string name = QuoteLiteral(table);
    std::vector<std::string> candidates;
    const int result = ReadSql(session, "type IN ('view', 'trigger') AND tbl_name <> " + name
                                            + " COLLATE NOCASE AND instr(lower(sql), lower(" + name
                                            + ")) > 0", candidates);
    for (const std::string &text : candidates) {
        for (const CSqlToken &token : TokenizeSql(text)) {
            if (SqlTokens::CanBeName(token) && SqlTokens::SameName(token.m_text, table)) {
                texts.push_back(text);
                break;
            }
        }
    }
    return result;
}

// A trigger is compiled by a statement of its event on its table that
// touches no row; an UPDATE OF trigger only by an update of one of its
// columns.
int CompileCheck(CDbSession &session, const std::string &objectSql, std::string &check)
{
    check.clear();
    const CSqliteObjectHeader header = ReadObjectHeader(TokenizeSql(objectSql));
    if (header.m_type == "view") {
        check = "SELECT * FROM " + QuoteIdentifier(header.m_name) + " LIMIT 0";
        return DbResult::kOk;
    }
    if (header.m_type != "trigger")
        return DbResult::kOk;
    const std::string table = QuoteIdentifier(header.m_table);
    if (header.m_event == "delete") {
        check = "DELETE FROM " + table + " WHERE 0";
        return DbResult::kOk;
    }
    std::string column;
    int result = DbResult::kOk;
    if (header.m_event == "update" && !header.m_updateColumns.empty())
        column = header.m_updateColumns.front();
    else
        result = ReadValue(session, "SELECT name FROM pragma_table_xinfo(" + QuoteLiteral(header.m_table)
                                        + ") WHERE hidden = 0 ORDER BY cid LIMIT 1", column);
    if (result < 0 || column.empty())
        return result;
    column = QuoteIdentifier(column);
    if (header.m_event == "insert")
        check = "INSERT INTO " + table + " (" + column + ") SELECT " + column + " FROM " + table
                + " WHERE 0";
    else
        check = "UPDATE " + table + " SET " + column + " = " + column + " WHERE 0";
    return result;
}

int CommonColumns(CDbSession &session, const std::string &oldTable, const std::string &newTable,
                  bool withRowid, std::string &columns)
{
    std::vector<CColumn> oldColumns, newColumns;
    int result = ReadColumns(session, oldTable, oldColumns);
    if (result >= 0)
        result = ReadColumns(session, newTable, newColumns);
    columns.clear();
    if (withRowid) {
        // The rowid answers to three names, unless a column takes them.
        for (const char *alias : {"rowid", "oid", "_rowid_"}) {
            if (!HasColumn(oldColumns, alias) && !HasColumn(newColumns, alias)) {
                columns = alias;
                break;
            }
        }
    }
    for (const CColumn &column : newColumns) {
        if (!column.m_stored)
            continue;
        for (const CColumn &old : oldColumns) {
            if (old.m_stored && SqlTokens::SameName(old.m_name, column.m_name)) {
                columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(column.m_name);
                break;
            }
        }
    }
    return result;
}

int ReadSequence(CDbSession &session, const std::string &table, std::string &sequence)
{
    sequence.clear();
    std::string exists;
    int result = ReadValue(session, "SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_sequence'",
                           exists);
    if (result >= 0 && exists == "1")
        result = ReadValue(session, "SELECT seq FROM sqlite_sequence WHERE name = " + QuoteLiteral(table),
                           sequence);
    return result;
}

int KeepSequence(CDbSession &session, const std::string &table, const std::string &sequence)
{
    const std::string name = QuoteLiteral(table);
    const std::string value = "CAST(" + QuoteLiteral(sequence) + " AS INTEGER)";
    int result = Run(session, "UPDATE sqlite_sequence SET seq = max(seq, " + value + ") WHERE name = " + name);
    if (result >= 0)
        result = Run(session, "INSERT INTO sqlite_sequence (name, seq) SELECT " + name + ", " + value
                                  + " WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = "
                                  + name + ")");
    return result;
}

} // namespace SqliteSchema
