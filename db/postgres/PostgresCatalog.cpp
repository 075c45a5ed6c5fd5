#include "db/postgres/PostgresCatalog.h"

#include "db/ConnectionString.h"
#include "db/CatalogRows.h"
#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/postgres/PostgresAdapter.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace PostgresCatalog {
namespace {

// SQL data type codes, ODBC 2 numbering.
enum : int {
    kChar = 1, kNumeric = 2, kInteger = 4, kSmallInt = 5, kFloat = 6, kReal = 7, kDate = 9,
    kTime = 10, kTimestamp = 11, kVarChar = 12, kLongVarChar = -1, kLongVarBinary = -4,
    kBigInt = -5, kBit = -7, kGuid = -11,
};

// Type oids, fixed in every PostgreSQL catalog.
enum : long {
    kBpcharOid = 1042, kVarcharOid = 1043, kTimeOid = 1083, kTimestampOid = 1114,
    kTimestampTzOid = 1184, kIntervalOid = 1186, kBitOid = 1560, kNumericOid = 1700,
    kFirstUserOid = 16384,
};

// The driver options the rules below hold for (KnownDriverOptions): its
// MaxVarcharSize, its MaxLongVarcharSize for text, and four bytes a
// character for the byte length of a character column, whatever the
// encoding.
constexpr long kMaxVarcharSize = 255;
constexpr long kMaxLongVarcharSize = 8190;
constexpr long kBytesPerCharacter = 4;

// Types without a modifier that the driver reports with the same facts
// whatever the column; an empty scale is the driver's NULL.
struct CFixedType
{
    long oid;
    int code;
    long size;
    long length;
    const char *scale;
};
const CFixedType kFixedTypes[] = {
    {16, kVarChar, 5, 5, "0"},              // bool, as characters (BoolsAsChar)
    {17, kLongVarBinary, -4, -4, ""},       // bytea, of no stated size
    {18, kChar, 1, 1, ""},                  // "char"
    {20, kBigInt, 19, 8, "0"},              // int8
    {21, kSmallInt, 5, 2, "0"},             // int2
    {23, kInteger, 10, 4, "0"},             // int4
    {25, kLongVarChar, kMaxLongVarcharSize, kMaxLongVarcharSize, ""}, // text
    {26, kInteger, 10, 4, "0"},             // oid
    {28, kInteger, 10, 4, "0"},             // xid
    {142, kLongVarChar, kMaxVarcharSize, kMaxVarcharSize, ""}, // xml
    {650, kVarChar, 50, 50, ""},            // cidr
    {700, kReal, 9, 4, "0"},                // float4
    {701, kFloat, 17, 8, "0"},              // float8
    {790, kFloat, 10, 4, "0"},              // money
    {829, kVarChar, 17, 17, ""},            // macaddr
    {869, kVarChar, 50, 50, ""},            // inet
    {1082, kDate, 10, 6, ""},               // date
    {2950, kGuid, 37, 16, ""},              // uuid
};

// Built-in types the driver does not know, which it reports as character
// data of its MaxVarcharSize when they carry no modifier (json, jsonb,
// geometric types, ranges, tsvector and the like); so it does every type
// made in the database (an enum, a composite or an extension's type).
const long kUnknownTypes[] = {
    22, 24, 27, 29, 30, 114, 600, 601, 602, 603, 604, 628, 718, 774, 1033, 1266, 1562,
    2202, 2203, 2204, 2205, 2206, 2970, 3220, 3614, 3615, 3734, 3769, 3802, 3904, 3906,
    3908, 3910, 3912, 3926, 4072, 4089, 4096, 4191, 4451, 4532, 4533, 4534, 4535, 4536,
    5038, 5069,
};

// The fractional digits of a time or timestamp: six unless declared.
long SecondDigits(long typmod) { return typmod < 0 ? 6 : typmod; }

void Put(CCatalogColumn &column, int code, long size, long length, std::string scale)
{
    column.m_dataType = std::to_string(code);
    column.m_precision = std::to_string(size);
    column.m_length = std::to_string(length);
    column.m_scale = std::move(scale);
}

bool DescribeType(const CColumnRow &row, CCatalogColumn &column)
{
    const long oid = row.m_typeOid, typmod = row.m_typmod;
    for (const CFixedType &type : kFixedTypes)
        if (type.oid == oid) {
            Put(column, type.code, type.size, type.length, type.scale);
            return true;
        }
    switch (oid) {
    case kBpcharOid:
    case kVarcharOid: {
        // Declared lengths are counted in characters; the byte length
        // stays within MaxVarcharSize until the column is a long one.
        const long size = typmod < 4 ? kMaxVarcharSize : typmod - 4;
        const bool longColumn = size > kMaxVarcharSize;
        const int code = longColumn ? kLongVarChar : oid == kBpcharOid ? kChar : kVarChar;
        const long bytes = size * kBytesPerCharacter;
        const long length = typmod < 4 ? size : longColumn ? bytes : std::min(bytes, kMaxVarcharSize);
        Put(column, code, size, length, "");
        return true;
    }
    case kNumericOid: {
        if (typmod < 4) {
            Put(column, kNumeric, 28, 30, "6");
            return true;
        }
        const long precision = (typmod - 4) >> 16, scale = (typmod - 4) & 0xffff;
        if (scale > precision) // a negative scale, which the driver reads otherwise
            return false;
        Put(column, kNumeric, precision, precision + 2, std::to_string(scale));
        return true;
    }
    case kTimeOid:
        Put(column, kTime, 8, 6, std::to_string(SecondDigits(typmod)));
        return true;
    case kTimestampOid:
    case kTimestampTzOid: {
        // yyyy-mm-dd hh:mm:ss, then a point and the digits.
        const long digits = SecondDigits(typmod);
        Put(column, kTimestamp, 19 + (digits > 0 ? digits + 1 : 0), 16, std::to_string(digits));
        return true;
    }
    case kIntervalOid:
        if (typmod >= 0) // the size follows the fields and precision declared
            return false;
        Put(column, kVarChar, 32, 32, "");
        return true;
    case kBitOid:
        if (typmod < 0)
            return false;
        Put(column, typmod == 1 ? kBit : kVarChar, typmod, typmod, "");
        return true;
    default:
        break;
    }
    const bool unknown = oid >= kFirstUserOid || row.m_array
                         || std::find(std::begin(kUnknownTypes), std::end(kUnknownTypes), oid)
                                != std::end(kUnknownTypes);
    if (!unknown || typmod >= 0)
        return false;
    Put(column, kVarChar, kMaxVarcharSize, kMaxVarcharSize, "");
    return true;
}

} // namespace

