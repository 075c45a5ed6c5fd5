#pragma once

#include "db/CatalogTables.h"

#include <string>

// What the SQLite ODBC driver's catalog functions report, worked out from
// the engine's own pragmas, so that the whole catalog can be read with a
// few queries instead of a SQLColumns call per table (the driver scans the
// whole schema for each one, so a load grew with the square of the table
// count).
namespace SqliteCatalog {

// The SQLColumns facts of a column from pragma table_info: the declared
// type, its notnull flag and its default (dflt_value; `hasDefault` false
// for NULL). The data type codes are the ODBC 2 ones the session's
// environment gets. With the driver's BigInt option on, an integer column
// is reported as a BIGINT.
CCatalogColumn DescribeColumn(const std::string &name, const std::string &declaredType,
                              bool notNull, bool hasDefault, const std::string &defaultValue,
                              bool bigIntegers = false);

// Whether the driver's BigInt option is on, from the completed connection
// string (the option's value, as the driver reads a yes: its first
// character is one of Y, y, T, t or a digit other than 0).
bool BigIntegers(const std::string &connectionString);

} // namespace SqliteCatalog
