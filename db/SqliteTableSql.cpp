#include "db/SqliteTableSql.h"

#include "db/SqlText.h"

#include <cctype>

namespace {

struct CToken
{
    enum Kind { Word, Quoted, Punct };
    Kind m_kind = Word;
    std::string m_text; // unquoted for Quoted tokens
    int m_depth = 0;    // parenthesis depth the token stands at
};

bool IsPunct(char c) { return c == '(' || c == ')' || c == ',' || c == ';' || c == '.'; }

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Reads a quoted run starting at text[at] (the opening quote) up to its
// closing quote; a doubled closing quote stands for one inside the run.
size_t ReadQuoted(const std::string &text, size_t at, char close, std::string &out)
{
    size_t i = at + 1;
    for (; i < text.size(); ++i) {
        if (text[i] != close) {
            out += text[i];
            continue;
        }
        if (close != ']' && i + 1 < text.size() && text[i + 1] == close) {
            out += close;
            ++i;
            continue;
        }
        return i + 1;
    }
    return i; // unterminated: the rest of the text
}

std::vector<CToken> Tokenize(const std::string &text)
{
    std::vector<CToken> tokens;
    int depth = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsSpace(c)) {
            ++i;
        } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            const size_t end = text.find('\n', i);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 2;
        } else if (c == '"' || c == '\'' || c == '`' || c == '[') {
            CToken token{CToken::Quoted, std::string(), depth};
            i = ReadQuoted(text, i, c == '[' ? ']' : c, token.m_text);
            tokens.push_back(token);
        } else if (IsPunct(c)) {
            if (c == ')')
                --depth;
            tokens.push_back({CToken::Punct, std::string(1, c), depth});
            if (c == '(')
                ++depth;
            ++i;
        } else {
            const size_t start = i;
            while (i < text.size() && !IsSpace(text[i]) && !IsPunct(text[i]) && text[i] != '"'
                   && text[i] != '\'' && text[i] != '`' && text[i] != '[')
                ++i;
            tokens.push_back({CToken::Word, text.substr(start, i - start), depth});
        }
    }
    return tokens;
}

bool IsKeyword(const CToken &token, const char *keyword)
{
    return token.m_kind == CToken::Word && SqlText::ToLower(token.m_text) == keyword;
}

bool IsPunct(const CToken &token, char c)
{
    return token.m_kind == CToken::Punct && token.m_text[0] == c;
}

// The tokens of one column definition or table constraint: the run between
// two commas of the definition list.
using CElement = std::vector<CToken>;

std::vector<CElement> DefinitionElements(const std::vector<CToken> &tokens)
{
    std::vector<CElement> elements;
    size_t i = 0;
    while (i < tokens.size() && !IsPunct(tokens[i], '('))
        ++i;
    if (i == tokens.size())
        return elements;
    const int listDepth = tokens[i].m_depth + 1;
    elements.emplace_back();
    for (++i; i < tokens.size(); ++i) {
        const CToken &token = tokens[i];
        if (token.m_depth < listDepth)
            break; // the closing parenthesis of the list
        if (token.m_depth == listDepth && IsPunct(token, ','))
            elements.emplace_back();
        else
            elements.back().push_back(token);
    }
    return elements;
}

bool StartsTableConstraint(const CToken &token)
{
    return IsKeyword(token, "constraint") || IsKeyword(token, "primary")
        || IsKeyword(token, "unique") || IsKeyword(token, "check") || IsKeyword(token, "foreign");
}

// Reads "( name, name ... )" starting at element[at]; returns the index
// after the closing parenthesis, or `at` when no list starts there.
size_t ReadNameList(const CElement &element, size_t at, std::vector<std::string> &names)
{
    if (at >= element.size() || !IsPunct(element[at], '('))
        return at;
    const int depth = element[at].m_depth + 1;
    size_t i = at + 1;
    bool expectName = true;
    for (; i < element.size() && element[i].m_depth >= depth; ++i) {
        const CToken &token = element[i];
        if (token.m_depth != depth)
            continue;
        if (IsPunct(token, ','))
            expectName = true;
        else if (expectName && token.m_kind != CToken::Punct) {
            names.push_back(token.m_text);
            expectName = false;
        }
    }
    return i < element.size() ? i + 1 : i;
}

void ScanElement(const CElement &element, std::vector<CSqliteForeignKeyClause> &clauses)
{
    if (element.empty())
        return;
    const int depth = element.front().m_depth;
    const bool isColumn = !StartsTableConstraint(element.front());
    std::string pendingName;
    size_t namedAt = std::string::npos; // token index the pending name applies to
    for (size_t i = isColumn ? 1 : 0; i < element.size(); ++i) {
        const CToken &token = element[i];
        if (token.m_depth != depth)
            continue;
        if (IsKeyword(token, "constraint") && i + 1 < element.size()) {
            pendingName = element[i + 1].m_text;
            namedAt = i + 2;
            ++i;
            continue;
        }
        CSqliteForeignKeyClause clause;
        size_t references = std::string::npos;
        if (!isColumn && IsKeyword(token, "foreign") && i + 1 < element.size()
            && IsKeyword(element[i + 1], "key")) {
            const size_t after = ReadNameList(element, i + 2, clause.m_columns);
            if (after < element.size() && IsKeyword(element[after], "references"))
                references = after;
        } else if (isColumn && IsKeyword(token, "references")) {
            clause.m_columns.push_back(element.front().m_text);
            references = i;
        }
        if (references == std::string::npos || references + 1 >= element.size())
            continue;
        if (namedAt == i)
            clause.m_name = pendingName;
        clause.m_parentTable = element[references + 1].m_text;
        clauses.push_back(clause);
        i = references + 1;
    }
}

} // namespace

std::vector<CSqliteForeignKeyClause> ParseForeignKeyClauses(const std::string &createTable)
{
    std::vector<CSqliteForeignKeyClause> clauses;
    const std::vector<CToken> tokens = Tokenize(createTable);
    if (tokens.size() < 2 || !IsKeyword(tokens[0], "create"))
        return clauses;
    for (const CElement &element : DefinitionElements(tokens))
        ScanElement(element, clauses);
    return clauses;
}
