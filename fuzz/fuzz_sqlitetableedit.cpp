// The CREATE TABLE editor checked against SQLite itself. The input is run
// in an empty in-memory database; when SQLite takes it as one CREATE
// TABLE, the text SQLite stored is what the program edits when it
// rebuilds a table. Then:
// - the reader finds the columns, the primary key and the foreign keys
//   SQLite reports for that text;
// - every edit the editor makes without an error gives a text SQLite
//   accepts too, and a dropped column is gone while the others stay.
#include "FuzzCheck.h"
#include "db/sqlite/SqliteTableEdit.h"
#include "db/sqlite/SqliteTableSql.h"
#include "db/sqlite/SqliteTokens.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using CDatabase = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

// Creating a table asks for these; anything else (a SELECT, an ATTACH
// that would create files, a PRAGMA) keeps the input from running.
int AllowTableCreation(void *, int action, const char *, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_READ:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

CDatabase OpenEmpty()
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    return CDatabase(db, &sqlite3_close);
}

// Runs the text when it is exactly one statement SQLite allows here; the
// engine's message otherwise.
bool RunOneStatement(sqlite3 *db, const std::string &text, std::string &error)
{
    sqlite3_set_authorizer(db, &AllowTableCreation, nullptr);
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    bool ran = sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &statement, &tail)
                   == SQLITE_OK
               && statement;
    if (ran)
        ran = sqlite3_step(statement) == SQLITE_DONE;
    error = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    if (ran && tail && *tail) {
        sqlite3_stmt *more = nullptr;
        const bool anotherStatement = sqlite3_prepare_v2(db, tail, -1, &more, nullptr) != SQLITE_OK || more;
        sqlite3_finalize(more);
        if (anotherStatement) {
            error = "more than one statement";
            ran = false;
        }
    }
    sqlite3_set_authorizer(db, nullptr, nullptr);
    return ran;
}

using CRows = std::vector<std::vector<std::string>>;

