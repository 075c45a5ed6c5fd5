#pragma once

#include "diagram/TableItem.h"

#include <memory>
#include <vector>

class CRowSource;

// Turns the rows of an open statistics result (SQLStatistics) into index
// rows: a header row per index, UniqueIndex when its NON_UNIQUE is "0",
// followed by one segment row per index column. The table-statistics row
// (TYPE 0) that drivers may send ahead of the index rows is skipped; a
// driver that sends none loses no index column. Columns are read in
// increasing order (NON_UNIQUE, INDEX_NAME, TYPE, COLUMN_NAME) so that
// drivers which allow SQLGetData only in that order read them too.
// Returns 0 at the end of the rows, or the first failure; the rows read
// before a failure are kept.
int ReadIndexRows(CRowSource &rows, std::vector<std::unique_ptr<CTableItem>> &items);
