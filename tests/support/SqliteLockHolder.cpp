#include "tests/support/SqliteLockHolder.h"

// A read transaction keeps its shared lock from its first read to its end;
// BEGIN EXCLUSIVE takes the exclusive lock at once.
CSqliteLockHolder::CSqliteLockHolder(const QString &databasePath, bool write)
{
    m_shell.start(QStringLiteral("sqlite3"), {databasePath});
    m_shell.write(write ? "begin exclusive;\n" : "begin; select count(*) from sqlite_master;\n");
    m_shell.write("select 'lock' || 'held';\n");
    QByteArray output;
    while (!output.contains("lockheld") && m_shell.waitForReadyRead(5000))
        output += m_shell.readAllStandardOutput();
    m_held = output.contains("lockheld");
}

void CSqliteLockHolder::Release()
{
    m_shell.closeWriteChannel();
    m_shell.waitForFinished(5000);
    m_held = false;
}
