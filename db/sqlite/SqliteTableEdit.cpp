#include "db/sqlite/SqliteTableEdit.h"

#include "db/SqlText.h"
#include "db/sqlite/SqliteAdapter.h"
#include "db/sqlite/SqliteTableSql.h"

#include <algorithm>
#include <set>

using namespace SqlTokens;

CSqliteTableEdit CSqliteTableEdit::AddConstraint(const std::string &constraintSql)
{
    return {Kind::AddConstraint, constraintSql, {}};
}

CSqliteTableEdit CSqliteTableEdit::DropConstraint(const std::string &name)
{
    return {Kind::DropConstraint, name, {}};
}

CSqliteTableEdit CSqliteTableEdit::DropForeignKey(const std::vector<std::string> &columns)
{
    return {Kind::DropForeignKey, std::string(), columns};
}

CSqliteTableEdit CSqliteTableEdit::DropColumns(const std::vector<std::string> &columns)
{
    return {Kind::DropColumns, std::string(), columns};
}

CSqliteTableEdit CSqliteTableEdit::DropPrimaryKey()
{
    return {Kind::DropPrimaryKey, std::string(), {}};
}

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string Quoted(const std::string &name) { return SqlText::QuoteIdentifier(name); }

std::string QuotedList(const std::vector<std::string> &names)
{
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : ", ") + Quoted(name);
    return list;
}

// Cuts elements and constraints out of a CREATE TABLE text so that what
// stays reads as the author wrote it. An element goes with one comma that
// joins it to the list: the one on its own line, so that the comma of the
// element before keeps its place and its comment. A comment goes only with
// the element it belongs to: the one whose text stands before it on its
// line (a comma counts to the element whose line it ends). A comment on a
// line of its own belongs to no element and stays. Blanks and lines that
// a cut leaves empty go; a line end that closes a comment that stays,
// stays.
class CDefinitionCutter
{
public:
    CDefinitionCutter(const std::string &text, const CSqliteTableDefinition &definition)
        : m_text(text), m_definition(definition), m_tokens(definition.m_tokens),
          m_elementGone(definition.m_elements.size(), false)
    {
    }

    void RemoveElement(size_t element) { m_elementGone[element] = true; }
    void RemoveConstraint(size_t element, size_t constraint)
    {
        m_constraintsGone.insert({element, constraint});
    }
    bool KeepsAColumn() const { return KeepsColumnWhere([](const CSqliteTableElement &) { return true; }); }

    // SQLite refuses a table whose every column is computed from others.
    bool KeepsAStoredColumn() const
    {
        return KeepsColumnWhere([](const CSqliteTableElement &element) {
            return std::none_of(element.m_constraints.begin(), element.m_constraints.end(),
                                [](const CSqliteConstraint &c) { return c.m_kind == CSqliteConstraint::Generated; });
        });
    }

    template <typename Predicate>
    bool KeepsColumnWhere(Predicate wanted) const
    {
        for (size_t i = 0; i < m_elementGone.size(); ++i)
            if (!m_elementGone[i] && m_definition.m_elements[i].m_isColumn && wanted(m_definition.m_elements[i]))
                return true;
        return false;
    }

    std::string Apply()
    {
        RemoveEmptiedTableElements();
        m_gone.assign(m_text.size(), false);
        for (size_t i = 0; i < m_elementGone.size(); ++i) {
            if (!m_elementGone[i])
                continue;
            size_t last = i;
            while (last + 1 < m_elementGone.size() && m_elementGone[last + 1])
                ++last;
            MarkRun(i, last);
            i = last;
        }
        MarkConstraints();
        MarkOwnedComments();
        MarkBlanksBetweenCuts();
        MarkEmptiedLines();
        MarkBlanksBesideCuts();
        std::string out;
        for (size_t i = 0; i < m_text.size(); ++i) {
            if (m_gone[i])
                continue;
            if (i > 0 && m_gone[i - 1] && !out.empty() && WouldJoin(out.back(), m_text[i]))
                out += ' ';
            out += m_text[i];
        }
        return out;
    }

private:
    static bool IsBlank(char c) { return c != '\n' && IsSpace(c); }

