#pragma once

#include "db/SchemaChange.h"

#include <string>
#include <vector>

// What the Foreign Key dialog gathered: the table that receives the key
// and the cells of its grid column, the referenced table and the cells of
// its column, both in grid row order, and the Delete Rule buttons.
struct CForeignKeyInput
{
    std::string m_table;
    std::vector<std::string> m_columnCells;
    std::string m_referencedTable;
    std::vector<std::string> m_referencedCells;
    bool m_cascade = false;
    bool m_restrict = false;
};

// The key the grid describes. Each list of column names runs from row 0
// to the first empty cell of its grid column; the two lists are read
// independently, and neither their lengths nor the pairing are checked
// here: the database judges the key and its refusal is shown. The delete
// rule is the one chosen, none when neither button is set. Never an error.
CComposedChange ComposeAddForeignKey(const CForeignKeyInput &input);
