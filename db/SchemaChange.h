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

struct CCreateTable
{
    std::string m_table;
    std::vector<CColumnDef> m_columns;
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

using CSchemaChange =
    std::variant<CCreateTable, CAddColumns, CDropColumns, CDropIndex, CDropTrigger, CDropTable,
                 CDropRelationship, CCreateIndex, CCreateTrigger, CAddForeignKey>;

// What a design dialog's compose step gives: either the first error its
// checks found (a negative result code, m_change unused) or the change.
struct CComposedChange
{
    int m_error = 0;
    CSchemaChange m_change;
};
