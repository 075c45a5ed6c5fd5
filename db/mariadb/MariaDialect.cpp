#include "db/mariadb/MariaDialect.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlFragment.h"
#include "db/SqlText.h"
#include "db/TableAlteration.h"

#include <cctype>
#include <map>
#include <utility>

using SqlText::QuoteIdentifier;

namespace {

// A piece of SQL text as MariaDB splits it (ANSI_QUOTES on): 'strings'
// with backslash escapes and doubled quotes, "identifiers" and
// `identifiers` with doubled quotes, comments from '#' or "-- " to the line
// end and /* */ comments that do not nest.
struct CMariaText
{
    std::string m_error;                             // words after "it has"
    bool m_comment = false;
    bool m_backslash = false;                        // inside a 'string'
    std::vector<std::pair<size_t, size_t>> m_tokens; // begin, end
};

bool IsWordCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'
           || (static_cast<unsigned char>(c) & 0x80);
}

// The offset after the quote that closes the one at `at`, or npos.
size_t QuotedEnd(const std::string &text, size_t at, CMariaText &read)
{
    const char quote = text[at];
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (quote == '\'' && text[i] == '\\') {
            read.m_backslash = true;
            ++i;
        } else if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return std::string::npos;
}

CMariaText ReadMariaText(const std::string &text)
{
    CMariaText read;
    size_t i = 0;
    while (i < text.size() && read.m_error.empty()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#' || (c == '-' && next == '-'
                                && (i + 2 == text.size() || std::isspace(static_cast<unsigned char>(text[i + 2]))))) {
            read.m_comment = true;
            i = text.find('\n', i);
        } else if (c == '/' && next == '*') {
            read.m_comment = true;
            const size_t close = text.find("*/", i + 2);
            i = close == std::string::npos ? close : close + 2;
            if (close == std::string::npos)
                read.m_error = "a comment that is not closed";
        } else if (c == '\'' || c == '"' || c == '`') {
            const size_t end = QuotedEnd(text, i, read);
            if (end == std::string::npos)
                read.m_error = std::string("a ") + c + " that is not closed";
            else
                read.m_tokens.emplace_back(i, end);
            i = end;
        } else {
            size_t end = i + 1;
            while (IsWordCharacter(c) && end < text.size() && IsWordCharacter(text[end]))
                ++end;
            read.m_tokens.emplace_back(i, end);
            i = end;
        }
    }
    return read;
}

bool TokenIs(const std::string &text, const std::pair<size_t, size_t> &token, const char *word)
{
    return SqlText::ToLower(text.substr(token.first, token.second - token.first)) == word;
}

// Names count in characters, not bytes.
size_t Characters(const std::string &name)
{
    size_t count = 0;
    for (unsigned char c : name)
        count += (c & 0xC0) != 0x80;
    return count;
}

// Every name a change gives something new.
struct CNewNames
{
    std::vector<std::string> names;

    void Columns(const std::vector<CColumnDef> &columns)
    {
        for (const CColumnDef &column : columns)
            names.push_back(column.m_name);
    }
    void operator()(const CCreateTable &c) { names.push_back(c.m_table); Columns(c.m_columns); }
    void operator()(const CAddColumns &c) { Columns(c.m_columns); }
    void operator()(const CCreateIndex &c) { names.push_back(c.m_name); }
    void operator()(const CCreateTrigger &c) { names.push_back(c.m_name); }
    void operator()(const CReplaceIndex &c) { (*this)(c.m_new); }
    void operator()(const CReplaceTrigger &c) { (*this)(c.m_new); }
    void operator()(const CAlterTable &c)
    {
        names.push_back(c.m_newName);
        for (const CAlteredColumn &column : c.m_columns)
            names.push_back(column.m_column.m_name);
    }
    template <class Other>
    void operator()(const Other &)
    {
    }
};

std::string Joined(const std::string &head, const std::vector<std::string> &clauses)
{
    std::string text = head;
    for (size_t i = 0; i < clauses.size(); ++i)
        text += (i > 0 ? ", " : " ") + clauses[i];
    return text;
}

std::string DefaultClause(const CColumnDef &column)
{
    // In parentheses a default may be any expression, and a literal stays
    // the literal.
    return column.m_default.empty() ? " DROP DEFAULT" : " SET DEFAULT (" + column.m_default + ")";
}

