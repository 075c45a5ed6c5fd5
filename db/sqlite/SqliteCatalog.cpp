#include "db/sqlite/SqliteCatalog.h"

#include "db/CatalogRows.h"
#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteAdapter.h"
#include "db/sqlite/SqliteTableKeys.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <unordered_map>

// Rows of every table at once. The pragma functions give their rows in
// their own order (columns by cid, indexes by seq, segments by seqno),
// which the queries select so that each table's rows can be put in that
// order without asking the engine to sort the whole catalog.
const char *const CSqliteAdapter::kColumnQuery =
    "select m.name, t.cid, t.name, t.type, t.\"notnull\", t.dflt_value is not null, "
    "coalesce(t.dflt_value, ''), t.pk "
    "from sqlite_master m join pragma_table_info(m.name) t where m.type = 'table'";

const char *const CSqliteAdapter::kIndexQuery =
    "select m.name, i.seq, i.name, i.\"unique\", x.seqno, x.name "
    "from sqlite_master m join pragma_index_list(m.name) i join pragma_index_info(i.name) x "
    "where m.type = 'table'";

namespace SqliteCatalog {
namespace {

// SQL data type codes, ODBC 2 numbering.
enum : int {
    kInteger = 4, kSmallInt = 5, kDouble = 8, kVarChar = 12, kDate = 9, kTime = 10,
    kTimestamp = 11, kLongVarChar = -1, kBinary = -2, kVarBinary = -3, kLongVarBinary = -4,
    kBigInt = -5, kTinyInt = -6, kBit = -7,
};

// The driver takes the code from how the lower-cased declared type starts;
// the first rule that matches wins, and a type no rule knows is text.
// "inter" comes first: to the driver an interval is text, not an integer.
struct CTypeRule
{
    const char *start;
    int code;
};
const CTypeRule kTypeRules[] = {
    {"inter", kVarChar},    {"int", kInteger},      {"mediumint", kInteger},
    {"numeric", kDouble},   {"tinyint", kTinyInt},  {"smallint", kSmallInt},
    {"float", kDouble},     {"double", kDouble},    {"real", kDouble},
    {"timestamp", kTimestamp}, {"datetime", kTimestamp}, {"time", kTime},
    {"date", kDate},        {"text", kLongVarChar}, {"memo", kLongVarChar},
    {"longvarchar", kLongVarChar}, {"bool", kBit},  {"bit", kBit},
    {"bigint", kBigInt},    {"blob", kBinary},      {"varbinary", kVarBinary},
    {"longvarbinary", kLongVarBinary},
};

int TypeCode(const std::string &lowerType)
{
    for (const CTypeRule &rule : kTypeRules)
        if (lowerType.rfind(rule.start, 0) == 0)
            return rule.code;
    return kVarChar;
}

// The sizes the driver reports for a code before the declared type's own:
// `length` is the display size, `precision` the digits.
void DefaultSizes(int code, long &length, long &precision)
{
    switch (code) {
    case kInteger: length = 10; precision = 9; break;
    case kTinyInt: length = 4; precision = 3; break;
    case kSmallInt: length = 6; precision = 5; break;
    case kDouble: length = 54; precision = 53; break;
    case kDate: length = 10; precision = 0; break;
    case kTime: length = 8; precision = 0; break;
    case kTimestamp: length = 32; precision = 3; break;
    case kLongVarChar: case kLongVarBinary: length = 65536; precision = 0; break;
    case kBigInt: length = 20; precision = 19; break;
    case kBit: length = 1; precision = 1; break;
    default: length = 255; precision = 0; break; // text, binary, varbinary
    }
}

// A signed decimal number after optional blanks, as scanf's %d reads it.
bool ReadNumber(const char *&p, long &value)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    char *end = nullptr;
    if (!std::isdigit(static_cast<unsigned char>(*p)) && *p != '-' && *p != '+')
        return false;
    value = std::strtol(p, &end, 10);
    if (end == p || !std::isdigit(static_cast<unsigned char>(end[-1])))
        return false;
    p = end;
    return true;
}

bool ClosingBracket(const char *p)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return *p == ')';
}

// The declared sizes: "(m, d)" gives both, "(n)" one size for both (only
// the fractional digits of a timestamp). The driver wants a name before
// the bracket, the first number right before a comma, and the closing
// bracket after the last; otherwise the type keeps the code's sizes.
void DeclaredSizes(const std::string &type, int code, long &length, long &precision)
{
    const size_t open = type.find('(');
    if (open == std::string::npos || open == 0)
        return;
    const char *p = type.c_str() + open + 1;
    long first = 0, second = 0;
    if (!ReadNumber(p, first))
        return;
    if (*p == ',') {
        const char *q = p + 1;
        if (ReadNumber(q, second) && ClosingBracket(q)) {
            length = first;
            precision = second;
        }
        return;
    }
    if (!ClosingBracket(p))
        return;
    if (code == kTimestamp) {
        precision = first;
    } else {
        length = first;
        precision = first;
    }
}

