#pragma once

#include <QString>
#include <QStringList>

// A SQLite database file read back through the sqlite3 shell, the
// engine's own account of it, for tests that must show no row was lost.
namespace SqliteRows {

// Every row of every table, value by value, as the shell's dump writes
// them, sorted, since a rebuilt table is dumped last.
QStringList Dump(const QString &databasePath);
// The non-empty lines of the shell's output.
QStringList Lines(const QString &output);

} // namespace SqliteRows
