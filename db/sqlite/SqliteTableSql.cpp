#include "db/sqlite/SqliteTableSql.h"

#include "db/SqlText.h"

#include <initializer_list>

using namespace SqlTokens;

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsAnyKeyword(const CSqlToken &token, std::initializer_list<const char *> keywords)
{
    for (const char *keyword : keywords)
        if (IsKeyword(token, keyword))
            return true;
    return false;
}

// The index after "IF NOT EXISTS" when it stands at `at`, else `at`.
size_t SkipIfNotExists(const CSqlTokens &tokens, size_t at)
{
    if (at + 2 < tokens.size() && IsKeyword(tokens[at], "if") && IsKeyword(tokens[at + 1], "not")
        && IsKeyword(tokens[at + 2], "exists"))
        return at + 3;
    return at;
}

// Reads "[schema .] name" at `at`; returns the index after it, or kNone
// when no name stands there.
size_t ReadQualifiedName(const CSqlTokens &tokens, size_t at, std::string &name)
{
    if (at >= tokens.size() || !CanBeName(tokens[at]))
        return kNone;
    if (at + 2 < tokens.size() && IsPunct(tokens[at + 1], '.') && CanBeName(tokens[at + 2])) {
        name = tokens[at + 2].m_text;
        return at + 3;
    }
    name = tokens[at].m_text;
    return at + 1;
}

// Reads "( name [more], name [more] ... )" at `at`, taking the first name of
// each item; returns the index after the closing parenthesis, or `at` when
// no list starts there.
size_t ReadNameList(const CSqlTokens &tokens, size_t at, size_t last, std::vector<std::string> &names)
{
    if (at > last || at >= tokens.size() || !IsPunct(tokens[at], '('))
        return at;
    const int depth = tokens[at].m_depth + 1;
    bool expectName = true;
    for (size_t i = at + 1; i <= last && i < tokens.size(); ++i) {
        const CSqlToken &token = tokens[i];
        if (token.m_depth < depth)
            return i + 1; // the closing parenthesis
        if (token.m_depth != depth)
            continue;
        if (IsPunct(token, ','))
            expectName = true;
        else if (expectName && CanBeName(token)) {
            names.push_back(token.m_text);
            expectName = false;
        }
    }
    return last + 1;
}

// The indexes of the tokens first to last that stand at the element's own
// depth, so that nothing inside parentheses is taken for a keyword.
std::vector<size_t> LevelTokens(const CSqlTokens &tokens, size_t first, size_t last)
{
    std::vector<size_t> level;
    const int depth = tokens[first].m_depth;
    for (size_t i = first; i <= last; ++i)
        if (tokens[i].m_depth == depth)
            level.push_back(i);
    return level;
}

// Whether level token k of a column definition starts a column constraint.
// Keywords that also appear inside a constraint are told apart by their
// neighbours: DEFAULT NULL, SET NULL, NOT DEFERRABLE, GENERATED ALWAYS AS.
bool StartsColumnConstraint(const CSqlTokens &tokens, const std::vector<size_t> &level, size_t k)
{
    const CSqlToken &token = tokens[level[k]];
    if (!IsAnyKeyword(token, {"constraint", "primary", "not", "null", "unique", "check", "default",
                              "collate", "references", "generated", "as"}))
        return false;
    const CSqlToken &previous = tokens[level[k - 1]];
    const bool afterSet = k >= 2 && IsKeyword(tokens[level[k - 2]], "set");
    if (IsAnyKeyword(previous, {"collate", "constraint"}) || (IsKeyword(previous, "default") && !afterSet))
        return false; // a value or a name
    if (IsKeyword(token, "null") && IsAnyKeyword(previous, {"not", "set"}))
        return false;
    if (IsKeyword(token, "default") && IsKeyword(previous, "set"))
        return false;
    // GENERATED ALWAYS AS is one constraint; AS after a type word that
    // happens to read "always" starts one of its own, and so does AS in
    // "generated always AS", a column named generated of type always
    // (level token 0 is the column's name).
    if (IsKeyword(token, "as") && IsKeyword(previous, "always") && k >= 3
        && IsKeyword(tokens[level[k - 2]], "generated"))
        return false;
    if (IsKeyword(token, "not") && k + 1 < level.size()
        && IsKeyword(tokens[level[k + 1]], "deferrable"))
        return false;
    return true;
}

bool StartsTableConstraint(const CSqlTokens &tokens, const std::vector<size_t> &level, size_t k)
{
    if (k > 0 && IsKeyword(tokens[level[k - 1]], "constraint"))
        return false;
    return IsAnyKeyword(tokens[level[k]], {"constraint", "primary", "unique", "check", "foreign"});
}

bool StartsTableConstraint(const CSqlToken &token)
{
    return IsAnyKeyword(token, {"constraint", "primary", "unique", "check", "foreign"});
}

