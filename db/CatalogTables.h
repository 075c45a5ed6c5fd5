#pragma once

#include <functional>
#include <string>
#include <vector>

// Tables as the ODBC catalog functions describe them, each value the text
// the function returns: what an adapter that reads the whole catalog at
// once hands over, so that the model is built from it exactly as from the
// per-table calls (SQLColumns, SQLStatistics, SQLPrimaryKeys and the
// adapter's triggers).

// One SQLColumns row.
struct CCatalogColumn
{
    std::string m_name;
    std::string m_dataType;
    std::string m_typeName;
    std::string m_precision;
    std::string m_length;
    std::string m_scale;
    std::string m_nullable;
    std::string m_default;
};

// The SQLStatistics rows of one index, under the name they report.
struct CCatalogIndex
{
    std::string m_name;
    bool m_unique = false;
    std::vector<std::string> m_columns;
};

struct CCatalogTable
{
    std::string m_name;
    std::vector<CCatalogColumn> m_columns;
    std::vector<CCatalogIndex> m_indexes;
    // In the order the loader puts SQLPrimaryKeys rows: by KEY_SEQ, rows of
    // the same KEY_SEQ in the order the driver sends them.
    std::vector<std::string> m_primaryKey;
    std::vector<std::string> m_triggers;
};

// Told how far a long read has come, `done` of `total`; false stops it.
using CCatalogProgress = std::function<bool(int done, int total)>;
