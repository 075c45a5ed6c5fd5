#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/TableAlteration.h"
#include "db/sqlite/SqliteDialect.h"
#include "db/sqlite/SqliteSchemaQueries.h"
#include "db/sqlite/SqliteTableRebuild.h"
#include "db/sqlite/SqliteTableSql.h"

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

namespace {

std::string Rows(const std::string &count)
{
    return count + (count == "1" ? " row" : " rows");
}

// The renames in the order the engine makes them: the columns under the
// table's old name, then the table.
std::vector<std::string> RenameStatements(const CTableAlteration &alteration)
{
    std::vector<std::string> statements;
    const std::string table = QuoteIdentifier(alteration.m_table);
    for (const auto &rename : alteration.m_renames)
        statements.push_back("ALTER TABLE " + table + " RENAME COLUMN " + QuoteIdentifier(rename.first) + " TO "
                             + QuoteIdentifier(rename.second));
    if (!alteration.m_newName.empty())
        statements.push_back("ALTER TABLE " + table + " RENAME TO " + QuoteIdentifier(alteration.m_newName));
    return statements;
}

// The storage class a STRICT column of the type keeps its values in; empty
// for ANY and for a type STRICT does not know, which the engine refuses
// itself.
std::string StrictClass(const std::string &type)
{
    const std::string lower = SqlText::ToLower(type);
    if (lower == "int" || lower == "integer")
        return "integer";
    if (lower == "real" || lower == "text" || lower == "blob")
        return lower;
    return std::string();
}

// Reads the table and refuses, before anything is changed, what would lose
// or alter stored values: the engine would refuse most of it too, but
// with neither the column nor the number of rows.
class CAlterChecks
{
public:
    CAlterChecks(CDbSession &session, const CAlterTable &change, const CTableAlteration &alteration)
        : m_session(session), m_change(change), m_alteration(alteration),
          m_table(QuoteIdentifier(alteration.m_table))
    {
    }

    int Run()
    {
        std::vector<std::string> texts;
        int result = SqliteSchema::ReadSql(m_session, "type = 'table' and name = "
                                                          + QuoteLiteral(m_alteration.m_table) + " collate nocase",
                                           texts);
        const CSqliteTableDefinition definition = ReadTableDefinition(texts.size() == 1 ? texts.front() : "");
        for (const CChangedColumn &changed : m_alteration.m_changed)
            if (result >= 0 && changed.BecomesNotNull())
                result = CheckNoNulls(changed.m_before->m_name, "be made NOT NULL");
        if (result >= 0 && m_alteration.m_keyChanged && !m_alteration.m_key.empty())
            result = CheckKeyUnique();
        // Such a key is the rowid itself, and a row without a value in it
        // would be given a new number.
        if (result >= 0 && m_alteration.m_keyChanged && BecomesRowid(definition))
            result = CheckNoNulls(m_alteration.OldName(m_alteration.m_key.front()), "become the INTEGER PRIMARY KEY");
        if (result >= 0 && IsStrict(definition))
            result = CheckStrictConversions();
        return result;
    }

private:
    int Refuse(const std::string &text)
    {
        m_session.m_lastError = text + " Nothing was changed.";
        return DbResult::kErrorWithoutNativeCode;
    }

    bool BecomesRowid(const CSqliteTableDefinition &definition) const
    {
        if (m_alteration.m_key.size() != 1 || definition.m_withoutRowid)
            return false;
        for (const CAlteredColumn &column : m_change.m_columns)
            if (column.m_column.m_name == m_alteration.m_key.front() && !column.m_from.empty())
                return SqlText::ToLower(ColumnTypeText(column.m_column)) == "integer";
        return false;
    }

    int CheckNoNulls(const std::string &column, const char *what)
    {
        std::string count;
        const int result = SqliteSchema::ReadValue(
            m_session, "select count(*) from " + m_table + " where " + QuoteIdentifier(column) + " is null", count);
        if (result < 0 || count == "0")
            return result;
        return Refuse("The column " + QuoteIdentifier(column) + " of the table " + m_table + " holds NULL in "
                      + Rows(count) + ", so it cannot " + what + ".");
    }

    // The key's columns by the names they have now; a new column holds the
    // same default in every row, which the rebuild's own copy refuses.
    int CheckKeyUnique()
    {
        std::string columns;
        for (const std::string &column : m_alteration.m_key) {
            for (const CColumnDef &added : m_alteration.m_added)
                if (added.m_name == column)
                    return DbResult::kOk;
            columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(m_alteration.OldName(column));
        }
        std::string count;
        const int result = SqliteSchema::ReadValue(
            m_session, "select coalesce(sum(n), 0) from (select count(*) as n from " + m_table + " group by "
                           + columns + " having count(*) > 1)", count);
        if (result < 0 || count == "0")
            return result;
        const bool one = m_alteration.m_key.size() == 1;
        return Refuse("The table " + m_table + " has " + Rows(count) + " with the same " + (one ? "value" : "values")
                      + " in " + columns + ", so " + (one ? "that column" : "those columns")
                      + " cannot be its primary key.");
    }