    // Two characters that a cut brings together and that could then read
    // as one token ("key" and "AS" written "keyAS", two quoted names, "-"
    // and "-"): a blank keeps them apart.
    static bool WouldJoin(char before, char after)
    {
        auto separates = [](char c) { return IsSpace(c) || c == '(' || c == ')' || c == ',' || c == ';'; };
        return !separates(before) && !separates(after);
    }

    // A table element whose every constraint goes, goes itself.
    void RemoveEmptiedTableElements()
    {
        for (size_t i = 0; i < m_elementGone.size(); ++i) {
            const CSqliteTableElement &element = m_definition.m_elements[i];
            if (element.m_isColumn || element.m_constraints.empty())
                continue;
            size_t gone = 0;
            for (size_t c = 0; c < element.m_constraints.size(); ++c)
                gone += m_constraintsGone.count({i, c});
            if (gone == element.m_constraints.size())
                m_elementGone[i] = true;
        }
    }

    void Mark(size_t begin, size_t end)
    {
        for (size_t i = begin; i < end && i < m_gone.size(); ++i)
            m_gone[i] = true;
    }
    void MarkToken(size_t token) { Mark(m_tokens[token].m_begin, m_tokens[token].m_end); }

    bool SameLine(size_t from, size_t to) const
    {
        return m_text.find('\n', from) >= to;
    }

    // The elements first to last, the commas between them and one comma
    // that joins them to the rest: the one after them at the start of the
    // list, the one before them at its end, and in between the one after
    // them when it stands on the line where they end.
    void MarkRun(size_t first, size_t last)
    {
        const std::vector<CSqliteTableElement> &elements = m_definition.m_elements;
        for (size_t e = first; e <= last; ++e) {
            Mark(m_tokens[elements[e].m_first].m_begin, m_tokens[elements[e].m_last].m_end);
            if (e < last)
                MarkToken(elements[e].m_last + 1);
        }
        const size_t before = elements[first].m_first - 1;
        const size_t after = elements[last].m_last + 1;
        const bool atEnd = last + 1 == elements.size();
        if (first > 0 && (atEnd || !SameLine(m_tokens[after - 1].m_end, m_tokens[after].m_begin)))
            MarkToken(before);
        else
            MarkToken(after);
    }

    void MarkConstraints()
    {
        for (const auto &gone : m_constraintsGone) {
            if (m_elementGone[gone.first])
                continue;
            const CSqliteConstraint &constraint =
                m_definition.m_elements[gone.first].m_constraints[gone.second];
            Mark(BackOverBlanks(constraint.m_first), m_tokens[constraint.m_last].m_end);
        }
    }

    // From the token's start back to the end of the token before it, when
    // only blanks stand between.
    size_t BackOverBlanks(size_t token) const
    {
        const size_t begin = m_tokens[token].m_begin;
        const size_t floor = m_tokens[token - 1].m_end;
        for (size_t i = floor; i < begin; ++i)
            if (!IsSpace(m_text[i]))
                return begin;
        return floor;
    }

    // The element a token of the list belongs to; a comma belongs to the
    // element whose line it ends, or else to the one it starts. The
    // element count for the parentheses.
    size_t ElementOf(size_t token) const
    {
        const std::vector<CSqliteTableElement> &elements = m_definition.m_elements;
        for (size_t e = 0; e < elements.size(); ++e) {
            if (token >= elements[e].m_first && token <= elements[e].m_last)
                return e;
            if (token == elements[e].m_last + 1 && e + 1 < elements.size())
                return SameLine(m_tokens[token - 1].m_end, m_tokens[token].m_begin) ? e : e + 1;
        }
        return elements.size();
    }

