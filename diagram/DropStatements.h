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
// The question before dropping the whole table.
std::string DropTableQuestion(const std::string &table);

// The current row after rows were removed, given the old current row and
// the new row count: one up when it fell off the end, else the first row.
int FocusAfterRemoval(int focus, int count);

} // namespace DropText
