#include "db/sqlite/SqliteTableRebuild.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteSchemaQueries.h"
#include "db/sqlite/SqliteTableSql.h"

#include <map>
#include <set>

using SqlText::QuoteIdentifier;
using SqlText::QuoteLiteral;

namespace {

int Refuse(CDbSession &session, const std::string &text)
{
    session.m_lastError = text;
    return DbResult::kErrorWithoutNativeCode;
}

// Keeps the text of a failure while the rebuild cleans up after it, so that
// the rollback and the restored settings cannot replace it.
class CKeptError
{
public:
    explicit CKeptError(CDbSession &session) : m_session(session), m_text(session.m_lastError) {}
    ~CKeptError() { m_session.m_lastError = m_text; }
    CKeptError(const CKeptError &) = delete;
    CKeptError &operator=(const CKeptError &) = delete;

private:
    CDbSession &m_session;
    std::string m_text;
};

// The two connection settings the rebuild needs changed, and puts back.
// Foreign-key enforcement must be off, or dropping the old table would
// delete (or cascade into) the rows that refer to it; SQLite ignores the
// switch inside a transaction, and the ODBC driver opens its transaction
// with the first statement after autocommit goes off, so it is switched
// before the transaction begins and read back. The legacy rename keeps
// ALTER TABLE ... RENAME from checking, or rewriting, the views and other
// tables' triggers that name the table while the old one is gone.
class CRebuildSettings
{
public:
    explicit CRebuildSettings(CDbSession &session) : m_session(session) {}

    int Apply()
    {
        int result = SqliteSchema::ReadValue(m_session, "PRAGMA foreign_keys", m_foreignKeys);
        if (result >= 0)
            result = SqliteSchema::ReadValue(m_session, "PRAGMA legacy_alter_table", m_legacyAlter);
        if (result >= 0 && m_foreignKeys == "1") {
            result = SqliteSchema::Run(m_session, "PRAGMA foreign_keys = OFF");
            m_foreignKeysOff = result >= 0;
            std::string now;
            if (result >= 0)
                result = SqliteSchema::ReadValue(m_session, "PRAGMA foreign_keys", now);
            if (result >= 0 && now != "0")
                return Refuse(m_session, "Foreign-key enforcement could not be turned off, so the "
                                         "table was not changed.");
        }
        if (result >= 0 && m_legacyAlter == "0") {
            result = SqliteSchema::Run(m_session, "PRAGMA legacy_alter_table = ON");
            m_legacyAlterOn = result >= 0;
        }
        return result;
    }

    void Restore()
    {
        if (m_legacyAlterOn)
            SqliteSchema::Run(m_session, "PRAGMA legacy_alter_table = OFF");
        if (m_foreignKeysOff)
            SqliteSchema::Run(m_session, "PRAGMA foreign_keys = ON");
    }

private:
    CDbSession &m_session;
    std::string m_foreignKeys;
    std::string m_legacyAlter;
    bool m_foreignKeysOff = false;
    bool m_legacyAlterOn = false;
};

// Violations of foreign keys, per referring table and parent table.
using CViolations = std::map<std::pair<std::string, std::string>, long>;

std::string Plural(long count, const char *one, const char *many)
{
    return std::to_string(count) + (count == 1 ? one : many);
}

// The steps inside the transaction.
class CTableRebuild
{
public:
    CTableRebuild(CDbSession &session, const std::string &table, const CSqliteTableEdit &edit,
                  const std::vector<std::string> &renames)
        : m_session(session), m_table(table), m_edit(edit), m_renames(renames)
    {
    }