    // The comments between the tokens of the list that belong to an
    // element that goes.
    void MarkOwnedComments()
    {
        for (size_t t = m_definition.m_open; t < m_definition.m_close; ++t) {
            const size_t owner = ElementOf(t);
            if (owner == m_elementGone.size() || !m_elementGone[owner])
                continue;
            const size_t gapEnd = m_tokens[t + 1].m_begin;
            for (size_t at = m_tokens[t].m_end; at < gapEnd;) {
                if (m_text[at] == '\n')
                    break; // later comments of the gap stand on lines of their own
                if (IsSpace(m_text[at])) {
                    ++at;
                    continue;
                }
                if (m_text.compare(at, 2, "--") != 0 && m_text.compare(at, 2, "/*") != 0)
                    break;
                const size_t end = std::min(CommentEnd(at), gapEnd);
                Mark(at, end);
                at = end;
            }
        }
    }

    // A "--" comment ends before its line end, which stays.
    size_t CommentEnd(size_t at) const
    {
        const bool line = m_text.compare(at, 2, "--") == 0;
        const size_t end = m_text.find(line ? "\n" : "*/", at + 2);
        if (end == std::string::npos)
            return m_text.size();
        return line ? end : end + 2;
    }

    void MarkBlanksBetweenCuts()
    {
        for (size_t i = 1; i < m_text.size(); ++i) {
            if (!m_gone[i - 1] || m_gone[i] || !IsBlank(m_text[i]))
                continue;
            size_t end = i;
            while (end < m_text.size() && IsBlank(m_text[end]) && !m_gone[end])
                ++end;
            if (end < m_text.size() && m_gone[end])
                Mark(i, end);
            i = end;
        }
    }

    // A line that had text and keeps only blanks goes with its line end.
    void MarkEmptiedLines()
    {
        for (size_t begin = 0; begin < m_text.size();) {
            size_t end = m_text.find('\n', begin);
            end = end == std::string::npos ? m_text.size() : end;
            bool cut = false;
            bool kept = false;
            for (size_t i = begin; i < end; ++i) {
                cut = cut || m_gone[i];
                kept = kept || (!m_gone[i] && !IsBlank(m_text[i]));
            }
            if (cut && !kept)
                Mark(begin, end + 1);
            begin = end + 1;
        }
    }

    // Where a cut within a line leaves blanks on both sides, or at a line's start or
    // after "(", the blanks after it go; at a line's end, those before it.
    void MarkBlanksBesideCuts()
    {
        for (size_t i = 0; i < m_text.size(); ++i) {
            if (!m_gone[i] || (i > 0 && m_gone[i - 1]))
                continue;
            size_t end = i;
            while (end < m_text.size() && m_gone[end])
                ++end;
            if (m_text[end - 1] == '\n') {
                i = end; // whole lines: the next line is as it was
                continue;
            }
            size_t before = i;
            while (before > 0 && IsBlank(m_text[before - 1]) && !m_gone[before - 1])
                --before;
            size_t after = end;
            while (after < m_text.size() && IsBlank(m_text[after]) && !m_gone[after])
                ++after;
            const bool lineEnds = after == m_text.size() || m_text[after] == '\n';
            const bool opens = before == 0 || m_text[before - 1] == '\n' || m_text[before - 1] == '(';
            if (lineEnds) {
                Mark(before, i);
                Mark(end, after);
            } else if (after > end && (before < i || opens)) {
                Mark(end, after);
            }
            i = end;
        }
    }

    const std::string &m_text;
    const CSqliteTableDefinition &m_definition;
    const CSqlTokens &m_tokens;
    std::vector<bool> m_elementGone;
    std::set<std::pair<size_t, size_t>> m_constraintsGone;
    std::vector<bool> m_gone; // the characters of the text that go
};

// The constraint text must be one table constraint and nothing more: no
// comma or semicolon outside parentheses, every parenthesis closed.
bool IsOneTableConstraint(const std::string &constraintSql)
{
    const CSqlTokens tokens = TokenizeSql(constraintSql);
    if (tokens.empty())
        return false;
    const CSqlToken &first = tokens.front();
    if (!IsKeyword(first, "constraint") && !IsKeyword(first, "primary") && !IsKeyword(first, "unique")
        && !IsKeyword(first, "check") && !IsKeyword(first, "foreign"))
        return false;
    int depth = 0;
    for (const CSqlToken &token : tokens) {
        if (token.m_depth < 0)
            return false;
        if (token.m_depth == 0 && (IsPunct(token, ',') || IsPunct(token, ';')))
            return false;
        depth += IsPunct(token, '(') ? 1 : IsPunct(token, ')') ? -1 : 0;
    }
    return depth == 0;
}

