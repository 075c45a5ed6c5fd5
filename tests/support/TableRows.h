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
// The rows as blocks, sorted: a column or a trigger alone, an index as its
// header followed by its segments ("0 pk / 5 id"). The catalog lists the
// indexes before the triggers while the dialogs append at the end, so a
// window a dialog changed and a fresh load agree in their blocks, not in
// their order.
QStringList Blocks(const CTableWnd *table);
QStringList CatalogBlocks(CDoc *doc, const char *table);

} // namespace TableRows
