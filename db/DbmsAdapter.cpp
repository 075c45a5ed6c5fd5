#include "db/DbmsAdapter.h"

#include "db/DbSession.h"
#include "db/DbTypes.h"
#include "db/ResultCodes.h"
#include "db/mariadb/MariaAdapter.h"
#include "db/pervasive/PervasiveAdapter.h"
#include "db/postgres/PostgresAdapter.h"
#include "db/sqlite/SqliteAdapter.h"

int CDbmsAdapter::ReadCatalogSchema(CDbSession &, std::string &schema)
{
    schema.clear();
    return 0;
}

int CDbmsAdapter::ReadIndexDefinition(CDbSession &session, const std::string &, const std::string &,
                                      CCreateIndex &)
{
    return Refuse(session, "Indexes cannot be edited on " + GetDbmsName()
                               + ": their definitions cannot be read from its catalog.");
}

int CDbmsAdapter::ReadTriggerDefinition(CDbSession &session, const std::string &, const std::string &,
                                        CCreateTrigger &)
{
    return Refuse(session, "Triggers cannot be edited on " + GetDbmsName()
                               + ": their definitions cannot be read from its catalog.");
}

int CDbmsAdapter::ReadTableDefinitions(CDbSession &session, const std::string &, CTableDefinitions &)
{
    return Refuse(session, "A schema script cannot be written for " + GetDbmsName()
                               + ": its definitions cannot be read from its catalog.");
}

int CDbmsAdapter::ReadCatalogTables(CDbSession &session, const std::vector<std::string> &,
                                    std::vector<CCatalogTable> &, const CCatalogProgress &)
{
    return Refuse(session, "The catalog of " + GetDbmsName() + " is read table by table.");
}

int CDbmsAdapter::ReadPrimaryKey(CDbSession &session, const std::string &, std::vector<std::string> &)
{
    return Refuse(session, "The primary keys of " + GetDbmsName() + " are read with SQLPrimaryKeys.");
}

int CDbmsAdapter::Refuse(CDbSession &session, std::string message)
{
    session.m_lastError = std::move(message);
    return DbResult::kErrorWithoutNativeCode;
}

void CDbmsAdapter::NormalizeColumnFacts(std::string &, std::string &, const std::string &,
                                        std::string &) const
{
}

void CDbmsAdapter::AddTypeUnlessListed(CDbSession &session, const char *name, int paramKind,
                                       bool nullable)
{
    if (session.FindType(name))
        return;
    auto type = std::make_unique<CDbTypeInfo>();
    type->m_name = name;
    type->m_paramKind = paramKind;
    type->m_nullable = nullable;
    session.AddType(std::move(type));
}

int CDbmsAdapter::ParameterKind(const std::string &createParams) const
{
    return StandardParameterKind(createParams);
}

int CDbmsAdapter::StandardParameterKind(const std::string &createParams)
{
    if (createParams == "length")
        return CDbTypeInfo::Length;
    if (createParams == "precision,scale")
        return CDbTypeInfo::PrecisionScale;
    return CDbTypeInfo::NoSize;
}

void CAdapterList::Add(std::unique_ptr<CDbmsAdapter> adapter)
{
    m_adapters.push_back(std::move(adapter));
}

CDbmsAdapter *CAdapterList::Find(const std::string &dbmsName) const
{
    for (const auto &adapter : m_adapters)
        if (adapter->GetDbmsName() == dbmsName)
            return adapter.get();
    return nullptr;
}

CDbmsAdapter *CAdapterList::At(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_adapters[static_cast<size_t>(index)].get();
}

CAdapterList MakeDbmsAdapters()
{
    CAdapterList adapters;
    adapters.Add(std::make_unique<CPervasiveAdapter>());
    adapters.Add(std::make_unique<CSqliteAdapter>());
    adapters.Add(std::make_unique<CPostgresAdapter>());
    // The MariaDB driver reports a MySQL server under that name; the
    // dictionary and the statements are the same.
    adapters.Add(std::make_unique<CMariaAdapter>("MariaDB"));
    adapters.Add(std::make_unique<CMariaAdapter>("MySQL"));
    return adapters;
}