CSqliteEditedTable AddConstraint(const std::string &text, const CSqliteTableDefinition &definition,
                                 const std::string &constraintSql)
{
    CSqliteEditedTable edited;
    if (!IsOneTableConstraint(constraintSql)) {
        edited.m_error = "The constraint to add is not a single table constraint.";
        return edited;
    }
    const size_t at = definition.m_tokens[definition.m_elements.back().m_last].m_end;
    edited.m_sql = text.substr(0, at) + ", " + constraintSql + text.substr(at);
    return edited;
}

using CPlace = std::pair<size_t, size_t>; // element and constraint

// Every foreign key of the table with the name the catalog shows for it:
// its own name, or for an unnamed key the generated one, numbered when an
// earlier key of the table already has it.
std::vector<std::pair<CPlace, std::string>> ForeignKeyNames(const CSqliteTableDefinition &definition)
{
    std::vector<std::pair<CPlace, std::string>> names;
    std::set<std::string> used;
    for (size_t e = 0; e < definition.m_elements.size(); ++e) {
        const CSqliteTableElement &element = definition.m_elements[e];
        for (size_t c = 0; c < element.m_constraints.size(); ++c) {
            const CSqliteConstraint &key = element.m_constraints[c];
            if (key.m_kind != CSqliteConstraint::ForeignKey)
                continue;
            std::string name = key.m_name;
            if (name.empty()) {
                std::vector<std::string> columns;
                for (const std::string &column : key.m_columns) {
                    const CSqliteTableElement *declared = definition.FindColumn(column);
                    columns.push_back(declared ? declared->m_column : column);
                }
                const std::string base = CSqliteAdapter::GeneratedName(definition.m_name, columns);
                name = base;
                for (int n = 2; used.count(name); ++n)
                    name = base + std::to_string(n);
            }
            used.insert(name);
            names.push_back({{e, c}, name});
        }
    }
    return names;
}

bool FindNamedConstraint(const CSqliteTableDefinition &definition, const std::string &name, CPlace &place)
{
    for (size_t e = 0; e < definition.m_elements.size(); ++e) {
        const std::vector<CSqliteConstraint> &constraints = definition.m_elements[e].m_constraints;
        for (size_t c = 0; c < constraints.size(); ++c) {
            if (!constraints[c].m_name.empty() && SameName(constraints[c].m_name, name)) {
                place = {e, c};
                return true;
            }
        }
    }
    for (const auto &key : ForeignKeyNames(definition)) {
        if (key.second == name) {
            place = key.first;
            return true;
        }
    }
    return false;
}

bool FindForeignKeyOn(const CSqliteTableDefinition &definition, const std::vector<std::string> &columns,
                      CPlace &place)
{
    bool found = false;
    for (size_t e = 0; e < definition.m_elements.size(); ++e) {
        const std::vector<CSqliteConstraint> &constraints = definition.m_elements[e].m_constraints;
        for (size_t c = 0; c < constraints.size(); ++c) {
            const CSqliteConstraint &key = constraints[c];
            if (key.m_kind != CSqliteConstraint::ForeignKey || !SameNames(key.m_columns, columns))
                continue;
            if (key.m_name.empty()) {
                place = {e, c};
                return true;
            }
            if (!found)
                place = {e, c};
            found = true;
        }
    }
    return found;
}

bool FindPrimaryKey(const CSqliteTableDefinition &definition, CPlace &place)
{
    for (size_t e = 0; e < definition.m_elements.size(); ++e) {
        const std::vector<CSqliteConstraint> &constraints = definition.m_elements[e].m_constraints;
        for (size_t c = 0; c < constraints.size(); ++c) {
            if (constraints[c].m_kind == CSqliteConstraint::PrimaryKey) {
                place = {e, c};
                return true;
            }
        }
    }
    return false;
}