bool DescribeColumn(const CColumnRow &row, CCatalogColumn &column)
{
    if (!DescribeType(row, column))
        return false;
    column.m_name = row.m_name;
    column.m_typeName = row.m_typeName;
    column.m_nullable = row.m_notNull ? "0" : "1";
    // The driver hands over a default of MaxVarcharSize bytes or more as
    // the word TRUNCATE.
    const bool whole = row.m_default.size() < static_cast<size_t>(kMaxVarcharSize);
    column.m_default = whole ? row.m_default : "TRUNCATE";
    return true;
}

bool KnownDriverOptions(const std::string &connectionString)
{
    static const struct { const char *key, *value; } kOptions[] = {
        {"UnknownSizes", "0"},        {"MaxVarcharSize", "255"},  {"MaxLongVarcharSize", "8190"},
        {"TextAsLongVarchar", "1"},   {"UnknownsAsLongVarchar", "0"}, {"BoolsAsChar", "1"},
        {"ByteaAsLongVarBinary", "1"}, {"BI", "0"},               {"ShowOidColumn", "0"},
        {"RowVersioning", "0"},       {"FakeOidIndex", "0"},      {"LowerCaseIdentifier", "0"},
        {"D6", "-101"},
    };
    std::vector<ConnectionString::CAttribute> attributes;
    if (!ConnectionString::Split(connectionString, attributes))
        return false;
    for (const auto &option : kOptions) {
        const auto found = std::find_if(attributes.begin(), attributes.end(), [&](const auto &a) {
            return ConnectionString::IsKey(a, option.key);
        });
        if (found == attributes.end() || found->m_value != option.value)
            return false;
    }
    return true;
}

} // namespace PostgresCatalog

