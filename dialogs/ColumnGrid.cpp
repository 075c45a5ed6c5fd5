#include "dialogs/ColumnGrid.h"

#include "db/DbSession.h"
#include "grid/GridEditColumn.h"
#include "grid/GridListColumn.h"
#include "grid/GridMetrics.h"
#include "grid/GridToggleColumn.h"

#include <algorithm>

using namespace ColumnRows;

namespace {

// Data Type, Size, Dec, Collate, Default Value and Null together.
constexpr int kFixedColumnsWidth = 440;
constexpr int kKeyWidth = 40;
// Rows a grid filled with a table's columns offers for new ones, also when
// the table's own rows fill its height.
constexpr int kSpareRows = 5;

} // namespace

CColumnGrid::CColumnGrid(QWidget *parent, const QRect &geometry, const CDbSession &session,
                         KeyColumn key, const std::vector<CColumnRow> &rows)
    : CGridCtrl(parent), m_types(SessionTypes(session))
{
    setAccessibleName(QStringLiteral("Columns"));
    setGeometry(geometry);
    const int fixedWidth = kFixedColumnsWidth + (key == WithKey ? kKeyWidth : 0);
    const int nameWidth = GetClientRect().width() - fixedWidth - GetScrollBarWidth();
    new CGridEditColumn(this, QStringLiteral("Column Name"), std::max(Grid::kMinColumnWidth, nameWidth));
    auto *dataType = new CGridListColumn(this, QStringLiteral("Data Type"), 100);
    new CGridEditColumn(this, QStringLiteral("Size"), 50);
    new CGridEditColumn(this, QStringLiteral("Dec"), 50);
    new CGridEditColumn(this, QStringLiteral("Collate"), 100);
    new CGridEditColumn(this, QStringLiteral("Default Value"), 100);
    // A ticked Null cell allows nulls; "1" (no tick) makes the column not null.
    new CGridToggleColumn(this, QStringLiteral("Null"), 40, Grid::kNoImage, Grid::kCheckMark);
    // A ticked Key cell ("1") puts the column into the primary key.
    if (key == WithKey)
        new CGridToggleColumn(this, QStringLiteral("Key"), kKeyWidth, Grid::kCheckMark, Grid::kNoImage);
    AddRows(rows);
    InitRows();
    for (const CDbTypeInfo &type : m_types)
        dataType->AddString(QString::fromStdString(type.m_name));
    SetNotifyHandler([this](const CGridNotification &question) {
        return question.code == GN_ISCELLLOCKED && IsLocked(question.item, question.subItem) ? 1 : 0;
    });
}

void CColumnGrid::AddRows(const std::vector<CColumnRow> &rows)
{
    if (rows.empty())
        return;
    for (const CColumnRow &row : rows) {
        const int at = GetItemCount();
        InsertRow(at);
        const std::string texts[] = {row.m_name,      row.m_typeName, row.m_size,     row.m_dec,
                                     row.m_collation, row.m_default,  row.m_nullMark, row.m_key};
        for (int column = 0; column < GetColumnCount(); ++column)
            SetItemText(at, column, QString::fromStdString(texts[column]));
    }
    for (int spare = 0; spare < kSpareRows; ++spare)
        InsertRow(GetItemCount());
}

CTypeList CColumnGrid::SessionTypes(const CDbSession &session)
{
    CTypeList types;
    for (int i = 0; const CDbTypeInfo *type = session.GetType(i); ++i)
        types.push_back(*type);
    return types;
}

std::vector<CColumnRow> CColumnGrid::Rows() const
{
    std::vector<CColumnRow> rows;
    rows.reserve(static_cast<size_t>(GetItemCount()));
    for (int row = 0; row < GetItemCount(); ++row)
        rows.push_back(Row(row));
    return rows;
}

CColumnRow CColumnGrid::Row(int row) const
{
    const auto text = [this, row](int column) { return GetItemText(row, column).toStdString(); };
    const std::string key = GetColumnCount() > kKey ? text(kKey) : std::string();
    return {text(kName),    text(kDataType), text(kSize), text(kDec),
            text(kCollate), text(kDefault),  text(kNull), key};
}

bool CColumnGrid::IsLocked(int row, int column) const
{
    const std::string nameAbove = row > 0 ? GetItemText(row - 1, kName).toStdString() : std::string();
    return ColumnRows::IsCellLocked(Row(row), row == 0, nameAbove, column, m_types);
}