bool NamesAny(const std::vector<std::string> &names, const std::vector<std::string> &columns)
{
    for (const std::string &name : names)
        if (ContainsName(columns, name))
            return true;
    return false;
}

// Whether a constraint that stays on the table would name a removed
// column: a key listing it, a check reading it, or a reference of the
// table to itself pointing at it.
bool ConstraintNeedsColumns(const CSqliteTableDefinition &definition, const CSqliteTableElement &element,
                            const CSqliteConstraint &constraint, const std::vector<std::string> &removed)
{
    if (!element.m_isColumn && NamesAny(constraint.m_columns, removed))
        return true;
    if (constraint.m_kind == CSqliteConstraint::Check)
        return TokensNameColumn(definition.m_tokens, constraint.m_first, constraint.m_last, removed);
    if (constraint.m_kind != CSqliteConstraint::ForeignKey
        || !SameName(constraint.m_parentTable, definition.m_name))
        return false;
    const std::vector<std::string> parentColumns =
        constraint.m_parentColumns.empty() ? definition.PrimaryKey() : constraint.m_parentColumns;
    return NamesAny(parentColumns, removed);
}

// A table without a rowid is stored by its primary key and SQLite refuses
// one without it; dropping a key column would take the whole key away.
std::string KeyColumnNeeded(const CSqliteTableDefinition &definition, const std::vector<std::string> &removed)
{
    if (!definition.m_withoutRowid)
        return std::string();
    for (const std::string &column : removed)
        if (ContainsName(definition.PrimaryKey(), column))
            return "The table " + Quoted(definition.m_name) + " has no rowid and needs its primary key "
                   "column " + Quoted(column) + ", so nothing was changed.";
    return std::string();
}

// The tokens of a generated column's expression: from the first
// parenthesis of the constraint to its last, so that the STORED or
// VIRTUAL after it is not read as a column.
bool ExpressionNamesColumn(const CSqlTokens &tokens, const CSqliteConstraint &constraint,
                           const std::string &column)
{
    size_t open = constraint.m_first;
    while (open < constraint.m_last && !IsPunct(tokens[open], '('))
        ++open;
    size_t close = constraint.m_last;
    while (close > open && !IsPunct(tokens[close], ')'))
        --close;
    return close > open && TokensNameColumn(tokens, open, close, {column});
}

// A generated column that stays computes its value from the columns it
// names; SQLite refuses the table when one of them is gone. Unlike a check,
// it cannot just go along, as that would drop a column nobody asked for.
std::string GeneratedColumnNeeds(const CSqliteTableDefinition &definition,
                                 const std::vector<std::string> &removed)
{
    for (const CSqliteTableElement &element : definition.m_elements) {
        if (!element.m_isColumn || ContainsName(removed, element.m_column))
            continue;
        for (const CSqliteConstraint &constraint : element.m_constraints) {
            if (constraint.m_kind != CSqliteConstraint::Generated)
                continue;
            for (const std::string &column : removed)
                if (ExpressionNamesColumn(definition.m_tokens, constraint, column))
                    return "The generated column " + Quoted(element.m_column)
                           + " would stop working without the column " + Quoted(column) + " of the table "
                           + Quoted(definition.m_name) + ", so nothing was changed.";
        }
    }
    return std::string();
}