const CChangedColumn *FindChanged(const CTableAlteration &alteration, const CColumnDef &after)
{
    for (const CChangedColumn &changed : alteration.m_changed)
        if (changed.m_after == &after)
            return &changed;
    return nullptr;
}

bool IsKept(const CAlterTable &change, const std::string &name)
{
    for (const CAlteredColumn &column : change.m_columns)
        if (column.m_from == name)
            return true;
    return false;
}

// Every trigger and view of the database the tables are shown from, with
// its table (a view: itself), its SQL and what it is.
const char *const kDependentsQuery =
    "select trigger_name, event_object_table, action_statement, 'trigger' from information_schema.triggers "
    "where trigger_schema = database() union all select table_name, table_name, view_definition, 'view' "
    "from information_schema.views where table_schema = database() order by 4, 2, 1";

// Whether the text names the identifier as a word of its own, in any
// letter case (quoted or not).
bool NamesWord(const std::string &text, const std::string &word)
{
    const std::string haystack = SqlText::ToLower(text);
    const std::string needle = SqlText::ToLower(word);
    for (size_t at = haystack.find(needle); !needle.empty() && at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        const size_t end = at + needle.size();
        if ((at == 0 || !IsWordCharacter(haystack[at - 1]))
            && (end == haystack.size() || !IsWordCharacter(haystack[end])))
            return true;
    }
    return false;
}

// What a column that cannot be restated keeps (no definition ends so).
const char *const kCannotRestate = "\n";

} // namespace

bool CMariaDialect::HasFeature(Feature feature) const
{
    return feature == Feature::DeleteRule;
}

CRendering CMariaDialect::CheckNames(const CSchemaChange &change)
{
    CNewNames collector;
    std::visit(collector, change);
    for (const std::string &name : collector.names)
        if (Characters(name) > kMaxNameCharacters)
            return Refusal("MariaDB names are at most 64 characters long; \"" + name
                           + "\" is longer. Nothing was changed.");
    return CRendering();
}

// Checked after the defaults have been read as one expression each.
CRendering CMariaDialect::CheckMariaDefaults(const std::vector<CColumnDef> &columns)
{
    for (const CColumnDef &column : columns) {
        const CMariaText read = ReadMariaText(column.m_default);
        std::string why = read.m_error;
        if (why.empty() && read.m_comment)
            why = "a comment";
        if (why.empty() && read.m_backslash)
            why = "a backslash inside a string, which MariaDB reads as an escape";
        if (!why.empty())
            return Refusal(SqlFragment::Refusal("default value of column " + QuoteIdentifier(column.m_name),
                                                "one expression", why));
    }
    return CRendering();
}

int CMariaDialect::Apply(CDbSession &session, const CSchemaChange &change) const
{
    const CRendering tooLong = CheckNames(change);
    if (tooLong.m_result < 0)
        return Refuse(session, tooLong);
    const CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    if (const auto *alter = std::get_if<CAlterTable>(&change)) {
        const int bodies = rendering.m_statements.empty() ? DbResult::kOk : CheckTriggerBodies(session, *alter);
        if (bodies < 0 || rendering.m_statements.empty())
            return bodies;
        std::map<std::string, std::string> kept;
        const int read = ReadKeptAttributes(session, alter->m_table, kept);
        if (read < 0)
            return read;
        const CRendering keeping = AlterStatement(*alter, kept);
        if (keeping.m_result < 0)
            return Refuse(session, keeping);
        return RunStrictly(session, keeping);
    }
    return RunOneByOne(session, rendering);
}

