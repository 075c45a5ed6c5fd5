#include "db/TypeConversion.h"

#include "db/SqlText.h"

#include <regex>

namespace TypeConversion {
namespace {

enum Way { Both, ToPostgres, ToSqlite };

// The one table of type names. A row is read left to right when a SQLite
// type goes to PostgreSQL and right to left on the way back; the first
// row that fits wins. Sized rows keep the size the source wrote.
struct CTypeRow
{
    const char *sqlite;
    const char *postgres;
    Way way;
    bool sized;
};

const CTypeRow kTypes[] = {
    {"integer", "integer", Both, false},
    {"int", "integer", ToPostgres, false},
    {"mediumint", "integer", ToPostgres, false},
    {"smallint", "smallint", Both, false},
    {"tinyint", "smallint", ToPostgres, false},
    {"bigint", "bigint", Both, false},
    {"integer", "serial", ToSqlite, false},
    {"bigint", "bigserial", ToSqlite, false},
    {"smallint", "smallserial", ToSqlite, false},
    {"varchar", "varchar", Both, true},
    {"varchar", "character varying", ToSqlite, true},
    {"nvarchar", "varchar", ToPostgres, true},
    {"char", "char", Both, true},
    {"char", "character", Both, true},
    {"char", "bpchar", ToSqlite, true},
    {"nchar", "char", ToPostgres, true},
    {"text", "text", Both, false},
    {"clob", "text", ToPostgres, false},
    {"real", "double precision", Both, false},
    {"double", "double precision", ToPostgres, false},
    {"float", "double precision", ToPostgres, false},
    {"real", "real", ToSqlite, false},
    {"numeric", "numeric", Both, true},
    {"decimal", "numeric", ToPostgres, true},
    {"boolean", "boolean", Both, false},
    {"bool", "boolean", ToPostgres, false},
    {"date", "date", Both, false},
    {"datetime", "timestamp", ToPostgres, false},
    {"timestamp", "timestamp", Both, false},
    {"timestamp", "timestamp without time zone", ToSqlite, false},
    {"timestamp", "timestamp with time zone", ToSqlite, false},
    {"time", "time", Both, false},
    {"time", "time without time zone", ToSqlite, false},
    {"blob", "bytea", Both, false},
};

// A SQLite type no row names goes by the affinity SQLite gives it, in the
// order SQLite's rules test the name.
std::string ByAffinity(const std::string &base)
{
    const auto has = [&base](const char *part) { return base.find(part) != std::string::npos; };
    if (has("int"))
        return "integer";
    if (has("char") || has("clob") || has("text") || base.empty())
        return "text";
    if (has("blob"))
        return "bytea";
    if (has("real") || has("floa") || has("doub"))
        return "double precision";
    return "numeric";
}

// A PostgreSQL type no row names keeps its name when SQLite can read it
// as a type name (plain words), and is text otherwise (an array, a
// domain in another schema).
std::string PlainOrText(const std::string &base)
{
    static const std::regex kWords("[a-z_][a-z0-9_ ]*");
    return std::regex_match(base, kWords) ? base : std::string("text");
}

} // namespace

const char *EngineName(ScriptEngine engine)
{
    return engine == ScriptEngine::Sqlite ? "SQLite" : "PostgreSQL";
}

std::string ConvertType(const std::string &type, ScriptEngine from, ScriptEngine to)
{
    if (from == to)
        return type;
    // "numeric(10,2)": base "numeric", size "(10,2)"; "timestamp(3) without
    // time zone": base "timestamp without time zone".
    const std::string lower = SqlText::ToLower(type);
    const size_t open = lower.find('('), close = lower.find(')');
    std::string base = lower, size;
    if (open != std::string::npos && close != std::string::npos && close > open) {
        size = lower.substr(open, close - open + 1);
        base = lower.substr(0, open) + lower.substr(close + 1);
    }
    base = std::regex_replace(base, std::regex(" +"), " ");
    base = std::regex_replace(base, std::regex("^ | $"), "");
    const bool toPostgres = to == ScriptEngine::Postgres;
    for (const CTypeRow &row : kTypes) {
        if (row.way == (toPostgres ? ToSqlite : ToPostgres))
            continue;
        if (base == (toPostgres ? row.sqlite : row.postgres))
            return std::string(toPostgres ? row.postgres : row.sqlite) + (row.sized ? size : "");
    }
    return toPostgres ? ByAffinity(base) : PlainOrText(base);
}

namespace {

bool IsLiteral(const std::string &text)
{
    static const std::regex kLiteral(
        "[-+]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][-+]?[0-9]+)?|'([^']|'')*'|null|true|false"
        "|current_timestamp|current_date|current_time",
        std::regex::icase);
    return std::regex_match(text, kLiteral);
}

// 'N'::bpchar, (0)::numeric and ('x'::text)::varchar are literals
// PostgreSQL wrote back with their casts; the literal alone carries over.
std::string WithoutCasts(std::string text)
{
    static const std::regex kCast("^\\(?(.*?)\\)?::[a-z ]+(\\([0-9, ]+\\))?(\\[\\])?$", std::regex::icase);
    std::smatch match;
    while (std::regex_match(text, match, kCast))
        text = match[1].str();
    return text;
}

std::string WithoutParentheses(std::string text)
{
    while (text.size() >= 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    return text;
}

} // namespace

bool ConvertDefault(const std::string &expression, const std::string &targetType, ScriptEngine from,
                    ScriptEngine to, std::string &converted)
{
    converted = expression;
    if (from == to || expression.empty())
        return true;
    std::string value = WithoutParentheses(from == ScriptEngine::Postgres ? WithoutCasts(expression)
                                                                          : expression);
    const std::string lower = SqlText::ToLower(value);
    if (lower == "now()" || lower == "localtimestamp")
        value = "CURRENT_TIMESTAMP";
    if (!IsLiteral(value))
        return false;
    // SQLite keeps truth values as 0 and 1; PostgreSQL's boolean takes
    // only its own words.
    const bool truth = value == "0" || value == "1";
    if (to == ScriptEngine::Postgres && SqlText::ToLower(targetType) == "boolean" && truth)
        value = value == "1" ? "true" : "false";
    converted = value;
    return true;
}

} // namespace TypeConversion
