#pragma once

#include "db/DbTypes.h"

#include <string>
#include <variant>
#include <vector>

// Neutral descriptions of the changes the designer makes to a schema. The
// dialogs and table windows fill them in; the connected engine's dialect
// (Dialect.h) turns them into the statements that engine accepts. Names are
// held exactly as typed or stored: quoting is the dialect's job.

// One column as a grid row defines it. Size and dec are kept as typed, so a
// dialect can write them unchanged; the parameter kind is the one of the
// session's type named m_typeName (none when the list has no such type).
struct CColumnDef
{
    std::string m_name;
    std::string m_typeName;
    int m_paramKind = CDbTypeInfo::NoSize;
    std::string m_size;
    std::string m_dec;
    std::string m_collation;
    std::string m_default;   // written verbatim
    std::string m_nullMark;  // exactly "1" makes the column not null
};

// A primary key, when named, lists its columns in key order; without one
// the statement is the one written without a key.
struct CCreateTable
{
    std::string m_table;
    std::vector<CColumnDef> m_columns;
    std::vector<std::string> m_primaryKey = {};
};

struct CAddColumns
{
    std::string m_table;
    std::vector<CColumnDef> m_columns;
};

struct CDropColumns
{
    std::string m_table;
    std::vector<std::string> m_columns;
};

struct CDropIndex
{
    std::string m_table;
    std::string m_index;
};

// The table is carried although not every engine names it when dropping.
struct CDropTrigger
{
    std::string m_table;
    std::string m_trigger;
};

struct CDropTable
{
    std::string m_table;
};

// A foreign key as the relationship list names it. An engine that keeps no
// names for some keys (SQLite) finds such a key again from the foreign
// table, its parent table and the name its adapter made up for it.
struct CDropRelationship
{
    std::string m_foreignTable;
    std::string m_parentTable;
    std::string m_name;
};

struct CIndexSegment
{
    std::string m_column;
    bool m_descending = false;
};

struct CCreateIndex
{
    std::string m_name;
    std::string m_table;
    bool m_unique = false;
    bool m_modifiable = false;
    bool m_notNull = false;
    std::vector<CIndexSegment> m_segments;
};

enum class TriggerTiming { Before, After };
enum class TriggerEvent { Insert, Update, Delete };

// Texts as the trigger dialog trimmed them; an empty firing order or
// condition is left out of the statement.
struct CCreateTrigger
{
    std::string m_name;
    std::string m_table;
    TriggerTiming m_timing = TriggerTiming::Before;
    TriggerEvent m_event = TriggerEvent::Insert;
    std::string m_firingOrder;
    std::string m_condition;
    std::string m_body;
};

enum class DeleteRule { None, Cascade, Restrict };

struct CAddForeignKey
{
    std::string m_table;
    std::vector<std::string> m_columns;
    std::string m_referencedTable;
    std::vector<std::string> m_referencedColumns;
    DeleteRule m_deleteRule = DeleteRule::None;
};

// One column of an edited table: the name it has now (empty for a new
// column) and what it is to be.
struct CAlteredColumn
{
    std::string m_from;
    CColumnDef m_column;
};

// An existing table changed as a whole, as the Edit Table dialog gives it:
// renamed (an empty new name keeps the name), its columns renamed,
// retyped, given another default or null rule, added, or dropped (a column
// of m_before that no m_from names), and its primary key set (empty: no
// key). m_columns is the table's new column order. m_before and
// m_keyBefore are the table as it was shown, so that a dialect writes only
// what changed.
struct CAlterTable
{
    std::string m_table;
    std::string m_newName;
    std::vector<CAlteredColumn> m_columns;
    std::vector<std::string> m_primaryKey = {};
    std::vector<CColumnDef> m_before = {};
    std::vector<std::string> m_keyBefore = {};
};

// An index or a trigger replaced by an edited one: the old one dropped and
// the new one created, together or not at all.
struct CReplaceIndex
{
    CDropIndex m_old;
    CCreateIndex m_new;
};

struct CReplaceTrigger
{
    CDropTrigger m_old;
    CCreateTrigger m_new;
};

using CSchemaChange =
    std::variant<CCreateTable, CAddColumns, CDropColumns, CDropIndex, CDropTrigger, CDropTable,
                 CDropRelationship, CCreateIndex, CCreateTrigger, CAddForeignKey, CAlterTable,
                 CReplaceIndex, CReplaceTrigger>;

// What a design dialog's compose step gives: either the first error its
// checks found (a negative result code, m_change unused) or the change.
struct CComposedChange
{
    int m_error = 0;
    CSchemaChange m_change;
};
