#include "diagram/IndexRows.h"

#include "db/ResultCodes.h"
#include "db/RowSource.h"

namespace {
// The TYPE of the table-statistics row (SQL_TABLE_STAT).
const char *const kTableStatistics = "0";
} // namespace

int ReadIndexRows(CRowSource &rows, std::vector<std::unique_ptr<CTableItem>> &items)
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
        // The header goes in even when the column could not be read.
        if (indexName != previous) {
            previous = indexName;
            items.push_back(std::make_unique<CTableItem>(nonUnique == "0" ? UniqueIndex : Index,
                                                         indexName));
        }
        if (result >= 0)
            items.push_back(std::make_unique<CTableItem>(IndexSegment, column));
    }
    return result == DbResult::kNoData ? DbResult::kOk : result;
}
