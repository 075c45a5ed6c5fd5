#pragma once

#include <string>
#include <vector>

// One change to a SQLite table that ALTER TABLE cannot make, described
// without SQL beyond the constraint to add. Made by rebuilding the table
// from its stored CREATE TABLE text, edited (see SqliteTableRebuild.h).
struct CSqliteTableEdit
{
    enum class Kind { AddConstraint, DropConstraint, DropForeignKey, DropColumns };
    Kind m_kind = Kind::AddConstraint;
    // AddConstraint: the table constraint as SQL, for example
    // CONSTRAINT "k" FOREIGN KEY ("x") REFERENCES "B" ("p") ON DELETE CASCADE.
    // DropConstraint: the constraint's name.
    std::string m_text;
    // DropForeignKey: the key's columns; DropColumns: the columns.
    std::vector<std::string> m_columns;

    static CSqliteTableEdit AddConstraint(const std::string &constraintSql);
    // A constraint on a column or on the table, by its name; a foreign key
    // without a name also answers to the name the catalog shows for it
    // (table_column[_column...]_fkey, numbered when repeated).
    static CSqliteTableEdit DropConstraint(const std::string &name);
    // The foreign key on exactly these columns, an unnamed one first.
    static CSqliteTableEdit DropForeignKey(const std::vector<std::string> &columns);
    // The columns with the constraints that name them: their own, the table
    // constraints that list them or check them, and any reference of the
    // table to itself that points at them.
    static CSqliteTableEdit DropColumns(const std::vector<std::string> &columns);
};

// A CREATE TABLE text after an edit: only what the edit touches has
// changed, every other byte (comments, quoting, defaults, checks, column
// order, table options) is as it was.
struct CSqliteEditedTable
{
    std::string m_sql;
    std::string m_error; // why the edit cannot be made, in plain words; empty on success
    std::vector<std::string> m_removedColumns; // spelled as the table declares them
};

CSqliteEditedTable EditCreateTable(const std::string &createTable, const CSqliteTableEdit &edit);

// The CREATE TABLE text with its table name (and any schema before it)
// replaced by the given name, quoted; unchanged when the text is no
// CREATE TABLE.
std::string RenameCreateTable(const std::string &createTable, const std::string &name);
