#pragma once

#include "db/sqlite/SqliteTableEdit.h"

#include <string>

class CDbSession;

// Makes a change to a SQLite table that ALTER TABLE cannot make (adding or
// dropping a constraint, dropping a column the engine will not drop) by
// SQLite's documented procedure for any schema change:
//  1. foreign-key enforcement off, outside the transaction;
//  2. a transaction;
//  3. a new table, under a name of its own, from the table's stored
//     CREATE TABLE text with only the one change made to it;
//  4. every row copied;
//  5. the old table dropped and the new one renamed to the old name;
//  6. the table's indexes and triggers created again from their stored
//     text;
//  7. the foreign-key check;
//  8. commit, then enforcement as it was.
//
// All or nothing: a refused statement, a copy that does not keep every
// row, or rows that violate a key leave the database exactly as it was.
// Dropping columns also drops the indexes that name them; a view or a
// trigger (the table's own or another table's) that would stop working
// refuses the change instead, as SQLite's own column drop does.
//
// Returns a result code; on failure the session's GetErrorText(code) says
// why, in plain words where the refusal is the rebuild's own (-30000 with
// m_lastError set), else with the engine's message. Must not be called
// inside a transaction: the enforcement switch has no effect there.
//
// The renames, ALTER TABLE ... RENAME statements, run first in the same
// transaction, with the engine's own rename that rewrites the indexes,
// triggers, views and other tables' keys naming what is renamed; the table
// is then the one the renames leave, and the rows are copied by the names
// they leave.
int RebuildSqliteTable(CDbSession &session, const std::string &table, const CSqliteTableEdit &edit,
                       const std::vector<std::string> &renames = {});
