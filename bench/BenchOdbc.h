#pragma once

// What every benchmark needs: a private ODBC configuration in a temporary
// folder (never the user's) with the SQLite and PostgreSQL drivers,
// databases built there (generated ones with libsqlite3, any other script
// with the sqlite3 shell), stopwatches and the headline lines.
#include "bench/SqliteSchemaFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

const char *const kDriverFolders[] = {
    "/usr/lib/x86_64-linux-gnu/odbc/",
    "/usr/lib/aarch64-linux-gnu/odbc/",
    "/usr/lib/odbc/",
};

QByteArray DriverPath(const char *library)
{
    for (const char *folder : kDriverFolders)
        if (QFile::exists(QString::fromLatin1(folder) + library))
            return QByteArray(folder) + library;
    return QByteArray(kDriverFolders[0]) + library;
}

// Runs a program with the text as its input; false, with its messages on
// stderr, when it fails.
bool RunWithInput(const QString &program, const QStringList &arguments, const std::string &input)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return false;
    }
    process.write(input.c_str());
    process.closeWriteChannel();
    process.waitForFinished(1800000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return false;
    }
    return true;
}

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
        WriteFile(m_dir.filePath("odbcinst.ini"),
                  "[SQLite3]\nDriver=" + DriverPath("libsqlite3odbc.so")
                      + "\n\n[PostgreSQL ANSI]\nDriver=" + DriverPath("psqlodbca.so") + "\n");
    }

    QString DatabasePath(const std::string &dsn) const
    {
        return m_dir.filePath(QString::fromStdString(dsn) + ".db");
    }

    bool AddDatabase(const std::string &dsn, const std::string &script)
    {
        const QString path = DatabasePath(dsn);
        QFile::remove(path);
        if (!RunWithInput("sqlite3", {"-bail", path}, script))
            return false;
        return AddSource(dsn, "Driver=SQLite3\nDatabase=" + path.toStdString() + "\n");
    }

    // A database from a script that CSchemaGenerator wrote: built with
    // libsqlite3 in seconds where the shell takes minutes at 10,000 tables.
    bool AddGeneratedDatabase(const std::string &dsn, const std::string &script)
    {
        const QString path = DatabasePath(dsn);
        if (!CSqliteSchemaFile::Build(path.toStdString(), script))
            return false;
        return AddSource(dsn, "Driver=SQLite3\nDatabase=" + path.toStdString() + "\n");
    }

    // A data source of any driver above: its key=value lines.
    bool AddSource(const std::string &dsn, const std::string &settings)
    {
        m_sources += "[" + dsn + "]\n" + settings + "\n";
        return WriteFile(m_dir.filePath("odbc.ini"), QByteArray::fromStdString(m_sources));
    }

private:
    QTemporaryDir m_dir;
    std::string m_sources;
};

inline double Seconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread: on a machine shared with other work it
// varies far less than the time on the clock. For work that all runs on
// this thread, such as drawing.
inline double ThreadSeconds(const std::function<void()> &work)
{
    auto now = [] {
        timespec time {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
    };
    const double start = now();
    work();
    return now() - start;
}

// One headline figure, as the last lines of every benchmark give them:
// "name: value unit".
inline void PrintHeadline(const std::string &name, double value, const char *unit = "")
{
    std::printf("%s: %.3g%s%s\n", name.c_str(), value, *unit ? " " : "", unit);
}

} // namespace