// The queries take what the driver's own catalog queries take, over every
// relation of the current schema (the schema the session's catalog calls
// name), each table's rows together and in the driver's order: columns by
// number; indexes primary first, then those that allow duplicates, then
// the unique ones, each group by name, an expression column under the
// text pg_get_indexdef gives it; the columns of a key index, included
// columns too, by their place in it.
const char *const CPostgresAdapter::kColumnQuery =
    "select c.relname, a.attname, t.typname, b.oid, "
    "case when t.typtype = 'd' and a.atttypmod < 0 then t.typtypmod else a.atttypmod end, "
    "b.typcategory = 'A' and b.typelem <> 0, t.typname = 'lo' or b.typname = 'lo', "
    "a.attnotnull, pg_get_expr(d.adbin, d.adrelid) "
    "from pg_catalog.pg_class c "
    "join pg_catalog.pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped "
    "join pg_catalog.pg_type t on t.oid = a.atttypid "
    "join pg_catalog.pg_type b on b.oid = case t.typtype when 'd' then t.typbasetype else t.oid end "
    "left join pg_catalog.pg_attrdef d on a.atthasdef and d.adrelid = a.attrelid and d.adnum = a.attnum "
    "where c.relnamespace = (select oid from pg_catalog.pg_namespace where nspname = current_schema()) "
    "and c.relkind in ('r', 'p', 'f', 'v', 'm') "
    "order by a.attrelid, a.attnum";

const char *const CPostgresAdapter::kIndexQuery =
    "select t.relname, x.relname, i.indisunique, "
    "case when k.attnum = 0 then pg_catalog.pg_get_indexdef(i.indexrelid, k.n::int, true) "
    "else a.attname end "
    "from pg_catalog.pg_index i "
    "join pg_catalog.pg_class t on t.oid = i.indrelid "
    "join pg_catalog.pg_class x on x.oid = i.indexrelid "
    "cross join lateral unnest(i.indkey::int2[]) with ordinality as k(attnum, n) "
    "left join pg_catalog.pg_attribute a on a.attrelid = i.indrelid and a.attnum = k.attnum "
    "where t.relnamespace = (select oid from pg_catalog.pg_namespace where nspname = current_schema()) "
    "order by i.indrelid, i.indisprimary desc, i.indisunique, x.relname, k.n";

// SQLPrimaryKeys reports a table's primary key or, when it has none, the
// columns of the index of the schema named after it with "_pkey", whatever
// that index is and whichever table it belongs to.
const char *const CPostgresAdapter::kPrimaryKeyQuery =
    "select t.relname, x.relname, i.indisprimary, ta.attname "
    "from pg_catalog.pg_index i "
    "join pg_catalog.pg_class x on x.oid = i.indexrelid "
    "join pg_catalog.pg_class t on t.oid = i.indrelid "
    "join pg_catalog.pg_attribute ia on ia.attrelid = i.indexrelid and not ia.attisdropped "
    "join pg_catalog.pg_attribute ta on ta.attrelid = i.indrelid "
    "and ta.attnum = i.indkey[ia.attnum - 1] and not ta.attisdropped "
    "where t.relnamespace = (select oid from pg_catalog.pg_namespace where nspname = current_schema()) "
    "and (i.indisprimary or right(x.relname, 5) = '_pkey') "
    "order by i.indexrelid, ia.attnum";

const char *const CPostgresAdapter::kCatalogTriggerQuery =
    "select c.relname, t.tgname from pg_catalog.pg_trigger t "
    "join pg_catalog.pg_class c on c.oid = t.tgrelid "
    "where c.relnamespace = (select oid from pg_catalog.pg_namespace where nspname = current_schema()) "
    "and not t.tgisinternal order by t.tgrelid, t.tgname";

