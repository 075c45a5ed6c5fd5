#include "db/sqlite/SqliteAdapter.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteTableKeys.h"
#include "db/sqlite/SqliteTableSql.h"
#include "db/sqlite/SqliteTokens.h"

#include <algorithm>
#include <set>

// The referenced table is written as the user typed it in the REFERENCES
// clause; the diagram finds tables by their exact catalog name, so the name
// is resolved against sqlite_master (SQLite names ignore ASCII case). The
// resolution is a join rather than a subquery per key: the join lets the
// engine build a temporary index, where a subquery would scan sqlite_master
// once for every key. A foreign key without parent columns refers to the
// primary key: "to" is NULL.
const char *const CSqliteAdapter::kForeignKeyQuery =
    "select m.name, p.id, p.\"from\", p.\"table\", coalesce(p.\"to\", ''), t.name "
    "from sqlite_master m join pragma_foreign_key_list(m.name) p "
    "left join sqlite_master t on t.type = 'table' and t.name = p.\"table\" collate nocase "
    "where m.type = 'table' order by m.rowid, p.id desc, p.seq";

// Kind 0 rows are primary key columns (with their declared type, which
// decides whether the driver reports a rowid key); the others are index
// columns, numbered by the index's place in pragma index_list.
const char *const CSqliteAdapter::kKeyQuery =
    "select m.name, 0, '', 1, 0, t.pk, t.name, t.type "
    "from sqlite_master m join pragma_table_info(m.name) t "
    "where m.type = 'table' and t.pk > 0 "
    "union all "
    "select m.name, 1 + i.seq, i.name, i.\"unique\", i.partial, x.seqno, x.name, '' "
    "from sqlite_master m join pragma_index_list(m.name) i join pragma_index_info(i.name) x "
    "where m.type = 'table' "
    "order by 1, 2, 6";

// A column read holds 254 bytes, and a CREATE TABLE text is longer, so the
// text comes in pieces of 60 characters (at most 240 bytes of UTF-8). The
// guard character at the end of each piece keeps a blank at a piece
// boundary safe from any reader that trims values.
// Only tables whose text can name a constraint are read.
const char *const CSqliteAdapter::kTableSqlQuery =
    "with recursive piece(name, sql, pos) as ("
    "select name, sql, 1 from sqlite_master where type = 'table' "
    "and sql like '%constraint%' and exists (select 1 from pragma_foreign_key_list(name)) "
    "union all select name, sql, pos + 60 from piece where pos + 60 <= length(sql)) "
    "select name, substr(sql, pos, 60) || '|' from piece order by name, pos";

// A trigger's tbl_name is the table as its ON clause wrote it, in any case.
const char *const CSqliteAdapter::kTriggerQuery =
    "select tbl_name, name from sqlite_master where type = 'trigger' order by rowid";

namespace {

using SqlTokens::SameName;
using SqlTokens::SameNames;

} // namespace

// One foreign key assembled from its pragma rows (one row per column).
struct CSqliteAdapter::CForeignKey
{
    std::string m_table;
    std::string m_id;
    std::string m_parentWritten;  // as the REFERENCES clause spells it
    std::string m_parentTable;    // the catalog name, or as written when missing
    std::vector<std::string> m_columns;
    std::vector<std::string> m_parentColumns; // empty: the parent's primary key
    std::string m_name;
};

std::string CSqliteAdapter::GetDbmsName() const { return "SQLite"; }

// SQLite refuses to create any object whose name starts with "sqlite_", in
// any case, so such a table is always one of its own.
bool CSqliteAdapter::IsInternalTable(const std::string &table) const
{
    return SqlText::ToLower(table).rfind("sqlite_", 0) == 0;
}

std::string CSqliteAdapter::ShownIndexName(const std::string &reported) const
{
    return reported == CSqliteTableKeys::kReportedRowidKeyName ? CSqliteTableKeys::kRowidKeyName
                                                               : reported;
}

