#pragma once

#include <QStringList>

class CDbSession;

// The first column of every row the statement returns, read through the
// session's one statement, which is closed afterwards. A failure ends the
// list with "failed: " and the session's error text.
QStringList FirstColumnRows(CDbSession &session, const QString &sql);
