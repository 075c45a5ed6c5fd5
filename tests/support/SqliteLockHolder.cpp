#include "tests/support/SqliteLockHolder.h"

#include <QDeadlineTimer>

namespace {

// The shell prints this once the lock is taken.
const char *const kHeldMark = "lock-held";

} // namespace

// A read transaction keeps its shared lock from its first read to its
// end; BEGIN EXCLUSIVE takes the exclusive lock at once.
CSqliteLockHolder::CSqliteLockHolder(const QString &databasePath, Kind kind)
{
    m_shell.start(QStringLiteral("sqlite3"), {databasePath});
    if (!m_shell.waitForStarted(5000)) {
        m_error = QStringLiteral("sqlite3 did not start: ") + m_shell.errorString();
        return;
    }
    const QByteArray take = kind == Read ? "begin; select count(*) from sqlite_master;\n"
                                         : "begin exclusive;\n";
    m_shell.write(take + "select '" + kHeldMark + "';\n");
    QByteArray output;
    const QDeadlineTimer deadline(5000);
    while (!output.contains(kHeldMark) && !deadline.hasExpired()
           && m_shell.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
        output += m_shell.readAllStandardOutput();
    m_held = output.contains(kHeldMark);
    if (!m_held)
        m_error = QStringLiteral("sqlite3 took no lock: ")
                  + QString::fromLocal8Bit(output + m_shell.readAllStandardError());
}

CSqliteLockHolder::~CSqliteLockHolder() { Release(); }

void CSqliteLockHolder::Release()
{
    if (m_shell.state() == QProcess::NotRunning)
        return;
    m_shell.write("rollback;\n.quit\n");
    m_shell.closeWriteChannel();
    if (!m_shell.waitForFinished(5000))
        m_shell.kill();
    m_shell.waitForFinished(1000);
    m_held = false;
}