void ReadReferences(const CSqlTokens &tokens, size_t references, size_t last, CSqliteConstraint &constraint)
{
    constraint.m_kind = CSqliteConstraint::ForeignKey;
    if (references + 1 > last || !CanBeName(tokens[references + 1]))
        return;
    constraint.m_parentTable = tokens[references + 1].m_text;
    ReadNameList(tokens, references + 2, last, constraint.m_parentColumns);
}

// Fills in the kind and the columns of a constraint whose body keyword
// (after any CONSTRAINT name) is the token at `body`.
void ReadConstraintBody(const CSqlTokens &tokens, size_t body, const CSqliteTableElement &element,
                        CSqliteConstraint &constraint)
{
    const size_t last = constraint.m_last;
    const CSqlToken &keyword = tokens[body];
    const bool onColumn = element.m_isColumn;
    if (IsKeyword(keyword, "primary") || IsKeyword(keyword, "unique")) {
        constraint.m_kind = IsKeyword(keyword, "primary") ? CSqliteConstraint::PrimaryKey
                                                          : CSqliteConstraint::Unique;
        if (onColumn)
            constraint.m_columns.push_back(element.m_column);
        else
            ReadNameList(tokens, body + (IsKeyword(keyword, "primary") ? 2 : 1), last,
                         constraint.m_columns);
    } else if (IsKeyword(keyword, "foreign")) {
        const size_t after = ReadNameList(tokens, body + 2, last, constraint.m_columns);
        constraint.m_kind = CSqliteConstraint::ForeignKey;
        if (after <= last && IsKeyword(tokens[after], "references"))
            ReadReferences(tokens, after, last, constraint);
    } else if (IsKeyword(keyword, "references")) {
        constraint.m_columns.push_back(element.m_column);
        ReadReferences(tokens, body, last, constraint);
    } else if (IsKeyword(keyword, "check")) {
        constraint.m_kind = CSqliteConstraint::Check;
    } else if (IsKeyword(keyword, "not")) {
        constraint.m_kind = CSqliteConstraint::NotNull;
    } else if (IsKeyword(keyword, "null")) {
        constraint.m_kind = CSqliteConstraint::Null;
    } else if (IsKeyword(keyword, "default")) {
        constraint.m_kind = CSqliteConstraint::Default;
    } else if (IsKeyword(keyword, "collate")) {
        constraint.m_kind = CSqliteConstraint::Collate;
    } else {
        constraint.m_kind = CSqliteConstraint::Generated;
    }
}

CSqliteTableElement ReadElement(const CSqlTokens &tokens, size_t first, size_t last)
{
    CSqliteTableElement element;
    element.m_first = first;
    element.m_last = last;
    element.m_isColumn = !StartsTableConstraint(tokens[first]);
    if (element.m_isColumn)
        element.m_column = tokens[first].m_text;
    const std::vector<size_t> level = LevelTokens(tokens, first, last);
    std::vector<size_t> starts; // positions in `level`
    for (size_t k = element.m_isColumn ? 1 : 0; k < level.size(); ++k) {
        const bool startsHere = element.m_isColumn ? StartsColumnConstraint(tokens, level, k)
                                                    : StartsTableConstraint(tokens, level, k);
        if (startsHere)
            starts.push_back(k);
    }
    for (size_t s = 0; s < starts.size(); ++s) {
        size_t k = starts[s];
        CSqliteConstraint constraint;
        constraint.m_first = level[k];
        size_t body = level[k];
        if (IsKeyword(tokens[body], "constraint")) {
            if (k + 1 < level.size())
                constraint.m_name = tokens[level[k + 1]].m_text;
            // The named constraint runs on to the end of the one it names.
            if (s + 1 < starts.size()) {
                body = level[starts[s + 1]];
                ++s;
            } else {
                body = kNone;
            }
        }
        constraint.m_last = s + 1 < starts.size() ? level[starts[s + 1]] - 1 : last;
        if (body != kNone)
            ReadConstraintBody(tokens, body, element, constraint);
        element.m_constraints.push_back(constraint);
    }
    return element;
}

bool ReadTableHeader(CSqliteTableDefinition &definition)
{
    const CSqlTokens &tokens = definition.m_tokens;
    size_t i = 1;
    if (tokens.empty() || !IsKeyword(tokens[0], "create"))
        return false;
    if (i < tokens.size() && IsAnyKeyword(tokens[i], {"temp", "temporary"}))
        ++i;
    if (i >= tokens.size() || !IsKeyword(tokens[i], "table"))
        return false;
    i = SkipIfNotExists(tokens, i + 1);
    definition.m_nameFirst = i;
    const size_t next = ReadQualifiedName(tokens, i, definition.m_name);
    if (next == kNone || next >= tokens.size() || !IsPunct(tokens[next], '('))
        return false;
    definition.m_nameLast = next - 1;
    definition.m_open = next;
    return true;
}

} // namespace

