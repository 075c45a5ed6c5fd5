#pragma once

#include <QString>

class CDbSession;
class QWidget;

// How every failure reaches the user: a critical box under "Error", owned
// by the window the action came from (none for a document that is not
// shown yet).
void ShowError(QWidget *owner, const QString &text);
// A failed database call: the engine's own text for the result code.
void ReportDbError(QWidget *owner, const CDbSession &session, int code);
