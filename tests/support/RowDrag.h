#pragma once

#include <QStringList>

class CGridCtrl;
class CTableWnd;
class QAbstractButton;
class QWidget;

// The row drag that links two tables, made with real mouse events, and the
// Foreign Key dialog it opens, read and worked the way a user works it.
namespace RowDrag {

// Presses on a row of one table window, moves over the view onto a row of
// another and releases there. The dialog that opens runs inside the
// release; queue its handling on a CDialogDriver first.
void Drag(CTableWnd *from, int row, CTableWnd *to, int targetRow);

// Makes the dialog the application's active window, so that clicks move
// the focus in it; false when it does not become active.
bool Activate(QWidget *dialog);
// The dialog's button with this text.
QAbstractButton *Button(QWidget *dialog, const QString &text);
// Shows the dialog's grid cells of one column, from row 0 to the first
// empty one, and its column headings.
QStringList Cells(const QWidget *dialog, int column);
QStringList Headings(const QWidget *dialog);
// Opens the drop-down of a grid cell with two clicks and clicks the
// choice; false when the cell would not open or the choice is missing.
bool Choose(QWidget *dialog, int row, int column, const QString &choice);
// The choices the drop-down of a grid column offers, in its order.
QStringList Choices(const QWidget *dialog, int column);

} // namespace RowDrag
