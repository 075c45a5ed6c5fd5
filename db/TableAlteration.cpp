#include "db/TableAlteration.h"

#include "db/SqlText.h"

namespace {

bool SameName(const std::string &a, const std::string &b)
{
    return SqlText::ToLower(a) == SqlText::ToLower(b);
}

const CColumnDef *FindBefore(const CAlterTable &change, const std::string &name)
{
    for (const CColumnDef &column : change.m_before)
        if (column.m_name == name)
            return &column;
    return nullptr;
}

bool IsKept(const CAlterTable &change, const std::string &name)
{
    for (const CAlteredColumn &column : change.m_columns)
        if (column.m_from == name)
            return true;
    return false;
}

CChangedColumn Compare(const CColumnDef &before, const CColumnDef &after)
{
    CChangedColumn changed;
    changed.m_before = &before;
    changed.m_after = &after;
    changed.m_type = ColumnTypeText(before) != ColumnTypeText(after);
    changed.m_default = before.m_default != after.m_default;
    changed.m_notNull = (before.m_nullMark == "1") != (after.m_nullMark == "1");
    changed.m_collation = !SameName(before.m_collation, after.m_collation);
    return changed;
}

} // namespace

std::string ColumnTypeText(const CColumnDef &column)
{
    std::string text = column.m_typeName;
    if (column.m_paramKind == CDbTypeInfo::Length)
        text += "(" + column.m_size + ")";
    else if (column.m_paramKind == CDbTypeInfo::PrecisionScale)
        text += "(" + column.m_size + "," + column.m_dec + ")";
    return text;
}

std::string CTableAlteration::NewName(const std::string &before) const
{
    for (const auto &rename : m_renames)
        if (rename.first == before)
            return rename.second;
    return before;
}

CTableAlteration ReadAlteration(const CAlterTable &change)
{
    CTableAlteration alteration;
    alteration.m_table = change.m_table;
    if (change.m_newName != change.m_table)
        alteration.m_newName = change.m_newName;
    for (const CAlteredColumn &column : change.m_columns) {
        if (column.m_from.empty()) {
            alteration.m_added.push_back(column.m_column);
            continue;
        }
        const CColumnDef *before = FindBefore(change, column.m_from);
        if (!before) {
            alteration.m_error = "The table " + SqlText::QuoteIdentifier(change.m_table)
                                 + " has no column " + SqlText::QuoteIdentifier(column.m_from)
                                 + ". Nothing was changed.";
            return alteration;
        }
        if (column.m_from != column.m_column.m_name)
            alteration.m_renames.push_back({column.m_from, column.m_column.m_name});
        const CChangedColumn changed = Compare(*before, column.m_column);
        if (changed.Any())
            alteration.m_changed.push_back(changed);
    }
    for (const CColumnDef &column : change.m_before)
        if (!IsKept(change, column.m_name))
            alteration.m_dropped.push_back(column.m_name);
    // A key whose columns were only renamed is the same key: the engines
    // rename its columns with them.
    std::vector<std::string> keyBefore;
    for (const std::string &column : change.m_keyBefore)
        keyBefore.push_back(alteration.NewName(column));
    alteration.m_key = change.m_primaryKey;
    alteration.m_keyChanged = keyBefore != change.m_primaryKey;
    return alteration;
}