CSqliteEditedTable DropColumns(const std::string &text, const CSqliteTableDefinition &definition,
                               const std::vector<std::string> &columns)
{
    CSqliteEditedTable edited;
    CDefinitionCutter cutter(text, definition);
    for (const std::string &column : columns) {
        const auto found = std::find_if(
            definition.m_elements.begin(), definition.m_elements.end(),
            [&](const CSqliteTableElement &e) { return e.m_isColumn && SameName(e.m_column, column); });
        if (found == definition.m_elements.end()) {
            edited.m_error = "The table " + Quoted(definition.m_name) + " has no column "
                             + Quoted(column) + ".";
            return edited;
        }
        if (!ContainsName(edited.m_removedColumns, found->m_column))
            edited.m_removedColumns.push_back(found->m_column);
        cutter.RemoveElement(static_cast<size_t>(found - definition.m_elements.begin()));
    }
    if (!cutter.KeepsAColumn()) {
        edited.m_error = "The table " + Quoted(definition.m_name)
                         + " cannot lose all of its columns; drop the table instead.";
        return edited;
    }
    if (!cutter.KeepsAStoredColumn()) {
        edited.m_error = "The table " + Quoted(definition.m_name)
                         + " must keep a column that is not generated, so nothing was changed.";
        return edited;
    }
    edited.m_error = KeyColumnNeeded(definition, edited.m_removedColumns);
    if (edited.m_error.empty())
        edited.m_error = GeneratedColumnNeeds(definition, edited.m_removedColumns);
    if (!edited.m_error.empty())
        return edited;
    for (size_t e = 0; e < definition.m_elements.size(); ++e) {
        const CSqliteTableElement &element = definition.m_elements[e];
        for (size_t c = 0; c < element.m_constraints.size(); ++c)
            if (ConstraintNeedsColumns(definition, element, element.m_constraints[c],
                                       edited.m_removedColumns))
                cutter.RemoveConstraint(e, c);
    }
    edited.m_sql = cutter.Apply();
    return edited;
}

CSqliteEditedTable DropConstraintAt(const std::string &text, const CSqliteTableDefinition &definition,
                                    const CPlace &place)
{
    CDefinitionCutter cutter(text, definition);
    cutter.RemoveConstraint(place.first, place.second);
    CSqliteEditedTable edited;
    edited.m_sql = cutter.Apply();
    return edited;
}

} // namespace

CSqliteEditedTable EditCreateTable(const std::string &createTable, const CSqliteTableEdit &edit)
{
    const CSqliteTableDefinition definition = ReadTableDefinition(createTable);
    CSqliteEditedTable edited;
    if (!definition.m_valid || definition.m_elements.empty()) {
        edited.m_error = "The definition of the table cannot be read, so it cannot be changed.";
        return edited;
    }
    const std::string table = Quoted(definition.m_name);
    CPlace place;
    switch (edit.m_kind) {
    case CSqliteTableEdit::Kind::AddConstraint:
        return AddConstraint(createTable, definition, edit.m_text);
    case CSqliteTableEdit::Kind::DropConstraint:
        if (FindNamedConstraint(definition, edit.m_text, place)) {
            // A table without a rowid is stored by its key; SQLite refuses
            // it without one.
            if (definition.m_withoutRowid
                && definition.m_elements[place.first].m_constraints[place.second].m_kind
                       == CSqliteConstraint::PrimaryKey) {
                edited.m_error = "The table " + table + " has no rowid and needs its primary key "
                                 + Quoted(edit.m_text) + ", so nothing was changed.";
                return edited;
            }
            return DropConstraintAt(createTable, definition, place);
        }
        edited.m_error = "The table " + table + " has no constraint named " + Quoted(edit.m_text) + ".";
        return edited;
    case CSqliteTableEdit::Kind::DropForeignKey:
        if (FindForeignKeyOn(definition, edit.m_columns, place))
            return DropConstraintAt(createTable, definition, place);
        edited.m_error = "The table " + table + " has no foreign key on (" + QuotedList(edit.m_columns)
                         + ").";
        return edited;
    case CSqliteTableEdit::Kind::DropColumns:
        return DropColumns(createTable, definition, edit.m_columns);
    case CSqliteTableEdit::Kind::DropPrimaryKey:
        if (FindPrimaryKey(definition, place))
            return DropConstraintAt(createTable, definition, place);
        edited.m_sql = createTable;
        return edited;
    case CSqliteTableEdit::Kind::Alter:
        return AlterCreateTable(createTable, edit);
    }
    return edited;
}

std::string RenameCreateTable(const std::string &createTable, const std::string &name)
{
    const CSqliteTableDefinition definition = ReadTableDefinition(createTable);
    if (!definition.m_valid)
        return createTable;
    const size_t begin = definition.m_tokens[definition.m_nameFirst].m_begin;
    const size_t end = definition.m_tokens[definition.m_nameLast].m_end;
    return createTable.substr(0, begin) + SqlText::QuoteIdentifier(name) + createTable.substr(end);
}