    int Run()
    {
        int result = Rename();
        if (result >= 0)
            result = ReadTable();
        if (result >= 0)
            result = EditDefinition();
        if (result >= 0)
            result = RecordBefore();
        if (result >= 0)
            result = SqliteSchema::Run(m_session, RenameCreateTable(m_edited.m_sql, m_newName));
        if (result >= 0)
            result = CopyRows();
        if (result >= 0)
            result = ReplaceOldTable();
        if (result >= 0)
            result = RecreateIndexesAndTriggers();
        if (result >= 0)
            result = CheckDependents();
        if (result >= 0)
            result = CheckForeignKeys();
        return result;
    }

private:
    // The legacy rename, on for the rest of the rebuild, would leave the
    // references to a renamed name as they were.
    int Rename()
    {
        if (m_renames.empty())
            return DbResult::kOk;
        int result = SqliteSchema::Run(m_session, "PRAGMA legacy_alter_table = OFF");
        for (size_t i = 0; result >= 0 && i < m_renames.size(); ++i)
            result = SqliteSchema::Run(m_session, m_renames[i]);
        if (result >= 0)
            result = SqliteSchema::Run(m_session, "PRAGMA legacy_alter_table = ON");
        return result;
    }

    bool DropsColumns() const { return !m_edited.m_removedColumns.empty(); }

    // What a refusal says the change takes away: the dropped columns by
    // name, so that the user sees which of them is still needed.
    std::string WhatGoes() const
    {
        if (!DropsColumns())
            return "what this change removes from " + QuoteIdentifier(m_name);
        const std::vector<std::string> &columns = m_edited.m_removedColumns;
        std::string text = columns.size() == 1 ? "the column " : "the columns ";
        for (size_t i = 0; i < columns.size(); ++i)
            text += (i ? ", " : "") + QuoteIdentifier(columns[i]);
        return text + " of the table " + QuoteIdentifier(m_name);
    }

    bool KeepsAutoincrement() const
    {
        for (const CSqlToken &token : TokenizeSql(m_edited.m_sql))
            if (SqlTokens::IsKeyword(token, "autoincrement"))
                return true;
        return false;
    }

    int ReadTable()
    {
        const std::string table = QuoteLiteral(m_table);
        int result = SqliteSchema::ReadValue(
            m_session, "select name from sqlite_master where type = 'table' and name = " + table
                           + " collate nocase", m_name);
        if (result >= 0 && m_name.empty())
            return Refuse(m_session, "The table " + QuoteIdentifier(m_table) + " does not exist.");
        std::vector<std::string> texts;
        if (result >= 0)
            result = SqliteSchema::ReadSql(
                m_session, "type = 'table' and name = " + QuoteLiteral(m_name), texts);
        if (result >= 0 && texts.size() != 1)
            return Refuse(m_session, "The definition of the table " + QuoteIdentifier(m_name)
                                         + " cannot be read.");
        if (result >= 0) {
            m_createSql = texts.front();
            result = SqliteSchema::ReadSql(m_session,
                                           "type in ('index', 'trigger') and sql is not null and tbl_name = "
                                               + QuoteLiteral(m_name) + " collate nocase",
                                           m_ownObjects);
        }
        return result;
    }

    int EditDefinition()
    {
        m_edited = EditCreateTable(m_createSql, m_edit);
        if (!m_edited.m_error.empty())
            return Refuse(m_session, m_edited.m_error);
        return SqliteSchema::UnusedTableName(m_session, "vellumix_rebuild_" + m_name, m_newName);
    }

    // What must hold again after the change: the violations counted now,
    // and, when columns go, the views and triggers that work now.
    int RecordBefore()
    {
        int result = SqliteSchema::ReadReferringTables(m_session, m_name, m_referring);
        if (result >= 0)
            result = CountViolationsBefore();
        if (result < 0 || !DropsColumns())
            return result;
        result = SqliteSchema::ReadDependents(m_session, m_name, m_dependents);
        for (size_t i = 0; result >= 0 && i < m_dependents.size(); ++i)
            result = Works(m_dependents[i]);
        for (size_t i = 0; result >= 0 && i < m_ownObjects.size(); ++i)
            result = Works(m_ownObjects[i]);
        return result;
    }

    // Records whether the object compiles now; a failure to compile is no
    // failure of the rebuild.
    int Works(const std::string &objectSql)
    {
        std::string check;
        int result = SqliteSchema::CompileCheck(m_session, objectSql, check);
        if (result >= 0 && !check.empty() && SqliteSchema::Run(m_session, check) >= 0)
            m_working.insert(objectSql);
        return result;
    }

