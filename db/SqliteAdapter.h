#pragma once

#include "db/DbmsAdapter.h"

// The dictionary of the SQLite engine: foreign keys from its pragmas,
// triggers from sqlite_master.
class CSqliteAdapter : public CDbmsAdapter
{
public:
    std::string GetDbmsName() const override;
    int LoadRelationships(CDbSession &session) override;
    int AddExtraTypes(CDbSession &session) override;
    int LoadTriggerNames(CDbSession &session, const std::string &table,
                         std::vector<std::string> &names) override;
};
