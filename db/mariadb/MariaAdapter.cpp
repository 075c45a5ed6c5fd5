#include "db/mariadb/MariaAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

#include <algorithm>
#include <map>

namespace {

const char *const kNoDatabaseMessage =
    "The connection has no current database: name one in the data source (DATABASE=...).";

} // namespace

// The foreign keys of the current database whose parent table lies in it
// too: a line to a table that is not shown would be wrong.
const char *const CMariaAdapter::kForeignKeyQuery =
    "select CONSTRAINT_NAME, TABLE_NAME, REFERENCED_TABLE_NAME, UNIQUE_CONSTRAINT_NAME "
    "from information_schema.REFERENTIAL_CONSTRAINTS "
    "where CONSTRAINT_SCHEMA = database() and UNIQUE_CONSTRAINT_SCHEMA = database()";

// Their columns in key order, with the parent's column each refers to.
const char *const CMariaAdapter::kForeignKeyColumnQuery =
    "select TABLE_NAME, CONSTRAINT_NAME, COLUMN_NAME, REFERENCED_COLUMN_NAME "
    "from information_schema.KEY_COLUMN_USAGE "
    "where TABLE_SCHEMA = database() and REFERENCED_TABLE_NAME is not null "
    "order by ORDINAL_POSITION";

// Every index column of the database, by index name and in index order.
const char *const CMariaAdapter::kIndexColumnQuery =
    "select TABLE_NAME, INDEX_NAME, NON_UNIQUE, COLUMN_NAME from information_schema.STATISTICS "
    "where TABLE_SCHEMA = database() order by INDEX_NAME, SEQ_IN_INDEX";

namespace {

struct CIndexColumns
{
    std::string m_name;
    bool m_unique = false;
    std::vector<std::string> m_columns;
};

struct CForeignKey
{
    std::string m_name, m_table, m_parent, m_parentIndex;
    std::vector<std::string> m_columns, m_parentColumns;
};

using CTableIndexes = std::map<std::string, std::vector<CIndexColumns>>;

bool Leads(const CIndexColumns &index, const std::vector<std::string> &columns)
{
    return !columns.empty() && index.m_columns.size() >= columns.size()
           && std::equal(columns.begin(), columns.end(), index.m_columns.begin());
}

// The index whose leading columns are the key's, in the key's order (as
// InnoDB demands at both ends): the preferred one (the index InnoDB made
// for the key, named after it), else the one of the fewest columns, a
// unique one first, else the first by name. Empty when there is none.
std::string IndexLedBy(const std::vector<CIndexColumns> &indexes, const std::vector<std::string> &columns,
                       const std::string &preferred)
{
    const CIndexColumns *best = nullptr;
    for (const CIndexColumns &index : indexes) {
        if (!Leads(index, columns))
            continue;
        if (index.m_name == preferred)
            return index.m_name;
        if (!best || index.m_columns.size() < best->m_columns.size()
            || (index.m_columns.size() == best->m_columns.size() && index.m_unique && !best->m_unique))
            best = &index;
    }
    return best ? best->m_name : std::string();
}

} // namespace

std::string CMariaAdapter::TextLiteral(const std::string &text)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex = "_utf8mb4 x'";
    for (const unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex + "'";
}

// The first comparison lets the server open only that table's definition
// (an introduced literal is a constant it looks tables up by, where a
// CONVERT() made it read all of them: 4 ms against 0.2 at 5,000 tables);
// the second tells "Orders" from "ORDERS", which the first takes for one.
std::string CMariaAdapter::NameIs(const std::string &column, const std::string &name)
{
    return "(" + column + " = " + TextLiteral(name) + " and binary " + column + " = binary "
           + TextLiteral(name) + ")";
}

std::string CMariaAdapter::TriggerQuery(const std::string &table)
{
    return "select TRIGGER_NAME from information_schema.TRIGGERS where EVENT_OBJECT_SCHEMA = database() "
           "and " + NameIs("EVENT_OBJECT_TABLE", table) + " order by TRIGGER_NAME";
}

// Identifiers in double quotes, as on every other engine, with the rest of
// the server's mode kept. The lock waits are whole seconds, rounded up.
// Tables made without an engine become InnoDB, the engine that keeps
// foreign keys. The character set is the driver's to choose (it refuses
// SET NAMES): its Unicode driver talks utf8mb4 unless the data source
// names another CHARSET.
int CMariaAdapter::PrepareSession(CDbSession &session)
{
    const std::string seconds = std::to_string((CDbSession::kLockWaitMilliseconds + 999) / 1000);
    const int result = session.Execute(
        "set session sql_mode = concat_ws(',', nullif(@@sql_mode, ''), 'ANSI_QUOTES'), "
        "innodb_lock_wait_timeout = " + seconds + ", lock_wait_timeout = " + seconds
        + ", default_storage_engine = 'InnoDB'");
    if (result >= 0)
        session.CloseStatement();
    return result;
}

