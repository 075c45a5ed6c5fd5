#pragma once

#include "db/DbmsAdapter.h"
#include "db/pervasive/PervasiveDialect.h"

class COdbcSandbox;

// The made-up ODBC driver of tests/fixtures: it warns on every connect,
// refuses a user name without a password, reports a DBMS name of 300
// characters and holds no tables. This adapter answers to that name and
// reads no dictionary; its dialect is never asked to apply anything.
class CFakeDriverAdapter : public CDbmsAdapter
{
public:
    static std::string DbmsName();

    std::string GetDbmsName() const override { return DbmsName(); }
    int LoadRelationships(CDbSession &, std::vector<CDbRelationship> &) override { return 0; }
    int AddExtraTypes(CDbSession &) override { return 0; }
    int LoadTriggerNames(CDbSession &, const std::string &, std::vector<std::string> &) override
    {
        return 0;
    }
    const CDialect &GetDialect() const override { return m_dialect; }

private:
    CPervasiveDialect m_dialect;
};

// Registers the made-up driver as "Fake" in the sandbox and adds the
// adapter for it to the list, after the adapters it holds.
void UseFakeDriver(COdbcSandbox &sandbox, CAdapterList &adapters);
