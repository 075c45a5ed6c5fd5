#pragma once

#include "db/SchemaChange.h"

#include <string>
#include <utility>
#include <vector>

// An edited table (CAlterTable) read as the differences the engines write:
// which names changed, which columns changed in what, which came and went,
// and whether the primary key changed. Comparing with the table as it was
// shown is what lets an edit that changes nothing send nothing.

// The declared type of a column as a statement writes it: name[(size[,dec])].
std::string ColumnTypeText(const CColumnDef &column);

// One column that stays, under its new name, with what changed in it.
struct CChangedColumn
{
    const CColumnDef *m_before = nullptr;
    const CColumnDef *m_after = nullptr;
    bool m_type = false;
    bool m_default = false;
    bool m_notNull = false;
    bool m_collation = false;

    bool Any() const { return m_type || m_default || m_notNull || m_collation; }
    bool BecomesNotNull() const { return m_notNull && m_after->m_nullMark == "1"; }
};

struct CTableAlteration
{
    std::string m_error; // a column named that the table did not have
    std::string m_table;
    std::string m_newName; // empty: the name stays
    // Old and new column names, in the order they are made: a rename to a
    // name that another column still has (a swap, or the name of a column
    // that goes) is made through a temporary name.
    std::vector<std::pair<std::string, std::string>> m_renames;
    std::vector<CChangedColumn> m_changed;
    std::vector<CColumnDef> m_added;
    std::vector<std::string> m_dropped; // by the names the renames leave
    bool m_keyChanged = false;
    std::vector<std::string> m_key; // the new key, new names

    bool ChangesNothing() const
    {
        return m_newName.empty() && m_renames.empty() && !ChangesMoreThanNames();
    }
    bool ChangesMoreThanNames() const
    {
        return !m_changed.empty() || !m_added.empty() || !m_dropped.empty() || m_keyChanged;
    }
    // The column's name after the renames, and before them.
    std::string NewName(const std::string &before) const;
    std::string OldName(const std::string &after) const;
};

CTableAlteration ReadAlteration(const CAlterTable &change);