int CMariaAdapter::ReadCatalogSchema(CDbSession &session, std::string &database)
{
    database.clear();
    const int result = session.QueryRows("select coalesce(database(), '')", {1},
                                         [&database](const CDbRow &row) { database = row[0]; });
    if (result < 0)
        return result;
    // Without a database the catalog calls would show nothing, and a new
    // table could not be created anywhere.
    if (database.empty())
        return Refuse(session, kNoDatabaseMessage);
    return DbResult::kOk;
}

int CMariaAdapter::LoadRelationships(CDbSession &session, std::vector<CDbRelationship> &relationships)
{
    std::vector<CForeignKey> keys;
    int result = session.QueryRows(kForeignKeyQuery, {1, 2, 3, 4}, [&keys](const CDbRow &row) {
        keys.push_back(CForeignKey{row[0], row[1], row[2], row[3], {}, {}});
    });
    std::map<std::pair<std::string, std::string>, CForeignKey *> byName;
    for (CForeignKey &key : keys)
        byName[{key.m_table, key.m_name}] = &key;
    if (result >= 0)
        result = session.QueryRows(kForeignKeyColumnQuery, {1, 2, 3, 4}, [&byName](const CDbRow &row) {
            const auto found = byName.find({row[0], row[1]});
            if (found == byName.end())
                return;
            found->second->m_columns.push_back(row[2]);
            found->second->m_parentColumns.push_back(row[3]);
        });
    CTableIndexes indexes;
    if (result >= 0)
        result = session.QueryRows(kIndexColumnQuery, {1, 2, 3, 4}, [&indexes](const CDbRow &row) {
            std::vector<CIndexColumns> &own = indexes[row[0]];
            auto index = std::find_if(own.begin(), own.end(),
                                      [&row](const CIndexColumns &i) { return i.m_name == row[1]; });
            if (index == own.end())
                index = own.insert(own.end(), CIndexColumns{row[1], row[2] == "0", {}});
            index->m_columns.push_back(row[3]);
        });
    if (result < 0)
        return result;
    std::sort(keys.begin(), keys.end(), [](const CForeignKey &a, const CForeignKey &b) {
        return a.m_table != b.m_table ? a.m_table < b.m_table : a.m_name < b.m_name;
    });
    for (const CForeignKey &key : keys) {
        const std::vector<CIndexColumns> &parent = indexes[key.m_parent];
        const bool named = std::any_of(parent.begin(), parent.end(), [&key](const CIndexColumns &i) {
            return i.m_name == key.m_parentIndex;
        });
        relationships.push_back(CDbRelationship{
            key.m_parent, named ? key.m_parentIndex : IndexLedBy(parent, key.m_parentColumns, std::string()),
            key.m_table, IndexLedBy(indexes[key.m_table], key.m_columns, key.m_name), key.m_name});
    }
    return DbResult::kOk;
}

// The driver reports a character column's LENGTH in bytes of the
// connection's character set (160 for a varchar(40) in utf8mb4), a
// Unicode driver's character types under their wide codes, and TYPE_NAME
// without the sizes in brackets (ENUM, INT UNSIGNED). The rows show what
// the table declares: character and binary types with their length in
// characters, decimal with precision and scale, every other type bare.
void CMariaAdapter::NormalizeColumnFacts(std::string &typeName, std::string &dataType,
                                         const std::string &precision, std::string &length) const
{
    static const char *const kSized = "12";     // SQL_VARCHAR: written with its length
    static const char *const kDecimal = "3";    // SQL_DECIMAL: precision and scale
    static const char *const kSizeless = "4";   // SQL_INTEGER: written without a size
    const std::string name = SqlText::ToLower(typeName);
    if (name == "char" || name == "varchar" || name == "binary" || name == "varbinary")
        dataType = kSized;
    else if (name.rfind("decimal", 0) == 0)
        dataType = kDecimal;
    else
        dataType = kSizeless;
    length = precision;
}

// The driver lists the types it maps, not every name MariaDB takes; and it
// offers precision and scale for FLOAT and DOUBLE, which MariaDB takes bare
// (sizes on them are deprecated), so the dialogs would demand decimals.
int CMariaAdapter::AddExtraTypes(CDbSession &session)
{
    std::vector<CDbTypeInfo> listed;
    for (int i = 0; const CDbTypeInfo *type = session.GetType(i); ++i)
        listed.push_back(*type);
    session.ClearTypes();
    for (CDbTypeInfo &type : listed) {
        if (type.m_name == "float" || type.m_name == "double" || type.m_name == "double precision"
            || type.m_name == "real")
            type.m_paramKind = CDbTypeInfo::NoSize;
        session.AddType(std::make_unique<CDbTypeInfo>(type));
    }
    struct Extra { const char *name; int kind; };
    constexpr int none = CDbTypeInfo::NoSize;
    static const Extra extras[] = {
        {"boolean", none}, {"json", none}, {"year", none}, {"tinyint unsigned", none},
    };
    for (const Extra &extra : extras)
        AddTypeUnlessListed(session, extra.name, extra.kind, true);
    return DbResult::kOk;
}

int CMariaAdapter::LoadTriggerNames(CDbSession &session, const std::string &table,
                                    std::vector<std::string> &names)
{
    return session.QueryRows(TriggerQuery(table), {1},
                             [&names](const CDbRow &row) { names.push_back(row[0]); });
}
