#pragma once

#include <algorithm>
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
    // the same KEY_SEQ in the order the driver sends them; for an adapter
    // that reads keys itself (ReadsPrimaryKeys), in the key's own order.
    std::vector<std::string> m_primaryKey;
    std::vector<std::string> m_triggers;
};

// Told how far a long read has come, `done` of `total`; false stops it.
using CCatalogProgress = std::function<bool(int done, int total)>;

// Progress of a bulk read that goes through its tables once per query:
// counts the tables a query's rows have reached (the rows of one table
// come together) and reports them as part `phase` of `phases` of the load,
// the last part being the building of the tables from the rows.
class CCatalogPhaseProgress
{
public:
    CCatalogPhaseProgress(const CCatalogProgress &progress, int total, int phase, int phases)
        : m_progress(progress), m_total(total), m_phase(phase), m_phases(phases)
    {
    }
    // False when the listener wants the read stopped.
    bool Reached(const std::string &table)
    {
        if (table == m_last)
            return true;
        m_last = table;
        ++m_seen;
        if (!m_progress)
            return true;
        // Rounded up, so that the first table counts as one; the end of the
        // last phase is left to whoever builds the tables from the rows.
        const long long reached = static_cast<long long>(m_phase) * m_total + std::min(m_seen, m_total);
        const long long done = std::min<long long>((reached + m_phases - 1) / m_phases, m_total - 1);
        return m_progress(static_cast<int>(done), m_total);
    }

private:
    const CCatalogProgress &m_progress;
    int m_total, m_phase, m_phases, m_seen = 0;
    std::string m_last;
};
