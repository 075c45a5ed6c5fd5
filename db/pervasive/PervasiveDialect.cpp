#include "db/pervasive/PervasiveDialect.h"

#include "db/ColumnCheck.h"
#include "db/SqlFragment.h"
#include "db/SqlText.h"

using SqlText::QuoteIdentifier;

// The classic statement knows no key clause; one written here could not be
// checked against the engine.
CRendering CPervasiveDialect::CreateTable(const CCreateTable &change) const
{
    if (!change.m_primaryKey.empty())
        return Refusal("A primary key in Create Table is not supported for Pervasive.SQL: its "
                       "statement for it cannot be checked here. Nothing was changed.");
    return Statement(CreateTableStatement(change));
}

// Every clause after the first follows ", " and starts with " ADD ", so it
// is preceded by a comma and two blanks.
CRendering CPervasiveDialect::AddColumns(const CAddColumns &change) const
{
    std::string text = "ALTER TABLE " + QuoteIdentifier(change.m_table) + " (";
    for (size_t i = 0; i < change.m_columns.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += " ADD " + ColumnDefinition(change.m_columns[i]);
    }
    return Statement(text + ")");
}

CRendering CPervasiveDialect::DropColumns(const CDropColumns &change) const
{
    if (change.m_columns.empty())
        return CRendering();
    std::string text = "alter table " + QuoteIdentifier(change.m_table) + "(";
    for (size_t i = 0; i < change.m_columns.size(); ++i) {
        if (i > 0)
            text += ",";
        text += "drop " + QuoteIdentifier(change.m_columns[i]);
    }
    return Statement(text + ")");
}

CRendering CPervasiveDialect::DropIndex(const CDropIndex &change) const
{
    return Statement("drop index " + QuoteIdentifier(change.m_table) + "."
                     + QuoteIdentifier(change.m_index));
}

// Trigger names are unique in the database, not per table.
CRendering CPervasiveDialect::DropTrigger(const CDropTrigger &change) const
{
    return Statement("drop trigger " + QuoteIdentifier(change.m_trigger));
}

CRendering CPervasiveDialect::DropTable(const CDropTable &change) const
{
    return Statement("drop table " + QuoteIdentifier(change.m_table));
}

CRendering CPervasiveDialect::DropRelationship(const CDropRelationship &change) const
{
    return Statement("alter table " + QuoteIdentifier(change.m_foreignTable) + " drop constraint "
                     + QuoteIdentifier(change.m_name));
}

CRendering CPervasiveDialect::CreateIndex(const CCreateIndex &change) const
{
    return Statement(IndexStatement(change));
}

CRendering CPervasiveDialect::CreateTrigger(const CCreateTrigger &change) const
{
    const std::string condition = SqlFragment::CheckCondition(change.m_condition, SqlSyntax::Standard);
    if (!condition.empty())
        return Refusal(condition);
    std::string text = TriggerHead(change);
    if (!change.m_firingOrder.empty())
        text += "ORDER " + change.m_firingOrder + " ";
    text += "FOR EACH ROW ";
    if (!change.m_condition.empty())
        text += "WHERE " + change.m_condition + " ";
    return Statement(text + change.m_body);
}

CRendering CPervasiveDialect::AddForeignKey(const CAddForeignKey &change) const
{
    return Statement("ALTER TABLE " + QuoteIdentifier(change.m_table) + " ADD "
                     + ForeignKeyClause(change));
}

// The word case (in any letters) makes the column case-insensitive; any
// other name is a collating sequence, written in small letters.
std::string CPervasiveDialect::CollationClause(const std::string &collation) const
{
    const std::string lower = SqlText::ToLower(collation);
    if (lower == "case")
        return " case";
    return " collate " + SqlText::QuoteLiteral(lower);
}
