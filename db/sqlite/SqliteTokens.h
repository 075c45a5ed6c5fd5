#pragma once

#include <string>
#include <vector>

// One token of an SQL text as SQLite reads it, with the place it takes in
// the text, so that an edit can cut and insert at token boundaries and
// leave everything else as it was written. Comments are not tokens: they
// stay in the text between tokens.
struct CSqlToken
{
    enum Kind {
        Word,       // a keyword, a bare name or a number
        Identifier, // a name in "double quotes", `backticks` or [brackets]
        String,     // a 'string literal'
        Punct       // ( ) , ; . and every operator character
    };
    Kind m_kind = Word;
    std::string m_text; // without its quotes, doubled quotes made single
    int m_depth = 0;    // the parenthesis depth the token stands at
    size_t m_begin = 0; // offset of its first character in the text
    size_t m_end = 0;   // offset after its last character
};

using CSqlTokens = std::vector<CSqlToken>;

CSqlTokens TokenizeSql(const std::string &text);

namespace SqlTokens {

// A bare word equal to the lower-case keyword, in any letter case.
bool IsKeyword(const CSqlToken &token, const char *keyword);
bool IsPunct(const CSqlToken &token, char c);
// A token that can stand where SQLite expects a name: a word, a quoted
// identifier, or a string (SQLite accepts 'name' there too).
bool CanBeName(const CSqlToken &token);
// A token that names something in an expression: a word or a quoted
// identifier, never a string literal.
bool IsNameInExpression(const CSqlToken &token);
// SQLite compares names without regard to ASCII letter case.
bool SameName(const std::string &a, const std::string &b);
bool SameNames(const std::vector<std::string> &a, const std::vector<std::string> &b);
bool ContainsName(const std::vector<std::string> &names, const std::string &name);

} // namespace SqlTokens
