#include "db/TableDefinitions.h"

#include <tuple>

namespace {

bool SameSegments(const std::vector<CIndexSegment> &a, const std::vector<CIndexSegment> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].m_column != b[i].m_column || a[i].m_descending != b[i].m_descending)
            return false;
    return true;
}

} // namespace

bool operator==(const CStoredColumn &a, const CStoredColumn &b)
{
    return std::tie(a.m_name, a.m_type, a.m_default, a.m_clauses)
           == std::tie(b.m_name, b.m_type, b.m_default, b.m_clauses);
}

bool operator==(const CStoredIndex &a, const CStoredIndex &b)
{
    return std::tie(a.m_name, a.m_unique, a.m_condition, a.m_statement)
               == std::tie(b.m_name, b.m_unique, b.m_condition, b.m_statement)
           && SameSegments(a.m_segments, b.m_segments);
}

bool operator==(const CStoredForeignKey &a, const CStoredForeignKey &b)
{
    return std::tie(a.m_name, a.m_columns, a.m_parentTable, a.m_parentColumns, a.m_deleteRule,
                    a.m_updateRule)
           == std::tie(b.m_name, b.m_columns, b.m_parentTable, b.m_parentColumns, b.m_deleteRule,
                       b.m_updateRule);
}

bool operator==(const CStoredTrigger &a, const CStoredTrigger &b)
{
    return std::tie(a.m_name, a.m_statement, a.m_function)
           == std::tie(b.m_name, b.m_statement, b.m_function);
}

bool operator==(const CTableDefinitions &a, const CTableDefinitions &b)
{
    return std::tie(a.m_columns, a.m_keyOnColumn, a.m_autoIncrement, a.m_withoutRowid, a.m_keyName,
                    a.m_constraints, a.m_indexes, a.m_foreignKeys, a.m_triggers)
           == std::tie(b.m_columns, b.m_keyOnColumn, b.m_autoIncrement, b.m_withoutRowid, b.m_keyName,
                       b.m_constraints, b.m_indexes, b.m_foreignKeys, b.m_triggers);
}
