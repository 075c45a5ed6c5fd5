#include "db/pervasive/PervasiveAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"

const char *const CPervasiveAdapter::kRelationshipQuery =
    "select \"Xr$Name\", a.\"Xf$Name\", \"Xr$PIndex\", b.\"Xf$Name\", \"Xr$FIndex\", "
    "\"Xr$UpdateRule\", \"Xr$DeleteRule\" from \"X$Relate\", \"X$File\" a, \"X$File\" b "
    "where \"Xr$Pid\" = a.\"Xf$Id\" and \"XR$FId\" = b.\"Xf$Id\"";

const char *const CPervasiveAdapter::kIndexNameQuery =
    "select \"Xf$Name\",\"Xe$Name\",\"Xe$Offset\" from \"X$File\", \"X$Field\" "
    "where \"Xe$DataType\"=255 and \"Xf$Id\"=\"Xe$File\"";

std::string CPervasiveAdapter::GetDbmsName() const { return "Pervasive.SQL"; }

std::string CPervasiveAdapter::TriggerQuery(const std::string &table)
{
    return "select \"Xt$Name\" from \"X$Trigger\",\"X$File\" where \"Xt$File\"=\"Xf$Id\" "
           "and \"Xf$Name\" = "
           + SqlText::QuoteLiteral(table);
}

int CPervasiveAdapter::LoadRelationships(CDbSession &session,
                                         std::vector<CDbRelationship> &relationships)
{
    const int result = ReadRelationships(session, relationships);
    if (result < 0)
        return result;
    return ApplyIndexNames(session, relationships);
}

// The dictionary gives index numbers; they become "key0", "key1"... until
// the index-name pass finds their names. Columns 6 and 7 (the rules) are
// selected but not read.
int CPervasiveAdapter::ReadRelationships(CDbSession &session,
                                         std::vector<CDbRelationship> &relationships)
{
    return session.QueryRows(kRelationshipQuery, {1, 2, 3, 4, 5}, [&](const CDbRow &row) {
        CDbRelationship relationship;
        relationship.m_name = row[0];
        relationship.m_parentTable = row[1];
        relationship.m_parentIndex = "key" + row[2];
        relationship.m_foreignTable = row[3];
        relationship.m_foreignIndex = "key" + row[4];
        relationships.push_back(std::move(relationship));
    }, {DbResult::kObjectNotFound});
}

// Each row names one index of one table: table name, index name, number.
int CPervasiveAdapter::ApplyIndexNames(CDbSession &session,
                                       std::vector<CDbRelationship> &relationships)
{
    return session.QueryRows(kIndexNameQuery, {1, 2, 3}, [&](const CDbRow &row) {
        const std::string &table = row[0];
        const std::string &index = row[1];
        const std::string key = "key" + row[2];
        for (CDbRelationship &relationship : relationships) {
            if (relationship.m_parentTable == table && relationship.m_parentIndex == key)
                relationship.m_parentIndex = index;
            if (relationship.m_foreignTable == table && relationship.m_foreignIndex == key)
                relationship.m_foreignIndex = index;
        }
    });
}

int CPervasiveAdapter::AddExtraTypes(CDbSession &session)
{
    struct Extra { const char *name; int kind; bool nullable; };
    static const Extra extras[] = {
        {"bigint", CDbTypeInfo::NoSize, true},   {"currency", CDbTypeInfo::NoSize, true},
        {"identity", CDbTypeInfo::NoSize, false}, {"numeric", CDbTypeInfo::PrecisionScale, true},
        {"smallidentity", CDbTypeInfo::NoSize, false}, {"ubigint", CDbTypeInfo::NoSize, true},
        {"varbinary", CDbTypeInfo::Length, true},
    };
    for (const Extra &extra : extras) {
        auto type = std::make_unique<CDbTypeInfo>();
        type->m_name = extra.name;
        type->m_paramKind = extra.kind;
        type->m_nullable = extra.nullable;
        session.AddType(std::move(type));
    }
    return DbResult::kOk;
}

// The dictionary may store a quoted name; only a name quoted at both ends
// loses its quotes.
int CPervasiveAdapter::LoadTriggerNames(CDbSession &session, const std::string &table,
                                        std::vector<std::string> &names)
{
    return session.QueryRows(TriggerQuery(table), {1}, [&names](const CDbRow &row) {
        std::string name = row[0];
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        names.push_back(name);
    }, {DbResult::kObjectNotFound});
}