    int CopyRows()
    {
        const bool withRowid = !ReadTableDefinition(m_createSql).m_withoutRowid
                               && !ReadTableDefinition(m_edited.m_sql).m_withoutRowid;
        std::string columns;
        int result = SqliteSchema::CommonColumns(m_session, m_name, m_newName, withRowid, columns);
        if (result >= 0)
            result = SqliteSchema::Run(m_session, "INSERT INTO " + QuoteIdentifier(m_newName) + " ("
                                                      + columns + ") SELECT " + columns + " FROM "
                                                      + QuoteIdentifier(m_name));
        // A definition can make an insert skip or replace rows silently (ON
        // CONFLICT IGNORE or REPLACE); every row must have arrived.
        std::string same;
        if (result >= 0)
            result = SqliteSchema::ReadValue(m_session, "SELECT (SELECT count(*) FROM "
                                                            + QuoteIdentifier(m_newName)
                                                            + ") = (SELECT count(*) FROM "
                                                            + QuoteIdentifier(m_name) + ")", same);
        if (result >= 0 && same != "1")
            return Refuse(m_session, "The changed table " + QuoteIdentifier(m_name)
                                         + " would not keep every row, so nothing was changed.");
        return result;
    }

    int ReplaceOldTable()
    {
        std::string sequence;
        int result = SqliteSchema::ReadSequence(m_session, m_name, sequence);
        if (result >= 0)
            result = SqliteSchema::Run(m_session, "DROP TABLE " + QuoteIdentifier(m_name));
        if (result >= 0)
            result = SqliteSchema::Run(m_session, "ALTER TABLE " + QuoteIdentifier(m_newName)
                                                      + " RENAME TO " + QuoteIdentifier(m_name));
        if (result >= 0 && !sequence.empty() && KeepsAutoincrement())
            result = SqliteSchema::KeepSequence(m_session, m_name, sequence);
        return result;
    }

    // Indexes that name a dropped column go, as the engine's own column drop
    // would take them. Everything else comes back from its own text, in the
    // order it was made, so triggers of one event keep firing in the same
    // order. A trigger of the table that worked before and would stop
    // working refuses the change, as SQLite's own column drop refuses it:
    // no trigger is lost without the user knowing.
    int RecreateIndexesAndTriggers()
    {
        int result = DbResult::kOk;
        for (size_t i = 0; result >= 0 && i < m_ownObjects.size(); ++i) {
            const std::string &sql = m_ownObjects[i];
            const CSqlTokens tokens = TokenizeSql(sql);
            const CSqliteObjectHeader header = ReadObjectHeader(tokens);
            if (header.m_type == "index" && DropsColumns()
                && TokensNameColumn(tokens, header.m_afterTable, tokens.size() - 1,
                                    m_edited.m_removedColumns))
                continue;
            result = SqliteSchema::Run(m_session, sql);
            if (result >= 0 && header.m_type == "trigger")
                result = RefuseIfStopsWorking(sql);
        }
        return result;
    }

    int CheckDependents()
    {
        int result = DbResult::kOk;
        for (size_t i = 0; result >= 0 && i < m_dependents.size(); ++i)
            result = RefuseIfStopsWorking(m_dependents[i]);
        return result;
    }

    // A view or trigger that compiled before the change and no longer does
    // refuses the change, naming itself and what goes.
    int RefuseIfStopsWorking(const std::string &sql)
    {
        if (!m_working.count(sql))
            return DbResult::kOk;
        std::string check;
        int result = SqliteSchema::CompileCheck(m_session, sql, check);
        if (result >= 0)
            result = SqliteSchema::Run(m_session, check);
        if (result >= 0)
            return result;
        const CSqliteObjectHeader header = ReadObjectHeader(TokenizeSql(sql));
        return Refuse(m_session, "The " + header.m_type + " " + QuoteIdentifier(header.m_name)
                                     + " would stop working without " + WhatGoes()
                                     + ", so nothing was changed.");
    }

