#pragma once

#include "db/TypeConversion.h"
#include "model/SchemaModel.h"

#include <string>

// How a schema script writes the clauses it takes from the source as
// written, and which of them mean the same on the other engine.
namespace ScriptClauses {

// A UNIQUE clause, named or not, means the same on both engines.
bool IsUnique(const std::string &clause);
// A CHECK made only of the table's columns, literals, operators and the
// keywords both engines read alike carries over as it stands; a function,
// a cast or an operator of one engine's own does not.
bool IsPortableCheck(const std::string &clause, const CTableSchema &table);
// The clause with its leading keywords in capitals like every other
// keyword of the script: "unique" and "check (qty > 0)" become UNIQUE and
// CHECK (qty > 0); names and expressions stay as written.
std::string InCapitals(std::string clause);
// " DEFAULT value": SQLite takes a default that is more than one literal
// or word only in parentheses, and keeps it without them.
std::string DefaultClause(std::string value, ScriptEngine target);

} // namespace ScriptClauses
