#include "model/SchemaModel.h"

#include <algorithm>
#include <tuple>

namespace {

template <typename Item, typename Name>
bool EraseNamed(std::vector<Item> &items, const std::string &name, Name nameOf)
{
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const Item &item) { return nameOf(item) == name; });
    if (found == items.end())
        return false;
    items.erase(found);
    return true;
}

} // namespace

bool operator==(const CColumnFacts &a, const CColumnFacts &b)
{
    return std::tie(a.m_typeName, a.m_dataType, a.m_precision, a.m_length, a.m_scale,
                    a.m_nullable, a.m_declaredType)
           == std::tie(b.m_typeName, b.m_dataType, b.m_precision, b.m_length, b.m_scale,
                       b.m_nullable, b.m_declaredType);
}

bool operator==(const CSchemaColumn &a, const CSchemaColumn &b)
{
    return a.m_name == b.m_name && a.m_facts == b.m_facts && a.m_default == b.m_default;
}

bool operator==(const CSchemaIndex &a, const CSchemaIndex &b)
{
    return std::tie(a.m_name, a.m_unique, a.m_columns) == std::tie(b.m_name, b.m_unique, b.m_columns);
}

bool operator==(const CTableSchema &a, const CTableSchema &b)
{
    return std::tie(a.m_name, a.m_columns, a.m_indexes, a.m_triggers, a.m_primaryKey, a.m_definitions)
           == std::tie(b.m_name, b.m_columns, b.m_indexes, b.m_triggers, b.m_primaryKey,
                       b.m_definitions);
}

bool operator==(const CDbRelationship &a, const CDbRelationship &b)
{
    return std::tie(a.m_parentTable, a.m_parentIndex, a.m_foreignTable, a.m_foreignIndex, a.m_name)
           == std::tie(b.m_parentTable, b.m_parentIndex, b.m_foreignTable, b.m_foreignIndex,
                       b.m_name);
}

bool CTableSchema::IsKeyColumn(const std::string &column) const
{
    return std::find(m_primaryKey.begin(), m_primaryKey.end(), column) != m_primaryKey.end();
}

const CSchemaIndex *CTableSchema::FindIndex(const std::string &name) const
{
    for (const CSchemaIndex &index : m_indexes)
        if (index.m_name == name)
            return &index;
    return nullptr;
}

bool CTableSchema::RemoveIndex(const std::string &name)
{
    return EraseNamed(m_indexes, name, [](const CSchemaIndex &index) { return index.m_name; });
}

bool CTableSchema::RemoveTrigger(const std::string &name)
{
    return EraseNamed(m_triggers, name, [](const std::string &trigger) { return trigger; });
}

const CTableSchema *CSchemaModel::FindTable(const std::string &name) const
{
    const auto found = m_tables.find(name);
    return found == m_tables.end() ? nullptr : &found->second;
}

void CSchemaModel::PutTable(CTableSchema table)
{
    std::string name = table.m_name;
    m_tables.insert_or_assign(std::move(name), std::move(table));
}

void CSchemaModel::RemoveTable(const std::string &name) { m_tables.erase(name); }

std::vector<std::string> CSchemaModel::TableNames() const
{
    std::vector<std::string> names;
    names.reserve(m_tables.size());
    for (const auto &entry : m_tables)
        names.push_back(entry.first);
    return names;
}

void CSchemaModel::SetRelationships(std::vector<CDbRelationship> relationships)
{
    m_relationships = std::move(relationships);
    ++m_relationshipsVersion;
}

void CSchemaModel::AddRelationship(CDbRelationship relationship)
{
    m_relationships.push_back(std::move(relationship));
    ++m_relationshipsVersion;
}

const CDbRelationship *CSchemaModel::GetRelationship(int index) const
{
    if (index < 0 || index >= RelationshipCount())
        return nullptr;
    return &m_relationships[static_cast<size_t>(index)];
}

bool CSchemaModel::IsRelated(const std::string &table) const
{
    return std::any_of(m_relationships.begin(), m_relationships.end(),
                       [&table](const CDbRelationship &relationship) {
                           return relationship.m_foreignTable == table
                                  || relationship.m_parentTable == table;
                       });
}

void CSchemaModel::ReplaceWith(CSchemaModel other)
{
    m_tables = std::move(other.m_tables);
    SetRelationships(std::move(other.m_relationships));
}

void CSchemaModel::Clear()
{
    m_tables.clear();
    SetRelationships({});
}
