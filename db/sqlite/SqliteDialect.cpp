#include "db/sqlite/SqliteDialect.h"

#include "db/ColumnCheck.h"
#include "db/SqlFragment.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteSchemaQueries.h"
#include "db/sqlite/SqliteTableKeys.h"
#include "db/sqlite/SqliteTableRebuild.h"

using SqlText::QuoteIdentifier;

namespace {

// Adding and dropping a key are made by rebuilding the table (Apply), never
// by a fixed list of statements.
const char *const kMadeByRebuild = "SQLite changes a foreign key by rebuilding the table.";

// Names for a message: A, B, C.
std::string NameList(const std::vector<std::string> &names)
{
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
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
    CRendering refused = CheckFeatures(change);
    if (refused.m_result >= 0)
        refused = CheckDrop(session, change);
    if (refused.m_result < 0)
        return refused.m_message.empty() ? refused.m_result : Refuse(session, refused);
    if (const auto *alter = std::get_if<CAlterTable>(&change))
        return ApplyAlterTable(session, *alter);
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

CRendering CSqliteDialect::CheckDrop(CDbSession &session, const CSchemaChange &change)
{
    CRendering check;
    const auto *index = std::get_if<CDropIndex>(&change);
    if (index && index->m_index == CSqliteTableKeys::kRowidKeyName) {
        // A real index may carry the name too; only the key is refused.
        std::string count;
        check.m_result = SqliteSchema::ReadValue(
            session, "select count(*) from pragma_index_list(" + SqlText::QuoteLiteral(index->m_table)
                         + ") where name = " + SqlText::QuoteLiteral(index->m_index), count);
        if (check.m_result >= 0 && count == "0")
            return Refusal("'" + index->m_index + "' is the row id of the table '" + index->m_table
                           + "', its INTEGER PRIMARY KEY, and no index: SQLite keeps it as long as the table "
                             "exists. Nothing was changed.");
    } else if (const auto *table = std::get_if<CDropTable>(&change)) {
        std::vector<std::string> referring;
        check.m_result = SqliteSchema::ReadReferringTables(session, table->m_table, referring);
        if (check.m_result >= 0 && !referring.empty())
            return Refusal("Cannot drop the table '" + table->m_table + "' because other tables refer to it: "
                           + NameList(referring) + ". Drop their foreign keys first. Nothing was changed.");
    }
    return check;
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

// The body stands between BEGIN and an END of its own line, so that a
// body ending in a comment does not comment the END out; a block stands
// as written up to its END.
CRendering CSqliteDialect::CreateTrigger(const CCreateTrigger &change) const
{
    const std::string condition = SqlFragment::CheckCondition(change.m_condition, SqlSyntax::Sqlite);
    if (!condition.empty())
        return Refusal(condition);
    const SqlFragment::CBody body = SqlFragment::ReadSqliteBody(change.m_body);
    if (!body.m_error.empty())
        return Refusal(SqlFragment::Refusal("trigger body", "one block of statements", body.m_error));
    std::string text = TriggerHead(change) + "FOR EACH ROW ";
    if (!change.m_condition.empty())
        text += "WHEN " + change.m_condition + " ";
    if (body.m_block)
        return Statement(text + change.m_body.substr(0, body.m_end));
    return Statement(text + "BEGIN " + SqlFragment::ClosedBody(change.m_body, body) + "\nEND");
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
    const SqlFragment::CBody read = SqlFragment::ReadSqliteBody(body);
    return read.m_error.empty() && read.m_block;
}
