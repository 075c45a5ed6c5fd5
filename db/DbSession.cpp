#include "db/DbSession.h"

#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

#include <sqlext.h>

#include <cstdio>

namespace {

// The value buffer of GetColumnText: a longer value is cut by the driver,
// which reports it with SQL_SUCCESS_WITH_INFO.
constexpr SQLLEN kValueBufferSize = 255;

ConnectPrompt &DefaultPrompt()
{
    static ConnectPrompt prompt;
    return prompt;
}

SQLCHAR *Text(const std::string &text)
{
    return reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.c_str()));
}

SQLSMALLINT Length(const std::string &text) { return static_cast<SQLSMALLINT>(text.size()); }

// An empty catalog argument is passed as none at all (a null pointer).
SQLCHAR *OptionalText(const std::string &text) { return text.empty() ? nullptr : Text(text); }

} // namespace

CDbSession::CDbSession() : m_prompt(DefaultPrompt()) {}

CDbSession::~CDbSession()
{
    ClearRelationships();
    ClearTypes();
    Disconnect();
}

void CDbSession::SetDefaultConnectPrompt(ConnectPrompt prompt) { DefaultPrompt() = std::move(prompt); }

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

int CDbSession::CheckReturn(SQLRETURN code)
{
    switch (static_cast<short>(code)) {
    case SQL_SUCCESS: return DbResult::kOk;
    case SQL_SUCCESS_WITH_INFO: return DbResult::kSuccessWithInfo;
    case SQL_NO_DATA_FOUND: return DbResult::kNoData;
    case SQL_INVALID_HANDLE: return DbResult::kInvalidHandle;
    case SQL_ERROR: return CaptureDiagnostics();
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
    std::vector<CDbDiagnostic> records;
    for (;;) {
        SQLCHAR state[6] = {};
        SQLCHAR message[512] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLError(m_environment, m_connection, m_statement, state, &native,
                                      message, sizeof message, &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        records.push_back({static_cast<long>(native), reinterpret_cast<const char *>(message)});
    }
    return FoldDiagnostics(records, m_lastError);
}

std::string CDbSession::GetErrorText(int code) const
{
    if (code == DbResult::kErrorWithoutNativeCode || code == DbResult::kSuccessWithInfo
        || (code >= -9998 && code <= -1))
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
    // A reconnect starts from nothing: the old handles are released and the
    // old relationships do not stay in the list beside the new ones.
    Disconnect();
    ClearRelationships();

    int result = CheckReturn(SQLAllocEnv(&m_environment));
    if (result >= 0)
        result = CheckReturn(SQLAllocConnect(m_environment, &m_connection));
    if (result >= 0)
        result = DriverConnect(connectionString);
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
        result = m_adapter->ReadCatalogSchema(*this, m_catalogSchema);
    if (result >= 0)
        result = m_adapter->LoadRelationships(*this);
    if (result >= 0)
        result = LoadTypeInfo();
    return result;
}

// The driver manager here has no dialog of its own; the connect prompt takes
// its place when no connection string is given. The completed string is
// read into a buffer sized for it, never cut short.
int CDbSession::DriverConnect(const std::string &input)
{
    std::string request = input;
    if (request.empty()) {
        if (!m_prompt || !m_prompt(*this, request) || request.empty())
            return DbResult::kNoData;
    }
    std::vector<SQLCHAR> completed(request.size() + 1024);
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnect(m_connection, nullptr, Text(request), SQL_NTS,
                                          completed.data(),
                                          static_cast<SQLSMALLINT>(completed.size()),
                                          &completedLength, SQL_DRIVER_NOPROMPT);
    const int result = CheckReturn(rc);
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO)
        m_connectionOpen = true;
    if (result < 0)
        return result;
    m_connectionString = reinterpret_cast<const char *>(completed.data());
    if (completedLength >= static_cast<SQLSMALLINT>(completed.size()))
        m_connectionString = request; // the driver's answer did not fit; keep what we sent
    return result;
}

int CDbSession::ReadInfoText(SQLUSMALLINT type, std::string &text)
{
    SQLCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    const int result = CheckReturn(SQLGetInfo(m_connection, type, buffer, 255, &length));
    if (result >= 0)
        text = reinterpret_cast<const char *>(buffer);
    return result;
}

int CDbSession::SelectAdapter()
{
    m_adapter = CAdapterRegistry::Instance().Find(m_dbmsName);
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

int CDbSession::CloseStatement() { return CheckReturn(SQLFreeStmt(m_statement, SQL_CLOSE)); }

int CDbSession::Execute(const std::string &statement)
{
    m_statementLog.push_back(statement);
    return CheckReturn(SQLExecDirect(m_statement, Text(statement), SQL_NTS));
}

int CDbSession::BeginTransaction()
{
    const int result = CheckReturn(SQLSetConnectAttr(
        m_connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
    m_inTransaction = result >= 0;
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
    int result = CheckReturn(SQLEndTran(SQL_HANDLE_DBC, m_connection, completion));
    if (result < 0 && completion == SQL_COMMIT) {
        const std::string commitError = m_lastError;
        SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
        m_lastError = commitError;
    }
    SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    m_inTransaction = false;
    return result;
}

int CDbSession::Fetch() { return CheckReturn(SQLFetch(m_statement)); }

int CDbSession::GetColumnText(int column, std::string &text)
{
    char buffer[kValueBufferSize] = {};
    SQLLEN indicator = 0;
    const int result = CheckReturn(SQLGetData(m_statement, static_cast<SQLUSMALLINT>(column),
                                              SQL_C_CHAR, buffer, kValueBufferSize, &indicator));
    text.assign(indicator == SQL_NULL_DATA ? "" : buffer);
    SqlText::TrimRight(text);
    return result;
}

// The catalog schema, when the adapter names one, narrows every catalog
// call to it; in SQLTables and SQLColumns it is a search pattern.
int CDbSession::ListTables()
{
    const std::string schema = SqlText::EscapePattern(m_catalogSchema, m_searchEscape);
    return CheckReturn(SQLTables(m_statement, nullptr, 0, OptionalText(schema), Length(schema), nullptr,
                                 0, Text("TABLE"), SQL_NTS));
}

// The table name of SQLColumns is a search pattern: "_" and "%" in it are
// escaped, so that A_B does not also bring the columns of AXB.
int CDbSession::ListColumns(const std::string &table)
{
    const std::string schema = SqlText::EscapePattern(m_catalogSchema, m_searchEscape);
    const std::string pattern = SqlText::EscapePattern(table, m_searchEscape);
    return CheckReturn(SQLColumns(m_statement, nullptr, 0, OptionalText(schema), Length(schema),
                                  Text(pattern), Length(pattern), nullptr, 0));
}

int CDbSession::ListIndexes(const std::string &table)
{
    return CheckReturn(SQLStatistics(m_statement, nullptr, 0, OptionalText(m_catalogSchema),
                                     Length(m_catalogSchema), Text(table), Length(table),
                                     SQL_INDEX_ALL, SQL_ENSURE));
}

int CDbSession::ListTypes() { return CheckReturn(SQLGetTypeInfo(m_statement, SQL_ALL_TYPES)); }

int CDbSession::LoadTypeInfo()
{
    ClearTypes();
    int result = ListTypes();
    while (result >= 0) {
        auto type = std::make_unique<CDbTypeInfo>();
        std::string params, nullable;
        result = Fetch();
        if (result >= 0)
            result = GetColumnText(1, type->m_name);
        if (result >= 0)
            result = GetColumnText(6, params);
        if (result >= 0)
            result = GetColumnText(7, nullable);
        if (result < 0)
            break;
        type->m_nullable = nullable == "1";
        type->m_name = SqlText::ToLower(type->m_name);
        params = SqlText::ToLower(params);
        type->m_paramKind = m_adapter ? m_adapter->ParameterKind(params)
                                      : CDbmsAdapter::StandardParameterKind(params);
        AddType(std::move(type));
    }
    if (result == DbResult::kNoData || result == DbResult::kObjectNotFound)
        result = DbResult::kOk;
    if (result >= 0)
        CloseStatement();
    if (m_adapter)
        m_adapter->AddExtraTypes(*this);
    return result;
}

int CDbSession::ReloadRelationships()
{
    ClearRelationships();
    return m_adapter ? m_adapter->LoadRelationships(*this) : DbResult::kOk;
}

void CDbSession::ClearRelationships()
{
    m_relationships.clear();
    ++m_relationshipsVersion;
}

void CDbSession::ClearTypes() { m_types.clear(); }

void CDbSession::AddRelationship(std::unique_ptr<CDbRelationship> relationship)
{
    m_relationships.push_back(std::move(relationship));
    ++m_relationshipsVersion;
}

void CDbSession::AddType(std::unique_ptr<CDbTypeInfo> type) { m_types.push_back(std::move(type)); }

const CDbRelationship *CDbSession::GetRelationship(int index) const
{
    if (index < 0 || index >= RelationshipCount())
        return nullptr;
    return m_relationships[static_cast<size_t>(index)].get();
}

CDbRelationship *CDbSession::GetRelationship(int index)
{
    if (index < 0 || index >= RelationshipCount())
        return nullptr;
    // The caller may change the record.
    ++m_relationshipsVersion;
    return m_relationships[static_cast<size_t>(index)].get();
}

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

std::vector<CDataSourceInfo> CDbSession::ListDataSources()
{
    if (m_environment == SQL_NULL_HENV && SQLAllocEnv(&m_environment) != SQL_SUCCESS)
        return {};
    std::vector<CDataSourceInfo> sources;
    for (SQLUSMALLINT direction : {SQLUSMALLINT(SQL_FETCH_FIRST_USER), SQLUSMALLINT(SQL_FETCH_FIRST_SYSTEM)}) {
        const bool system = direction == SQL_FETCH_FIRST_SYSTEM;
        for (;;) {
            SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
            SQLCHAR description[512] = {};
            SQLSMALLINT nameLength = 0, descriptionLength = 0;
            const SQLRETURN rc = SQLDataSources(m_environment, direction, name, sizeof name,
                                                &nameLength, description, sizeof description,
                                                &descriptionLength);
            if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
                break;
            sources.push_back({reinterpret_cast<const char *>(name),
                               reinterpret_cast<const char *>(description), system});
            direction = SQL_FETCH_NEXT;
        }
    }
    return sources;
}
