#pragma once

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
