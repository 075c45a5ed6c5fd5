#pragma once

#include <string>

// Carrying column types and defaults from one engine's SQL to another's,
// for a schema script written for another engine than its source. Every
// type goes through one table (TypeConversion.cpp), so what maps to what
// can be read in one place.
enum class ScriptEngine { Sqlite, Postgres };

namespace TypeConversion {

// The engine's name as users know it, for the script's comments.
const char *EngineName(ScriptEngine engine);

// The type the target declares for a column the source declares with
// `type` (sizes kept where the target has them). The same engine gives
// the type back unchanged.
std::string ConvertType(const std::string &type, ScriptEngine from, ScriptEngine to);

// The default expression the target writes for the source's, for a column
// of the target type; false when it does not carry over (a function of
// one engine, a sequence), and the column is then written without it. The
// same engine gives the expression back unchanged.
bool ConvertDefault(const std::string &expression, const std::string &targetType, ScriptEngine from,
                    ScriptEngine to, std::string &converted);

} // namespace TypeConversion
