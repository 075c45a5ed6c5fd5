#pragma once

#include <string>
#include <vector>

// What an edit changes in the definition of one column that stays, as the
// SQL pieces to write there; a piece not set stays as the user wrote it,
// and the constraints it does not name (keys, references, checks) stay.
struct CSqliteColumnChange
{
    std::string m_column;
    bool m_setType = false;
    std::string m_type;
    bool m_setDefault = false;
    std::string m_default; // the value; empty: no default
    bool m_setNotNull = false;
    bool m_notNull = false;
    bool m_setCollation = false;
    std::string m_collation; // the clause (COLLATE NOCASE); empty: none
};

// One change to a SQLite table that ALTER TABLE cannot make, described
// without SQL beyond the constraint to add. Made by rebuilding the table
// from its stored CREATE TABLE text, edited (see SqliteTableRebuild.h).
struct CSqliteTableEdit
{
    enum class Kind { AddConstraint, DropConstraint, DropForeignKey, DropColumns, DropPrimaryKey, Alter };
    Kind m_kind = Kind::AddConstraint;
    // AddConstraint: the table constraint as SQL, for example
    // CONSTRAINT "k" FOREIGN KEY ("x") REFERENCES "B" ("p") ON DELETE CASCADE.
    // DropConstraint: the constraint's name.
    std::string m_text;
    // DropForeignKey: the key's columns; DropColumns and Alter: the columns
    // that go.
    std::vector<std::string> m_columns;
    // Alter: the columns that change, the definitions of the new columns
    // (written after the last column), and the new primary key when it
    // changes (empty: none).
    std::vector<CSqliteColumnChange> m_changes = {};
    std::vector<std::string> m_added = {};
    bool m_setKey = false;
    std::vector<std::string> m_key = {};

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
    // The primary key, on a column or on the table; none is no error.
    static CSqliteTableEdit DropPrimaryKey();
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

// The Alter edit (SqliteTableAlter.cpp): the columns dropped, the key
// dropped, the columns changed, the new columns and the new key added, in
// that order, each step on the text the one before left.
CSqliteEditedTable AlterCreateTable(const std::string &createTable, const CSqliteTableEdit &edit);

// The CREATE TABLE text with its table name (and any schema before it)
// replaced by the given name, quoted; unchanged when the text is no
// CREATE TABLE.
std::string RenameCreateTable(const std::string &createTable, const std::string &name);
