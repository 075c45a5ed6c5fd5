#pragma once

#include <string>

// Checks of the pieces of SQL a user types into a field that a statement
// then carries verbatim: a column default, a trigger condition, a trigger
// body. Such a piece must stay inside the place the statement gives it;
// text that would end the statement, open a second one, or swallow what
// follows it is refused before anything is sent.
//
// Each engine splits its text by its own rules, so each is read by them:
//  - Standard (Pervasive.SQL): 'strings' and "identifiers", quotes doubled.
//    A comment is refused outright, since whether the engine reads "--"
//    and "/*" as comments decides where the text ends.
//  - Sqlite: also [identifiers] and `identifiers`, "--" comments to the
//    line end and "/* */" comments that do not nest.
//  - Postgres: also E'strings' with backslash escapes, $tag$ dollar
//    quotes $tag$, and "/* */" comments that nest. A plain 'string' is read
//    both with and without backslash escapes (the server's
//    standard_conforming_strings decides) and must pass both ways.
enum class SqlSyntax { Standard, Sqlite, Postgres };

namespace SqlFragment {

// Empty when the text is one expression; otherwise what makes it more, in
// words that follow "it has": brackets that do not match, a ';' outside
// quotes, a ',' outside brackets, an unclosed quote or comment, or a
// comment that runs to its end (it would swallow what the statement puts
// after it).
std::string WhyNotOneExpression(const std::string &text, SqlSyntax syntax);

// The message a refused field gives:
// "The <field> is not <shape>: it has <why>. Nothing was changed."
std::string Refusal(const std::string &field, const char *shape, const std::string &why);

// Empty when the trigger condition is empty or one expression; otherwise
// its refusal.
std::string CheckCondition(const std::string &condition, SqlSyntax syntax);

// A trigger body as the engine will read it.
struct CBody
{
    std::string m_error; // empty when it can be used; else words after "it has"
    bool m_block = false; // already a BEGIN ... END block (Postgres: or DECLARE ...)
    // Plain body: the offset after its last token; a block on SQLite: after
    // its END, where the block ends (a ';' and comments after it go).
    size_t m_end = 0;
    bool m_endsWithSemicolon = false; // its last token is a ';'
};

// SQLite ends a trigger at the first END outside a CASE: a plain body
// must have none, and a block must end at its own END, with nothing but
// ';' and comments after it.
CBody ReadSqliteBody(const std::string &text);

// PostgreSQL runs the body inside a function whose dollar quotes it cannot
// leave; it must only close every quote and comment it opens, so that the
// RETURN and END put after it are read.
CBody ReadPostgresBody(const std::string &text);

// The text with a ';' right after its last token unless that token is one:
// a body that ends in a comment gets its statement closed before the
// comment, not inside it.
std::string ClosedBody(const std::string &text, const CBody &body);

} // namespace SqlFragment
