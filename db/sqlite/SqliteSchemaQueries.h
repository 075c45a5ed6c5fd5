#pragma once

#include <string>
#include <vector>

class CDbSession;

// The reads and small statements the table rebuild is made of. Each one
// goes through the session's one statement and closes it before it
// returns, also after a failure; names reach the engine quoted as
// identifiers, or as literals where they are values.
namespace SqliteSchema {

// Executes a statement that returns no rows.
int Run(CDbSession &session, const std::string &statement);
// The rows of a query, each with the first `columns` columns as text.
int ReadRows(CDbSession &session, const std::string &query, int columns,
             std::vector<std::vector<std::string>> &rows);
// The first column of the first row; empty when there is no row.
int ReadValue(CDbSession &session, const std::string &query, std::string &value);

// The sql texts of the sqlite_master rows that meet the condition, in the
// order they were made. A column read holds 254 bytes; the texts are read
// in pieces, so they arrive whole whatever their length.
int ReadSql(CDbSession &session, const std::string &condition, std::vector<std::string> &texts);

// `base`, or `base` with a number, that no table, view, index or trigger has.
int UnusedTableName(CDbSession &session, const std::string &base, std::string &name);

// The other tables that have a foreign key to the table.
int ReadReferringTables(CDbSession &session, const std::string &table, std::vector<std::string> &tables);

// The views, and the triggers of other tables, whose text names the table.
int ReadDependents(CDbSession &session, const std::string &table, std::vector<std::string> &texts);

// A statement that changes nothing but makes SQLite compile the view, or
// the trigger, of the CREATE text: it fails when the object no longer
// works. Empty for anything else.
int CompileCheck(CDbSession &session, const std::string &objectSql, std::string &check);

// The column list that copies every row from the old table to the new
// one: the stored columns both tables have, by name, led by the rowid when
// both tables have one, so rows keep their rowids.
int CommonColumns(CDbSession &session, const std::string &oldTable, const std::string &newTable,
                  bool withRowid, std::string &columns);

// The AUTOINCREMENT counter of the table; empty when it has none. Dropping
// the table drops its counter, and the copy alone would set it only as high
// as the highest rowid left, so numbers already handed out could come again.
int ReadSequence(CDbSession &session, const std::string &table, std::string &sequence);
int KeepSequence(CDbSession &session, const std::string &table, const std::string &sequence);

} // namespace SqliteSchema
