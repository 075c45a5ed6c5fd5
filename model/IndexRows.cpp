#include "model/IndexRows.h"

#include "db/ResultCodes.h"
#include "db/RowSource.h"

namespace {
// The TYPE of the table-statistics row (SQL_TABLE_STAT).
const char *const kTableStatistics = "0";
} // namespace

int ReadIndexRows(CRowSource &rows, std::vector<CSchemaIndex> &indexes)
{
    std::string previous;
    int result = DbResult::kOk;
    while (result >= 0) {
        std::string nonUnique, indexName, type, column;
        result = rows.Fetch();
        if (result >= 0) result = rows.GetColumnText(4, nonUnique);
        if (result >= 0) result = rows.GetColumnText(6, indexName);
        if (result >= 0) result = rows.GetColumnText(7, type);
        if (result < 0 || type == kTableStatistics)
            continue;
        result = rows.GetColumnText(9, column);
        // The index goes in even when the column could not be read.
        if (indexName != previous || indexes.empty()) {
            previous = indexName;
            indexes.push_back(CSchemaIndex{indexName, nonUnique == "0", {}});
        }
        if (result >= 0)
            indexes.back().m_columns.push_back(column);
    }
    return result == DbResult::kNoData ? DbResult::kOk : result;
}
