#pragma once

#include <QProcess>
#include <QString>

// Another program holding a lock on a SQLite database file: the sqlite3
// shell inside a transaction that it keeps open until the object goes.
// A read lock lets others read but no commit finish; a write lock lets
// nobody read or write.
class CSqliteLockHolder
{
public:
    enum Kind { Read, Write };

    CSqliteLockHolder(const QString &databasePath, Kind kind);
    ~CSqliteLockHolder();
    CSqliteLockHolder(const CSqliteLockHolder &) = delete;
    CSqliteLockHolder &operator=(const CSqliteLockHolder &) = delete;

    // True once the shell holds the lock; Error() says otherwise why not.
    bool IsHeld() const { return m_held; }
    const QString &Error() const { return m_error; }
    // Ends the transaction and the shell.
    void Release();

private:
    QProcess m_shell;
    bool m_held = false;
    QString m_error;
};
