#include "db/SqlFragment.h"

#include "db/SqlText.h"

#include <vector>

namespace SqlFragment {

namespace {

struct CToken
{
    enum Kind { Word, Quoted, Punct };
    Kind m_kind = Word;
    std::string m_lower; // a word in small letters; a punctuation character
    size_t m_begin = 0;
    size_t m_end = 0;
};

struct CScan
{
    std::vector<CToken> m_tokens;
    std::string m_error;
    bool m_endsInLineComment = false; // a "--" comment reaches the end of the text
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool IsWordStart(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

bool IsWordChar(char c) { return IsWordStart(c) || (c >= '0' && c <= '9') || c == '$'; }

// Reads the text the way one engine splits it. Only what decides where a
// token begins and ends matters here; the words themselves are not parsed.
class CScanner
{
public:
    CScanner(const std::string &text, SqlSyntax syntax, bool backslashEscapes)
        : m_text(text), m_syntax(syntax), m_backslashes(backslashEscapes)
    {
    }

    CScan Run()
    {
        while (m_at < m_text.size() && m_scan.m_error.empty()) {
            if (IsSpace(m_text[m_at]))
                ++m_at;
            else if (!SkipComment())
                ReadToken();
        }
        return m_scan;
    }

private:
    bool StartsWith(const char *two) const { return m_text.compare(m_at, 2, two) == 0; }

    bool SkipComment()
    {
        if (!StartsWith("--") && !StartsWith("/*"))
            return false;
        if (m_syntax == SqlSyntax::Standard) {
            m_scan.m_error = "a comment";
            return true;
        }
        if (StartsWith("--")) {
            const size_t end = m_text.find('\n', m_at);
            m_scan.m_endsInLineComment = end == std::string::npos;
            m_at = end == std::string::npos ? m_text.size() : end + 1;
            return true;
        }
        int depth = 1;
        for (size_t i = m_at + 2; i + 1 < m_text.size();) {
            if (m_syntax == SqlSyntax::Postgres && m_text.compare(i, 2, "/*") == 0) {
                ++depth;
                i += 2;
            } else if (m_text.compare(i, 2, "*/") == 0) {
                i += 2;
                if (--depth == 0) {
                    m_at = i;
                    return true;
                }
            } else {
                ++i;
            }
        }
        m_scan.m_error = "an unclosed comment";
        return true;
    }

    void ReadToken()
    {
        CToken token;
        token.m_begin = m_at;
        const char c = m_text[m_at];
        if (const char close = ClosingQuote(c)) {
            token.m_kind = CToken::Quoted;
            m_at = QuotedEnd(m_at, close, c == '\'' && m_backslashes);
        } else if (m_syntax == SqlSyntax::Postgres && c == '$' && DollarTagAt(m_at)) {
            token.m_kind = CToken::Quoted;
            m_at = DollarQuoteEnd();
        } else if (IsWordChar(c)) {
            while (m_at < m_text.size() && IsWordChar(m_text[m_at]))
                ++m_at;
            token.m_lower = SqlText::ToLower(m_text.substr(token.m_begin, m_at - token.m_begin));
            if (IsEscapeStringPrefix(token)) {
                token.m_kind = CToken::Quoted;
                m_at = QuotedEnd(m_at, '\'', true);
            }
        } else {
            token.m_kind = CToken::Punct;
            token.m_lower = std::string(1, c);
            ++m_at;
        }
        token.m_end = m_at;
        if (m_scan.m_error.empty())
            m_scan.m_tokens.push_back(token);
    }

    char ClosingQuote(char c) const
    {
        if (c == '\'' || c == '"')
            return c;
        if (m_syntax != SqlSyntax::Sqlite)
            return 0;
        return c == '`' ? '`' : c == '[' ? ']' : 0;
    }

    // PostgreSQL's E'...' (and e'...') right after the word E.
    bool IsEscapeStringPrefix(const CToken &word) const
    {
        return m_syntax == SqlSyntax::Postgres && word.m_lower == "e" && m_at < m_text.size()
               && m_text[m_at] == '\'';
    }

    // The offset after the quoted run opening at `at`: a doubled closing
    // quote stands for one (brackets know no doubling), and with escapes a
    // backslash takes the character after it along.
    size_t QuotedEnd(size_t at, char close, bool escapes)
    {
        for (size_t i = at + 1; i < m_text.size(); ++i) {
            if (escapes && m_text[i] == '\\') {
                ++i;
            } else if (m_text[i] == close) {
                if (close == ']' || i + 1 >= m_text.size() || m_text[i + 1] != close)
                    return i + 1;
                ++i;
            }
        }
        m_scan.m_error = "an unclosed quote";
        return m_text.size();
    }

    // "$$" or "$tag$" where the tag is a name that does not start with a
    // digit ("$1" is a parameter).
    bool DollarTagAt(size_t at)
    {
        size_t i = at + 1;
        if (i < m_text.size() && IsWordStart(m_text[i]))
            while (i < m_text.size() && IsWordChar(m_text[i]) && m_text[i] != '$')
                ++i;
        if (i >= m_text.size() || m_text[i] != '$')
            return false;
        m_tag = m_text.substr(at, i + 1 - at);
        return true;
    }

    size_t DollarQuoteEnd()
    {
        const size_t close = m_text.find(m_tag, m_at + m_tag.size());
        if (close == std::string::npos) {
            m_scan.m_error = "an unclosed quote";
            return m_text.size();
        }
        return close + m_tag.size();
    }

    const std::string &m_text;
    SqlSyntax m_syntax;
    bool m_backslashes;
    size_t m_at = 0;
    std::string m_tag;
    CScan m_scan;
};

bool IsPunct(const CToken &token, char c) { return token.m_kind == CToken::Punct && token.m_lower[0] == c; }
bool IsWord(const CToken &token, const char *word) { return token.m_kind == CToken::Word && token.m_lower == word; }

std::string ExpressionError(const CScan &scan, SqlSyntax syntax)
{
    if (!scan.m_error.empty())
        return scan.m_error;
    if (scan.m_endsInLineComment)
        return "a comment that runs to its end";
    int depth = 0;
    for (const CToken &token : scan.m_tokens) {
        if (IsPunct(token, ';'))
            return "a ';' outside quotes";
        if (IsPunct(token, '(') || (syntax == SqlSyntax::Postgres && IsPunct(token, '[')))
            ++depth;
        else if (IsPunct(token, ')') || (syntax == SqlSyntax::Postgres && IsPunct(token, ']')))
            --depth;
        if (depth < 0)
            return "a closing bracket without its opening one";
        if (depth == 0 && IsPunct(token, ','))
            return "a ',' outside brackets";
    }
    return depth > 0 ? "an opening bracket that is not closed" : "";
}

// The index of the first END that is not the end of a CASE, from `from`
// on; the token count when there is none.
size_t FirstBodyEnd(const std::vector<CToken> &tokens, size_t from)
{
    int cases = 0;
    for (size_t i = from; i < tokens.size(); ++i) {
        if (IsWord(tokens[i], "case"))
            ++cases;
        else if (IsWord(tokens[i], "end") && cases-- == 0)
            return i;
    }
    return tokens.size();
}

// The last token that is not a ';'; the token count when there is none.
size_t LastBeforeSemicolons(const std::vector<CToken> &tokens)
{
    size_t last = tokens.size();
    while (last > 0 && IsPunct(tokens[last - 1], ';'))
        --last;
    return last == 0 ? tokens.size() : last - 1;
}

CBody PlainBody(const std::vector<CToken> &tokens)
{
    CBody body;
    body.m_end = tokens.back().m_end;
    body.m_endsWithSemicolon = IsPunct(tokens.back(), ';');
    return body;
}

CBody Refused(std::string why)
{
    CBody body;
    body.m_error = std::move(why);
    return body;
}

} // namespace

std::string WhyNotOneExpression(const std::string &text, SqlSyntax syntax)
{
    std::string why = ExpressionError(CScanner(text, syntax, false).Run(), syntax);
    if (why.empty() && syntax == SqlSyntax::Postgres)
        why = ExpressionError(CScanner(text, syntax, true).Run(), syntax);
    return why;
}

std::string Refusal(const std::string &field, const char *shape, const std::string &why)
{
    return "The " + field + " is not " + shape + ": it has " + why + ". Nothing was changed.";
}

std::string CheckCondition(const std::string &condition, SqlSyntax syntax)
{
    if (condition.empty())
        return std::string();
    const std::string why = WhyNotOneExpression(condition, syntax);
    return why.empty() ? why : Refusal("trigger condition", "one expression", why);
}

CBody ReadSqliteBody(const std::string &text)
{
    const CScan scan = CScanner(text, SqlSyntax::Sqlite, false).Run();
    if (!scan.m_error.empty())
        return Refused(scan.m_error);
    const std::vector<CToken> &tokens = scan.m_tokens;
    if (tokens.empty())
        return Refused("no statement");
    const bool block = IsWord(tokens.front(), "begin");
    const size_t end = FirstBodyEnd(tokens, block ? 1 : 0);
    if (!block) {
        if (end < tokens.size())
            return Refused("an END that would end the trigger before its text ends");
        return PlainBody(tokens);
    }
    if (end == tokens.size())
        return Refused("a BEGIN without its END");
    for (size_t i = end + 1; i < tokens.size(); ++i)
        if (!IsPunct(tokens[i], ';'))
            return Refused("text after the END of its block");
    CBody body;
    body.m_block = true;
    body.m_end = tokens[end].m_end;
    return body;
}

CBody ReadPostgresBody(const std::string &text)
{
    const CScan scan = CScanner(text, SqlSyntax::Postgres, false).Run();
    if (!scan.m_error.empty())
        return Refused(scan.m_error);
    const std::vector<CToken> &tokens = scan.m_tokens;
    if (tokens.empty())
        return Refused("no statement");
    CBody body = PlainBody(tokens);
    const size_t last = LastBeforeSemicolons(tokens);
    body.m_block = (IsWord(tokens.front(), "begin") || IsWord(tokens.front(), "declare"))
                   && last < tokens.size() && IsWord(tokens[last], "end");
    return body;
}

std::string ClosedBody(const std::string &text, const CBody &body)
{
    if (body.m_endsWithSemicolon)
        return text;
    return text.substr(0, body.m_end) + ";" + text.substr(body.m_end);
}

} // namespace SqlFragment
