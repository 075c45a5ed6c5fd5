#pragma once

#include "db/CatalogTables.h"

#include <string>

// What psqlODBC's catalog functions report, worked out from pg_catalog, so
// that the whole catalog of the current schema is read with four queries
// instead of three round trips per table (SQLColumns, SQLStatistics and
// SQLPrimaryKeys each ask the server again, and 10,000 tables took over a
// minute).
namespace PostgresCatalog {

// One pg_attribute row with what the driver looks at: the type as the
// column names it, the type that decides the report (a domain's base
// type), the type modifier that applies (the column's, else the domain's)
// and whether that type is an array.
struct CColumnRow
{
    std::string m_name;
    std::string m_typeName;
    long m_typeOid = 0;
    long m_typmod = -1;
    bool m_array = false;
    bool m_notNull = false;
    std::string m_default;
};

// Fills the SQLColumns facts of the column (data type codes of ODBC 2, as
// the session's environment gets them). False for a type whose report is
// not known here: the table's columns are then read with SQLColumns.
bool DescribeColumn(const CColumnRow &row, CCatalogColumn &column);

// Whether the driver runs with the options whose reports DescribeColumn
// and the index and key reads reproduce, from the completed connection
// string (the driver completes it with every option it uses). Options such
// as MaxVarcharSize, BoolsAsChar or RowVersioning change what the catalog
// functions report; under any other value the catalog is read table by
// table.
bool KnownDriverOptions(const std::string &connectionString);

} // namespace PostgresCatalog
