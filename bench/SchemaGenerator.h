#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Writes the SQL script of a synthetic schema of `tables` tables for load
// and drawing measurements, for SQLite, PostgreSQL or MariaDB. Each table has an
// INTEGER PRIMARY KEY, 5 to 15 columns of the usual declared types, 1 to 3
// indexes (one of them on its foreign key, some unique, some of two
// columns) and, from the second table on, a foreign key to an earlier
// table: any earlier one, or with a parent reach, one of that many tables
// just before it. A third of the keys carry a constraint name and every
// fourth table has a trigger. The same arguments always give the same
// tables on either engine.
class CSchemaGenerator
{
public:
    enum class Engine { Sqlite, Postgres, Maria };

    explicit CSchemaGenerator(int tables, Engine engine = Engine::Sqlite, int parentReach = 0)
        : m_tables(tables), m_engine(engine), m_parentReach(parentReach)
    {
    }

    std::string Script();

    static std::string TableName(int index);

private:
    // A small linear congruential generator: reproducible without <random>
    // distributions, whose results differ between library versions.
    int Next(int limit)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<uint64_t>(limit));
    }
    std::string Table(int index);

    int m_tables;
    Engine m_engine;
    int m_parentReach;
    uint64_t m_state = 42;
};

inline std::string CSchemaGenerator::TableName(int index)
{
    static const char *const kStems[] = {"customer", "order_line", "invoice", "stock_item",
                                         "supplier", "shipment", "price_list", "account"};
    char number[16];
    std::snprintf(number, sizeof number, "_%04d", index);
    return kStems[index % 8] + std::string(number);
}

inline std::string CSchemaGenerator::Table(int index)
{
    const bool postgres = m_engine == Engine::Postgres;
    const bool maria = m_engine == Engine::Maria;
    static const char *const kTypes[] = {"varchar(40)", "integer", "numeric(10,2)", "text",
                                         "date", "real", "char(8)", "blob"};
    const std::string name = TableName(index);
    const int columns = 5 + Next(11); // id, the key column and the rest: 5..15
    std::string sql = "create table " + name + " (\n  id integer primary key";
    std::string columnNames[16];
    for (int c = 2; c < columns; ++c) {
        columnNames[c] = "field_" + std::to_string(c);
        std::string type = kTypes[Next(8)];
        // MariaDB indexes a TEXT or BLOB column only by a prefix.
        if (postgres && type == "blob")
            type = "bytea";
        else if (maria && (type == "text" || type == "blob"))
            type = type == "text" ? "varchar(255)" : "varbinary(255)";
        sql += ",\n  " + columnNames[c] + " " + type + (Next(3) == 0 ? " not null" : "");
    }
    const bool hasParent = index > 0;
    const bool near = m_parentReach > 0 && index > m_parentReach;
    const int parent = !hasParent ? 0 : near ? index - 1 - Next(m_parentReach) : Next(index);
    if (hasParent) {
        const std::string parentTable = TableName(parent);
        // MariaDB wants the parent key's columns named.
        if (maria)
            sql += ",\n  parent_id integer,\n  " + (index % 3 == 0 ? "constraint fk_" + name + "_parent " : "")
                   + "foreign key (parent_id) references " + parentTable + " (id)";
        else if (index % 3 == 0)
            sql += ",\n  parent_id integer,\n  constraint fk_" + name + "_parent foreign key "
                   "(parent_id) references " + parentTable + " (id)";
        else
            sql += ",\n  parent_id integer references " + parentTable;
    } else {
        sql += ",\n  parent_id integer";
    }
    sql += "\n);\n";

    sql += "create index " + name + "_by_parent on " + name + " (parent_id);\n";
    const int more = Next(3); // 0..2 further indexes
    for (int i = 0; i < more && columns > 3; ++i) {
        const int first = 2 + Next(columns - 2);
        const int second = 2 + Next(columns - 2);
        const bool unique = Next(3) == 0;
        sql += std::string("create ") + (unique ? "unique " : "") + "index " + name + "_ix"
               + std::to_string(i) + " on " + name + " (" + columnNames[first];
        if (second != first)
            sql += ", " + columnNames[second];
        sql += ");\n";
    }
    if (index % 4 == 0 && maria)
        sql += "create trigger " + name + "_touch after update on " + name
               + " for each row set @touched = 1;\n";
    else if (index % 4 == 0 && postgres)
        sql += "create trigger " + name + "_touch after update on " + name
               + " for each row execute function touch();\n";
    else if (index % 4 == 0)
        sql += "create trigger " + name + "_touch after update on " + name
               + " begin select 1; end;\n";
    return sql;
}

// One transaction, so that 10,000 tables take seconds rather than a commit
// each. PostgreSQL holds a lock on every table, index and TOAST table it
// creates until the commit, and its lock table is only so large (64 a
// connection by default), so it commits every few hundred tables.
inline std::string CSchemaGenerator::Script()
{
    constexpr int kPostgresTablesPerCommit = 500;
    const bool postgres = m_engine == Engine::Postgres;
    std::string sql = "begin;\n";
    if (postgres)
        sql += "create function touch() returns trigger language plpgsql as "
               "$$ begin return null; end $$;\n";
    for (int i = 0; i < m_tables; ++i) {
        if (postgres && i > 0 && i % kPostgresTablesPerCommit == 0)
            sql += "commit;\nbegin;\n";
        sql += Table(i);
    }
    return sql + "commit;\n";
}
