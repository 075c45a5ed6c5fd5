#include "model/SchemaLoader.h"

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "model/IndexRows.h"

#include <algorithm>

namespace SchemaLoader {
namespace {

// A column as the model keeps it, put the way the engine's adapter reads
// it: the same for a SQLColumns row and for a row of the bulk read.
CSchemaColumn MakeColumn(const CDbmsAdapter *adapter, CCatalogColumn row)
{
    const bool declaredTypes = adapter && adapter->ReportsDeclaredTypes();
    CColumnFacts facts{std::move(row.m_typeName), std::move(row.m_dataType), std::move(row.m_precision),
                       std::move(row.m_length), std::move(row.m_scale), std::move(row.m_nullable),
                       declaredTypes};
    if (adapter)
        adapter->NormalizeColumnFacts(facts.m_typeName, facts.m_dataType, facts.m_precision,
                                      facts.m_length);
    return CSchemaColumn{std::move(row.m_name), std::move(facts), std::move(row.m_default)};
}

void NameIndexes(const CDbmsAdapter *adapter, std::vector<CSchemaIndex> &indexes)
{
    if (adapter)
        for (CSchemaIndex &index : indexes)
            index.m_name = adapter->ShownIndexName(index.m_name);
}

int LoadColumns(CDbSession &session, CTableSchema &table)
{
    const CDbmsAdapter *adapter = session.GetAdapter();
    const bool exactName = adapter && adapter->ColumnsMatchNamesWithoutCase();
    // TABLE_NAME, COLUMN_NAME, DATA_TYPE, TYPE_NAME, PRECISION, LENGTH,
    // SCALE, NULLABLE, COLUMN_DEF.
    return session.ReadRows(
        session.ListColumns(table.m_name), {3, 4, 5, 6, 7, 8, 9, 11, 13}, [&](const CDbRow &row) {
            if (exactName && row[0] != table.m_name)
                return;
            table.m_columns.push_back(MakeColumn(
                adapter, CCatalogColumn{row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]}));
        });
}

// The indexes read before a failure stay.
int LoadIndexes(CDbSession &session, CTableSchema &table)
{
    const int result = session.ReadResult(session.ListIndexes(table.m_name), [&](CRowSource &rows) {
        return ReadIndexRows(rows, table.m_indexes);
    });
    NameIndexes(session.GetAdapter(), table.m_indexes);
    return result;
}

// The driver lists the key by table name; KEY_SEQ puts it in key order.
// Where the driver gets that wrong, the adapter reads the key itself.
int LoadPrimaryKey(CDbSession &session, CTableSchema &table)
{
    CDbmsAdapter *adapter = session.GetAdapter();
    if (adapter && adapter->ReadsPrimaryKeys())
        return adapter->ReadPrimaryKey(session, table.m_name, table.m_primaryKey);
    std::vector<std::pair<int, std::string>> parts;
    const int result = session.ReadRows(session.ListPrimaryKeys(table.m_name), {4, 5},
                                        [&](const CDbRow &row) {
                                            parts.emplace_back(LeadingInteger(row[1]), row[0]);
                                        });
    std::stable_sort(parts.begin(), parts.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &part : parts)
        table.m_primaryKey.push_back(std::move(part.second));
    return result;
}

int LoadTriggers(CDbSession &session, CTableSchema &table)
{
    CDbmsAdapter *adapter = session.GetAdapter();
    if (!adapter)
        return DbResult::kOk;
    return adapter->LoadTriggerNames(session, table.m_name, table.m_triggers);
}

} // namespace

int ListUserTables(CDbSession &session, std::vector<std::string> &names)
{
    return session.ReadRows(session.ListTables(), {3}, [&](const CDbRow &row) {
        if (!IsInternalTable(session, row[0]))
            names.push_back(row[0]);
    });
}

int LoadTable(CDbSession &session, const std::string &name, CTableSchema &table)
{
    table = CTableSchema{name, {}, {}, {}};
    int result = LoadColumns(session, table);
    if (result >= 0)
        result = LoadIndexes(session, table);
    if (result >= 0)
        result = LoadPrimaryKey(session, table);
    if (result >= 0)
        result = LoadTriggers(session, table);
    return result;
}

namespace {

CTableSchema MakeTable(const CDbmsAdapter *adapter, CCatalogTable &read)
{
    CTableSchema table{std::move(read.m_name), {}, {}, std::move(read.m_triggers)};
    table.m_columns.reserve(read.m_columns.size());
    for (CCatalogColumn &column : read.m_columns)
        table.m_columns.push_back(MakeColumn(adapter, std::move(column)));
    for (CCatalogIndex &index : read.m_indexes)
        table.m_indexes.push_back(
            CSchemaIndex{std::move(index.m_name), index.m_unique, std::move(index.m_columns)});
    NameIndexes(adapter, table.m_indexes);
    table.m_primaryKey = std::move(read.m_primaryKey);
    return table;
}

} // namespace

int LoadTables(CDbSession &session, const std::vector<std::string> &names,
               std::vector<CTableSchema> &tables, const CCatalogProgress &step, CatalogRead read)
{
    const int total = static_cast<int>(names.size());
    CDbmsAdapter *adapter = session.GetAdapter();
    if (read == CatalogRead::Best && adapter && adapter->ReadsCatalogInBulk()
        && adapter->BulkReadMatches(session)) {
        std::vector<CCatalogTable> found;
        const int result = adapter->ReadCatalogTables(session, names, found, step);
        if (result < 0)
            return result;
        // The read counted its rows as the first two thirds of the load;
        // building the tables is the last.
        tables.reserve(tables.size() + found.size());
        for (size_t built = 0; built < found.size(); ++built) {
            tables.push_back(MakeTable(adapter, found[built]));
            const int done = static_cast<int>((2 * static_cast<long long>(total) + static_cast<long long>(built) + 1 + 2) / 3);
            if (step && !step(std::min(done, total), total))
                return DbResult::kCancelled;
        }
        return step && found.empty() && !step(total, total) ? DbResult::kCancelled : result;
    }
    tables.reserve(tables.size() + names.size());
    for (int loaded = 0; loaded < total;) {
        CTableSchema table;
        const int result = LoadTable(session, names[static_cast<size_t>(loaded)], table);
        if (result < 0)
            return result;
        tables.push_back(std::move(table));
        ++loaded;
        if (step && !step(loaded, total))
            return DbResult::kCancelled;
    }
    return DbResult::kOk;
}

int LoadDefinitions(CDbSession &session, CTableSchema &table)
{
    CDbmsAdapter *adapter = session.GetAdapter();
    if (!adapter)
        return DbResult::kUnsupportedDbms;
    return adapter->ReadTableDefinitions(session, table.m_name, table.m_definitions);
}

int LoadRelationships(CDbSession &session, CSchemaModel &model)
{
    std::vector<CDbRelationship> relationships;
    const int result = session.ReadRelationships(relationships);
    if (result >= 0)
        model.SetRelationships(std::move(relationships));
    return result;
}

} // namespace SchemaLoader
