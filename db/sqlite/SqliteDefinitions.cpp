#include "db/sqlite/SqliteDefinitions.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteAdapter.h"
#include "db/sqlite/SqliteSchemaQueries.h"
#include "db/sqlite/SqliteTableKeys.h"
#include "db/sqlite/SqliteTokens.h"

#include <vector>

using SqlTokens::IsKeyword;
using SqlTokens::IsPunct;

namespace {

// Walks the tokens of one CREATE text from its start.
class CCursor
{
public:
    explicit CCursor(const std::string &sql) : m_tokens(TokenizeSql(sql)) {}

    bool AtEnd() const { return m_at >= m_tokens.size() || IsPunct(m_tokens[m_at], ';'); }
    const CSqlToken *Peek() const { return m_at < m_tokens.size() ? &m_tokens[m_at] : nullptr; }
    const CSqlToken *Next() { return m_at < m_tokens.size() ? &m_tokens[m_at++] : nullptr; }
    // Takes the keyword when it comes next.
    bool Take(const char *keyword)
    {
        if (!Peek() || !IsKeyword(*Peek(), keyword))
            return false;
        ++m_at;
        return true;
    }
    bool TakePunct(char c)
    {
        if (!Peek() || !IsPunct(*Peek(), c))
            return false;
        ++m_at;
        return true;
    }
    // Passes over a name that may be qualified with its schema.
    bool SkipQualifiedName()
    {
        const CSqlToken *name = Next();
        if (!name || !SqlTokens::CanBeName(*name))
            return false;
        if (TakePunct('.'))
            return Next() != nullptr;
        return true;
    }
    // CREATE [TEMP] TRIGGER [IF NOT EXISTS] [schema.]name
    bool SkipTriggerHead()
    {
        if (!Take("create"))
            return false;
        if (!Take("temp"))
            Take("temporary");
        if (!Take("trigger"))
            return false;
        if (Take("if") && !(Take("not") && Take("exists")))
            return false;
        return SkipQualifiedName();
    }

    const CSqlTokens m_tokens;
    size_t m_at = 0;
};

// One indexed column: a name, then at most ASC or DESC. A collation or an
// expression is more than the segment grid holds.
bool ReadSegment(const CSqlTokens &tokens, size_t first, size_t end, CIndexSegment &segment)
{
    if (end == first || end - first > 2 || !SqlTokens::CanBeName(tokens[first]))
        return false;
    segment.m_column = tokens[first].m_text;
    if (end - first == 1)
        return true;
    segment.m_descending = IsKeyword(tokens[first + 1], "desc");
    return segment.m_descending || IsKeyword(tokens[first + 1], "asc");
}

std::string ReadSegments(CCursor &cursor, CCreateIndex &index)
{
    const CSqlTokens &tokens = cursor.m_tokens;
    if (!cursor.TakePunct('('))
        return "no column list";
    size_t first = cursor.m_at;
    for (; cursor.Peek(); cursor.Next()) {
        const CSqlToken &token = *cursor.Peek();
        const bool closes = IsPunct(token, ')') && token.m_depth == 0;
        if (!closes && !(IsPunct(token, ',') && token.m_depth == 1))
            continue;
        CIndexSegment segment;
        if (!ReadSegment(tokens, first, cursor.m_at, segment))
            return "a segment that is not a column in plain order (an expression or a collation)";
        index.m_segments.push_back(segment);
        first = cursor.m_at + 1;
        if (closes) {
            cursor.Next();
            return cursor.AtEnd() ? std::string() : "a WHERE clause: it indexes part of the rows only";
        }
    }
    return "an unclosed column list";
}

// After its first blank, a body the program wrote starts where the user's
// text started; a line break after BEGIN belongs to the layout, not to the
// body.
std::string BodyText(const std::string &sql, size_t from, size_t to)
{
    std::string body = sql.substr(from, to - from);
    if (!body.empty() && body.front() == ' ')
        body.erase(0, 1);
    if (body.compare(0, 2, "\r\n") == 0)
        body.erase(0, 2);
    else if (!body.empty() && body.front() == '\n')
        body.erase(0, 1);
    SqlText::TrimRight(body);
    return body;
}

// [WHEN condition] BEGIN body END: the condition runs to the BEGIN that
// stands outside brackets, the body to the last END.
std::string ReadConditionAndBody(CCursor &cursor, const std::string &sql, CCreateTrigger &trigger)
{
    const CSqlTokens &tokens = cursor.m_tokens;
    if (cursor.Take("when")) {
        const size_t first = cursor.m_at;
        while (cursor.Peek() && !(IsKeyword(*cursor.Peek(), "begin") && cursor.Peek()->m_depth == 0))
            cursor.Next();
        if (!cursor.Peek() || cursor.m_at == first)
            return "no body";
        trigger.m_condition = sql.substr(tokens[first].m_begin, tokens[cursor.m_at - 1].m_end
                                                                    - tokens[first].m_begin);
    }
    if (!cursor.Take("begin"))
        return "no body";
    size_t last = tokens.size();
    while (last > cursor.m_at && IsPunct(tokens[last - 1], ';'))
        --last;
    if (last == cursor.m_at || !IsKeyword(tokens[last - 1], "end"))
        return "no END";
    trigger.m_body = BodyText(sql, tokens[cursor.m_at - 1].m_end, tokens[last - 1].m_begin);
    return std::string();
}

// BEFORE, AFTER or nothing (SQLite's default is BEFORE); INSTEAD OF is
// for views.
std::string ReadTiming(CCursor &cursor, CCreateTrigger &trigger)
{
    if (cursor.Take("instead"))
        return "INSTEAD OF, which only views have";
    trigger.m_timing = cursor.Take("after") ? TriggerTiming::After : TriggerTiming::Before;
    cursor.Take("before");
    return std::string();
}

std::string ReadEvent(CCursor &cursor, CCreateTrigger &trigger)
{
    if (cursor.Take("insert"))
        trigger.m_event = TriggerEvent::Insert;
    else if (cursor.Take("delete"))
        trigger.m_event = TriggerEvent::Delete;
    else if (cursor.Take("update"))
        trigger.m_event = TriggerEvent::Update;
    else
        return "no event";
    if (trigger.m_event == TriggerEvent::Update && cursor.Take("of"))
        return "UPDATE OF a column list: it fires on some columns only";
    return std::string();
}

int Refuse(CDbSession &session, const std::string &message)
{
    session.m_lastError = message;
    return DbResult::kErrorWithoutNativeCode;
}

// The stored text of the table's object of this type and name; empty when
// the engine made the object for a constraint of the table (it keeps no
// text then). False when the catalog has no such object.
int ReadText(CDbSession &session, const char *type, const std::string &table, const std::string &name,
             std::vector<std::string> &texts)
{
    using SqlText::QuoteLiteral;
    return SqliteSchema::ReadSql(session,
                                 std::string("type = '") + type + "' and name = " + QuoteLiteral(name)
                                     + " and tbl_name = " + QuoteLiteral(table) + " collate nocase",
                                 texts);
}

std::string Quoted(const std::string &name) { return SqlText::QuoteIdentifier(name); }

} // namespace

