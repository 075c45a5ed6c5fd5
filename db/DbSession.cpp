#include "db/DbSession.h"

#include "db/ConnectionString.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// The value buffer of GetColumnText: a longer value is cut by the driver,
// which reports it with SQL_SUCCESS_WITH_INFO, and is read on in further
// pieces of this size.
constexpr SQLLEN kValueBufferSize = 255;
// The first buffer for an information text; a longer one is read again.
constexpr SQLSMALLINT kInfoBufferSize = 256;
// The largest buffer a driver-manager call can take (a 16-bit length).
constexpr size_t kLargestBuffer = 32767;

// A message for a log entry or a box: the captured text without the line
// ends that close it.
std::string MessageText(std::string text)
{
    SqlText::TrimRight(text);
    return text;
}

SQLCHAR *Text(const std::string &text)
{
    return reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.c_str()));
}

SQLSMALLINT Length(const std::string &text) { return static_cast<SQLSMALLINT>(text.size()); }

// An empty catalog argument is passed as none at all (a null pointer).
SQLCHAR *OptionalText(const std::string &text) { return text.empty() ? nullptr : Text(text); }

} // namespace

CDbSession::CDbSession(const CAdapterList &adapters, ConnectPrompt prompt)
    : m_adapters(adapters), m_prompt(std::move(prompt))
{
}

CDbSession::~CDbSession()
{
    ClearTypes();
    Disconnect();
}