// The driver hands a default over without the quotes of a string literal;
// quotes doubled inside it stay doubled.
std::string ShownDefault(const std::string &value)
{
    if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"')
        && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

bool BigIntegers(const std::string &connectionString)
{
    const std::string lower = SqlText::ToLower(connectionString);
    const std::string key = "bigint=";
    for (size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
        if (at > 0 && lower[at - 1] != ';')
            continue;
        const size_t value = at + key.size();
        return value < lower.size() && std::string("yt123456789").find(lower[value]) != std::string::npos;
    }
    return false;
}

CCatalogColumn DescribeColumn(const std::string &name, const std::string &declaredType,
                              bool notNull, bool hasDefault, const std::string &defaultValue,
                              bool bigIntegers)
{
    const std::string lower = SqlText::ToLower(declaredType);
    int code = TypeCode(lower);
    if (bigIntegers && code == kInteger)
        code = kBigInt;
    long length = 0, precision = 0;
    DefaultSizes(code, length, precision);
    DeclaredSizes(declaredType, code, length, precision);
    if (code == kVarChar && length > 255)
        code = kLongVarChar;
    else if (code == kVarBinary && length > 255)
        code = kLongVarBinary;
    CCatalogColumn column;
    column.m_name = name;
    column.m_dataType = std::to_string(code);
    column.m_typeName = declaredType;
    column.m_precision = std::to_string(precision);
    column.m_length = std::to_string(length);
    column.m_scale = "10"; // what the driver sends in that place, whatever the type
    column.m_nullable = notNull ? "0" : "1";
    column.m_default = hasDefault ? ShownDefault(defaultValue) : "NULL";
    return column;
}

} // namespace SqliteCatalog

namespace {


struct CPlacedColumn
{
    long cid;
    CCatalogColumn column;
    long pk;
    std::string type;
};

struct CPlacedSegment
{
    long seq;
    std::string index;
    bool unique;
    long seqno;
    std::string column;
};

} // namespace

// The rows come as SQLColumns and SQLStatistics of the driver give them,
// one table at a time, and the key as ReadPrimaryKey reads it: see SqliteCatalog and
// CSqliteTableKeys for the rowid key the driver reports as an index.
int CSqliteAdapter::ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                                      std::vector<CCatalogTable> &tables,
                                      const CCatalogProgress &progress)
{
    const int total = static_cast<int>(names.size());
    CCatalogPlaces read(names);
    std::vector<std::vector<CPlacedColumn>> columns(names.size());
    std::vector<std::vector<CPlacedSegment>> segments(names.size());

    const bool bigIntegers = SqliteCatalog::BigIntegers(session.GetConnectionString());
    CCatalogPhaseProgress columnPhase(progress, total, 0, 3);
    int result = CatalogRows::ReadAll(session, kColumnQuery, 8, [&](const CDbRow &row) {
        const int place = read.PlaceOf(row[0]);
        if (place < 0)
            return true;
        columns[static_cast<size_t>(place)].push_back(
            {std::atol(row[1].c_str()),
             SqliteCatalog::DescribeColumn(row[2], row[3], row[4] != "0", row[5] == "1", row[6],
                                           bigIntegers),
             std::atol(row[7].c_str()), row[3]});
        return columnPhase.Reached(row[0]);
    });
    CCatalogPhaseProgress indexPhase(progress, total, 1, 3);
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kIndexQuery, 6, [&](const CDbRow &row) {
            const int place = read.PlaceOf(row[0]);
            if (place < 0)
                return true;
            segments[static_cast<size_t>(place)].push_back(
                {std::atol(row[1].c_str()), row[2], row[3] == "1", std::atol(row[4].c_str()), row[5]});
            return indexPhase.Reached(row[0]);
        });
    std::unordered_map<std::string, std::vector<std::string>> triggers;
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kTriggerQuery, 2, [&](const CDbRow &row) {
            triggers[SqlText::ToLower(row[0])].push_back(row[1]);
            return true;
        });
    if (result < 0)
        return result;

    for (size_t i = 0; i < names.size(); ++i) {
        CCatalogTable &table = read.At(i);
        std::vector<CPlacedColumn> &own = columns[i];
        std::stable_sort(own.begin(), own.end(),
                         [](const CPlacedColumn &a, const CPlacedColumn &b) { return a.cid < b.cid; });
        std::vector<size_t> keyColumns;
        for (size_t c = 0; c < own.size(); ++c) {
            if (own[c].pk > 0)
                keyColumns.push_back(c);
            table.m_columns.push_back(std::move(own[c].column));
        }
        // pk is the column's place in the key.
        std::stable_sort(keyColumns.begin(), keyColumns.end(),
                         [&own](size_t a, size_t b) { return own[a].pk < own[b].pk; });
        for (size_t c : keyColumns)
            table.m_primaryKey.push_back(table.m_columns[c].m_name);
        if (keyColumns.size() == 1 && SqlText::ToLower(own[keyColumns.front()].type) == "integer")
            table.m_indexes.push_back(CCatalogIndex{CSqliteTableKeys::kReportedRowidKeyName, true,
                                                    {table.m_primaryKey.front()}});

        std::vector<CPlacedSegment> &rows = segments[i];
        std::stable_sort(rows.begin(), rows.end(), [](const CPlacedSegment &a, const CPlacedSegment &b) {
            return a.seq != b.seq ? a.seq < b.seq : a.seqno < b.seqno;
        });
        for (size_t r = 0; r < rows.size(); ++r) {
            const CPlacedSegment &row = rows[r];
            if (r == 0 || row.seq != rows[r - 1].seq)
                table.m_indexes.push_back(CCatalogIndex{row.index, row.unique, {}});
            table.m_indexes.back().m_columns.push_back(row.column);
        }

        const auto ownTriggers = triggers.find(SqlText::ToLower(names[i]));
        if (ownTriggers != triggers.end())
            table.m_triggers = ownTriggers->second;
    }
    tables = read.Take();
    return DbResult::kOk;
}

int CSqliteAdapter::ReadPrimaryKey(CDbSession &session, const std::string &table,
                                   std::vector<std::string> &columns)
{
    return session.QueryRows("select name from pragma_table_info(" + SqlText::QuoteLiteral(table)
                                 + ") where pk > 0 order by pk",
                             {1}, [&columns](const CDbRow &row) { columns.push_back(row[0]); });
}