    int CheckStrictConversions()
    {
        int result = DbResult::kOk;
        for (const CChangedColumn &changed : m_alteration.m_changed)
            if (result >= 0 && changed.m_type)
                result = CheckConversion(changed.m_before->m_name, changed.m_after->m_typeName);
        return result;
    }

    static bool IsStrict(const CSqliteTableDefinition &definition)
    {
        for (size_t i = definition.m_close + 1; definition.m_valid && i < definition.m_tokens.size(); ++i)
            if (SqlTokens::IsKeyword(definition.m_tokens[i], "strict"))
                return true;
        return false;
    }

    // A STRICT column takes a value when the type's affinity turns it into
    // the type's own storage class; an ordinary column of the same type in
    // a table of the session's own applies that affinity, so the engine
    // itself tells which values would not be taken.
    int CheckConversion(const std::string &column, const std::string &type)
    {
        const std::string storage = StrictClass(type);
        if (storage.empty())
            return DbResult::kOk;
        const std::string probe = "temp.vellumix_conversion";
        int result = SqliteSchema::Run(m_session, "create table " + probe + " (v " + type + ")");
        if (result < 0)
            return result;
        result = SqliteSchema::Run(m_session, "insert into " + probe + " select " + QuoteIdentifier(column)
                                                  + " from " + m_table);
        std::string count;
        if (result >= 0)
            result = SqliteSchema::ReadValue(m_session, "select count(*) from " + probe
                                                            + " where typeof(v) not in ('null', "
                                                            + QuoteLiteral(storage) + ")", count);
        SqliteSchema::Run(m_session, "drop table " + probe);
        if (result < 0 || count == "0")
            return result;
        return Refuse("The column " + QuoteIdentifier(column) + " of the STRICT table " + m_table
                      + " holds values that do not convert to " + type + " in " + Rows(count)
                      + ", so its type cannot change.");
    }

    CDbSession &m_session;
    const CAlterTable &m_change;
    const CTableAlteration &m_alteration;
    std::string m_table;
};

} // namespace

CRendering CSqliteDialect::AlterTable(const CAlterTable &change) const
{
    const CTableAlteration alteration = ReadAlteration(change);
    if (!alteration.m_error.empty())
        return Refusal(alteration.m_error);
    if (alteration.ChangesMoreThanNames())
        return Refusal("SQLite changes a table's columns and key by rebuilding the table.");
    CRendering rendering;
    rendering.m_statements = RenameStatements(alteration);
    return rendering;
}

CSqliteTableEdit CSqliteDialect::AlterEdit(const CAlterTable &change) const
{
    const CTableAlteration alteration = ReadAlteration(change);
    CSqliteTableEdit edit;
    edit.m_kind = CSqliteTableEdit::Kind::Alter;
    edit.m_columns = alteration.m_dropped;
    for (const CChangedColumn &changed : alteration.m_changed) {
        const CColumnDef &after = *changed.m_after;
        CSqliteColumnChange column;
        column.m_column = after.m_name;
        column.m_setType = changed.m_type;
        column.m_type = ColumnTypeText(after);
        column.m_setDefault = changed.m_default;
        column.m_default = after.m_default;
        column.m_setNotNull = changed.m_notNull;
        column.m_notNull = after.m_nullMark == "1";
        column.m_setCollation = changed.m_collation;
        // The clause comes with the blank that leads it in a definition.
        column.m_collation = after.m_collation.empty() ? std::string() : CollationClause(after.m_collation).substr(1);
        edit.m_changes.push_back(column);
    }
    for (const CColumnDef &column : alteration.m_added)
        edit.m_added.push_back(ColumnDefinition(column));
    edit.m_setKey = alteration.m_keyChanged;
    edit.m_key = alteration.m_key;
    return edit;
}

int CSqliteDialect::ApplyAlterTable(CDbSession &session, const CAlterTable &change) const
{
    const CTableAlteration alteration = ReadAlteration(change);
    CRendering refused = CheckDefaults(change);
    if (refused.m_result >= 0 && !alteration.m_error.empty())
        refused = Refusal(alteration.m_error);
    if (refused.m_result < 0)
        return Refuse(session, refused);
    if (alteration.ChangesNothing())
        return DbResult::kOk;
    const std::vector<std::string> renames = RenameStatements(alteration);
    if (!alteration.ChangesMoreThanNames())
        return RunStatements(session, renames);
    const int checked = CAlterChecks(session, change, alteration).Run();
    if (checked < 0)
        return checked;
    const std::string table = alteration.m_newName.empty() ? alteration.m_table : alteration.m_newName;
    return RebuildSqliteTable(session, table, AlterEdit(change), renames);
}
