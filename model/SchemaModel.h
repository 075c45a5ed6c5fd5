#pragma once

#include "db/DbTypes.h"
#include "db/TableDefinitions.h"
#include "model/ColumnDescription.h"

#include <map>
#include <string>
#include <vector>

// The schema of a data source as plain data: what the catalog says of each
// table (its columns, its indexes with their segments, its triggers) and
// the foreign-key relationships between tables. The document owns one; the
// table windows show it. Values copy and compare like any other value.

struct CSchemaColumn
{
    std::string m_name;
    // As the catalog reported them, put the way the engine's adapter reads
    // them.
    CColumnFacts m_facts;
    // The default as the catalog reports it (SQLColumns COLUMN_DEF), an
    // expression text; empty for none.
    std::string m_default = {};

    // The text the Attributes mode shows beside the name.
    std::string Description() const { return DescribeColumn(m_facts); }
};

struct CSchemaIndex
{
    // The name the table window shows (see CDbmsAdapter::ShownIndexName).
    std::string m_name;
    bool m_unique = false;
    // The index columns in key order.
    std::vector<std::string> m_columns;
};

struct CTableSchema
{
    std::string m_name;
    std::vector<CSchemaColumn> m_columns;
    std::vector<CSchemaIndex> m_indexes;
    std::vector<std::string> m_triggers;
    // The primary key's columns in key order; empty when the table has none.
    std::vector<std::string> m_primaryKey = {};
    // Filled only for a schema script (SchemaLoader::LoadDefinitions).
    CTableDefinitions m_definitions = {};

    bool IsKeyColumn(const std::string &column) const;
    const CSchemaIndex *FindIndex(const std::string &name) const;
    // Each returns false when there was nothing of that name.
    bool RemoveIndex(const std::string &name);
    bool RemoveTrigger(const std::string &name);
};

bool operator==(const CColumnFacts &a, const CColumnFacts &b);
bool operator==(const CSchemaColumn &a, const CSchemaColumn &b);
bool operator==(const CSchemaIndex &a, const CSchemaIndex &b);
bool operator==(const CTableSchema &a, const CTableSchema &b);
bool operator==(const CDbRelationship &a, const CDbRelationship &b);
inline bool operator!=(const CTableSchema &a, const CTableSchema &b) { return !(a == b); }

class CSchemaModel
{
public:
    // --- tables, by exact name ---
    const CTableSchema *FindTable(const std::string &name) const;
    // Puts the table in, in place of one of the same name.
    void PutTable(CTableSchema table);
    void RemoveTable(const std::string &name);
    int TableCount() const { return static_cast<int>(m_tables.size()); }
    // The table names in byte order.
    std::vector<std::string> TableNames() const;
    // Changes one table in place; false (and nothing changes) when the
    // model has no table of that name.
    template <typename Change>
    bool ChangeTable(const std::string &name, Change &&change)
    {
        const auto found = m_tables.find(name);
        if (found == m_tables.end())
            return false;
        change(found->second);
        return true;
    }

    // --- relationships, in the order the engine lists them ---
    const std::vector<CDbRelationship> &Relationships() const { return m_relationships; }
    void SetRelationships(std::vector<CDbRelationship> relationships);
    void AddRelationship(CDbRelationship relationship);
    const CDbRelationship *GetRelationship(int index) const;
    int RelationshipCount() const { return static_cast<int>(m_relationships.size()); }
    // True when a relationship starts or ends at the table.
    bool IsRelated(const std::string &table) const;
    // Counts every change of the relationship list, so that whoever keeps
    // something drawn from the list can tell that it is out of date.
    unsigned long long RelationshipsVersion() const { return m_relationshipsVersion; }

    void Clear();
    // Takes over another model's tables and relationships; the version
    // moves on, so that nothing drawn from the old list stays.
    void ReplaceWith(CSchemaModel other);

    friend bool operator==(const CSchemaModel &a, const CSchemaModel &b)
    {
        return a.m_tables == b.m_tables && a.m_relationships == b.m_relationships;
    }
    friend bool operator!=(const CSchemaModel &a, const CSchemaModel &b) { return !(a == b); }

private:
    std::map<std::string, CTableSchema> m_tables;
    std::vector<CDbRelationship> m_relationships;
    unsigned long long m_relationshipsVersion = 0;
};
