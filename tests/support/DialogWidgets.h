#pragma once

#include <QString>

class QPushButton;
class QWidget;

// Finding and reaching the controls of a dialog a test drives.
namespace DialogWidgets {

// The dialog's push button with exactly this text, or null.
QPushButton *Button(const QWidget *dialog, const QString &text);
// Makes the dialog the active window and waits until it really is: a
// dialog counts as active while its parent window is, and the offscreen
// platform gives the activation back to no one when a message box closes.
bool Activate(QWidget *dialog);

} // namespace DialogWidgets