// The keys are named as LoadRelationships names them, so the question
// speaks of the lines the user sees.
int CSqliteAdapter::ReadColumnDropEffects(CDbSession &session, const std::string &table,
                                          const std::vector<std::string> &columns,
                                          std::vector<std::string> &indexes, std::vector<std::string> &keys)
{
    int result = CDbmsAdapter::ReadColumnDropEffects(session, table, columns, indexes, keys);
    std::vector<CForeignKey> all;
    if (result >= 0)
        result = ReadForeignKeys(session, all);
    const auto dropped = [&columns](const std::string &column) {
        return std::any_of(columns.begin(), columns.end(),
                           [&column](const std::string &gone) { return SameName(column, gone); });
    };
    const auto goes = [&](const CForeignKey &key) {
        return key.m_table == table && std::any_of(key.m_columns.begin(), key.m_columns.end(), dropped);
    };
    // The statement texts are read only when a key goes and needs its name.
    CClauseMap clauses;
    if (result >= 0 && std::any_of(all.begin(), all.end(), goes))
        result = ReadConstraintClauses(session, clauses);
    if (result < 0) {
        session.CloseStatement();
        return result;
    }
    NameForeignKeys(all, clauses);
    for (const CForeignKey &key : all)
        if (goes(key))
            keys.push_back(key.m_name);
    return result;
}

// sqliteodbc waits 100 s for a lock unless told otherwise, which looks like
// a hang. The busy timeout bounds each wait of a statement; a commit that
// meets a lock is tried by the driver ten times more, each try waiting the
// busy timeout again, so one wait is an eleventh of the whole.
int CSqliteAdapter::PrepareSession(CDbSession &session)
{
    constexpr int kCommitTries = 11;
    const int wait = CDbSession::kLockWaitMilliseconds / kCommitTries;
    return session.QueryRows("pragma busy_timeout = " + std::to_string(wait), {1},
                             [](const CDbRow &) {});
}


std::string CSqliteAdapter::GeneratedName(const std::string &table,
                                          const std::vector<std::string> &columns)
{
    std::string name = table;
    for (const std::string &column : columns)
        name += "_" + column;
    return name + "_fkey";
}

int CSqliteAdapter::LoadRelationships(CDbSession &session,
                                      std::vector<CDbRelationship> &relationships)
{
    m_triggers = CTriggerSnapshot();
    std::vector<CForeignKey> keys;
    int result = ReadForeignKeys(session, keys);
    if (result < 0 || keys.empty())
        return result;
    CKeyMap tables;
    result = ReadTableKeys(session, tables);
    CClauseMap clauses;
    if (result >= 0)
        result = ReadConstraintClauses(session, clauses);
    if (result < 0)
        return result;
    NameForeignKeys(keys, clauses);

    static const CSqliteTableKeys kNoKeys;
    for (CForeignKey &key : keys) {
        const auto parent = tables.find(key.m_parentTable);
        const CSqliteTableKeys &parentKeys = parent == tables.end() ? kNoKeys : parent->second;
        const auto child = tables.find(key.m_table);
        const CSqliteTableKeys &childKeys = child == tables.end() ? kNoKeys : child->second;
        const std::vector<std::string> &referenced =
            key.m_parentColumns.empty() ? parentKeys.PrimaryKey() : key.m_parentColumns;

        CDbRelationship relationship;
        relationship.m_name = key.m_name;
        relationship.m_parentTable = key.m_parentTable;
        relationship.m_parentIndex = parentKeys.ParentIndexFor(referenced);
        relationship.m_foreignTable = key.m_table;
        relationship.m_foreignIndex = childKeys.ForeignIndexFor(key.m_columns);
        relationships.push_back(std::move(relationship));
    }
    return DbResult::kOk;
}

int CSqliteAdapter::ReadForeignKeys(CDbSession &session, std::vector<CForeignKey> &keys)
{
    return session.QueryRows(kForeignKeyQuery, {1, 2, 3, 4, 5, 6}, [&keys](const CDbRow &row) {
        const std::string &table = row[0];
        const std::string &id = row[1];
        const std::string &to = row[4];
        if (keys.empty() || keys.back().m_table != table || keys.back().m_id != id) {
            CForeignKey key;
            key.m_table = table;
            key.m_id = id;
            key.m_parentWritten = row[3];
            key.m_parentTable = row[5].empty() ? row[3] : row[5];
            keys.push_back(key);
        }
        keys.back().m_columns.push_back(row[2]);
        if (!to.empty())
            keys.back().m_parentColumns.push_back(to);
    });
}

int CSqliteAdapter::ReadTableKeys(CDbSession &session, CKeyMap &tables)
{
    std::string lastTable, lastPlace;
    return session.QueryRows(kKeyQuery, {1, 2, 3, 4, 5, 6, 7, 8}, [&](const CDbRow &row) {
        const std::string &table = row[0];
        const std::string &place = row[1];
        CSqliteTableKeys &keys = tables[table];
        if (place == "0") {
            keys.AddPrimaryKeyColumn(row[6], row[7]);
            return;
        }
        if (table != lastTable || place != lastPlace) {
            CSqliteIndex index;
            index.m_name = row[2];
            index.m_unique = row[3] == "1";
            index.m_partial = row[4] == "1";
            keys.AddIndex(index);
        }
        keys.AddColumnToLastIndex(row[6]);
        lastTable = table;
        lastPlace = place;
    });
}

