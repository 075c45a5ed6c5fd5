#pragma once

#include <string>
#include <vector>

// The questions a table window puts to the user before dropping, and where
// its current row goes afterwards. The statements themselves are the
// engine's dialect's (db/Dialect.h).
namespace DropText {

// The question before dropping the selected rows, naming each of them in
// row order: one name gives "Are you sure you want to drop' NOTE'?", more
// give "Are you sure you want to drop: ' NOTE, BY_DATE'?".
std::string DropRowsQuestion(const std::vector<std::string> &names);
// The question before dropping the whole table; a table that holds rows
// (rows is the engine's count) adds how many go with it.
std::string DropTableQuestion(const std::string &table, const std::string &rows = std::string());

// The rows question followed by what a column drop takes along that the
// user did not name: "This also drops the index 'A' and the foreign key
// 'K'." Nothing is added when the lists are empty.
std::string DropRowsQuestion(const std::vector<std::string> &names, const std::vector<std::string> &indexes,
                             const std::vector<std::string> &keys);

// The current row after rows were removed, given the old current row and
// the new row count: one up when it fell off the end, else the first row.
int FocusAfterRemoval(int focus, int count);

} // namespace DropText
