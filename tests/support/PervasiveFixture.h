#pragma once

#include "db/pervasive/PervasiveAdapter.h"
#include "db/sqlite/SqliteAdapter.h"

#include <QString>

// The Pervasive.SQL engine cannot run here. Its dictionary adapter is
// exercised for real on SQLite databases that hold the dictionary tables,
// through this alias that answers to the DBMS name the SQLite driver reports.
class CAliasedPervasiveAdapter : public CPervasiveAdapter
{
public:
    std::string GetDbmsName() const override { return "SQLite"; }
};

// A list holding exactly the aliased adapter.
CAdapterList AliasedPervasiveAdapter();

// SQLite's own dictionary with the Pervasive.SQL dialect: the table windows
// load as on any SQLite database, and every statement the designer sends
// is the Pervasive.SQL text, which the tests compare byte for byte.
class CSqliteWithPervasiveDialect : public CSqliteAdapter
{
public:
    const CDialect &GetDialect() const override { return m_dialect; }

private:
    CPervasiveDialect m_dialect;
};

// A list holding exactly that adapter.
CAdapterList SqliteWithPervasiveDialect();

// SQL creating the dictionary tables X$File, X$Field, X$Relate, X$Trigger.
QString PervasiveDictionarySql();

// The example database of the table model: CUSTOMER(ID, NAME, AMOUNT) with
// a unique index PK and an index BY_NAME, and one trigger; ORDERS referring
// to it; with the dictionary rows describing the relationship.
QString ExampleDatabaseSql();
