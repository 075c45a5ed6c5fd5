#pragma once

// The MariaDB server a benchmark's databases go to: the one whose socket
// VELLUMIX_MARIADB_SOCKET names (scripts/mariadb-server.sh run BENCHMARK),
// or else a throwaway one that it starts with the same script and removes
// when it ends.
#include "bench/BenchOdbc.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include <unistd.h>

namespace {

class CBenchMariaServer
{
public:
    CBenchMariaServer()
    {
        m_socket = qEnvironmentVariable("VELLUMIX_MARIADB_SOCKET");
        m_user = qEnvironmentVariable("VELLUMIX_MARIADB_USER", "vellumix");
        if (!m_socket.isEmpty())
            return;
        char folder[] = "/tmp/vellumix-bench-maria.XXXXXX";
        if (!mkdtemp(folder))
            return;
        if (RunWithInput("bash", {kScript, "start", folder}, std::string())) {
            m_own = folder;
            m_socket = m_own + "/mariadb.sock";
        } else {
            rmdir(folder);
        }
    }
    ~CBenchMariaServer()
    {
        if (!m_own.isEmpty()) {
            RunWithInput("bash", {kScript, "stop", m_own}, std::string());
            return;
        }
        for (const std::string &name : m_databases)
            Run("drop database if exists `" + name + "`;\n");
    }
    CBenchMariaServer(const CBenchMariaServer &) = delete;
    CBenchMariaServer &operator=(const CBenchMariaServer &) = delete;

    bool IsRunning() const { return !m_socket.isEmpty(); }

    // A fresh database of that name (letters, digits and "_"), built from
    // the script; returns the settings of a data source for it with the
    // MariaDB driver (empty when it failed).
    std::string CreateDatabase(const std::string &name, const std::string &script)
    {
        if (!Run("drop database if exists `" + name + "`;\ncreate database `" + name
                 + "` character set utf8mb4;\n"))
            return std::string();
        m_databases.push_back(name);
        if (!Run("use `" + name + "`;\n" + script))
            return std::string();
        return "Driver=" + DriverPath("libmaodbc.so").toStdString() + "\nSOCKET=" + m_socket.toStdString()
               + "\nUSER=" + m_user.toStdString() + "\nDATABASE=" + name + "\n";
    }

private:
    bool Run(const std::string &sql) const
    {
        return RunWithInput("mariadb", {"--no-defaults", "--batch", "-S", m_socket, "-u", m_user}, sql);
    }

    static constexpr const char *kScript = VELLUMIX_SOURCE_DIR "/scripts/mariadb-server.sh";
    QString m_socket, m_user, m_own;
    std::vector<std::string> m_databases;
};

} // namespace
