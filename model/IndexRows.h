#pragma once

#include "model/SchemaModel.h"

#include <vector>

class CRowSource;

// Turns the rows of an open statistics result (SQLStatistics) into
// indexes: one per index name, unique when its NON_UNIQUE is "0", with one
// column per row in the order given. The table-statistics row (TYPE 0) that
// drivers may send ahead of the index rows is skipped; a driver that sends
// none loses no index column. Columns are read in increasing order
// (NON_UNIQUE, INDEX_NAME, TYPE, COLUMN_NAME) so that drivers which allow
// SQLGetData only in that order read them too. Returns 0 at the end of the
// rows, or the first failure; what was read before a failure is kept (an
// index whose column could not be read keeps its name).
int ReadIndexRows(CRowSource &rows, std::vector<CSchemaIndex> &indexes);
