#pragma once

#include <QString>
#include <QStringList>

class CGridCtrl;
class CGridListColumn;
class QWidget;

// A user's hands on a design dialog: clicks and key presses only, so that
// every control reacts as it does on screen.
namespace DialogInput {

// Waits until the shown dialog is the active window and holds the keyboard
// focus, so that clicks and keys reach it; false when it never does.
bool WaitActive(QWidget *dialog);
// Shows the dialog and waits as WaitActive does; also gives the activation
// back to a dialog after a message box over it closed, which the offscreen
// platform does not do as a window manager would.
bool Activate(QWidget *dialog);
// Clicks into a text field or text box and types the text at its end.
void Type(QWidget *field, const QString &text);
// Clicks the dialog's push button with this caption.
void Press(QWidget *dialog, const QString &caption);
// Clicks a check box or radio button on its indicator.
void Tick(QWidget *button);
// Edits a grid cell as a user does: a first click gives the grid the focus,
// the next makes the cell current, the last starts the edit. A locked cell
// does not start.
void OpenCell(CGridCtrl *grid, int row, int column);
// Opens a list cell, scrolls the item with this text into sight and clicks
// it.
void Choose(CGridCtrl *grid, CGridListColumn *list, int row, const QString &text);
// The items of a list column, in list order.
QStringList Choices(const CGridListColumn *list);

} // namespace DialogInput