// Every handle has one owner: the session releases what it obtained when it
// ends or connects again, also after a connect that failed half-way.
void CDbSession::Disconnect()
{
    // A transaction nobody finished is rolled back, never half-committed.
    if (m_inTransaction)
        RollbackTransaction();
    if (m_statement != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
    if (m_connectionOpen)
        SQLDisconnect(m_connection);
    if (m_connection != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
    if (m_environment != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
    m_statement = SQL_NULL_HSTMT;
    m_connection = SQL_NULL_HDBC;
    m_environment = SQL_NULL_HENV;
    m_connectionOpen = false;
    m_inTransaction = false;
    m_adapter = nullptr;
    m_catalogSchema.clear();
}

// Without a handle named, a failure is the most specific handle's: the
// statement's, or before there is one the connection's or environment's.
int CDbSession::CheckReturn(SQLRETURN code)
{
    if (m_statement != SQL_NULL_HSTMT)
        return CheckReturn(code, SQL_HANDLE_STMT, m_statement);
    if (m_connection != SQL_NULL_HDBC)
        return CheckReturn(code, SQL_HANDLE_DBC, m_connection);
    return CheckReturn(code, SQL_HANDLE_ENV, m_environment);
}

int CDbSession::CheckReturn(SQLRETURN code, SQLSMALLINT handleType, SQLHANDLE handle)
{
    m_lastCallWarned = static_cast<short>(code) == SQL_SUCCESS_WITH_INFO;
    switch (static_cast<short>(code)) {
    case SQL_SUCCESS: return DbResult::kOk;
    // A success that came with a warning is a success; the warning is kept
    // as the last diagnostics.
    case SQL_SUCCESS_WITH_INFO: CaptureDiagnostics(handleType, handle); return DbResult::kOk;
    case SQL_NO_DATA_FOUND: return DbResult::kNoData;
    case SQL_INVALID_HANDLE: return DbResult::kInvalidHandle;
    case SQL_ERROR: return CaptureDiagnostics(handleType, handle);
    default: return DbResult::kOk;
    }
}

int CDbSession::FoldDiagnostics(const std::vector<CDbDiagnostic> &records, std::string &text)
{
    text.clear();
    long result = 0;
    for (const CDbDiagnostic &record : records) {
        if (record.m_native < result)
            result = record.m_native;
        text += record.m_message;
        text += '\n';
    }
    // The call that reports no further record contributes an empty line.
    text += '\n';
    if (result == 0 && !text.empty())
        return DbResult::kErrorWithoutNativeCode;
    return static_cast<int>(result);
}

int CDbSession::CaptureDiagnostics()
{
    if (m_statement != SQL_NULL_HSTMT)
        return CaptureDiagnostics(SQL_HANDLE_STMT, m_statement);
    if (m_connection != SQL_NULL_HDBC)
        return CaptureDiagnostics(SQL_HANDLE_DBC, m_connection);
    return CaptureDiagnostics(SQL_HANDLE_ENV, m_environment);
}

// Each handle keeps its own records: a failed commit's are on the
// connection, and the statement's would say nothing about it.
int CDbSession::CaptureDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::vector<CDbDiagnostic> records;
    for (SQLSMALLINT number = 1;; ++number) {
        SQLCHAR state[6] = {};
        SQLCHAR message[512] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(handleType, handle, number, state, &native, message,
                                           sizeof message, &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        records.push_back({static_cast<long>(native), reinterpret_cast<const char *>(message)});
    }
    return FoldDiagnostics(records, m_lastError);
}

std::string CDbSession::GetErrorText(int code) const
{
    // The captured diagnostics, unless the driver gave no message at all:
    // an error box never stands empty.
    if ((code == DbResult::kErrorWithoutNativeCode || code == DbResult::kSuccessWithInfo
         || (code >= -9998 && code <= -1))
        && !MessageText(m_lastError).empty())
        return m_lastError;
    const long key = code < 0 ? -static_cast<long>(code) : code;
    if (key <= 0x7fffffff) {
        if (const char *message = DbResult::LookupMessage(static_cast<int>(key)))
            return message;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Error %d", code);
    return buffer;
}

int CDbSession::Connect(const std::string &connectionString)
{
    // A reconnect starts from nothing: the old handles are released.
    Disconnect();
    m_refusedByDriver = false;
    m_promptCancelled = false;

    int result = CheckReturn(SQLAllocEnv(&m_environment));
    if (result >= 0)
        result = CheckReturn(SQLAllocConnect(m_environment, &m_connection));
    if (result >= 0) {
        result = DriverConnect(connectionString);
        m_refusedByDriver = result < 0 && result != DbResult::kNoData;
    }
    if (result >= 0)
        result = ReadInfoText(SQL_DBMS_NAME, m_dbmsName);
    if (result >= 0)
        result = SelectAdapter();
    if (result >= 0) {
        m_dsn = ExtractDsn(m_connectionString, m_dsn);
        // Without the escape a table name holding "_" or "%" would match
        // other tables in the column catalog.
        if (ReadInfoText(SQL_SEARCH_PATTERN_ESCAPE, m_searchEscape) < 0)
            m_searchEscape.clear();
        result = CheckReturn(SQLAllocStmt(m_connection, &m_statement));
    }
    if (result >= 0)
        result = m_adapter->PrepareSession(*this);
    if (result >= 0)
        result = m_adapter->ReadCatalogSchema(*this, m_catalogSchema);
    if (result >= 0)
        result = LoadTypeInfo();
    // A failed connect leaves no connection open behind it; what the driver
    // said stays for the caller's message.
    if (result < 0)
        Disconnect();
    return result;
}

int CDbSession::ConnectFromFile(const std::string &connectionString)
{
    std::string request = ConnectionString::ForDriverManager(connectionString);
    std::string reason = ConnectionString::ConsentReason(request, ReadDriverCatalog());
    int result = DbResult::kOk;
    if (reason.empty())
        result = Connect(request);
    while (!reason.empty() || (result < 0 && m_refusedByDriver)) {
        if (reason.empty())
            reason = MessageText(GetErrorText(result));
        if (!Prompt(request, reason)) {
            m_promptCancelled = true;
            return DbResult::kNoData;
        }
        result = Connect(request);
        reason.clear();
    }
    return result;
}

bool CDbSession::Prompt(std::string &connectionString, const std::string &reason)
{
    return m_prompt && m_prompt(*this, connectionString, reason) && !connectionString.empty();
}

// The driver manager here has no dialog of its own; the connect prompt takes
// its place when no connection string is given. The completed string gets
// the largest buffer the call takes, so that it is never cut short: the
// data source name is read from it.
int CDbSession::DriverConnect(const std::string &input)
{
    std::string request = input;
    if (request.empty() && !Prompt(request, std::string())) {
        m_promptCancelled = true;
        return DbResult::kNoData;
    }
    m_sentConnectionString = request;
    const std::string sent = WithLockWait(request);
    std::vector<SQLCHAR> completed(kLargestBuffer + 1);
    SQLSMALLINT length = 0;
    const int result = CheckReturn(SQLDriverConnect(m_connection, nullptr, Text(sent), SQL_NTS,
                                                    completed.data(),
                                                    static_cast<SQLSMALLINT>(kLargestBuffer),
                                                    &length, SQL_DRIVER_NOPROMPT));
    if (result < 0)
        return result;
    m_connectionOpen = true;
    m_connectionString = reinterpret_cast<const char *>(completed.data());
    return result;
}

// The SQLite driver waits 100 s for a lock while it connects already,
// before any statement could shorten the wait; its Timeout setting bounds
// that wait. It is added to what is sent, not to what a diagram file keeps
// of the string, and a Timeout the string sets itself stays.
std::string CDbSession::WithLockWait(const std::string &request)
{
    std::vector<ConnectionString::CAttribute> attributes;
    if (!ConnectionString::Split(request, attributes)
        || !ConnectionString::ReachesOnlySqlite(request, ReadDriverCatalog()))
        return request;
    for (const ConnectionString::CAttribute &attribute : attributes)
        if (ConnectionString::IsKey(attribute, "Timeout"))
            return request;
    const std::string separator = request.back() == ';' ? "" : ";";
    return request + separator + "Timeout=" + std::to_string(kLockWaitMilliseconds);
}

// A text longer than the first buffer is read again whole.
int CDbSession::ReadInfoText(SQLUSMALLINT type, std::string &text)
{
    std::vector<SQLCHAR> buffer(kInfoBufferSize + 1);
    SQLSMALLINT length = 0;
    int result =
        ConnectionCall(SQLGetInfo(m_connection, type, buffer.data(), kInfoBufferSize, &length));
    if (result >= 0 && length >= kInfoBufferSize) {
        const size_t size = std::min(static_cast<size_t>(length) + 1, kLargestBuffer);
        buffer.assign(size + 1, 0);
        result = ConnectionCall(SQLGetInfo(m_connection, type, buffer.data(),
                                           static_cast<SQLSMALLINT>(size), &length));
    }
    if (result >= 0)
        text = reinterpret_cast<const char *>(buffer.data());
    return result;
}

int CDbSession::SelectAdapter()
{
    m_adapter = m_adapters.Find(m_dbmsName);
    if (m_adapter)
        return DbResult::kOk;
    m_lastError = "The " + m_dbmsName + " ODBC driver is not supported at this time";
    return DbResult::kUnsupportedDbms;
}

std::string CDbSession::ExtractDsn(const std::string &completed, const std::string &previous)
{
    std::string dsn = previous;
    const auto at = completed.find("DSN=");
    if (at != std::string::npos)
        dsn = completed.substr(at + 4);
    const auto semicolon = dsn.find(';');
    if (semicolon != std::string::npos)
        dsn.erase(semicolon);
    return dsn;
}

int CDbSession::CloseStatement()
{
    m_rowsEntry = 0;
    m_paddedColumns.clear();
    return CheckReturn(SQLFreeStmt(m_statement, SQL_CLOSE));
}

// Closing a statement without a result set is harmless, and what it says
// is of no interest: the diagnostics of the failure before stay for the
// caller's message.
void CDbSession::CloseCursor()
{
    m_rowsEntry = 0;
    m_paddedColumns.clear();
    if (m_statement != SQL_NULL_HSTMT)
        SQLFreeStmt(m_statement, SQL_CLOSE);
}

// Every statement goes into the log with its outcome: ok, the rows it
// gives (counted as they are fetched), or the engine's message.
int CDbSession::Execute(const std::string &statement)
{
    CloseCursor();
    const auto sent = std::chrono::system_clock::now();
    const int result = CheckReturn(SQLExecDirect(m_statement, Text(statement), SQL_NTS));
    CDbLogEntry::Outcome outcome = CDbLogEntry::Ok;
    std::string message;
    if (result < 0) {
        outcome = CDbLogEntry::Failed;
        message = MessageText(GetErrorText(result));
    } else {
        if (m_lastCallWarned)
            message = MessageText(m_lastError);
        SQLSMALLINT columns = 0;
        if (CheckReturn(SQLNumResultCols(m_statement, &columns)) >= 0 && columns > 0)
            outcome = CDbLogEntry::Rows;
    }
    const unsigned long long number = m_log.Add(sent, statement, outcome, message);
    if (outcome == CDbLogEntry::Rows)
        m_rowsEntry = number;
    else if (result < 0)
        CloseCursor();
    return result;
}

void CDbSession::SetStatementLogListener(CDbStatementLog::Listener listener)
{
    m_log.SetListener(std::move(listener));
}

int CDbSession::ConnectionCall(SQLRETURN code)
{
    return CheckReturn(code, SQL_HANDLE_DBC, m_connection);
}

// BEGIN, COMMIT and ROLLBACK are no statements of ours (ODBC ends a
// transaction by a call), but the log shows them as entries with their
// outcomes: without them a change that was rolled back would look as if
// its statements had stayed.
void CDbSession::LogTransactionStep(const char *step, std::chrono::system_clock::time_point sent,
                                    int result)
{
    std::string message;
    if (result < 0)
        message = MessageText(GetErrorText(result));
    else if (m_lastCallWarned)
        message = MessageText(m_lastError);
    m_log.Add(sent, step, result < 0 ? CDbLogEntry::Failed : CDbLogEntry::Ok, message);
}

int CDbSession::BeginTransaction()
{
    const auto sent = std::chrono::system_clock::now();
    const int result = ConnectionCall(SQLSetConnectAttr(
        m_connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
    m_inTransaction = result >= 0;
    LogTransactionStep("BEGIN", sent, result);
    return result;
}

int CDbSession::CommitTransaction() { return EndTransaction(SQL_COMMIT); }

int CDbSession::RollbackTransaction() { return EndTransaction(SQL_ROLLBACK); }

// Ends the transaction and turns autocommit on again, also when the end
// itself failed: a failed commit is followed by a rollback, so the session
// never stays in a transaction that nobody will finish.
int CDbSession::EndTransaction(SQLSMALLINT completion)
{
    if (!m_inTransaction)
        return DbResult::kOk;
    SQLFreeStmt(m_statement, SQL_CLOSE);
    m_paddedColumns.clear();
    const auto sent = std::chrono::system_clock::now();
    const int result = ConnectionCall(SQLEndTran(SQL_HANDLE_DBC, m_connection, completion));
    LogTransactionStep(completion == SQL_COMMIT ? "COMMIT" : "ROLLBACK", sent, result);
    if (result < 0 && completion == SQL_COMMIT) {
        const std::string commitError = m_lastError;
        const auto rollbackSent = std::chrono::system_clock::now();
        LogTransactionStep("ROLLBACK", rollbackSent,
                           ConnectionCall(SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK)));
        m_lastError = commitError;
    }
    SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    m_inTransaction = false;
    return result;
}

int CDbSession::Fetch()
{
    const int result = CheckReturn(SQLFetch(m_statement));
    if (m_rowsEntry != 0) {
        if (result >= 0)
            m_log.CountRow(m_rowsEntry);
        else if (result == DbResult::kNoData)
            m_log.SetAllRead(m_rowsEntry);
        else
            m_log.SetFailed(m_rowsEntry, MessageText(GetErrorText(result)));
    }
    return result;
}

// Only a fixed-length character column comes padded with blanks to its
// length (the Pervasive.SQL dictionary's names, a PostgreSQL char(n)).
// The answer holds for the whole result set: it is asked once a column,
// not once a value (a bulk catalog read gets hundreds of thousands).
bool CDbSession::IsPaddedColumn(int column, int &result)
{
    enum : signed char { kUnknown = 0, kPadded = 1, kUnpadded = 2 };
    const size_t slot = static_cast<size_t>(column);
    if (column > 0 && slot < m_paddedColumns.size() && m_paddedColumns[slot] != kUnknown) {
        result = DbResult::kOk;
        return m_paddedColumns[slot] == kPadded;
    }
    // SQLDescribeCol rather than SQLColAttribute: in the ODBC 2 environment
    // the driver manager answers the latter with "char" for every column.
    SQLSMALLINT type = 0;
    result = CheckReturn(SQLDescribeCol(m_statement, static_cast<SQLUSMALLINT>(column), nullptr, 0,
                                        nullptr, &type, nullptr, nullptr, nullptr));
    const bool padded = result >= 0 && (type == SQL_CHAR || type == SQL_WCHAR);
    if (result >= 0 && column > 0 && column < 1000) {
        if (slot >= m_paddedColumns.size())
            m_paddedColumns.resize(slot + 1, kUnknown);
        m_paddedColumns[slot] = padded ? kPadded : kUnpadded;
    }
    return padded;
}

// A value longer than the buffer comes in pieces: the driver fills the
// buffer less its closing zero and tells how much was left, or that it
// cannot tell; the next call goes on where the last one stopped.
int CDbSession::GetColumnText(int column, std::string &text)
{
    text.clear();
    int result = DbResult::kOk;
    const bool padded = IsPaddedColumn(column, result);
    if (result < 0)
        return result;
    for (int piece = 0;; ++piece) {
        char buffer[kValueBufferSize] = {};
        SQLLEN indicator = 0;
        result = CheckReturn(SQLGetData(m_statement, static_cast<SQLUSMALLINT>(column), SQL_C_CHAR,
                                        buffer, kValueBufferSize, &indicator));
        if (result == DbResult::kNoData && piece > 0) {
            result = DbResult::kOk; // the last piece ended exactly at the buffer's end
            break;
        }
        if (result < 0 || indicator == SQL_NULL_DATA)
            break;
        text += buffer;
        if (indicator != SQL_NO_TOTAL && indicator < kValueBufferSize)
            break;
    }
    if (padded)
        SqlText::TrimRight(text);
    return result;
}

int CDbSession::ReadRows(int start, const std::vector<int> &columns, const CDbRowHandler &onRow,
                         const std::vector<int> &forgiven)
{
    int result = start;
    while (result >= 0) {
        result = Fetch();
        CDbRow row(columns.size());
        for (size_t i = 0; i < columns.size() && result >= 0; ++i)
            result = GetColumnText(columns[i], row[i]);
        if (result >= 0)
            onRow(row);
    }
    if (result == DbResult::kNoData
        || std::find(forgiven.begin(), forgiven.end(), result) != forgiven.end())
        result = DbResult::kOk;
    if (result >= 0)
        CloseStatement();
    else
        CloseCursor();
    return result;
}

int CDbSession::ReadResult(int start, const std::function<int(CRowSource &rows)> &read)
{
    const int result = start < 0 ? start : read(*this);
    if (result >= 0)
        CloseStatement();
    else
        CloseCursor();
    return result;
}

int CDbSession::QueryRows(const std::string &statement, const std::vector<int> &columns,
                          const CDbRowHandler &onRow, const std::vector<int> &forgiven)
{
    return ReadRows(Execute(statement), columns, onRow, forgiven);
}

// The catalog schema, when the adapter names one, narrows every catalog
// call to it; in SQLTables and SQLColumns it is a search pattern.
// An engine whose databases are the driver's catalogs (MariaDB) gets it as
// the catalog: its driver refuses every schema, and without a catalog it
// lists the tables of every database on the server.
int CDbSession::ListTables()
{
    CloseCursor();
    const std::string schema = CatalogPattern(m_catalogSchema);
    if (NamesCatalog())
        return CheckReturn(SQLTables(m_statement, OptionalText(schema), Length(schema), nullptr, 0,
                                     nullptr, 0, Text("TABLE"), SQL_NTS));
    return CheckReturn(SQLTables(m_statement, nullptr, 0, OptionalText(schema), Length(schema), nullptr,
                                 0, Text("TABLE"), SQL_NTS));
}

bool CDbSession::NamesCatalog() const { return m_adapter && m_adapter->SchemaIsCatalog(); }

// The table name of SQLColumns is a search pattern: "_" and "%" in it are
// escaped, so that A_B does not also bring the columns of AXB.
int CDbSession::ListColumns(const std::string &table)
{
    CloseCursor();
    const std::string pattern = CatalogPattern(table);
    if (NamesCatalog())
        return CheckReturn(SQLColumns(m_statement, OptionalText(m_catalogSchema), Length(m_catalogSchema),
                                      nullptr, 0, Text(pattern), Length(pattern), nullptr, 0));
    const std::string schema = CatalogPattern(m_catalogSchema);
    return CheckReturn(SQLColumns(m_statement, nullptr, 0, OptionalText(schema), Length(schema),
                                  Text(pattern), Length(pattern), nullptr, 0));
}

// psqlODBC takes its search escape for an escape only before "_" and "%";
// anywhere else, before itself too, the escape stands for itself, so an
// escaped escape would look for a name holding it twice (a table "a\b"
// would show no columns).
std::string CDbSession::CatalogPattern(const std::string &name) const
{
    if (m_searchEscape.empty() || !m_adapter || m_adapter->EscapesTheSearchEscape())
        return SqlText::EscapePattern(name, m_searchEscape);
    std::string pattern;
    for (const char c : name) {
        if (c == '_' || c == '%')
            pattern += m_searchEscape;
        pattern += c;
    }
    return pattern;
}

int CDbSession::ListIndexes(const std::string &table)
{
    CloseCursor();
    if (NamesCatalog())
        return CheckReturn(SQLStatistics(m_statement, OptionalText(m_catalogSchema), Length(m_catalogSchema),
                                         nullptr, 0, Text(table), Length(table), SQL_INDEX_ALL, SQL_ENSURE));
    return CheckReturn(SQLStatistics(m_statement, nullptr, 0, OptionalText(m_catalogSchema),
                                     Length(m_catalogSchema), Text(table), Length(table),
                                     SQL_INDEX_ALL, SQL_ENSURE));
}

// Like SQLStatistics, SQLPrimaryKeys takes the table name as it is, not as
// a pattern.
int CDbSession::ListPrimaryKeys(const std::string &table)
{
    CloseCursor();
    if (NamesCatalog())
        return CheckReturn(SQLPrimaryKeys(m_statement, OptionalText(m_catalogSchema), Length(m_catalogSchema),
                                          nullptr, 0, Text(table), Length(table)));
    return CheckReturn(SQLPrimaryKeys(m_statement, nullptr, 0, OptionalText(m_catalogSchema),
                                      Length(m_catalogSchema), Text(table), Length(table)));
}

int CDbSession::ListTypes()
{
    CloseCursor();
    return CheckReturn(SQLGetTypeInfo(m_statement, SQL_ALL_TYPES));
}

int CDbSession::LoadTypeInfo()
{
    ClearTypes();
    // TYPE_NAME, CREATE_PARAMS and NULLABLE.
    const int result = ReadRows(ListTypes(), {1, 6, 7}, [this](const CDbRow &row) {
        // A driver may describe one type twice (psqlODBC lists bytea as a
        // long and as a short binary type); the list offers each name once,
        // as first described.
        const std::string name = SqlText::ToLower(row[0]);
        if (FindType(name))
            return;
        auto type = std::make_unique<CDbTypeInfo>();
        type->m_name = name;
        const std::string params = SqlText::ToLower(row[1]);
        type->m_paramKind = m_adapter ? m_adapter->ParameterKind(params)
                                      : CDbmsAdapter::StandardParameterKind(params);
        type->m_nullable = row[2] == "1";
        AddType(std::move(type));
    }, {DbResult::kObjectNotFound});
    if (m_adapter)
        m_adapter->AddExtraTypes(*this);
    return result;
}

int CDbSession::ReadRelationships(std::vector<CDbRelationship> &relationships)
{
    relationships.clear();
    return m_adapter ? m_adapter->LoadRelationships(*this, relationships) : DbResult::kOk;
}

void CDbSession::ClearTypes() { m_types.clear(); }


void CDbSession::AddType(std::unique_ptr<CDbTypeInfo> type) { m_types.push_back(std::move(type)); }

const CDbTypeInfo *CDbSession::GetType(int index) const
{
    if (index < 0 || index >= TypeCount())
        return nullptr;
    return m_types[static_cast<size_t>(index)].get();
}

const CDbTypeInfo *CDbSession::FindType(const std::string &name) const
{
    for (const auto &type : m_types)
        if (type->m_name == name)
            return type.get();
    return nullptr;
}

namespace {

// SQLDataSources and SQLDrivers: one entry of a driver-manager list per call.
using ListFunction = SQLRETURN (*)(SQLHENV, SQLUSMALLINT, SQLCHAR *, SQLSMALLINT, SQLSMALLINT *,
                                   SQLCHAR *, SQLSMALLINT, SQLSMALLINT *);

struct CListEntry
{
    std::string m_name;
    std::string m_description;
    bool m_system = false;
    // The description as returned, with the null characters that separate
    // a driver's "keyword=value" attributes.
    std::string m_attributes;
};

// The library of a driver, from the attributes SQLDrivers returns.
std::string DriverLibrary(const std::string &attributes)
{
    size_t start = 0;
    while (start < attributes.size()) {
        size_t end = attributes.find('\0', start);
        if (end == std::string::npos)
            end = attributes.size();
        const std::string pair = attributes.substr(start, end - start);
        const auto equals = pair.find('=');
        if (equals != std::string::npos && SqlText::ToLower(pair.substr(0, equals)) == "driver")
            return pair.substr(equals + 1);
        start = end + 1;
    }
    return std::string();
}

// Walks a driver-manager list from each start direction. A name or a
// description cut by its buffer makes the whole list be read again with
// buffers large enough for the longest.
std::vector<CListEntry> ReadList(CDbSession &session, SQLHENV environment, ListFunction list,
                                 const std::vector<SQLUSMALLINT> &starts)
{
    size_t nameSize = 256;
    size_t descriptionSize = 512;
    for (;;) {
        std::vector<CListEntry> entries;
        size_t nameNeeded = 0;
        size_t descriptionNeeded = 0;
        for (const SQLUSMALLINT start : starts) {
            for (SQLUSMALLINT direction = start;; direction = SQL_FETCH_NEXT) {
                std::vector<SQLCHAR> name(nameSize + 1), description(descriptionSize + 1);
                SQLSMALLINT nameLength = 0;
                SQLSMALLINT descriptionLength = 0;
                if (session.CheckReturn(list(environment, direction, name.data(),
                                             static_cast<SQLSMALLINT>(nameSize), &nameLength,
                                             description.data(),
                                             static_cast<SQLSMALLINT>(descriptionSize),
                                             &descriptionLength),
                                        SQL_HANDLE_ENV, environment)
                    < 0)
                    break;
                const size_t written = std::min(
                    static_cast<size_t>(std::max<SQLSMALLINT>(0, descriptionLength)), descriptionSize);
                entries.push_back({reinterpret_cast<const char *>(name.data()),
                                   reinterpret_cast<const char *>(description.data()),
                                   start == SQL_FETCH_FIRST_SYSTEM,
                                   std::string(reinterpret_cast<const char *>(description.data()),
                                               written)});
                nameNeeded = std::max(nameNeeded, static_cast<size_t>(std::max<SQLSMALLINT>(0, nameLength)));
                descriptionNeeded = std::max(
                    descriptionNeeded, static_cast<size_t>(std::max<SQLSMALLINT>(0, descriptionLength)));
            }
        }
        const size_t nameWanted = std::min(nameNeeded + 1, kLargestBuffer);
        const size_t descriptionWanted = std::min(descriptionNeeded + 1, kLargestBuffer);
        if (nameWanted <= nameSize && descriptionWanted <= descriptionSize)
            return entries;
        nameSize = std::max(nameSize, nameWanted);
        descriptionSize = std::max(descriptionSize, descriptionWanted);
    }
}

} // namespace

std::vector<CDataSourceInfo> CDbSession::ListDataSources()
{
    if (m_environment == SQL_NULL_HENV && CheckReturn(SQLAllocEnv(&m_environment)) < 0)
        return {};
    std::vector<CDataSourceInfo> sources;
    for (const CListEntry &entry : ReadList(*this, m_environment, SQLDataSources,
                                            {SQL_FETCH_FIRST_USER, SQL_FETCH_FIRST_SYSTEM}))
        sources.push_back({entry.m_name, entry.m_description, entry.m_system});
    return sources;
}

ConnectionString::CDriverCatalog CDbSession::ReadDriverCatalog()
{
    ConnectionString::CDriverCatalog catalog;
    if (m_environment == SQL_NULL_HENV && CheckReturn(SQLAllocEnv(&m_environment)) < 0)
        return catalog;
    for (const CListEntry &entry : ReadList(*this, m_environment, SQLDrivers, {SQL_FETCH_FIRST}))
        catalog.m_drivers.push_back({entry.m_name, DriverLibrary(entry.m_attributes)});
    for (const CDataSourceInfo &source : ListDataSources())
        catalog.m_sources.push_back({source.m_name, source.m_description});
    return catalog;
}