CSqliteTableDefinition ReadTableDefinition(const std::string &createTable)
{
    CSqliteTableDefinition definition;
    definition.m_tokens = TokenizeSql(createTable);
    if (!ReadTableHeader(definition))
        return definition;
    const CSqlTokens &tokens = definition.m_tokens;
    const int listDepth = tokens[definition.m_open].m_depth + 1;
    size_t elementStart = definition.m_open + 1;
    for (size_t i = definition.m_open + 1; i < tokens.size(); ++i) {
        const CSqlToken &token = tokens[i];
        const bool closes = token.m_depth < listDepth;
        if (!closes && !(token.m_depth == listDepth && IsPunct(token, ',')))
            continue;
        if (i == elementStart)
            return definition; // an empty element: not a statement SQLite wrote
        definition.m_elements.push_back(ReadElement(tokens, elementStart, i - 1));
        elementStart = i + 1;
        if (closes) {
            definition.m_close = i;
            break;
        }
    }
    if (definition.m_close == 0)
        return definition; // the list never closes
    for (size_t i = definition.m_close + 1; i < tokens.size(); ++i)
        if (IsKeyword(tokens[i], "without"))
            definition.m_withoutRowid = true;
    definition.m_valid = true;
    return definition;
}

const CSqliteTableElement *CSqliteTableDefinition::FindColumn(const std::string &name) const
{
    for (const CSqliteTableElement &element : m_elements)
        if (element.m_isColumn && SameName(element.m_column, name))
            return &element;
    return nullptr;
}

std::vector<std::string> CSqliteTableDefinition::PrimaryKey() const
{
    for (const CSqliteTableElement &element : m_elements)
        for (const CSqliteConstraint &constraint : element.m_constraints)
            if (constraint.m_kind == CSqliteConstraint::PrimaryKey)
                return constraint.m_columns;
    return {};
}

std::vector<CSqliteForeignKeyClause> ParseForeignKeyClauses(const std::string &createTable)
{
    std::vector<CSqliteForeignKeyClause> clauses;
    const CSqliteTableDefinition definition = ReadTableDefinition(createTable);
    for (const CSqliteTableElement &element : definition.m_elements)
        for (const CSqliteConstraint &constraint : element.m_constraints)
            if (constraint.m_kind == CSqliteConstraint::ForeignKey && !constraint.m_parentTable.empty())
                clauses.push_back({constraint.m_name, constraint.m_columns, constraint.m_parentTable});
    return clauses;
}

CSqliteObjectHeader ReadObjectHeader(const CSqlTokens &tokens)
{
    CSqliteObjectHeader header;
    size_t i = 1;
    if (tokens.empty() || !IsKeyword(tokens[0], "create"))
        return header;
    while (i < tokens.size() && IsAnyKeyword(tokens[i], {"unique", "temp", "temporary"}))
        ++i;
    if (i >= tokens.size() || !IsAnyKeyword(tokens[i], {"index", "trigger", "view"}))
        return header;
    const std::string type = SqlText::ToLower(tokens[i].m_text);
    i = ReadQualifiedName(tokens, SkipIfNotExists(tokens, i + 1), header.m_name);
    if (i == kNone)
        return header;
    if (type == "trigger") {
        while (i < tokens.size() && IsAnyKeyword(tokens[i], {"before", "after", "instead", "of"}))
            ++i;
        if (i >= tokens.size() || !IsAnyKeyword(tokens[i], {"insert", "update", "delete"}))
            return header;
        header.m_event = SqlText::ToLower(tokens[i].m_text);
        ++i;
        if (i < tokens.size() && IsKeyword(tokens[i], "of"))
            for (++i; i < tokens.size() && !IsKeyword(tokens[i], "on"); ++i)
                if (!IsPunct(tokens[i], ','))
                    header.m_updateColumns.push_back(tokens[i].m_text);
    }
    if (type != "view") {
        if (i >= tokens.size() || !IsKeyword(tokens[i], "on"))
            return header;
        i = ReadQualifiedName(tokens, i + 1, header.m_table);
        if (i == kNone)
            return header;
        header.m_afterTable = i;
    }
    header.m_type = type;
    return header;
}

bool TokensNameColumn(const CSqlTokens &tokens, size_t first, size_t last,
                      const std::vector<std::string> &columns)
{
    for (size_t i = first; i <= last && i < tokens.size(); ++i) {
        if (!IsNameInExpression(tokens[i]) || !ContainsName(columns, tokens[i].m_text))
            continue;
        const bool collation = i > 0 && IsKeyword(tokens[i - 1], "collate");
        const bool call = i + 1 < tokens.size() && IsPunct(tokens[i + 1], '(');
        if (!collation && !call)
            return true;
    }
    return false;
}
