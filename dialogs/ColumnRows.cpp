#include "dialogs/ColumnRows.h"

#include "db/ColumnCheck.h"
#include "db/ResultCodes.h"

namespace ColumnRows {

namespace {

// The definitions of the rows up to the first one without a name, or the
// first error one of them gives.
int GatherColumns(const std::vector<CColumnRow> &rows, const CTypeList &types,
                  std::vector<CColumnDef> &columns)
{
    for (const CColumnRow &row : rows) {
        if (row.m_name.empty())
            break;
        if (row.m_typeName.empty())
            return DbResult::kNoDataType;
        CColumnDef column = Definition(row, types);
        const int sizes = ColumnCheck::CheckSizes(column);
        if (sizes < 0)
            return sizes;
        columns.push_back(std::move(column));
    }
    return columns.empty() ? DbResult::kNoColumn : DbResult::kOk;
}

CComposedChange Failure(int error)
{
    CComposedChange composed;
    composed.m_error = error;
    return composed;
}

// The change with the rows' columns, or the first error they give.
template <class Change>
CComposedChange WithColumns(Change change, const std::vector<CColumnRow> &rows, const CTypeList &types)
{
    const int error = GatherColumns(rows, types, change.m_columns);
    if (error < 0)
        return Failure(error);
    return {DbResult::kOk, std::move(change)};
}

} // namespace

const CDbTypeInfo *FindType(const CTypeList &types, const std::string &name)
{
    for (const CDbTypeInfo &type : types)
        if (type.m_name == name)
            return &type;
    return nullptr;
}

bool IsCellLocked(const CColumnRow &row, bool firstRow, const std::string &nameAbove, int column,
                  const CTypeList &types)
{
    if (column == kName)
        return !firstRow && nameAbove.empty();
    if (row.m_name.empty())
        return true;
    const CDbTypeInfo *type = FindType(types, row.m_typeName);
    switch (column) {
    case kSize:
        return !type || type->m_paramKind == CDbTypeInfo::NoSize;
    case kDec:
        return !type || type->m_paramKind != CDbTypeInfo::PrecisionScale;
    case kNull:
        return !type || !type->m_nullable;
    default:
        return false;
    }
}

// Locked cells keep their texts; the statement looks only at the type's
// parameter kind, so sizes left behind by an earlier type are ignored.
CColumnDef Definition(const CColumnRow &row, const CTypeList &types)
{
    CColumnDef column;
    column.m_name = row.m_name;
    column.m_typeName = row.m_typeName;
    if (const CDbTypeInfo *type = FindType(types, row.m_typeName))
        column.m_paramKind = type->m_paramKind;
    column.m_size = row.m_size;
    column.m_dec = row.m_dec;
    column.m_collation = row.m_collation;
    column.m_default = row.m_default;
    column.m_nullMark = row.m_nullMark;
    return column;
}

// A name of blanks is a name: only the empty text is missing.
CComposedChange ComposeCreateTable(const std::string &table, const std::vector<CColumnRow> &rows,
                                   const CTypeList &types)
{
    if (table.empty())
        return Failure(DbResult::kNoTableName);
    return WithColumns(CCreateTable{table, {}}, rows, types);
}

CComposedChange ComposeAddColumns(const std::string &table, const std::vector<CColumnRow> &rows,
                                  const CTypeList &types)
{
    return WithColumns(CAddColumns{table, {}}, rows, types);
}

} // namespace ColumnRows
