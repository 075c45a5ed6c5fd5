// What a drop takes with it, read for the question put before it: the
// engine-independent reads every adapter starts from.
#include "db/DbmsAdapter.h"

#include "db/DbSession.h"
#include "db/SqlText.h"

#include <algorithm>

namespace {

// The TYPE of SQLStatistics' table-statistics row (SQL_TABLE_STAT).
const char *const kTableStatistics = "0";

bool Contains(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

bool IsInternalTable(const CDbSession &session, const std::string &table)
{
    const CDbmsAdapter *adapter = session.GetAdapter();
    return adapter && adapter->IsInternalTable(table);
}

int CDbmsAdapter::CountRows(CDbSession &session, const std::string &table, std::string &count)
{
    count.clear();
    const int result = session.QueryRows("select count(*) from " + SqlText::QuoteIdentifier(table), {1},
                                         [&count](const CDbRow &row) { count = row[0]; });
    if (result < 0)
        session.CloseStatement();
    return result;
}

// An index goes with any of its columns, as a whole.
int CDbmsAdapter::ReadColumnDropEffects(CDbSession &session, const std::string &table,
                                        const std::vector<std::string> &columns,
                                        std::vector<std::string> &indexes, std::vector<std::string> &)
{
    // INDEX_NAME, TYPE and COLUMN_NAME, in increasing order.
    const int result = session.ReadRows(session.ListIndexes(table), {6, 7, 9}, [&](const CDbRow &row) {
        const std::string index = ShownIndexName(row[0]);
        if (row[1] != kTableStatistics && Contains(columns, row[2]) && !Contains(indexes, index))
            indexes.push_back(index);
    });
    if (result < 0)
        session.CloseStatement();
    return result;
}
