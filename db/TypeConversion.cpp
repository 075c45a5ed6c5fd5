#include "db/TypeConversion.h"

#include "db/SqlText.h"

#include <cctype>

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

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A PostgreSQL type no row names keeps its name when SQLite can read it
// as a type name (plain words), and is text otherwise (an array, a
// domain in another schema).
std::string PlainOrText(const std::string &base)
{
    bool plain = !base.empty() && (IsLowerLetter(base[0]) || base[0] == '_');
    for (const char c : base)
        plain = plain && (IsLowerLetter(c) || IsDigit(c) || c == '_' || c == ' ');
    return plain ? base : std::string("text");
}

// Runs of blanks as one, none at either end.
std::string SingleSpaced(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
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
    base = SingleSpaced(base);
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

// Digits from `at`; returns where they end.
size_t SkipDigits(const std::string &text, size_t at)
{
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

// A number: an optional sign, digits with an optional fraction (or a
// fraction alone), an optional exponent.
bool IsNumber(const std::string &text)
{
    size_t at = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const size_t whole = SkipDigits(text, at);
    bool digits = whole > at;
    at = whole;
    if (at < text.size() && text[at] == '.') {
        const size_t fraction = SkipDigits(text, at + 1);
        digits = digits || fraction > at + 1;
        at = fraction;
    }
    if (!digits)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '-' || text[exponent] == '+'))
            ++exponent;
        at = SkipDigits(text, exponent);
        if (at == exponent)
            return false;
    }
    return at == text.size();
}

// A string in single quotes, a quote inside written twice.
bool IsQuotedString(const std::string &text)
{
    if (text.size() < 2 || text.front() != '\'' || text.back() != '\'')
        return false;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != '\'')
            continue;
        if (i + 2 >= text.size() || text[i + 1] != '\'')
            return false;
        ++i;
    }
    return true;
}

bool IsLiteral(const std::string &text)
{
    static const char *const kWords[] = {"null", "true", "false", "current_timestamp", "current_date",
                                         "current_time"};
    const std::string lower = SqlText::ToLower(text);
    for (const char *word : kWords)
        if (lower == word)
            return true;
    return IsNumber(text) || IsQuotedString(text);
}

// Whether the text after a "::" is a type a cast names: words,
// an optional size in parentheses and an optional "[]".
bool IsCastType(const std::string &text)
{
    size_t at = 0;
    while (at < text.size() && (std::isalpha(static_cast<unsigned char>(text[at])) || text[at] == ' '))
        ++at;
    if (at == 0)
        return false;
    if (at < text.size() && text[at] == '(') {
        const size_t open = at++;
        while (at < text.size() && (IsDigit(text[at]) || text[at] == ',' || text[at] == ' '))
            ++at;
        if (at == open + 1 || at >= text.size() || text[at] != ')')
            return false;
        ++at;
    }
    if (text.compare(at, std::string::npos, "[]") == 0)
        at += 2;
    return at == text.size();
}

// 'N'::bpchar, (0)::numeric and ('x'::text)::varchar are literals
// PostgreSQL wrote back with their casts; the literal alone carries over.
// The cast is the last "::" of the text, and one parenthesis around what
// it casts goes with it.
std::string WithoutCasts(std::string text)
{
    for (;;) {
        const size_t cast = text.rfind("::");
        if (cast == std::string::npos || !IsCastType(text.substr(cast + 2)))
            return text;
        std::string castOf = text.substr(0, cast);
        if (!castOf.empty() && castOf.front() == '(')
            castOf.erase(0, 1);
        if (!castOf.empty() && castOf.back() == ')')
            castOf.pop_back();
        text = castOf;
    }
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
