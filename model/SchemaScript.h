#pragma once

#include "db/TypeConversion.h"
#include "model/SchemaModel.h"

#include <string>
#include <vector>

class CDbSession;

// The schema as one SQL script that builds it on an empty database: each
// table with its columns, defaults, null rules and primary key, followed by
// its indexes; then the foreign keys, where the engine takes them after
// every table exists (PostgreSQL) or inside their tables (SQLite, which
// checks a key only when it is used, so any order of tables and any cycle
// of keys loads); then the triggers, with their functions on PostgreSQL.
// Written for the source's engine or converted to the other one; what
// does not carry over to the other engine is written as a comment line,
// never as SQL the target would reject.
namespace SchemaScript {

// The script of the named tables of the model, in the order named. The
// tables carry their definitions (SchemaLoader::LoadDefinitions).
std::string Write(const CSchemaModel &model, const std::vector<std::string> &tables, ScriptEngine source,
                  ScriptEngine target);

// The engine of the session's connection; false for an engine whose
// script cannot be written here.
bool EngineOf(const CDbSession &session, ScriptEngine &engine);

// Reads the named tables (every user table when none is named) from the
// connected session's catalog and writes their script for the target, or
// for the session's own engine when target is null. False, with a reason
// on one line, when nothing could be written; false without one when
// there is no table to write.
bool Export(CDbSession &session, std::vector<std::string> tables, const ScriptEngine *target,
            std::string &script, std::string &error);

} // namespace SchemaScript
