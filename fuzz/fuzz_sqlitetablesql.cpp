// The SQLite statement tokenizer and the CREATE TABLE reader on any text.
// Edits cut and insert at the token places the reader reports, so those
// places must lie inside the text and inside each other.
#include "FuzzCheck.h"
#include "db/sqlite/SqliteTableSql.h"
#include "db/sqlite/SqliteTokens.h"

#include <cstdint>
#include <string>

namespace {

std::string Where(const std::string &text, size_t token)
{
    return "text: " + text + "\ntoken: " + std::to_string(token);
}

void CheckTokens(const std::string &text, const CSqlTokens &tokens)
{
    size_t previousEnd = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const CSqlToken &token = tokens[i];
        Require(previousEnd <= token.m_begin && token.m_begin < token.m_end && token.m_end <= text.size(),
                "tokens follow each other inside the text", Where(text, i));
        previousEnd = token.m_end;
        if (token.m_kind == CSqlToken::Word)
            Require(text.compare(token.m_begin, token.m_end - token.m_begin, token.m_text) == 0,
                    "a word is the text it stands on", Where(text, i));
        if (token.m_kind == CSqlToken::Punct)
            Require(token.m_end == token.m_begin + 1 && token.m_text == text.substr(token.m_begin, 1),
                    "a punctuation token is one character", Where(text, i));
    }
}

void CheckDefinition(const std::string &text, const CSqliteTableDefinition &definition)
{
    if (!definition.m_valid)
        return;
    const CSqlTokens &tokens = definition.m_tokens;
    Require(definition.m_nameFirst <= definition.m_nameLast && definition.m_nameLast < definition.m_open
                && definition.m_open < definition.m_close && definition.m_close < tokens.size(),
            "the name comes before the definition list, inside the tokens", text);
    Require(SqlTokens::IsPunct(tokens[definition.m_open], '(')
                && SqlTokens::IsPunct(tokens[definition.m_close], ')'),
            "the definition list stands in parentheses", text);
    size_t after = definition.m_open;
    for (const CSqliteTableElement &element : definition.m_elements) {
        Require(after < element.m_first && element.m_first <= element.m_last
                    && element.m_last < definition.m_close,
                "the elements follow each other inside the list", text);
        after = element.m_last;
        for (const CSqliteConstraint &constraint : element.m_constraints)
            Require(element.m_first <= constraint.m_first && constraint.m_first <= constraint.m_last
                        && constraint.m_last <= element.m_last,
                    "a constraint lies inside its element", text);
    }
    definition.PrimaryKey();
    for (const CSqliteTableElement &element : definition.m_elements)
        if (element.m_isColumn)
            Require(definition.FindColumn(element.m_column) != nullptr, "a column is found by its name", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const CSqlTokens tokens = TokenizeSql(text);
    CheckTokens(text, tokens);
    CheckDefinition(text, ReadTableDefinition(text));
    ParseForeignKeyClauses(text);
    ReadObjectHeader(tokens);
    if (!tokens.empty())
        TokensNameColumn(tokens, 0, tokens.size() - 1, {"a", "id"});
    return 0;
}
