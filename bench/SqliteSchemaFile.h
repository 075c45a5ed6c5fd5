#pragma once

// Builds a SQLite database from a generated schema script in seconds, also
// for 10,000 tables. Run statement by statement, as the sqlite3 shell does,
// such a script takes about a minute there: every CREATE re-reads the
// catalog rows (sqlite_master, which has no index) and walks every table
// the connection knows, so the build grows with the square of the table
// count. Here each connection runs a few hundred statements on a catalog
// that holds only their own objects: before it commits, their catalog rows
// are taken out (writable_schema), and at the end every row is written
// back in its first order. The tables' pages stay where they were made,
// so the file is the one the shell would make, rows and page numbers
// aside; its integrity check passes.
//
// For scripts of CREATE statements in which an index or a trigger follows
// its table within a few hundred statements, as CSchemaGenerator writes
// them; BEGIN and COMMIT in the script are left to this builder.
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class CSqliteSchemaFile
{
public:
    // Writes the database anew; false, with the reason on stderr, when a
    // statement fails.
    static bool Build(const std::string &path, const std::string &script)
    {
        std::remove(path.c_str());
        std::vector<CRow> rows;
        const char *next = script.c_str();
        while (*Skip(next)) {
            CConnection db(path);
            if (!db.Exec("pragma writable_schema = on; begin") || !RunSome(db, next)
                || !TakeCatalog(db, rows) || !db.Exec("commit"))
                return false;
        }
        {
            CConnection db(path);
            if (!db.Exec("pragma writable_schema = on; begin") || !PutCatalog(db, rows) || !db.Exec("commit"))
                return false;
        }
        // A new connection reads the whole catalog, as the driver will.
        return CConnection(path).Check();
    }

private:
    // Statements a connection runs before it starts on a new table.
    static constexpr int kStatementsPerConnection = 300;

    struct CRow
    {
        std::string type, name, table, sql;
        sqlite3_int64 page;
        bool hasSql;
    };

    class CConnection
    {
    public:
        explicit CConnection(const std::string &path)
        {
            if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
                Fail("open");
        }
        ~CConnection() { sqlite3_close(m_db); }
        CConnection(const CConnection &) = delete;
        CConnection &operator=(const CConnection &) = delete;

        sqlite3 *Get() const { return m_db; }
        bool Exec(const char *sql)
        {
            return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail(sql);
        }
        bool Fail(const char *what) const
        {
            std::fprintf(stderr, "sqlite3 %s: %s\n", what, sqlite3_errmsg(m_db));
            return false;
        }
        bool Check()
        {
            bool ok = false;
            sqlite3_exec(m_db, "pragma quick_check", [](void *flag, int, char **value, char **) {
                *static_cast<bool *>(flag) = value[0] && std::strcmp(value[0], "ok") == 0;
                return 0;
            }, &ok, nullptr);
            return ok || Fail("quick_check");
        }

    private:
        sqlite3 *m_db = nullptr;
    };

    static const char *Skip(const char *&text)
    {
        while (*text == ' ' || *text == '\n' || *text == '\t' || *text == '\r')
            ++text;
        return text;
    }
    static bool StartsWith(const char *text, const char *word)
    {
        return sqlite3_strnicmp(text, word, static_cast<int>(std::strlen(word))) == 0;
    }

    // Runs statements until the next table after the connection's share.
    static bool RunSome(CConnection &db, const char *&next)
    {
        for (int run = 0; *Skip(next); ++run) {
            if (run >= kStatementsPerConnection && StartsWith(next, "create table"))
                return true;
            const bool transaction = StartsWith(next, "begin") || StartsWith(next, "commit");
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(db.Get(), next, -1, &statement, &next) != SQLITE_OK)
                return db.Fail("prepare");
            const int result = statement && !transaction ? sqlite3_step(statement) : SQLITE_DONE;
            sqlite3_finalize(statement);
            if (result != SQLITE_DONE && result != SQLITE_ROW)
                return db.Fail("step");
        }
        return true;
    }

    static bool TakeCatalog(CConnection &db, std::vector<CRow> &rows)
    {
        sqlite3_stmt *query = nullptr;
        if (sqlite3_prepare_v2(db.Get(), "select type, name, tbl_name, rootpage, sql from sqlite_master "
                                         "order by rowid", -1, &query, nullptr) != SQLITE_OK)
            return db.Fail("prepare");
        const auto text = [query](int column) {
            const unsigned char *value = sqlite3_column_text(query, column);
            return std::string(value ? reinterpret_cast<const char *>(value) : "");
        };
        while (sqlite3_step(query) == SQLITE_ROW)
            rows.push_back(CRow{text(0), text(1), text(2), text(4), sqlite3_column_int64(query, 3),
                                sqlite3_column_type(query, 4) != SQLITE_NULL});
        sqlite3_finalize(query);
        return db.Exec("delete from sqlite_master");
    }

    static bool PutCatalog(CConnection &db, const std::vector<CRow> &rows)
    {
        sqlite3_stmt *insert = nullptr;
        if (sqlite3_prepare_v2(db.Get(), "insert into sqlite_master values (?, ?, ?, ?, ?)", -1, &insert,
                               nullptr) != SQLITE_OK)
            return db.Fail("prepare");
        bool ok = true;
        for (size_t i = 0; ok && i < rows.size(); ++i) {
            const CRow &row = rows[i];
            sqlite3_bind_text(insert, 1, row.type.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, row.name.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, row.table.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int64(insert, 4, row.page);
            if (row.hasSql)
                sqlite3_bind_text(insert, 5, row.sql.c_str(), -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(insert, 5);
            ok = sqlite3_step(insert) == SQLITE_DONE || db.Fail("insert");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        return ok;
    }
};

} // namespace
