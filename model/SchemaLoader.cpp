#include "model/SchemaLoader.h"

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "model/IndexRows.h"

#include <algorithm>

namespace SchemaLoader {
namespace {

int LoadColumns(CDbSession &session, CTableSchema &table)
{
    const CDbmsAdapter *adapter = session.GetAdapter();
    const bool declaredTypes = adapter && adapter->ReportsDeclaredTypes();
    // COLUMN_NAME, DATA_TYPE, TYPE_NAME, PRECISION, LENGTH, SCALE, NULLABLE,
    // COLUMN_DEF.
    return session.ReadRows(
        session.ListColumns(table.m_name), {4, 5, 6, 7, 8, 9, 11, 13}, [&](const CDbRow &row) {
            CColumnFacts facts{row[2], row[1], row[3], row[4], row[5], row[6], declaredTypes};
            if (adapter)
                adapter->NormalizeColumnFacts(facts.m_typeName, facts.m_dataType,
                                              facts.m_precision, facts.m_length);
            table.m_columns.push_back(CSchemaColumn{row[0], facts, row[7]});
        });
}

// The indexes read before a failure stay.
int LoadIndexes(CDbSession &session, CTableSchema &table)
{
    const int result = session.ReadResult(session.ListIndexes(table.m_name), [&](CRowSource &rows) {
        return ReadIndexRows(rows, table.m_indexes);
    });
    if (const CDbmsAdapter *adapter = session.GetAdapter())
        for (CSchemaIndex &index : table.m_indexes)
            index.m_name = adapter->ShownIndexName(index.m_name);
    return result;
}

// The driver lists the key by table name; KEY_SEQ puts it in key order.
int LoadPrimaryKey(CDbSession &session, CTableSchema &table)
{
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
