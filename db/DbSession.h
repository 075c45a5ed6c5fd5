#pragma once

#include "db/ConnectionString.h"
#include "db/DbTypes.h"
#include "db/RowSource.h"
#include "db/StatementLog.h"

#include <sql.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAdapterList;
class CDbmsAdapter;
class CDbSession;

// Asks the user for a data source: when Connect is called without a
// connection string, and when a connection string read from a diagram file
// needs the user's consent or more information. The connection string
// comes in as the prompt should show it first (empty for a free choice),
// with the reason for asking (empty for a free choice); the prompt returns
// false when the user cancelled, otherwise it leaves the connection string
// to use. The application gives its sessions a dialog; tests give their own
// answer.
using ConnectPrompt = std::function<bool(CDbSession &session, std::string &connectionString,
                                         const std::string &reason)>;

// One row of a result set as text, in the order its columns were read.
using CDbRow = std::vector<std::string>;
using CDbRowHandler = std::function<void(const CDbRow &row)>;

// One diagnostic record as SQLError reports it.
struct CDbDiagnostic
{
    long m_native = 0;
    std::string m_message;
};

// The document's only road to the database: one ODBC environment, one
// connection and the single statement handle that every query and every
// DDL statement of that document shares. Failures are negative result codes
// (see ResultCodes.h); the session never shows anything itself.
class CDbSession : public CRowSource
{
public:
    // The longest a statement or a commit waits for a lock that another
    // program holds before it fails with the engine's "locked" message and
    // nothing changed: long enough to outlast another program's short
    // write, short enough that nobody takes the program for hung.
    static constexpr int kLockWaitMilliseconds = 3000;

    // Connect chooses the engine's adapter from the given list, which
    // outlives the session; the prompt asks for a data source (none: the
    // session never asks and a connect that needs an answer is cancelled).
    explicit CDbSession(const CAdapterList &adapters, ConnectPrompt prompt = nullptr);
    ~CDbSession() override;
    CDbSession(const CDbSession &) = delete;
    CDbSession &operator=(const CDbSession &) = delete;

    // Connects with the given connection string, or, when it is empty,
    // with the one the connect prompt obtains from the user.
    int Connect(const std::string &connectionString = std::string());
    // Connects with a connection string read from a diagram file. A string
    // that could make a library load or create a database file is shown to
    // the user first (see ConnectionString::ConsentReason), and one
    // the driver refuses (a password missing, a data source gone) is shown
    // again with the driver's message, until it connects or the user
    // cancels. An empty data source name before a driver named directly is
    // not sent (see ConnectionString::ForDriverManager).
    int ConnectFromFile(const std::string &connectionString);
    bool IsConnected() const { return m_statement != SQL_NULL_HSTMT; }
    // True when the last connect ended because the user cancelled the
    // connect prompt (its result is then DbResult::kNoData).
    bool PromptCancelled() const { return m_promptCancelled; }

    // Ends the result set of the last statement. Every statement and
    // catalog call ends the one before it, and a failed one ends itself
    // (its diagnostics are kept for GetErrorText), so callers close only
    // a result set they stop reading early.
    int CloseStatement();
    int Execute(const std::string &statement);

    // Transactions: the statements sent between BeginTransaction and
    // CommitTransaction take effect together, or, after
    // RollbackTransaction, not at all. Autocommit is on again after either
    // end. Used when one change of the schema needs several statements.
    int BeginTransaction();
    int CommitTransaction();
    int RollbackTransaction();
    bool InTransaction() const { return m_inTransaction; }
    int Fetch() override;
    // Reads a value as text, however long. Trailing blanks are removed only
    // from fixed-length character columns, whose values the engine pads;
    // everywhere else they are part of the value (a table named "C sp ").
    int GetColumnText(int column, std::string &text) override;

    // Reads every row of the result set that start began (the code of a
    // List call or of Execute): fetches each row, reads the given columns
    // as text in the order given and hands the row on. The end of the rows
    // and the forgiven codes count as success. The statement is closed
    // either way; on failure the rows read before it have been handed on
    // and GetErrorText tells what went wrong.
    int ReadRows(int start, const std::vector<int> &columns, const CDbRowHandler &onRow,
                 const std::vector<int> &forgiven = {});
    // Hands the result set that start began to a reader of its own, then
    // closes the statement, also when start or the reader failed.
    int ReadResult(int start, const std::function<int(CRowSource &rows)> &read);
    // ReadRows over the result of a statement.
    int QueryRows(const std::string &statement, const std::vector<int> &columns,
                  const CDbRowHandler &onRow, const std::vector<int> &forgiven = {});

    int ListTables();
    int ListColumns(const std::string &table);
    int ListIndexes(const std::string &table);
    // SQLPrimaryKeys: the table's key columns (COLUMN_NAME 4, KEY_SEQ 5).
    int ListPrimaryKeys(const std::string &table);
    int ListTypes();
    int LoadTypeInfo();