int CSqliteAdapter::ReadConstraintClauses(CDbSession &session, CClauseMap &clauses)
{
    std::map<std::string, std::string> texts;
    const int result = session.QueryRows(kTableSqlQuery, {1, 2}, [&texts](const CDbRow &row) {
        std::string piece = row[1];
        if (!piece.empty())
            piece.pop_back(); // the guard character
        texts[row[0]] += piece;
    });
    for (const auto &text : texts)
        clauses[text.first] = ParseForeignKeyClauses(text.second);
    return result;
}

// The pragma rows come in declaration order, and so do the clauses of the
// statement text; each key takes the first unused clause with the same
// columns and parent. A key with no named clause gets a generated name,
// numbered when the same table already has a key of that name.
void CSqliteAdapter::NameForeignKeys(std::vector<CForeignKey> &keys, CClauseMap &clauses)
{
    std::set<std::string> used;
    for (CForeignKey &key : keys) {
        std::vector<CSqliteForeignKeyClause> &own = clauses[key.m_table];
        for (auto it = own.begin(); it != own.end(); ++it) {
            if (SameNames(it->m_columns, key.m_columns)
                && SameName(it->m_parentTable, key.m_parentWritten)) {
                key.m_name = it->m_name;
                own.erase(it);
                break;
            }
        }
        if (key.m_name.empty()) {
            const std::string base = GeneratedName(key.m_table, key.m_columns);
            key.m_name = base;
            for (int n = 2; used.count(key.m_table + '\n' + key.m_name); ++n)
                key.m_name = base + std::to_string(n);
        }
        used.insert(key.m_table + '\n' + key.m_name);
    }
}

// The driver's own type list lacks the storage classes REAL and BLOB, a
// DECIMAL with precision and scale, and the BOOLEAN and DATETIME that
// SQLite schemas commonly declare; its NUMERIC takes no size.
int CSqliteAdapter::AddExtraTypes(CDbSession &session)
{
    struct Extra { const char *name; int kind; };
    static const Extra extras[] = {
        {"blob", CDbTypeInfo::NoSize},     {"boolean", CDbTypeInfo::NoSize},
        {"datetime", CDbTypeInfo::NoSize}, {"decimal", CDbTypeInfo::PrecisionScale},
        {"real", CDbTypeInfo::NoSize},
    };
    for (const Extra &extra : extras) {
        if (session.FindType(extra.name))
            continue;
        auto type = std::make_unique<CDbTypeInfo>();
        type->m_name = extra.name;
        type->m_paramKind = extra.kind;
        type->m_nullable = true;
        session.AddType(std::move(type));
    }
    return DbResult::kOk;
}

// Every statement goes through Execute, so a snapshot taken after the
// session's last statement is still true. The count of statements sent
// keeps growing where the bounded log's size stops.
bool CSqliteAdapter::SnapshotServes(const CDbSession &session) const
{
    return m_triggers.session == &session
           && m_triggers.connection == session.GetConnectionString()
           && m_triggers.statementCount == session.StatementsSent();
}

int CSqliteAdapter::ReadTriggerSnapshot(CDbSession &session)
{
    m_triggers = CTriggerSnapshot();
    CTriggerSnapshot snapshot;
    const int result = session.QueryRows(kTriggerQuery, {1, 2}, [&snapshot](const CDbRow &row) {
        snapshot.byTable[SqlText::ToLower(row[0])].push_back(row[1]);
    });
    if (result < 0)
        return result;
    snapshot.session = &session;
    snapshot.connection = session.GetConnectionString();
    snapshot.statementCount = session.StatementsSent();
    m_triggers = std::move(snapshot);
    return DbResult::kOk;
}

// SQLite stores a trigger's name unquoted, so quotes in it are part of the
// name and stay.
int CSqliteAdapter::LoadTriggerNames(CDbSession &session, const std::string &table,
                                     std::vector<std::string> &names)
{
    if (!SnapshotServes(session)) {
        const int result = ReadTriggerSnapshot(session);
        if (result < 0)
            return result;
    }
    const auto found = m_triggers.byTable.find(SqlText::ToLower(table));
    if (found != m_triggers.byTable.end())
        names.insert(names.end(), found->second.begin(), found->second.end());
    return DbResult::kOk;
}
