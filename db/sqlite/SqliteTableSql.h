#pragma once

#include "db/sqlite/SqliteTokens.h"

#include <string>
#include <vector>

// One foreign-key clause of a CREATE TABLE statement as SQLite stores it in
// sqlite_master: a column-level REFERENCES or a table-level FOREIGN KEY.
struct CSqliteForeignKeyClause
{
    std::string m_name;                 // the CONSTRAINT name, empty when unnamed
    std::vector<std::string> m_columns; // the referencing columns
    std::string m_parentTable;          // as written after REFERENCES
};

// The foreign-key clauses of a CREATE TABLE statement in the order they are
// written, with their constraint names. SQLite keeps no constraint names in
// its pragmas, so the statement text is the only place they live. Names are
// returned unquoted; text that is not a CREATE TABLE gives no clauses.
std::vector<CSqliteForeignKeyClause> ParseForeignKeyClauses(const std::string &createTable);

// One constraint of a column definition or of the table, as the tokens
// m_first to m_last (both included) of the statement; a CONSTRAINT name
// belongs to the constraint it names.
struct CSqliteConstraint
{
    enum Kind { PrimaryKey, Unique, Check, ForeignKey, NotNull, Null, Default, Collate, Generated };
    Kind m_kind = Check;
    std::string m_name; // unquoted; empty when unnamed
    size_t m_first = 0;
    size_t m_last = 0;
    // The columns it constrains: the listed ones of a table constraint, the
    // column itself for a key or reference on a column definition.
    std::vector<std::string> m_columns;
    std::string m_parentTable;                // foreign key: as written
    std::vector<std::string> m_parentColumns; // empty: the parent's primary key
};

// What stands between two commas of the definition list: a column
// definition, or one or more table constraints (SQLite lets table
// constraints follow each other without a comma).
struct CSqliteTableElement
{
    bool m_isColumn = false;
    std::string m_column; // the column name, unquoted
    size_t m_first = 0;   // first and last token of the element
    size_t m_last = 0;
    std::vector<CSqliteConstraint> m_constraints;
};

// A CREATE TABLE statement read into its parts, each knowing its tokens,
// so that an edit can change one part and keep every other byte.
struct CSqliteTableDefinition
{
    bool m_valid = false; // false: not a CREATE TABLE with a definition list
    CSqlTokens m_tokens;
    std::string m_name;       // the table name, unquoted
    size_t m_nameFirst = 0;   // the name's tokens, a schema prefix included
    size_t m_nameLast = 0;
    size_t m_open = 0;        // the parentheses around the definition list
    size_t m_close = 0;
    std::vector<CSqliteTableElement> m_elements;
    bool m_withoutRowid = false;

    const CSqliteTableElement *FindColumn(const std::string &name) const;
    // The primary key columns, declared on a column or as a table constraint.
    std::vector<std::string> PrimaryKey() const;
};

CSqliteTableDefinition ReadTableDefinition(const std::string &createTable);

// The head of a CREATE INDEX, CREATE TRIGGER or CREATE VIEW statement.
struct CSqliteObjectHeader
{
    std::string m_type;  // "index", "trigger" or "view"; empty when unreadable
    std::string m_name;  // unquoted
    std::string m_table; // index and trigger: the table after ON
    size_t m_afterTable = 0; // index and trigger: the first token after the table
    // Trigger: "insert", "update" or "delete", and the columns after UPDATE OF.
    std::string m_event;
    std::vector<std::string> m_updateColumns;
};

CSqliteObjectHeader ReadObjectHeader(const CSqlTokens &tokens);

// True when a name in the tokens first to last (included) is one of the
// columns: a bare or quoted name that is no function call, no collation
// and no string literal.
bool TokensNameColumn(const CSqlTokens &tokens, size_t first, size_t last,
                      const std::vector<std::string> &columns);
