#include "dialogs/ComposeIndex.h"

#include "db/ResultCodes.h"

CComposedChange ComposeCreateIndex(const CIndexInput &input)
{
    CComposedChange composed;
    if (input.m_name.empty()) {
        composed.m_error = DbResult::kNoIndexName;
        return composed;
    }
    CCreateIndex index;
    index.m_name = input.m_name;
    index.m_table = input.m_table;
    index.m_unique = input.m_unique;
    index.m_modifiable = input.m_modifiable;
    index.m_notNull = input.m_notNull;
    for (const CIndexGridRow &row : input.m_rows) {
        if (row.m_column.empty())
            break;
        index.m_segments.push_back({row.m_column, row.m_sort == "1"});
    }
    if (index.m_segments.empty())
        composed.m_error = DbResult::kNoSegment;
    else
        composed.m_change = std::move(index);
    return composed;
}