// MariaDB renames a table or a column everywhere but in trigger bodies and
// view definitions: a trigger or view that names the old name, on this
// table or another, would fail on its next use. Such a rename is refused,
// naming the trigger or view, before anything is sent; so is one whose old
// name it uses for something else: better a clear refusal than a broken
// trigger.
int CMariaDialect::CheckTriggerBodies(CDbSession &session, const CAlterTable &change)
{
    std::vector<std::pair<std::string, std::string>> renamed; // kind, old name
    if (!change.m_newName.empty() && change.m_newName != change.m_table)
        renamed.emplace_back("table", change.m_table);
    for (const CAlteredColumn &column : change.m_columns)
        if (!column.m_from.empty() && column.m_from != column.m_column.m_name)
            renamed.emplace_back("column", column.m_from);
    if (renamed.empty())
        return DbResult::kOk;
    std::string text;
    const int result = session.QueryRows(kDependentsQuery, {1, 2, 3, 4}, [&](const CDbRow &row) {
        for (const auto &[kind, name] : renamed)
            if (text.empty() && NamesWord(row[2], name))
                text = "The " + row[3] + " " + QuoteIdentifier(row[0])
                       + (row[3] == "trigger" ? " of the table " + QuoteIdentifier(row[1]) : std::string()) + " names the "
                       + kind + " " + QuoteIdentifier(name) + ", which MariaDB does not rename there: the " + row[3]
                       + " would fail afterwards. Edit or drop the " + row[3] + " first. Nothing was changed.";
    });
    if (result < 0 || text.empty())
        return result;
    return Refuse(session, Refusal(text));
}

// A column restated whole (MODIFY, CHANGE) loses what the grid does not
// show: AUTO_INCREMENT, ON UPDATE and its comment. They are read from the
// catalog and written again. A generated or invisible column, or a
// comment the session might read escapes in, cannot be restated that way:
// such a column is marked, and AlterStatement refuses to restate it.
int CMariaDialect::ReadKeptAttributes(CDbSession &session, const std::string &table,
                                      std::map<std::string, std::string> &kept)
{
    std::string hex;
    for (unsigned char c : table) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return session.QueryRows(
        "select column_name, extra, column_comment from information_schema.columns where table_schema = "
        "database() and table_name = convert(x'" + hex + "' using utf8mb4)",
        {1, 2, 3}, [&](const CDbRow &row) {
            const std::string extra = SqlText::ToLower(row[1]);
            std::string &text = kept[row[0]];
            if (extra.find("auto_increment") != std::string::npos)
                text += " AUTO_INCREMENT";
            if (extra.rfind("on update ", 0) == 0)
                text += " " + row[1];
            if (extra.find("generated") != std::string::npos || extra.find("invisible") != std::string::npos
                || row[2].find('\\') != std::string::npos)
                text = kCannotRestate;
            else if (!row[2].empty())
                text += " COMMENT " + SqlText::QuoteLiteral(row[2]);
        });
}

// Without a strict sql_mode MariaDB makes an edit that does not fit the
// rows fit them: it cuts strings, turns NULL into '' or 0, and reports
// success. The edit runs in strict mode, so that the server refuses it
// instead (naming the column and row); the session's own mode comes back
// afterwards.
int CMariaDialect::RunStrictly(CDbSession &session, const CRendering &rendering)
{
    std::string mode;
    int result = session.QueryRows("select @@session.sql_mode", {1}, [&mode](const CDbRow &row) { mode = row[0]; });
    if (result < 0)
        return result;
    if (mode.find("STRICT_") != std::string::npos)
        return RunOneByOne(session, rendering);
    const std::string strict = mode.empty() ? "STRICT_ALL_TABLES" : mode + ",STRICT_ALL_TABLES";
    result = session.Execute("set session sql_mode = " + SqlText::QuoteLiteral(strict));
    if (result < 0)
        return result;
    session.CloseStatement();
    result = RunOneByOne(session, rendering);
    const std::string reason = session.m_lastError;
    if (session.Execute("set session sql_mode = " + SqlText::QuoteLiteral(mode)) >= 0)
        session.CloseStatement();
    session.m_lastError = reason;
    return result;
}

// A transaction would not hold DDL together here, so the statements simply
// run in order; when one fails after others went through, the message says
// so instead of pretending that nothing changed.
int CMariaDialect::RunOneByOne(CDbSession &session, const CRendering &rendering)
{
    for (size_t i = 0; i < rendering.m_statements.size(); ++i) {
        const int result = session.Execute(rendering.m_statements[i]);
        if (result < 0) {
            if (i > 0)
                session.m_lastError += " The statements before it were committed: MariaDB cannot "
                                       "roll them back.";
            return result;
        }
        session.CloseStatement();
    }
    return DbResult::kOk;
}

CRendering CMariaDialect::CreateTable(const CCreateTable &change) const
{
    CRendering refused = CheckMariaDefaults(change.m_columns);
    if (refused.m_result < 0)
        return refused;
    return Statement(CreateTableStatement(change) + " ENGINE=InnoDB");
}