    // The code of an ODBC call as a result code. A failure's diagnostics are
    // read from the handle that failed: the statement's by default (or the
    // connection's or environment's while there is no statement yet), the
    // connection's for calls on the connection such as SQLEndTran.
    int CheckReturn(SQLRETURN code);
    int CheckReturn(SQLRETURN code, SQLSMALLINT handleType, SQLHANDLE handle);
    int CaptureDiagnostics();
    int CaptureDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);
    std::string GetErrorText(int code) const;

    // The engine's foreign-key relationships, as its adapter reads them
    // (none without an adapter), in place of what the list held.
    int ReadRelationships(std::vector<CDbRelationship> &relationships);
    void ClearTypes();
    void AddType(std::unique_ptr<CDbTypeInfo> type);
    const CDbTypeInfo *GetType(int index) const;
    const CDbTypeInfo *FindType(const std::string &name) const;
    int TypeCount() const { return static_cast<int>(m_types.size()); }

    // The user and system data sources of the driver manager, for the
    // connect prompt, with their names and descriptions whole. Allocates
    // the environment when there is none yet.
    std::vector<CDataSourceInfo> ListDataSources();
    // The installed drivers with their libraries and the data sources with
    // their drivers: what a connection string from a file can reach.
    ConnectionString::CDriverCatalog ReadDriverCatalog();

    CDbmsAdapter *GetAdapter() const { return m_adapter; }
    // The schema the catalog calls look in; empty for none named.
    const std::string &GetCatalogSchema() const { return m_catalogSchema; }
    const std::string &GetDbmsName() const { return m_dbmsName; }
    // The completed connection string of the last connect, as the driver
    // returned it (it may hold a password).
    const std::string &GetConnectionString() const { return m_connectionString; }
    // The connection string the last connect sent, as it was sent.
    const std::string &GetSentConnectionString() const { return m_sentConnectionString; }

    void SetConnectPrompt(ConnectPrompt prompt) { m_prompt = std::move(prompt); }

    // The last statements sent through Execute, oldest first, with their
    // outcomes, and the BEGIN, COMMIT and ROLLBACK that framed them; kept so
    // that the user can see exactly what was sent and what of it stayed.
    const CDbStatementLog &GetStatementLog() const { return m_log; }
    void SetStatementLogListener(CDbStatementLog::Listener listener);
    // Every statement ever sent through this session: unlike the log, which
    // keeps only the last ones, this count never stops growing.
    unsigned long long StatementsSent() const { return m_log.Sent(); }

    // Folds diagnostic records into a result code and the message text:
    // the most negative native code wins, every message is followed by a
    // line feed and the final "no more records" call adds an empty line.
    static int FoldDiagnostics(const std::vector<CDbDiagnostic> &records, std::string &text);

    // The data source name of a completed connection string: everything after
    // the first "DSN=" (case-sensitive) up to the first ";". Without "DSN=" the
    // previous name stays, still cut at its first ";".
    static std::string ExtractDsn(const std::string &completed, const std::string &previous);

    std::string m_dsn;
    std::string m_lastError;

private:
    void Disconnect();
    void CloseCursor();
    int EndTransaction(SQLSMALLINT completion);
    int ConnectionCall(SQLRETURN code);
    void LogTransactionStep(const char *step, std::chrono::system_clock::time_point sent,
                            int result);
    bool IsPaddedColumn(int column, int &result);
    std::string CatalogPattern(const std::string &name) const;
    bool NamesCatalog() const;
    int DriverConnect(const std::string &input);
    std::string WithLockWait(const std::string &request);
    int ReadInfoText(SQLUSMALLINT type, std::string &text);
    int SelectAdapter();
    bool Prompt(std::string &connectionString, const std::string &reason);

    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
    bool m_connectionOpen = false;
    bool m_inTransaction = false;
    const CAdapterList &m_adapters;
    CDbmsAdapter *m_adapter = nullptr;
    std::vector<std::unique_ptr<CDbTypeInfo>> m_types;
    std::string m_dbmsName;
    std::string m_connectionString;
    std::string m_sentConnectionString;
    // The driver's escape for "_" and "%" in catalog search patterns.
    std::string m_searchEscape;
    std::string m_catalogSchema;
    // Set when the last connect failed at the driver manager or the driver,
    // as opposed to a later step such as choosing the adapter.
    bool m_refusedByDriver = false;
    bool m_promptCancelled = false;
    // Set when the last call succeeded with a warning.
    bool m_lastCallWarned = false;
    CDbStatementLog m_log;
    // The log entry of the statement whose rows are being read, or 0.
    unsigned long long m_rowsEntry = 0;
    // Of the open result set, by column: whether its values come padded
    // (IsPaddedColumn); empty after each close.
    std::vector<signed char> m_paddedColumns;
    ConnectPrompt m_prompt;
};

// Rolls back the session's transaction when it goes out of scope without
// Commit, so that no early return or failure leaves half a change behind.
class CDbTransaction
{
public:
    explicit CDbTransaction(CDbSession &session) : m_session(session) {}
    ~CDbTransaction()
    {
        if (m_begun && !m_ended)
            m_session.RollbackTransaction();
    }
    CDbTransaction(const CDbTransaction &) = delete;
    CDbTransaction &operator=(const CDbTransaction &) = delete;

    int Begin()
    {
        const int result = m_session.BeginTransaction();
        m_begun = result >= 0;
        return result;
    }
    int Commit()
    {
        m_ended = true;
        return m_session.CommitTransaction();
    }
    int Rollback()
    {
        m_ended = true;
        return m_session.RollbackTransaction();
    }

private:
    CDbSession &m_session;
    bool m_begun = false;
    bool m_ended = false;
};
