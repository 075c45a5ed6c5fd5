#include "db/sqlite/SqliteTokens.h"

#include "db/SqlText.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Letters, digits, '_' and '$' make up words, and so does every byte of a
// multi-byte UTF-8 character.
bool IsWordChar(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
           || u == '$' || u >= 0x80;
}

char ClosingQuote(char c)
{
    switch (c) {
    case '"': return '"';
    case '\'': return '\'';
    case '`': return '`';
    case '[': return ']';
    default: return 0;
    }
}

// Reads a quoted run from its opening quote at text[at] up to its closing
// quote; a doubled closing quote stands for one inside the run (brackets
// know no doubling). Returns the offset after the run.
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

// The offset after the comment starting at text[at], or `at` when none
// starts there.
size_t SkipComment(const std::string &text, size_t at)
{
    if (at + 1 >= text.size())
        return at;
    if (text[at] == '-' && text[at + 1] == '-') {
        const size_t end = text.find('\n', at);
        return end == std::string::npos ? text.size() : end + 1;
    }
    if (text[at] == '/' && text[at + 1] == '*') {
        const size_t end = text.find("*/", at + 2);
        return end == std::string::npos ? text.size() : end + 2;
    }
    return at;
}

} // namespace

CSqlTokens TokenizeSql(const std::string &text)
{
    CSqlTokens tokens;
    int depth = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const size_t afterComment = SkipComment(text, i);
        if (IsSpace(c)) {
            ++i;
            continue;
        }
        if (afterComment != i) {
            i = afterComment;
            continue;
        }
        CSqlToken token;
        token.m_begin = i;
        token.m_depth = depth;
        if (const char close = ClosingQuote(c)) {
            token.m_kind = c == '\'' ? CSqlToken::String : CSqlToken::Identifier;
            i = ReadQuoted(text, i, close, token.m_text);
        } else if (IsWordChar(c)) {
            while (i < text.size() && IsWordChar(text[i]))
                ++i;
            token.m_text = text.substr(token.m_begin, i - token.m_begin);
        } else {
            token.m_kind = CSqlToken::Punct;
            token.m_text = std::string(1, c);
            if (c == ')')
                token.m_depth = --depth;
            else if (c == '(')
                ++depth;
            ++i;
        }
        token.m_end = i;
        tokens.push_back(token);
    }
    return tokens;
}

namespace SqlTokens {

bool IsKeyword(const CSqlToken &token, const char *keyword)
{
    return token.m_kind == CSqlToken::Word && SqlText::ToLower(token.m_text) == keyword;
}

bool IsPunct(const CSqlToken &token, char c)
{
    return token.m_kind == CSqlToken::Punct && token.m_text[0] == c;
}

bool CanBeName(const CSqlToken &token) { return token.m_kind != CSqlToken::Punct; }

bool IsNameInExpression(const CSqlToken &token)
{
    return token.m_kind == CSqlToken::Word || token.m_kind == CSqlToken::Identifier;
}

bool SameName(const std::string &a, const std::string &b)
{
    return SqlText::ToLower(a) == SqlText::ToLower(b);
}

bool SameNames(const std::vector<std::string> &a, const std::vector<std::string> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameName(a[i], b[i]))
            return false;
    return true;
}

bool ContainsName(const std::vector<std::string> &names, const std::string &name)
{
    for (const std::string &candidate : names)
        if (SameName(candidate, name))
            return true;
    return false;
}

} // namespace SqlTokens
