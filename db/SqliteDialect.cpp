#include "db/SqliteDialect.h"

#include "db/SqlText.h"
#include "db/SqliteTableRebuild.h"

#include <cctype>

using SqlText::QuoteIdentifier;

namespace {

// Adding and dropping a key are made by rebuilding the table (Apply), never
// by a fixed list of statements.
const char *const kMadeByRebuild = "SQLite changes a foreign key by rebuilding the table.";

bool IsWordAt(const std::string &lower, size_t at, const char *word)
{
    const std::string w(word);
    if (lower.compare(at, w.size(), w) != 0)
        return false;
    const auto boundary = [&](size_t i) {
        return i >= lower.size()
               || !(std::isalnum(static_cast<unsigned char>(lower[i])) || lower[i] == '_');
    };
    return (at == 0 || boundary(at - 1)) && boundary(at + w.size());
}

} // namespace

bool CSqliteDialect::HasFeature(Feature feature) const
{
    switch (feature) {
    case Feature::ModifiableIndex:
    case Feature::NotNullIndex:
    case Feature::TriggerFiringOrder:
        return false;
    case Feature::TriggerCondition:
    case Feature::DeleteRule:
        return true;
    }
    return false;
}

int CSqliteDialect::Apply(CDbSession &session, const CSchemaChange &change) const
{
    const CRendering refused = CheckFeatures(change);
    if (refused.m_result < 0)
        return Refuse(session, refused);
    if (const auto *key = std::get_if<CAddForeignKey>(&change))
        return RebuildSqliteTable(session, key->m_table,
                                  CSqliteTableEdit::AddConstraint(ForeignKeyClause(*key)));
    if (const auto *relationship = std::get_if<CDropRelationship>(&change))
        return RebuildSqliteTable(session, relationship->m_foreignTable,
                                  CSqliteTableEdit::DropConstraint(relationship->m_name));
    const int result = CDialect::Apply(session, change);
    if (const auto *columns = std::get_if<CDropColumns>(&change); columns && result < 0)
        return DropColumnsByRebuild(session, *columns);
    return result;
}

// SQLite's own DROP COLUMN refuses a column that is indexed, in a key or
// named by a constraint. The rebuild drops such a column together with what
// only served it (its indexes, its constraints), as the engine would for a
// plain column; a view or another table that still needs the column
// refuses the change in plain words. Nothing of the first attempt stays:
// its transaction was rolled back.
int CSqliteDialect::DropColumnsByRebuild(CDbSession &session, const CDropColumns &change)
{
    return RebuildSqliteTable(session, change.m_table, CSqliteTableEdit::DropColumns(change.m_columns));
}

CRendering CSqliteDialect::CreateTable(const CCreateTable &change) const
{
    return Statement(CreateTableStatement(change));
}

CRendering CSqliteDialect::AddColumns(const CAddColumns &change) const
{
    CRendering rendering;
    for (const CColumnDef &column : change.m_columns)
        rendering.m_statements.push_back("ALTER TABLE " + QuoteIdentifier(change.m_table)
                                         + " ADD COLUMN " + ColumnDefinition(column));
    return rendering;
}

CRendering CSqliteDialect::DropColumns(const CDropColumns &change) const
{
    CRendering rendering;
    for (const std::string &column : change.m_columns)
        rendering.m_statements.push_back("ALTER TABLE " + QuoteIdentifier(change.m_table)
                                         + " DROP COLUMN " + QuoteIdentifier(column));
    return rendering;
}

// Index names are unique in the database; "T"."I" would name the index I
// of a schema T.
CRendering CSqliteDialect::DropIndex(const CDropIndex &change) const
{
    return Statement("DROP INDEX " + QuoteIdentifier(change.m_index));
}

CRendering CSqliteDialect::DropTrigger(const CDropTrigger &change) const
{
    return Statement("DROP TRIGGER " + QuoteIdentifier(change.m_trigger));
}

CRendering CSqliteDialect::DropTable(const CDropTable &change) const
{
    return Statement("DROP TABLE " + QuoteIdentifier(change.m_table));
}

CRendering CSqliteDialect::DropRelationship(const CDropRelationship &) const
{
    return Refusal(kMadeByRebuild);
}

CRendering CSqliteDialect::CreateIndex(const CCreateIndex &change) const
{
    return Statement(IndexStatement(change));
}

CRendering CSqliteDialect::CreateTrigger(const CCreateTrigger &change) const
{
    std::string text = TriggerHead(change) + "FOR EACH ROW ";
    if (!change.m_condition.empty())
        text += "WHEN " + change.m_condition + " ";
    if (IsBlock(change.m_body))
        return Statement(text + change.m_body);
    std::string body = change.m_body;
    SqlText::TrimRight(body);
    if (body.empty() || body.back() != ';')
        body += ';';
    return Statement(text + "BEGIN " + body + " END");
}

CRendering CSqliteDialect::AddForeignKey(const CAddForeignKey &) const
{
    return Refusal(kMadeByRebuild);
}

// SQLite's case-insensitive collation is NOCASE; any other name is given
// as a quoted collation name, which the engine checks.
std::string CSqliteDialect::CollationClause(const std::string &collation) const
{
    const std::string lower = SqlText::ToLower(collation);
    if (lower == "case")
        return " COLLATE NOCASE";
    return " COLLATE " + QuoteIdentifier(lower);
}

bool CSqliteDialect::IsBlock(const std::string &body)
{
    std::string lower = SqlText::ToLower(body);
    SqlText::TrimRight(lower);
    while (!lower.empty() && lower.back() == ';') {
        lower.pop_back();
        SqlText::TrimRight(lower);
    }
    const size_t first = lower.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || lower.size() < first + 8)
        return false;
    return IsWordAt(lower, first, "begin") && IsWordAt(lower, lower.size() - 3, "end");
}
