#pragma once

#include "db/SchemaChange.h"

#include <string>

class CDbSession;

// An index or a trigger of the current schema read back from a PostgreSQL
// server's catalog, as the Index and Trigger dialogs show it.
namespace PostgresDefinitions {

// The index's uniqueness and its key columns with their direction, from
// pg_index; a refusal (the session's last error) for an index the dialog
// cannot show whole or that a constraint owns.
int ReadIndex(CDbSession &session, const std::string &table, const std::string &name, CCreateIndex &index);
// Timing and event from pg_trigger, the condition as the server writes it
// back, and the body of the trigger's function as Create Trigger took it.
int ReadTrigger(CDbSession &session, const std::string &table, const std::string &name,
                CCreateTrigger &trigger);

// The WHEN condition of a definition as pg_get_triggerdef writes it,
// without the brackets around it; empty when it has none.
std::string ConditionOf(const std::string &definition);
// What the user typed as the body, from the source of the function Create
// Trigger wrote: the statements it wrapped in BEGIN and RETURN, or the
// block as it stands.
std::string BodyOf(const std::string &source, const CCreateTrigger &trigger);

} // namespace PostgresDefinitions
