#include "db/PervasiveAdapter.h"

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

int CPervasiveAdapter::LoadRelationships(CDbSession &session)
{
    const int result = ReadRelationships(session);
    if (result < 0)
        return result;
    return ApplyIndexNames(session);
}

// The dictionary gives index numbers; they become "key0", "key1"... until
// the index-name pass finds their names.
int CPervasiveAdapter::ReadRelationships(CDbSession &session)
{
    int result = session.Execute(kRelationshipQuery);
    while (result >= 0) {
        auto relationship = std::make_unique<CDbRelationship>();
        result = session.Fetch();
        if (result >= 0)
            result = session.GetColumnText(1, relationship->m_name);
        if (result >= 0)
            result = session.GetColumnText(2, relationship->m_parentTable);
        if (result >= 0)
            result = session.GetColumnText(3, relationship->m_parentIndex);
        if (result >= 0)
            result = session.GetColumnText(4, relationship->m_foreignTable);
        if (result >= 0)
            result = session.GetColumnText(5, relationship->m_foreignIndex);
        if (result < 0)
            break;
        relationship->m_parentIndex.insert(0, "key");
        relationship->m_foreignIndex.insert(0, "key");
        session.AddRelationship(std::move(relationship));
    }
    if (result == DbResult::kNoData || result == DbResult::kObjectNotFound)
        result = DbResult::kOk;
    if (result >= 0)
        session.CloseStatement();
    return result;
}

int CPervasiveAdapter::ApplyIndexNames(CDbSession &session)
{
    int result = session.Execute(kIndexNameQuery);
    while (result >= 0) {
        std::string table, index, number;
        result = session.Fetch();
        if (result >= 0)
            result = session.GetColumnText(1, table);
        if (result >= 0)
            result = session.GetColumnText(2, index);
        if (result >= 0)
            result = session.GetColumnText(3, number);
        if (result < 0)
            break;
        const std::string key = "key" + number;
        for (int i = 0; CDbRelationship *relationship = session.GetRelationship(i); ++i) {
            if (relationship->m_parentTable == table && relationship->m_parentIndex == key)
                relationship->m_parentIndex = index;
            if (relationship->m_foreignTable == table && relationship->m_foreignIndex == key)
                relationship->m_foreignIndex = index;
        }
    }
    if (result == DbResult::kNoData)
        result = DbResult::kOk;
    if (result >= 0)
        session.CloseStatement();
    return result;
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

int CPervasiveAdapter::LoadTriggerNames(CDbSession &session, const std::string &table,
                                        std::vector<std::string> &names)
{
    int result = session.Execute(TriggerQuery(table));
    while (result >= 0) {
        std::string name;
        result = session.Fetch();
        if (result >= 0)
            result = session.GetColumnText(1, name);
        if (result < 0)
            break;
        // The dictionary may store a quoted name; only a name quoted at both
        // ends loses its quotes.
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        names.push_back(name);
    }
    if (result == DbResult::kNoData || result == DbResult::kObjectNotFound)
        result = DbResult::kOk;
    if (result >= 0)
        session.CloseStatement();
    return result;
}
