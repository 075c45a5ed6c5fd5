#pragma once

// The PostgreSQL server a benchmark's databases go to: the one that
// VELLUMIX_PGHOST names (scripts/postgres-server.sh run BENCHMARK), or
// else a throwaway one that it starts with the same script and removes
// when it ends.
#include "bench/BenchOdbc.h"
#include "db/SqlText.h"

#include <QString>
#include <QStringList>

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

class CBenchServer
{
public:
    CBenchServer()
    {
        m_host = qEnvironmentVariable("VELLUMIX_PGHOST");
        m_port = qEnvironmentVariable("VELLUMIX_PGPORT", "5432");
        m_user = qEnvironmentVariable("VELLUMIX_PGUSER", "vellumix");
        if (!m_host.isEmpty())
            return;
        char folder[] = "/tmp/vellumix-bench-pg.XXXXXX";
        if (!mkdtemp(folder))
            return;
        if (RunWithInput("bash", {kScript, "start", folder}, std::string()))
            m_host = m_own = folder;
        else
            rmdir(folder);
    }
    ~CBenchServer()
    {
        if (!m_own.isEmpty()) {
            RunWithInput("bash", {kScript, "stop", m_own}, std::string());
            return;
        }
        for (const std::string &name : m_databases)
            Run("postgres", "DROP DATABASE IF EXISTS " + SqlText::QuoteIdentifier(name)
                                + " WITH (FORCE);\n");
    }
    CBenchServer(const CBenchServer &) = delete;
    CBenchServer &operator=(const CBenchServer &) = delete;

    bool IsRunning() const { return !m_host.isEmpty(); }

    // A fresh database of that name, built from the script; returns the
    // settings of a data source for it (empty when it failed).
    std::string CreateDatabase(const std::string &name, const std::string &script)
    {
        const std::string quoted = SqlText::QuoteIdentifier(name);
        if (!Run("postgres", "DROP DATABASE IF EXISTS " + quoted + " WITH (FORCE);\nCREATE DATABASE "
                                 + quoted + ";\n"))
            return std::string();
        m_databases.push_back(name);
        if (!Run(QString::fromStdString(name), script))
            return std::string();
        return "Driver=PostgreSQL ANSI\nServername=" + m_host.toStdString() + "\nPort="
               + m_port.toStdString() + "\nUsername=" + m_user.toStdString() + "\nDatabase=" + name
               + "\n";
    }

private:
    bool Run(const QString &database, const std::string &sql) const
    {
        return RunWithInput("psql", {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", m_host, "-p", m_port,
                                     "-U", m_user, "-d", database},
                            sql);
    }

    static constexpr const char *kScript = VELLUMIX_SOURCE_DIR "/scripts/postgres-server.sh";
    QString m_host, m_port, m_user, m_own;
    std::vector<std::string> m_databases;
};

} // namespace