CRendering CMariaDialect::AddColumns(const CAddColumns &change) const
{
    CRendering refused = CheckMariaDefaults(change.m_columns);
    if (refused.m_result < 0 || change.m_columns.empty())
        return refused;
    std::vector<std::string> clauses;
    for (const CColumnDef &column : change.m_columns)
        clauses.push_back("ADD COLUMN " + ColumnDefinition(column));
    return Statement(Joined("ALTER TABLE " + QuoteIdentifier(change.m_table), clauses));
}

CRendering CMariaDialect::DropColumns(const CDropColumns &change) const
{
    if (change.m_columns.empty())
        return CRendering();
    std::vector<std::string> clauses;
    for (const std::string &column : change.m_columns)
        clauses.push_back("DROP COLUMN " + QuoteIdentifier(column));
    return Statement(Joined("ALTER TABLE " + QuoteIdentifier(change.m_table), clauses));
}

CRendering CMariaDialect::DropIndex(const CDropIndex &change) const
{
    return Statement("DROP INDEX " + QuoteIdentifier(change.m_index) + " ON " + QuoteIdentifier(change.m_table));
}

// Trigger names belong to the database, not to the table.
CRendering CMariaDialect::DropTrigger(const CDropTrigger &change) const
{
    return Statement("DROP TRIGGER " + QuoteIdentifier(change.m_trigger));
}

// The table's triggers go with it.
CRendering CMariaDialect::DropTable(const CDropTable &change) const
{
    return Statement("DROP TABLE " + QuoteIdentifier(change.m_table));
}

CRendering CMariaDialect::DropRelationship(const CDropRelationship &change) const
{
    return Statement("ALTER TABLE " + QuoteIdentifier(change.m_foreignTable) + " DROP FOREIGN KEY "
                     + QuoteIdentifier(change.m_name));
}

CRendering CMariaDialect::CreateIndex(const CCreateIndex &change) const
{
    return Statement(IndexStatement(change));
}

// The body as MariaDB reads it, and the trigger around it: a BEGIN ... END
// block stands as it is (up to its END); plain statements are closed with
// a ';' and put into one. END starts a line of its own, so that a body
// ending in a comment does not comment it out.
CRendering CMariaDialect::CreateTrigger(const CCreateTrigger &change) const
{
    const CMariaText read = ReadMariaText(change.m_body);
    std::string why = read.m_error;
    if (why.empty() && read.m_tokens.empty())
        why = "no statement";
    if (!why.empty())
        return Refusal(SqlFragment::Refusal("trigger body", "one block of statements", why));
    const auto &tokens = read.m_tokens;
    size_t last = tokens.size() - 1;
    while (last > 0 && TokenIs(change.m_body, tokens[last], ";"))
        --last;
    const bool block = TokenIs(change.m_body, tokens.front(), "begin") && TokenIs(change.m_body, tokens[last], "end");
    std::string body;
    if (block) {
        body = change.m_body.substr(tokens.front().first, tokens[last].second - tokens.front().first);
    } else {
        SqlFragment::CBody closed;
        closed.m_end = tokens.back().second;
        closed.m_endsWithSemicolon = TokenIs(change.m_body, tokens.back(), ";");
        body = "BEGIN\n" + SqlFragment::ClosedBody(change.m_body, closed) + "\nEND";
    }
    return Statement(TriggerHead(change) + "FOR EACH ROW " + body);
}

CRendering CMariaDialect::AddForeignKey(const CAddForeignKey &change) const
{
    return Statement("ALTER TABLE " + QuoteIdentifier(change.m_table) + " ADD " + ForeignKeyClause(change));
}

CRendering CMariaDialect::AlterTable(const CAlterTable &change) const
{
    return AlterStatement(change, {});
}