// The rows of a query, with the table name bound to ?1.
CRows Rows(sqlite3 *db, const char *query, const std::string &table = std::string())
{
    CRows rows;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, query, -1, &statement, nullptr) != SQLITE_OK)
        return rows;
    sqlite3_bind_text(statement, 1, table.c_str(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const unsigned char *text = sqlite3_column_text(statement, i);
            row.emplace_back(text ? reinterpret_cast<const char *>(text) : "");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    return rows;
}

std::string Quoted(const std::string &name)
{
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Describe(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ", ") + Quoted(name);
    return "(" + text + ")";
}

// What SQLite reports of the one table in a database.
struct CEngineTable
{
    std::string m_name;
    std::string m_sql;
    std::vector<std::string> m_columns;
    std::vector<bool> m_generated;
    std::vector<std::string> m_primaryKey;
    std::vector<std::vector<std::string>> m_foreignKeys; // the columns of each
};

bool ReadEngineTable(sqlite3 *db, CEngineTable &table)
{
    const CRows tables = Rows(db, "SELECT name, sql FROM sqlite_schema WHERE type = 'table' UNION ALL "
                                  "SELECT name, sql FROM sqlite_temp_schema WHERE type = 'table'");
    if (tables.size() != 1)
        return false;
    table = CEngineTable();
    table.m_name = tables[0][0];
    table.m_sql = tables[0][1];
    std::vector<std::pair<int, std::string>> key;
    for (const auto &column : Rows(db, "SELECT name, hidden, pk FROM pragma_table_xinfo(?1)", table.m_name)) {
        table.m_columns.push_back(column[0]);
        table.m_generated.push_back(column[1] != "0");
        if (column[2] != "0")
            key.push_back({std::stoi(column[2]), column[0]});
    }
    std::sort(key.begin(), key.end());
    for (const auto &part : key)
        table.m_primaryKey.push_back(part.second);
    std::string id;
    for (const auto &part : Rows(db, "SELECT id, \"from\" FROM pragma_foreign_key_list(?1) ORDER BY id, seq",
                                 table.m_name)) {
        if (table.m_foreignKeys.empty() || part[0] != id)
            table.m_foreignKeys.emplace_back();
        id = part[0];
        table.m_foreignKeys.back().push_back(part[1]);
    }
    std::sort(table.m_foreignKeys.begin(), table.m_foreignKeys.end());
    return true;
}

// The table a text creates in an empty database, when SQLite takes it.
bool CreateTable(const std::string &text, CEngineTable &table, std::string &error)
{
    const CDatabase db = OpenEmpty();
    return RunOneStatement(db.get(), text, error) && ReadEngineTable(db.get(), table);
}

std::vector<std::string> Lowered(std::vector<std::string> names)
{
    for (std::string &name : names)
        for (char &c : name)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return names;
}

// The reader sees the columns, the primary key and the foreign keys that
// SQLite sees in the stored text.
void CheckReader(const CEngineTable &table, const CSqliteTableDefinition &definition)
{
    Require(definition.m_valid, "the reader reads a table SQLite created", table.m_sql);
    std::vector<std::string> columns;
    for (const CSqliteTableElement &element : definition.m_elements)
        if (element.m_isColumn)
            columns.push_back(element.m_column);
    Require(columns == table.m_columns, "the reader finds SQLite's columns",
            table.m_sql + "\nread: " + Describe(columns) + "\nSQLite: " + Describe(table.m_columns));
    Require(Lowered(definition.PrimaryKey()) == Lowered(table.m_primaryKey), "the reader finds SQLite's primary key",
            table.m_sql + "\nread: " + Describe(definition.PrimaryKey()) + "\nSQLite: " + Describe(table.m_primaryKey));
    std::vector<std::vector<std::string>> keys;
    for (const CSqliteTableElement &element : definition.m_elements)
        for (const CSqliteConstraint &constraint : element.m_constraints)
            if (constraint.m_kind == CSqliteConstraint::ForeignKey)
                keys.push_back(Lowered(constraint.m_columns));
    std::vector<std::vector<std::string>> engineKeys;
    for (const auto &key : table.m_foreignKeys)
        engineKeys.push_back(Lowered(key));
    std::sort(keys.begin(), keys.end());
    std::sort(engineKeys.begin(), engineKeys.end());
    Require(keys == engineKeys, "the reader finds SQLite's foreign keys", table.m_sql);
}

struct CNamedEdit
{
    std::string m_what;
    CSqliteTableEdit m_edit;
};

// The edits the program offers on this table: dropping each column, all of
// them, each named constraint and each foreign key, and adding
// constraints that fit any table.
std::vector<CNamedEdit> EditsFor(const CEngineTable &table, const CSqliteTableDefinition &definition)
{
    std::vector<CNamedEdit> edits;
    for (const std::string &column : table.m_columns)
        edits.push_back({"drop column " + Quoted(column), CSqliteTableEdit::DropColumns({column})});
    edits.push_back({"drop every column", CSqliteTableEdit::DropColumns(table.m_columns)});
    for (const CSqliteTableElement &element : definition.m_elements)
        for (const CSqliteConstraint &constraint : element.m_constraints)
            if (!constraint.m_name.empty())
                edits.push_back({"drop constraint " + Quoted(constraint.m_name),
                                 CSqliteTableEdit::DropConstraint(constraint.m_name)});
    for (const auto &key : table.m_foreignKeys)
        edits.push_back({"drop foreign key " + Describe(key), CSqliteTableEdit::DropForeignKey(key)});
    edits.push_back({"add check", CSqliteTableEdit::AddConstraint("CHECK (1)")});
    for (size_t i = 0; i < table.m_columns.size(); ++i) {
        if (table.m_generated[i])
            continue;
        const std::string column = Quoted(table.m_columns[i]);
        edits.push_back({"add unique", CSqliteTableEdit::AddConstraint("UNIQUE (" + column + ")")});
        edits.push_back({"add foreign key",
                         CSqliteTableEdit::AddConstraint("CONSTRAINT \"k\" FOREIGN KEY (" + column
                                                         + ") REFERENCES \"B\" (\"p\") ON DELETE CASCADE")});
        break;
    }
    return edits;
}

// A dropped column is gone and every other column stays, in its order.
void CheckDroppedColumns(const CEngineTable &before, const CEngineTable &after, const CSqliteEditedTable &edited,
                         const std::string &detail)
{
    std::vector<std::string> expected;
    for (const std::string &column : before.m_columns)
        if (std::find(edited.m_removedColumns.begin(), edited.m_removedColumns.end(), column)
            == edited.m_removedColumns.end())
            expected.push_back(column);
    Require(after.m_columns == expected, "dropping columns keeps every other column",
            detail + "\nleft: " + Describe(after.m_columns));
}

void CheckEdits(const CEngineTable &table, const CSqliteTableDefinition &definition)
{
    for (const CNamedEdit &named : EditsFor(table, definition)) {
        const CSqliteEditedTable edited = EditCreateTable(table.m_sql, named.m_edit);
        if (!edited.m_error.empty())
            continue;
        CEngineTable after;
        std::string error;
        const std::string detail = "original: " + table.m_sql + "\nedit: " + named.m_what + "\nedited: " + edited.m_sql;
        Require(CreateTable(edited.m_sql, after, error), "SQLite accepts the edited table",
                detail + "\nSQLite: " + error);
        if (named.m_edit.m_kind == CSqliteTableEdit::Kind::DropColumns)
            CheckDroppedColumns(table, after, edited, detail);
    }
    const std::string renamed = RenameCreateTable(table.m_sql, "renamed \"table\"");
    CEngineTable after;
    std::string error;
    Require(CreateTable(renamed, after, error) && after.m_name == "renamed \"table\"",
            "SQLite accepts the renamed table", table.m_sql + "\nrenamed: " + renamed + "\nSQLite: " + error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (text.find('\0') != std::string::npos)
        return 0; // SQLite's text ends at the first NUL; the stored text would differ
    CEngineTable table;
    std::string error;
    if (!CreateTable(text, table, error))
        return 0;
    const CSqliteTableDefinition definition = ReadTableDefinition(table.m_sql);
    CheckReader(table, definition);
    CheckEdits(table, definition);
    return 0;
}
