#pragma once

// What every benchmark needs: a private ODBC configuration in a temporary
// folder (never the user's), databases built there with the sqlite3 shell,
// and a stopwatch.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

const char *const kDriverCandidates[] = {
    "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
    "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
    "/usr/lib/odbc/libsqlite3odbc.so",
};

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(content) == content.size();
}

// The private configuration: one data source per database.
class CBenchOdbc
{
public:
    CBenchOdbc()
    {
        const QByteArray folder = m_dir.path().toLocal8Bit();
        setenv("ODBCSYSINI", folder.constData(), 1);
        setenv("ODBCINI", (folder + "/odbc.ini").constData(), 1);
        const char *driver = kDriverCandidates[0];
        for (const char *candidate : kDriverCandidates)
            if (QFile::exists(candidate)) {
                driver = candidate;
                break;
            }
        WriteFile(m_dir.filePath("odbcinst.ini"),
                  QByteArray("[SQLite3]\nDriver=") + driver + "\n");
    }

    QString DatabasePath(const std::string &dsn) const
    {
        return m_dir.filePath(QString::fromStdString(dsn) + ".db");
    }

    bool AddDatabase(const std::string &dsn, const std::string &script)
    {
        const QString path = DatabasePath(dsn);
        QFile::remove(path);
        QProcess shell;
        shell.start("sqlite3", {"-bail", path});
        if (!shell.waitForStarted())
            return false;
        shell.write(script.c_str());
        shell.closeWriteChannel();
        shell.waitForFinished(600000);
        if (shell.exitCode() != 0) {
            std::fprintf(stderr, "sqlite3: %s\n", shell.readAllStandardError().constData());
            return false;
        }
        m_sources += "[" + dsn + "]\nDriver=SQLite3\nDatabase=" + path.toStdString() + "\n\n";
        return WriteFile(m_dir.filePath("odbc.ini"), QByteArray::fromStdString(m_sources));
    }

private:
    QTemporaryDir m_dir;
    std::string m_sources;
};

double Seconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace
