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

bool NamesAny(const std::string &name, const std::vector<std::string> &names)
{
    for (const std::string &other : names)
        if (SameName(name, other))
            return true;
    return false;
}

// Every column that is renamed, and every dropped column whose name a
// rename takes, first goes to a name of its own; the renames then start
// from those. Without a clash the renames stay as they are.
void OrderRenames(CTableAlteration &alteration)
{
    std::vector<std::string> freed = alteration.m_dropped;
    for (const auto &rename : alteration.m_renames)
        freed.push_back(rename.first);
    bool clash = false;
    for (const auto &rename : alteration.m_renames)
        clash = clash || NamesAny(rename.second, freed);
    if (!clash)
        return;
    std::vector<std::pair<std::string, std::string>> first, then;
    for (size_t i = 0; i < alteration.m_renames.size(); ++i) {
        const std::string temporary = "vellumix_renamed_" + std::to_string(i + 1);
        first.push_back({alteration.m_renames[i].first, temporary});
        then.push_back({temporary, alteration.m_renames[i].second});
    }
    for (size_t i = 0; i < alteration.m_dropped.size(); ++i) {
        std::string &dropped = alteration.m_dropped[i];
        bool taken = false;
        for (const auto &rename : then)
            taken = taken || SameName(rename.second, dropped);
        if (taken) {
            first.push_back({dropped, "vellumix_dropped_" + std::to_string(i + 1)});
            dropped = first.back().second;
        }
    }
    first.insert(first.end(), then.begin(), then.end());
    alteration.m_renames = first;
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
    std::string name = before;
    for (const auto &rename : m_renames)
        if (rename.first == name)
            name = rename.second;
    return name;
}

std::string CTableAlteration::OldName(const std::string &after) const
{
    std::string name = after;
    for (auto rename = m_renames.rbegin(); rename != m_renames.rend(); ++rename)
        if (rename->second == name)
            name = rename->first;
    return name;
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
    OrderRenames(alteration);
    // A key whose columns were only renamed is the same key: the engines
    // rename its columns with them.
    std::vector<std::string> keyBefore;
    for (const std::string &column : change.m_keyBefore)
        keyBefore.push_back(alteration.NewName(column));
    alteration.m_key = change.m_primaryKey;
    alteration.m_keyChanged = keyBefore != change.m_primaryKey;
    return alteration;
}
