#pragma once

#include <QPoint>
#include <QStringList>

class CDoc;
class CTableWnd;

// Where a table window's rows are and what they are called, for tests that
// click rows and check what a command left behind.
namespace TableRows {

// A point inside the row, in the table window's own coordinates.
QPoint RowPoint(const CTableWnd *table, int row);
// Every row's name, in row order.
QStringList Names(const CTableWnd *table);
// The index of the row of this kind and name, or -1.
int RowOf(const CTableWnd *table, int kind, const char *name);
// Every row's name as a table window of the document shows them when it
// loads the table from the catalog now.
QStringList CatalogNames(CDoc *doc, const char *table);

} // namespace TableRows
