#pragma once

#include "db/SchemaChange.h"

// Column definitions as a grid row gives them, for tests of the dialects.
namespace ColumnDefs {

CColumnDef Column(const char *name, const char *type, int kind = CDbTypeInfo::NoSize,
                  const char *size = "", const char *dec = "");
// The column with a collation, a default and a null mark.
CColumnDef With(CColumnDef column, const char *collation, const char *value, const char *nullMark);

} // namespace ColumnDefs
