#pragma once

#include "db/PervasiveAdapter.h"

#include <QString>

// The Pervasive.SQL engine cannot run here. Its dictionary adapter is
// exercised for real on SQLite databases that hold the dictionary tables,
// through this alias that answers to the DBMS name the SQLite driver reports.
class CAliasedPervasiveAdapter : public CPervasiveAdapter
{
public:
    std::string GetDbmsName() const override { return "SQLite"; }
};

// Makes the process-wide registry hold exactly the aliased adapter.
void UseAliasedPervasiveAdapter();

// SQL creating the dictionary tables X$File, X$Field, X$Relate, X$Trigger.
QString PervasiveDictionarySql();

// The example database of the table model: CUSTOMER(ID, NAME, AMOUNT) with
// a unique index PK and an index BY_NAME, and one trigger; ORDERS referring
// to it; with the dictionary rows describing the relationship.
QString ExampleDatabaseSql();
