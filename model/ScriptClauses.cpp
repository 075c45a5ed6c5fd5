#include "model/ScriptClauses.h"

#include "db/SqlText.h"
#include "db/sqlite/SqliteTokens.h"

#include <algorithm>
#include <sstream>

namespace ScriptClauses {
namespace {

bool IsColumnOf(const CTableSchema &table, const std::string &name)
{
    for (const CSchemaColumn &column : table.m_columns)
        if (SqlTokens::SameName(column.m_name, name))
            return true;
    return false;
}

bool IsPortableWord(const CSqlTokens &tokens, size_t i, const CTableSchema &table)
{
    static const char *const kKeywords[] = {"constraint", "check", "and", "or",   "not",  "is",
                                            "null",       "in",    "between", "like", "true", "false"};
    const CSqlToken &token = tokens[i];
    if (i > 0 && SqlTokens::IsKeyword(tokens[i - 1], "constraint"))
        return true; // the constraint's name
    if (token.m_kind == CSqlToken::Identifier || token.m_kind == CSqlToken::String)
        return token.m_kind == CSqlToken::String || IsColumnOf(table, token.m_text);
    if (isdigit(static_cast<unsigned char>(token.m_text.front())) || token.m_text.front() == '.')
        return true;
    for (const char *keyword : kKeywords)
        if (SqlTokens::IsKeyword(token, keyword))
            return true;
    const bool call = i + 1 < tokens.size() && SqlTokens::IsPunct(tokens[i + 1], '(');
    return !call && IsColumnOf(table, token.m_text);
}

} // namespace

bool IsUnique(const std::string &clause)
{
    std::istringstream words(SqlText::ToLower(clause));
    std::string word;
    words >> word;
    if (word == "constraint")
        words >> word >> word;
    return word.rfind("unique", 0) == 0;
}

bool IsPortableCheck(const std::string &clause, const CTableSchema &table)
{
    const CSqlTokens tokens = TokenizeSql(clause);
    if (clause.find("::") != std::string::npos || clause.find("==") != std::string::npos)
        return false;
    bool check = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const CSqlToken &token = tokens[i];
        check = check || SqlTokens::IsKeyword(token, "check");
        const bool quoted = token.m_kind == CSqlToken::Identifier && clause[token.m_begin] != '"';
        if (quoted || (token.m_kind == CSqlToken::Punct ? token.m_text.find_first_not_of("()+-*/<>=!,%|")
                                                                != std::string::npos
                                                          : !IsPortableWord(tokens, i, table)))
            return false;
    }
    return check;
}

std::string InCapitals(std::string clause)
{
    static const char *const kLeading[] = {"constraint", "unique", "check", "collate"};
    size_t at = 0;
    for (bool named = false;;) {
        const size_t end = std::min(clause.find_first_of(" (", at), clause.size());
        const std::string word = SqlText::ToLower(clause.substr(at, end - at));
        const bool keyword = std::find(std::begin(kLeading), std::end(kLeading), word) != std::end(kLeading);
        if (!keyword)
            return clause;
        for (size_t i = at; i < end; ++i)
            clause[i] = static_cast<char>(toupper(static_cast<unsigned char>(clause[i])));
        if (word != "constraint" || named || end >= clause.size())
            return clause;
        // CONSTRAINT name: the name stays, the keyword after it goes on.
        named = true;
        at = clause.find(' ', clause.find_first_not_of(' ', end));
        if (at == std::string::npos)
            return clause;
        at = clause.find_first_not_of(' ', at);
    }
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsWordStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

// Every character from `from` on is one of `allowed`.
template <typename Allowed>
bool RestIs(const std::string &text, size_t from, Allowed allowed)
{
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), allowed);
}

// A number as SQLite reads one: digits (hexadecimal after 0x, with a
// fraction or an exponent), or a fraction alone, with an optional sign.
bool IsNumberLike(const std::string &text)
{
    const size_t at = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (at < text.size() && IsDigit(text[at]))
        return RestIs(text, at + 1, [](char c) {
            return IsHexDigit(c) || c == 'x' || c == 'X' || c == '.' || c == '+' || c == '-';
        });
    return at + 1 < text.size() && text[at] == '.' && IsDigit(text[at + 1])
           && RestIs(text, at + 2, [](char c) { return IsDigit(c) || c == 'e' || c == 'E' || c == '+' || c == '-'; });
}

// Text in these quotes from the first character to the last, a quote
// inside written twice.
bool IsQuoted(const std::string &text, char quote)
{
    if (text.size() < 2 || text.front() != quote || text.back() != quote)
        return false;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != quote)
            continue;
        if (i + 2 >= text.size() || text[i + 1] != quote)
            return false;
        ++i;
    }
    return true;
}

// A value SQLite takes after DEFAULT without parentheses: a number, a
// string, a quoted name, a blob literal or a single word.
bool IsPlainDefault(const std::string &value)
{
    if (value.empty())
        return false;
    if (IsNumberLike(value) || IsQuoted(value, '\'') || IsQuoted(value, '"'))
        return true;
    if ((value[0] == 'x' || value[0] == 'X') && value.size() >= 3 && value[1] == '\'' && value.back() == '\'')
        return std::all_of(value.begin() + 2, value.end() - 1, IsHexDigit);
    return IsWordStart(value[0]) && RestIs(value, 1, [](char c) { return IsWordStart(c) || IsDigit(c); });
}

} // namespace

std::string DefaultClause(std::string value, ScriptEngine target)
{
    if (target == ScriptEngine::Sqlite && !IsPlainDefault(value))
        value = "(" + value + ")";
    return " DEFAULT " + value;
}

} // namespace ScriptClauses
