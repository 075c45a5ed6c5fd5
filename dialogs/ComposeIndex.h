#pragma once

#include "db/SchemaChange.h"

#include <string>
#include <vector>

// One row of the Index dialog's segment grid, as its cells hold it.
struct CIndexGridRow
{
    std::string m_column;
    std::string m_sort; // exactly "1" means descending
};

// What the Index dialog gathered from its controls.
struct CIndexInput
{
    std::string m_name;
    std::string m_table;
    bool m_unique = false;
    bool m_modifiable = false;
    bool m_notNull = false;
    std::vector<CIndexGridRow> m_rows;
};

// The index the input asks for, or the first error found: -30006 when the
// name is empty (the rows are not looked at then), -30009 when the first
// row names no column. The name is used exactly as typed. The segments are
// the rows from the first up to the first one without a column name; later
// rows are ignored.
CComposedChange ComposeCreateIndex(const CIndexInput &input);