    int ReadViolations(const std::string &table, CViolations &counts)
    {
        std::vector<std::vector<std::string>> rows;
        const int result = SqliteSchema::ReadRows(
            m_session, "SELECT parent, count(*) FROM pragma_foreign_key_check(" + QuoteLiteral(table)
                           + ") GROUP BY parent", 2, rows);
        for (const std::vector<std::string> &row : rows)
            counts[{table, row[0]}] += std::stol(row[1]);
        return result;
    }

    // The keys of the table and of the tables that refer to it. A check
    // that fails already (a key without a unique parent key) holds nobody
    // back now; afterwards the changed table must pass it, and so must
    // every table that passed before.
    int CountViolationsBefore()
    {
        for (const std::string &table : CheckedTables())
            if (ReadViolations(table, m_before) < 0)
                m_uncheckable.insert(table);
        return DbResult::kOk;
    }

    // A check fails, rather than counting rows, when a key's parent columns
    // are neither the parent's primary key nor unique.
    int CountViolationsAfter(CViolations &after)
    {
        for (const std::string &table : CheckedTables()) {
            const bool own = table == m_name;
            if (!own && m_uncheckable.count(table))
                continue;
            if (ReadViolations(table, after) >= 0)
                continue;
            if (own)
                return Refuse(m_session, "The table " + QuoteIdentifier(m_name)
                                             + " would have a foreign key whose parent columns are "
                                               "neither a primary key nor unique, so nothing was "
                                               "changed.");
            return Refuse(m_session, "The table " + QuoteIdentifier(table)
                                         + " has a foreign key that would stop working without "
                                         + WhatGoes() + ", so nothing was changed.");
        }
        return DbResult::kOk;
    }

    std::vector<std::string> CheckedTables() const
    {
        std::vector<std::string> tables = m_referring;
        tables.insert(tables.begin(), m_name);
        return tables;
    }

    int CheckForeignKeys()
    {
        CViolations after;
        const int result = CountViolationsAfter(after);
        if (result < 0)
            return result;
        for (const auto &count : after) {
            const long added = count.second - m_before[count.first];
            if (added <= 0)
                continue;
            const std::string what = m_edit.m_kind == CSqliteTableEdit::Kind::AddConstraint
                                         ? "the key cannot be added"
                                         : "the table cannot be changed";
            return Refuse(m_session, Plural(added, " row", " rows") + " of the table "
                                         + QuoteIdentifier(count.first.first)
                                         + (added == 1 ? " has" : " have")
                                         + " no matching row in the table "
                                         + QuoteIdentifier(count.first.second) + ", so " + what
                                         + ". Nothing was changed.");
        }
        return DbResult::kOk;
    }

    CDbSession &m_session;
    const std::string m_table;
    const CSqliteTableEdit &m_edit;
    const std::vector<std::string> &m_renames;
    std::string m_name;      // as sqlite_master spells it
    std::string m_newName;   // the new table's name until the rename
    std::string m_createSql;
    CSqliteEditedTable m_edited;
    std::vector<std::string> m_ownObjects; // index and trigger texts, oldest first
    std::vector<std::string> m_dependents; // views and other tables' triggers naming the table
    std::set<std::string> m_working;       // objects that compiled before the change
    std::vector<std::string> m_referring;  // tables with a key to this one
    std::set<std::string> m_uncheckable;   // tables whose check failed before
    CViolations m_before;
};

} // namespace

int RebuildSqliteTable(CDbSession &session, const std::string &table, const CSqliteTableEdit &edit,
                       const std::vector<std::string> &renames)
{
    if (session.InTransaction())
        return Refuse(session, "The table cannot be rebuilt while another change is unfinished.");
    CRebuildSettings settings(session);
    int result = settings.Apply();
    if (result >= 0) {
        CDbTransaction transaction(session);
        result = transaction.Begin();
        if (result >= 0)
            result = CTableRebuild(session, table, edit, renames).Run();
        if (result >= 0) {
            result = transaction.Commit();
        } else {
            CKeptError kept(session);
            transaction.Rollback();
        }
    }
    CKeptError kept(session);
    settings.Restore();
    return result;
}
