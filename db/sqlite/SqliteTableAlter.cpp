#include "db/SqlText.h"
#include "db/sqlite/SqliteTableEdit.h"
#include "db/sqlite/SqliteTableSql.h"

#include <algorithm>

// The edit of a table as a whole. Every step cuts or writes at token
// boundaries of the stored text, so what the user wrote around the parts
// that change (comments, quoting, checks, references, table options)
// stays as it was.

namespace {

// Text to put in place of the characters m_begin to m_end.
struct CSplice
{
    size_t m_begin = 0;
    size_t m_end = 0;
    std::string m_text;
};

// Splices are made back to front, so each leaves the offsets of the ones
// before it valid; of two at the same place, the one asked for first ends
// up first.
std::string ApplySplices(std::string text, std::vector<CSplice> splices)
{
    std::vector<size_t> order(splices.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&splices](size_t a, size_t b) {
        return splices[a].m_begin != splices[b].m_begin ? splices[a].m_begin > splices[b].m_begin : a > b;
    });
    for (size_t i : order)
        text.replace(splices[i].m_begin, splices[i].m_end - splices[i].m_begin, splices[i].m_text);
    return text;
}

bool IsBlankBetween(const std::string &text, size_t begin, size_t end)
{
    for (size_t i = begin; i < end; ++i)
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r')
            return false;
    return true;
}

// Changes the column's definition: one constraint of a kind replaced,
// removed (with the blanks before it) or written at the end.
class CColumnEditor
{
public:
    CColumnEditor(const std::string &text, const CSqliteTableDefinition &definition,
                  const CSqliteTableElement &element, std::vector<CSplice> &splices)
        : m_text(text), m_tokens(definition.m_tokens), m_element(element), m_splices(splices)
    {
    }

    void SetType(const std::string &type)
    {
        const size_t first = m_element.m_first + 1;
        size_t end = m_element.m_constraints.empty() ? m_element.m_last + 1
                                                     : m_element.m_constraints.front().m_first;
        if (end > first)
            m_splices.push_back({m_tokens[first].m_begin, m_tokens[end - 1].m_end, type});
        else
            m_splices.push_back({m_tokens[m_element.m_first].m_end, m_tokens[m_element.m_first].m_end, " " + type});
    }

    // An empty clause removes the constraint.
    void Set(CSqliteConstraint::Kind kind, const std::string &clause)
    {
        const CSqliteConstraint *found = nullptr;
        for (const CSqliteConstraint &constraint : m_element.m_constraints)
            if (constraint.m_kind == kind)
                found = &constraint;
        if (!found) {
            if (!clause.empty())
                m_appended += " " + clause;
            return;
        }
        const size_t end = m_tokens[found->m_last].m_end;
        size_t begin = m_tokens[found->m_first].m_begin;
        if (clause.empty() && IsBlankBetween(m_text, m_tokens[found->m_first - 1].m_end, begin))
            begin = m_tokens[found->m_first - 1].m_end;
        m_splices.push_back({begin, end, clause});
    }

    void Finish()
    {
        if (!m_appended.empty()) {
            const size_t end = m_tokens[m_element.m_last].m_end;
            m_splices.push_back({end, end, m_appended});
        }
    }

private:
    const std::string &m_text;
    const CSqlTokens &m_tokens;
    const CSqliteTableElement &m_element;
    std::vector<CSplice> &m_splices;
    std::string m_appended;
};

CSqliteEditedTable ChangeColumns(const std::string &text, const std::vector<CSqliteColumnChange> &changes)
{
    CSqliteEditedTable edited;
    const CSqliteTableDefinition definition = ReadTableDefinition(text);
    std::vector<CSplice> splices;
    for (const CSqliteColumnChange &change : changes) {
        const CSqliteTableElement *element = definition.FindColumn(change.m_column);
        if (!element) {
            edited.m_error = "The table " + SqlText::QuoteIdentifier(definition.m_name) + " has no column "
                             + SqlText::QuoteIdentifier(change.m_column) + ".";
            return edited;
        }
        CColumnEditor editor(text, definition, *element, splices);
        if (change.m_setType)
            editor.SetType(change.m_type);
        if (change.m_setDefault)
            editor.Set(CSqliteConstraint::Default,
                       change.m_default.empty() ? std::string() : "DEFAULT " + change.m_default);
        if (change.m_setNotNull) {
            editor.Set(CSqliteConstraint::NotNull, change.m_notNull ? "not null" : "");
            // "null" beside "not null" would read as a contradiction.
            if (change.m_notNull)
                editor.Set(CSqliteConstraint::Null, std::string());
        }
        if (change.m_setCollation)
            editor.Set(CSqliteConstraint::Collate, change.m_collation);
        editor.Finish();
    }
    edited.m_sql = ApplySplices(text, splices);
    return edited;
}

// New columns follow the last column, ahead of the table constraints,
// where SQLite requires them.
CSqliteEditedTable AddColumns(const std::string &text, const std::vector<std::string> &definitions)
{
    CSqliteEditedTable edited;
    const CSqliteTableDefinition definition = ReadTableDefinition(text);
    const CSqliteTableElement *last = nullptr;
    for (const CSqliteTableElement &element : definition.m_elements)
        if (element.m_isColumn)
            last = &element;
    edited.m_sql = text;
    if (!last || definitions.empty())
        return edited;
    std::string added;
    for (const std::string &column : definitions)
        added += ", " + column;
    edited.m_sql.insert(definition.m_tokens[last->m_last].m_end, added);
    return edited;
}

std::string KeyClause(const std::vector<std::string> &columns)
{
    std::string list;
    for (const std::string &column : columns)
        list += (list.empty() ? "" : ", ") + SqlText::QuoteIdentifier(column);
    return "PRIMARY KEY (" + list + ")";
}

} // namespace

CSqliteEditedTable AlterCreateTable(const std::string &createTable, const CSqliteTableEdit &edit)
{
    CSqliteEditedTable edited;
    edited.m_sql = createTable;
    if (!edit.m_columns.empty())
        edited = EditCreateTable(createTable, CSqliteTableEdit::DropColumns(edit.m_columns));
    const std::vector<std::string> removed = edited.m_removedColumns;
    const auto step = [&edited](CSqliteEditedTable next) {
        if (edited.m_error.empty()) {
            edited.m_sql = next.m_sql;
            edited.m_error = next.m_error;
        }
    };
    if (edit.m_setKey && edited.m_error.empty())
        step(EditCreateTable(edited.m_sql, CSqliteTableEdit::DropPrimaryKey()));
    if (edited.m_error.empty())
        step(ChangeColumns(edited.m_sql, edit.m_changes));
    if (edited.m_error.empty())
        step(AddColumns(edited.m_sql, edit.m_added));
    if (edit.m_setKey && !edit.m_key.empty() && edited.m_error.empty())
        step(EditCreateTable(edited.m_sql, CSqliteTableEdit::AddConstraint(KeyClause(edit.m_key))));
    edited.m_removedColumns = removed;
    return edited;
}
