#pragma once

#include <string>
#include <vector>

// The texts a table window's drop commands send and ask: one DDL statement
// per dropped object, in lower case, every name quoted so that a double
// quote inside a name cannot end the identifier early, and the questions
// put to the user before dropping.
namespace DropText {

// alter table "T"(drop "A",drop "B")
std::string DropColumnsStatement(const std::string &table, const std::vector<std::string> &columns);
// drop index "T"."I"
std::string DropIndexStatement(const std::string &table, const std::string &index);
// drop trigger "R"; trigger names are unique in the database, not per table.
std::string DropTriggerStatement(const std::string &trigger);
// drop table "T"
std::string DropTableStatement(const std::string &table);

// The question before dropping the selected rows, naming each of them in
// row order: one name gives "Are you sure you want to drop' NOTE'?", more
// give "Are you sure you want to drop: ' NOTE, BY_DATE'?".
std::string DropRowsQuestion(const std::vector<std::string> &names);
// The question before dropping the whole table.
std::string DropTableQuestion(const std::string &table);

// The current row after rows were removed, given the old current row and
// the new row count: one up when it fell off the end, else the first row.
int FocusAfterRemoval(int focus, int count);

} // namespace DropText
