#include "db/SqliteAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"

std::string CSqliteAdapter::GetDbmsName() const { return "SQLite"; }

int CSqliteAdapter::LoadRelationships(CDbSession &) { return DbResult::kOk; }

int CSqliteAdapter::AddExtraTypes(CDbSession &) { return DbResult::kOk; }

int CSqliteAdapter::LoadTriggerNames(CDbSession &, const std::string &, std::vector<std::string> &)
{
    return DbResult::kOk;
}
