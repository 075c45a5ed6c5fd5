#pragma once

#include <QProcess>
#include <QString>

// Another program holding a lock on a SQLite file: the sqlite3 shell in an
// open transaction until it is released. A read lock lets others read but
// no commit finish; a write lock lets nobody in.
class CSqliteLockHolder
{
public:
    CSqliteLockHolder(const QString &databasePath, bool write);
    ~CSqliteLockHolder() { Release(); }
    bool IsHeld() const { return m_held; }
    // At the end of its input the shell ends, and its transaction with it.
    void Release();

private:
    QProcess m_shell;
    bool m_held = false;
};