namespace SqliteDefinitions {

std::string ParseIndex(const std::string &sql, CCreateIndex &index)
{
    CCursor cursor(sql);
    index.m_segments.clear();
    if (!cursor.Take("create"))
        return "no CREATE INDEX";
    index.m_unique = cursor.Take("unique");
    if (!cursor.Take("index") || (cursor.Take("if") && !(cursor.Take("not") && cursor.Take("exists")))
        || !cursor.SkipQualifiedName())
        return "no CREATE INDEX";
    if (!cursor.Take("on") || !cursor.Next())
        return "no table";
    return ReadSegments(cursor, index);
}

std::string ParseTrigger(const std::string &sql, CCreateTrigger &trigger)
{
    CCursor cursor(sql);
    trigger.m_condition.clear();
    trigger.m_body.clear();
    trigger.m_firingOrder.clear();
    if (!cursor.SkipTriggerHead())
        return "no CREATE TRIGGER";
    std::string why = ReadTiming(cursor, trigger);
    if (why.empty())
        why = ReadEvent(cursor, trigger);
    if (!why.empty())
        return why;
    if (!cursor.Take("on") || !cursor.Next())
        return "no table";
    if (cursor.Take("for") && !(cursor.Take("each") && cursor.Take("row")))
        return "no FOR EACH ROW";
    return ReadConditionAndBody(cursor, sql, trigger);
}

int ReadIndex(CDbSession &session, const std::string &table, const std::string &name, CCreateIndex &index)
{
    std::vector<std::string> texts;
    const int result = ReadText(session, "index", table, name, texts);
    if (result < 0)
        return result;
    // The row id key shows as an index that sqlite_master does not list.
    if (texts.empty() && name != CSqliteTableKeys::kRowidKeyName)
        return Refuse(session, "SQLite's catalog has no index " + Quoted(name) + " on table " + Quoted(table)
                                   + ".");
    if (texts.empty() || texts.front().empty())
        return Refuse(session, "The index " + Quoted(name) + " belongs to the definition of table "
                                   + Quoted(table) + " (a key or a UNIQUE constraint); it is edited with the table.");
    index = CCreateIndex();
    index.m_name = name;
    index.m_table = table;
    const std::string why = ParseIndex(texts.front(), index);
    if (why.empty())
        return DbResult::kOk;
    return Refuse(session, "The index " + Quoted(name) + " cannot be edited here: it has " + why + ".");
}

int ReadTrigger(CDbSession &session, const std::string &table, const std::string &name,
                CCreateTrigger &trigger)
{
    std::vector<std::string> texts;
    const int result = ReadText(session, "trigger", table, name, texts);
    if (result < 0)
        return result;
    if (texts.empty() || texts.front().empty())
        return Refuse(session, "SQLite's catalog has no trigger " + Quoted(name) + " on table "
                                   + Quoted(table) + ".");
    trigger = CCreateTrigger();
    trigger.m_name = name;
    trigger.m_table = table;
    const std::string why = ParseTrigger(texts.front(), trigger);
    if (why.empty())
        return DbResult::kOk;
    return Refuse(session, "The trigger " + Quoted(name) + " cannot be edited here: it has " + why + ".");
}

} // namespace SqliteDefinitions

int CSqliteAdapter::ReadIndexDefinition(CDbSession &session, const std::string &table,
                                        const std::string &index, CCreateIndex &definition)
{
    return SqliteDefinitions::ReadIndex(session, table, index, definition);
}

int CSqliteAdapter::ReadTriggerDefinition(CDbSession &session, const std::string &table,
                                          const std::string &trigger, CCreateTrigger &definition)
{
    return SqliteDefinitions::ReadTrigger(session, table, trigger, definition);
}
