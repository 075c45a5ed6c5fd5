#include "tests/support/SqliteRows.h"

#include "tests/support/OdbcSandbox.h"

namespace SqliteRows {

QStringList Dump(const QString &databasePath)
{
    QStringList rows;
    for (const QString &line : Lines(QuerySqlite(databasePath, ".dump")))
        if (line.startsWith("INSERT INTO"))
            rows << line;
    rows.sort();
    return rows;
}

QStringList Lines(const QString &output) { return output.split('\n', Qt::SkipEmptyParts); }

} // namespace SqliteRows