CRendering CMariaDialect::AlterStatement(const CAlterTable &change, const std::map<std::string, std::string> &kept) const
{
    const CTableAlteration alteration = ReadAlteration(change);
    if (!alteration.m_error.empty())
        return Refusal(alteration.m_error);
    std::vector<CColumnDef> columns;
    for (const CAlteredColumn &column : change.m_columns)
        columns.push_back(column.m_column);
    CRendering refused = CheckMariaDefaults(columns);
    if (refused.m_result < 0)
        return refused;
    std::vector<std::string> clauses;
    if (alteration.m_keyChanged && !change.m_keyBefore.empty())
        clauses.push_back("DROP PRIMARY KEY");
    for (const CColumnDef &column : change.m_before)
        if (!IsKept(change, column.m_name))
            clauses.push_back("DROP COLUMN " + QuoteIdentifier(column.m_name));
    // A column is renamed or given a default by a clause that keeps the
    // rest of its definition; any other change restates it whole. MariaDB
    // takes only one clause per column.
    for (const CAlteredColumn &column : change.m_columns) {
        const CColumnDef &after = column.m_column;
        if (column.m_from.empty()) {
            clauses.push_back("ADD COLUMN " + ColumnDefinition(after));
            continue;
        }
        const std::string from = QuoteIdentifier(column.m_from);
        const bool renamed = column.m_from != after.m_name;
        const CChangedColumn *changed = FindChanged(alteration, after);
        const bool restated = changed && (changed->m_type || changed->m_notNull || changed->m_collation
                                          || (changed->m_default && renamed));
        const auto extra = kept.find(column.m_from);
        if (restated && extra != kept.end() && extra->second == kCannotRestate)
            return Refusal("The column " + from + " of the table " + QuoteIdentifier(change.m_table)
                           + " is generated, invisible or has a comment with a backslash, which Edit Table cannot "
                             "restate. Nothing was changed.");
        if (restated)
            clauses.push_back((renamed ? "CHANGE COLUMN " + from + " " : std::string("MODIFY COLUMN "))
                              + ColumnDefinition(after) + (extra == kept.end() ? std::string() : extra->second));
        else if (renamed)
            clauses.push_back("RENAME COLUMN " + from + " TO " + QuoteIdentifier(after.m_name));
        else if (changed)
            clauses.push_back("ALTER COLUMN " + from + DefaultClause(after));
    }
    if (alteration.m_keyChanged && !alteration.m_key.empty())
        clauses.push_back("ADD PRIMARY KEY (" + IdentifierList(alteration.m_key) + ")");
    if (!alteration.m_newName.empty())
        clauses.push_back("RENAME TO " + QuoteIdentifier(alteration.m_newName));
    if (clauses.empty())
        return CRendering();
    return Statement(Joined("ALTER TABLE " + QuoteIdentifier(change.m_table), clauses));
}

CRendering CMariaDialect::ReplaceIndex(const CReplaceIndex &change) const
{
    const CRendering created = CreateIndex(change.m_new);
    if (created.m_result < 0)
        return created;
    std::string text = "ALTER TABLE " + QuoteIdentifier(change.m_old.m_table) + " DROP INDEX "
                       + QuoteIdentifier(change.m_old.m_index) + ", ADD"
                       + (change.m_new.m_unique ? " UNIQUE" : "") + " INDEX " + QuoteIdentifier(change.m_new.m_name)
                       + " (";
    for (size_t i = 0; i < change.m_new.m_segments.size(); ++i) {
        const CIndexSegment &segment = change.m_new.m_segments[i];
        text += (i > 0 ? ", " : "") + QuoteIdentifier(segment.m_column) + (segment.m_descending ? " DESC" : "");
    }
    return Statement(text + ")");
}

CRendering CMariaDialect::ReplaceTrigger(const CReplaceTrigger &change) const
{
    CRendering created = CreateTrigger(change.m_new);
    if (created.m_result < 0)
        return created;
    std::string &statement = created.m_statements.front();
    if (change.m_old.m_trigger == change.m_new.m_name && change.m_old.m_table == change.m_new.m_table) {
        statement.replace(0, std::string("CREATE").size(), "CREATE OR REPLACE");
        return created;
    }
    created.m_statements.insert(created.m_statements.begin(), DropTrigger(change.m_old).m_statements.front());
    created.m_message = "MariaDB cannot rename a trigger, nor roll back a change of several statements: the "
                        "trigger " + QuoteIdentifier(change.m_old.m_trigger)
                        + " is dropped first, and if its replacement then fails it stays dropped.";
    return created;
}

std::string CMariaDialect::CollationClause(const std::string &collation) const
{
    return " COLLATE " + QuoteIdentifier(collation);
}
