#pragma once

#include "db/DbmsAdapter.h"
#include "db/pervasive/PervasiveDialect.h"

// The dictionary of the Pervasive.SQL engine: relationships from X$Relate
// with index names from X$Field, triggers from X$Trigger.
class CPervasiveAdapter : public CDbmsAdapter
{
public:
    std::string GetDbmsName() const override;
    int LoadRelationships(CDbSession &session,
                          std::vector<CDbRelationship> &relationships) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;
    const CDialect &GetDialect() const override { return m_dialect; }

    static const char *const kRelationshipQuery;
    static const char *const kIndexNameQuery;
    // The trigger query for a table, with the name as a string literal.
    static std::string TriggerQuery(const std::string &table);

private:
    int ReadRelationships(CDbSession &session, std::vector<CDbRelationship> &relationships);
    int ApplyIndexNames(CDbSession &session, std::vector<CDbRelationship> &relationships);

    CPervasiveDialect m_dialect;
};
