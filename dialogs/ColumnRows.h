#pragma once

#include "db/DbTypes.h"
#include "db/SchemaChange.h"
#include "model/SchemaModel.h"

#include <string>
#include <vector>

// The column grid of the Create Table, Edit Table and Add Column dialogs as plain
// values: what each row holds, which of its cells the user may edit, and the
// change the rows compose. Nothing here touches a widget or the database.

// The texts of one grid row, in the grid's column order.
struct CColumnRow
{
    std::string m_name;
    std::string m_typeName;
    std::string m_size;
    std::string m_dec;
    std::string m_collation;
    std::string m_default;
    std::string m_nullMark;
    // "1" puts the column into the primary key (Create and Edit Table only).
    std::string m_key = {};
};

// The engine's data types, in the order the session lists them.
using CTypeList = std::vector<CDbTypeInfo>;

namespace ColumnRows {

// The grid's columns, in display order.
enum Column { kName, kDataType, kSize, kDec, kCollate, kDefault, kNull, kKey, kColumnCount };

// The type named exactly so (case-sensitive), or null.
const CDbTypeInfo *FindType(const CTypeList &types, const std::string &name);

// Whether the cell in the given column of a row is closed to editing.
// Names are entered top-down without gaps: a row's name cell opens once the
// row above has a name (nameAbove; the first row has firstRow set), and the
// other cells open once the row itself has a name, as far as its type takes
// the size, the decimals and a Null mark.
bool IsCellLocked(const CColumnRow &row, bool firstRow, const std::string &nameAbove, int column,
                  const CTypeList &types);

// The definition one row gives, its parameter kind taken from its type
// (none when the list has no such type).
CColumnDef Definition(const CColumnRow &row, const CTypeList &types);

// The new table, or the first error: -30005 without a table name (no row
// is read then); otherwise the rows from the first on, up to the first
// without a name: -30008 for a row without a type, -30003 or -30004 for a
// size or scale its type needs; -30007 when the first row has no name.
// Rows whose Key is ticked form the primary key, in grid order.
CComposedChange ComposeCreateTable(const std::string &table, const std::vector<CColumnRow> &rows,
                                   const CTypeList &types);

// The columns to add to the table, or the first error the rows give, in
// the same order as for a new table.
CComposedChange ComposeAddColumns(const std::string &table, const std::vector<CColumnRow> &rows,
                                  const CTypeList &types);

// The row that shows an existing column: its type split from a declared
// size, the size and decimals its type takes, the default as the catalog
// gives it (none for the word NULL), and the marks for not null and for a
// key column.
CColumnRow ShownRow(const CSchemaColumn &column, bool key, const CTypeList &types);

// An existing table edited in the grid. shown holds the rows as the dialog
// filled them, one per column of the table, so row i of rows came from
// column shown[i] (the rows after them are new). A row whose name was
// emptied drops its column. Errors: -30005 without a table name; then, row
// by row, those of a new table's rows; -30007 when no column is left.
// The new name is set only when it differs from table.
CComposedChange ComposeAlterTable(const std::string &table, const std::string &newName,
                                  const std::vector<CColumnRow> &shown,
                                  const std::vector<CColumnRow> &rows, const CTypeList &types);

} // namespace ColumnRows
