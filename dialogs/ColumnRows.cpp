#include "dialogs/ColumnRows.h"

#include "db/ColumnCheck.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "model/ColumnDescription.h"

namespace ColumnRows {

namespace {

// The definition of a named row, or the first error its type and sizes
// give.
int CheckedDefinition(const CColumnRow &row, const CTypeList &types, CColumnDef &column)
{
    if (row.m_typeName.empty())
        return DbResult::kNoDataType;
    column = Definition(row, types);
    return ColumnCheck::CheckSizes(column);
}

// The definitions of the rows up to the first one without a name, or the
// first error one of them gives.
int GatherColumns(const std::vector<CColumnRow> &rows, const CTypeList &types,
                  std::vector<CColumnDef> &columns)
{
    for (const CColumnRow &row : rows) {
        if (row.m_name.empty())
            break;
        CColumnDef column;
        const int error = CheckedDefinition(row, types, column);
        if (error < 0)
            return error;
        columns.push_back(std::move(column));
    }
    return columns.empty() ? DbResult::kNoColumn : DbResult::kOk;
}

bool IsKey(const CColumnRow &row) { return row.m_key == "1"; }

// The names of the key rows among the named rows before the first unnamed one.
std::vector<std::string> KeyOfLeadingRows(const std::vector<CColumnRow> &rows)
{
    std::vector<std::string> key;
    for (const CColumnRow &row : rows) {
        if (row.m_name.empty())
            break;
        if (IsKey(row))
            key.push_back(row.m_name);
    }
    return key;
}

std::string Trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text before a declared size, and the size's two numbers (of
// "numeric(10, 2)": "numeric", "10", "2").
void SplitDeclaredType(const std::string &declared, std::string &type, std::string &size,
                       std::string &dec)
{
    const size_t open = declared.find('(');
    type = SqlText::ToLower(Trimmed(declared.substr(0, open)));
    if (open == std::string::npos)
        return;
    const size_t close = declared.find(')', open);
    const std::string inside =
        declared.substr(open + 1, close == std::string::npos ? close : close - open - 1);
    const size_t comma = inside.find(',');
    size = Trimmed(inside.substr(0, comma));
    if (comma != std::string::npos)
        dec = Trimmed(inside.substr(comma + 1));
}

// The size and decimals a catalog row gives for a type of the given kind;
// character types carry their size as a length, all others as a precision.
void CatalogSizes(const CColumnFacts &facts, int paramKind, std::string &size, std::string &dec)
{
    const int dataType = LeadingInteger(facts.m_dataType);
    const bool character = dataType == 1 || dataType == 12 || dataType == -8 || dataType == -9;
    if (paramKind == CDbTypeInfo::NoSize)
        return;
    size = character ? facts.m_length : facts.m_precision;
    if (paramKind == CDbTypeInfo::PrecisionScale)
        dec = facts.m_scale;
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
    CCreateTable change{table, {}};
    change.m_primaryKey = KeyOfLeadingRows(rows);
    return WithColumns(std::move(change), rows, types);
}

CComposedChange ComposeAddColumns(const std::string &table, const std::vector<CColumnRow> &rows,
                                  const CTypeList &types)
{
    return WithColumns(CAddColumns{table, {}}, rows, types);
}

CColumnRow ShownRow(const CSchemaColumn &column, bool key, const CTypeList &types)
{
    CColumnRow row;
    row.m_name = column.m_name;
    if (column.m_facts.m_declaredType) {
        SplitDeclaredType(column.m_facts.m_typeName, row.m_typeName, row.m_size, row.m_dec);
    } else {
        row.m_typeName = SqlText::ToLower(column.m_facts.m_typeName);
        const CDbTypeInfo *type = FindType(types, row.m_typeName);
        CatalogSizes(column.m_facts, type ? type->m_paramKind : CDbTypeInfo::NoSize, row.m_size,
                     row.m_dec);
    }
    // A catalog may give the word NULL for a column without a default; the
    // grid shows no default then, as Create Table writes none.
    row.m_default = column.m_default == "NULL" ? std::string() : column.m_default;
    row.m_nullMark = column.m_facts.m_nullable == "0" ? "1" : "";
    row.m_key = key ? "1" : "";
    return row;
}

// Every row is read, not only those up to the first unnamed one: emptying
// a row's name is how a column is dropped, and rows after it stay.
CComposedChange ComposeAlterTable(const std::string &table, const std::string &newName,
                                  const std::vector<CColumnRow> &shown,
                                  const std::vector<CColumnRow> &rows, const CTypeList &types)
{
    if (newName.empty())
        return Failure(DbResult::kNoTableName);
    CAlterTable change{table, newName == table ? std::string() : newName, {}};
    for (size_t i = 0; i < shown.size(); ++i) {
        change.m_before.push_back(Definition(shown[i], types));
        if (IsKey(shown[i]))
            change.m_keyBefore.push_back(shown[i].m_name);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const CColumnRow &row = rows[i];
        if (row.m_name.empty())
            continue;
        CAlteredColumn column{i < shown.size() ? shown[i].m_name : std::string(), {}};
        const int error = CheckedDefinition(row, types, column.m_column);
        if (error < 0)
            return Failure(error);
        change.m_columns.push_back(std::move(column));
        if (IsKey(row))
            change.m_primaryKey.push_back(row.m_name);
    }
    if (change.m_columns.empty())
        return Failure(DbResult::kNoColumn);
    return {DbResult::kOk, std::move(change)};
}

} // namespace ColumnRows
