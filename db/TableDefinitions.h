#pragma once

#include "db/SchemaChange.h"

#include <string>
#include <vector>

// What a schema script needs of a table beyond what the diagram shows: the
// declared types and clauses of its columns, its constraints, its indexes
// with direction and condition, its foreign keys with their rules and its
// triggers as the engine stores them. Read from the engine's catalog only
// when a script is written (CDbmsAdapter::ReadTableDefinitions); names are
// held unquoted, texts as the engine keeps them.

struct CStoredColumn
{
    std::string m_name;
    // As the table declares it (SQLite) or the engine writes it back
    // (PostgreSQL's format_type): varchar(40), numeric(10,2).
    std::string m_type;
    // The default expression as the engine keeps it; empty for none.
    std::string m_default = {};
    // COLLATE, CHECK and UNIQUE clauses of the column, as written.
    std::vector<std::string> m_clauses = {};
};

struct CStoredIndex
{
    std::string m_name;
    bool m_unique = false;
    std::vector<CIndexSegment> m_segments;
    // The WHERE condition of a partial index; empty for none.
    std::string m_condition = {};
    // The whole stored statement of an index that is more than columns (an
    // expression, another method): written as it stands. Empty otherwise.
    std::string m_statement = {};
};

struct CStoredForeignKey
{
    std::string m_name; // empty for a key without a name
    std::vector<std::string> m_columns;
    std::string m_parentTable;
    // Empty when the key names no columns and so means the parent's
    // primary key.
    std::vector<std::string> m_parentColumns;
    // "CASCADE", "SET NULL", "SET DEFAULT", "RESTRICT"; empty for the
    // engine's default (NO ACTION).
    std::string m_deleteRule = {};
    std::string m_updateRule = {};
};

struct CStoredTrigger
{
    std::string m_name;
    // The CREATE TRIGGER statement as the engine keeps it, without ";".
    std::string m_statement;
    // PostgreSQL: the CREATE FUNCTION statement of the trigger's function.
    std::string m_function = {};
};

struct CTableDefinitions
{
    std::vector<CStoredColumn> m_columns;
    // A one-column primary key declared on its column, as SQLite needs it
    // for AUTOINCREMENT and numbers the indexes of its constraints by.
    bool m_keyOnColumn = false;
    bool m_autoIncrement = false;
    // SQLite: the table keeps its rows in its primary key, without rowids.
    bool m_withoutRowid = false;
    // The primary key's name where the engine keeps one that is not its
    // own default (PostgreSQL); empty otherwise.
    std::string m_keyName = {};
    // Table constraints other than the keys (CHECK, UNIQUE), as written.
    std::vector<std::string> m_constraints;
    std::vector<CStoredIndex> m_indexes; // made by CREATE INDEX only
    std::vector<CStoredForeignKey> m_foreignKeys;
    std::vector<CStoredTrigger> m_triggers;
};

bool operator==(const CStoredColumn &a, const CStoredColumn &b);
bool operator==(const CStoredIndex &a, const CStoredIndex &b);
bool operator==(const CStoredForeignKey &a, const CStoredForeignKey &b);
bool operator==(const CStoredTrigger &a, const CStoredTrigger &b);
bool operator==(const CTableDefinitions &a, const CTableDefinitions &b);
