#pragma once

#include "db/SchemaChange.h"
#include "db/SqlFragment.h"

#include <string>

// The checks one column definition must pass before any statement is
// composed from it; both the Create Table and the Add Column dialogs use
// them on each row.
namespace ColumnCheck {

// The value of the text's leading integer: optional white space, an
// optional sign and the decimal digits that follow, the rest ignored; text
// without leading digits is 0. Values beyond the int range are clamped.
int LeadingInteger(const std::string &text);

// 0 when the size and decimals the column's type asks for are given;
// otherwise -30003 (a length or precision of at least 1 is missing) or
// -30004 (a scale of at least 1 is missing), the size checked first.
int CheckSizes(const CColumnDef &column);

// Empty when every default is empty or one expression as the engine reads
// it; otherwise the refusal that names the first column whose default is
// not (a default is written verbatim into the statement).
std::string CheckDefaults(const std::vector<CColumnDef> &columns, SqlSyntax syntax);

} // namespace ColumnCheck