namespace {


// A boolean as the server sends it through the driver.
bool IsTrue(const std::string &value) { return value == "1" || value == "t"; }

struct CKeyIndex
{
    std::string table;
    bool primary = false;
    std::vector<std::string> columns;
};

} // namespace

bool CPostgresAdapter::BulkReadMatches(const CDbSession &session) const
{
    return PostgresCatalog::KnownDriverOptions(session.GetConnectionString());
}

int CPostgresAdapter::ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                                        std::vector<CCatalogTable> &tables,
                                        const CCatalogProgress &progress)
{
    const int total = static_cast<int>(names.size());
    CCatalogPlaces read(names);
    // Tables with a column of a type whose report is not known here.
    std::vector<bool> askDriver(names.size(), false);

    CCatalogPhaseProgress columnPhase(progress, total, 0, 3);
    int result = CatalogRows::ReadAll(session, kColumnQuery, 9, [&](const CDbRow &row) {
        const int place = read.PlaceOf(row[0]);
        if (place < 0)
            return true;
        PostgresCatalog::CColumnRow column{row[1], row[2], std::atol(row[3].c_str()),
                                           std::atol(row[4].c_str()), IsTrue(row[5]), IsTrue(row[7]),
                                           row[8]};
        CCatalogColumn facts;
        if (IsTrue(row[6]) || !PostgresCatalog::DescribeColumn(column, facts))
            askDriver[static_cast<size_t>(place)] = true;
        read.At(static_cast<size_t>(place)).m_columns.push_back(std::move(facts));
        return columnPhase.Reached(row[0]);
    });
    CCatalogPhaseProgress indexPhase(progress, total, 1, 3);
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kIndexQuery, 4, [&](const CDbRow &row) {
            CCatalogTable *table = read.Find(row[0]);
            if (!table)
                return true;
            std::vector<CCatalogIndex> &indexes = table->m_indexes;
            if (indexes.empty() || indexes.back().m_name != row[1])
                indexes.push_back(CCatalogIndex{row[1], IsTrue(row[2]), {}});
            indexes.back().m_columns.push_back(row[3]);
            return indexPhase.Reached(row[0]);
        });
    std::unordered_map<std::string, CKeyIndex> keyIndexes;
    std::unordered_map<std::string, std::string> primaryKeys; // table to index
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kPrimaryKeyQuery, 4, [&](const CDbRow &row) {
            CKeyIndex &index = keyIndexes[row[1]];
            index.table = row[0];
            index.primary = IsTrue(row[2]);
            if (index.primary)
                primaryKeys.emplace(row[0], row[1]);
            index.columns.push_back(row[3]);
            return true;
        });
    if (result >= 0)
        result = CatalogRows::ReadAll(session, kCatalogTriggerQuery, 2, [&](const CDbRow &row) {
            if (CCatalogTable *table = read.Find(row[0]))
                table->m_triggers.push_back(row[1]);
            return true;
        });
    for (size_t i = 0; i < names.size() && result >= 0; ++i) {
        CCatalogTable &table = read.At(i);
        const auto primary = primaryKeys.find(table.m_name);
        const auto key = keyIndexes.find(primary != primaryKeys.end() ? primary->second
                                                                       : table.m_name + "_pkey");
        if (key != keyIndexes.end())
            table.m_primaryKey = key->second.columns;
        if (!askDriver[i])
            continue;
        // Where the index rows left the progress: a cancel is heard here too.
        const int done = std::min((2 * total + 2) / 3, total - 1);
        if (progress && !progress(done, total))
            return DbResult::kCancelled;
        table.m_columns.clear();
        result = session.ReadRows(session.ListColumns(table.m_name), {4, 5, 6, 7, 8, 9, 11, 13},
                                  [&](const CDbRow &row) {
                                      table.m_columns.push_back(CCatalogColumn{
                                          row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7]});
                                  });
    }
    if (result < 0)
        return result;
    tables = read.Take();
    return DbResult::kOk;
}
