#pragma once

#include <QStringList>

class CGridListColumn;
class CTableWnd;
class QWidget;

// The row drag that links two tables, made with real mouse events, and
// what the Foreign Key dialog it opens shows. The dialog is worked with
// DialogInput.
namespace RowDrag {

// Presses on a row of one table window, moves over the view onto a row of
// another and releases there. The dialog that opens runs inside the
// release; queue its handling on a CModalAnswerer first.
void Drag(CTableWnd *from, int row, CTableWnd *to, int targetRow);

// The cells of one grid column of the dialog, from row 0 to the first
// empty one.
QStringList Cells(const QWidget *dialog, int column);
QStringList Headings(const QWidget *dialog);
// The drop-down list of a grid column.
CGridListColumn *List(const QWidget *dialog, int column);

} // namespace RowDrag
