#include "model/ScriptClauses.h"

#include "db/SqlText.h"
#include "db/sqlite/SqliteTokens.h"

#include <algorithm>
#include <regex>
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

std::string DefaultClause(std::string value, ScriptEngine target)
{
    static const std::regex kLiteral("[-+]?[0-9][0-9a-fA-FxX.eE+-]*|[-+]?\\.[0-9][0-9eE+-]*"
                                     "|'([^']|'')*'|\"([^\"]|\"\")*\"|[xX]'[0-9a-fA-F]*'"
                                     "|[A-Za-z_][A-Za-z0-9_]*");
    if (target == ScriptEngine::Sqlite && !std::regex_match(value, kLiteral))
        value = "(" + value + ")";
    return " DEFAULT " + value;
}

} // namespace ScriptClauses
