#pragma once

#include "db/CatalogTables.h"
#include "model/SchemaModel.h"

#include <string>
#include <vector>

class CDbSession;

// Reading the schema model from the catalog of a connected session,
// through the engine's adapter. Each read closes its statements, also
// after a failure; the session's GetErrorText then tells what went wrong.
namespace SchemaLoader {

// The user's tables in catalog order: the engine's own tables are no part
// of the diagram.
int ListUserTables(CDbSession &session, std::vector<std::string> &names);
// One table's columns, indexes with their segments, and triggers.
int LoadTable(CDbSession &session, const std::string &name, CTableSchema &table);
// How LoadTables reads the catalog: Best takes the adapter's bulk read
// where the engine has one and the session's driver options allow it;
// PerTable always calls the catalog functions table by table (what an
// engine without a bulk read gets).
enum class CatalogRead { Best, PerTable };
// The named tables, appended in the order given. `step` hears how far the
// load has come (done of the number of names); when it answers false the
// load stops with DbResult::kCancelled. What was built before a failure or
// a cancel stays in `tables`: the tables read so far by the per-table read;
// none when the bulk read itself failed.
int LoadTables(CDbSession &session, const std::vector<std::string> &names,
               std::vector<CTableSchema> &tables, const CCatalogProgress &step = nullptr,
               CatalogRead read = CatalogRead::Best);
// What a schema script needs of the table beyond the diagram, through the
// engine's adapter; an engine that cannot read it refuses.
int LoadDefinitions(CDbSession &session, CTableSchema &table);
// The foreign-key relationships; on failure the model keeps those it had.
int LoadRelationships(CDbSession &session, CSchemaModel &model);

} // namespace SchemaLoader
