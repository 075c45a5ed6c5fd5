#include "dialogs/IndexDlg.h"

#include "diagram/TableWnd.h"
#include "dialogs/ComposeIndex.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "grid/GridMetrics.h"
#include "grid/GridToggleColumn.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <memory>

namespace {

constexpr int kSortColumnWidth = 50;

} // namespace

CIndexDlg::CIndexDlg(CTableWnd *table) : CIndexDlg(table, std::nullopt) {}

CIndexDlg::CIndexDlg(CTableWnd *table, const CCreateIndex &shown)
    : CIndexDlg(table, std::optional<CCreateIndex>(shown))
{
}

CIndexDlg::CIndexDlg(CTableWnd *table, std::optional<CCreateIndex> shown)
    : CDesignDialog(table, CDoc::Of(table->Source())->GetSession(), QStringLiteral("Index"), 297, 197),
      m_table(table), m_shown(std::move(shown))
{
    CreateControls();
    CreateGrid();
    OfferFeature(m_modifiable, CDialect::Feature::ModifiableIndex);
    OfferFeature(m_notNull, CDialect::Feature::NotNullIndex);
}

// In template order, which is also the tab order.
void CIndexDlg::CreateControls()
{
    m_indexName = new QLineEdit(this);
    m_indexName->setObjectName(QStringLiteral("indexName"));
    Place(m_indexName, 77, 18, 121, 14);
    Place(new QLabel(QStringLiteral("Index Name:"), this), 23, 22, 41, 8);

    m_grid = new CGridCtrl(this);
    m_grid->setObjectName(QStringLiteral("segments"));
    Place(m_grid, 21, 46, 175, 90);

    m_unique = new QCheckBox(QStringLiteral("Unique"), this);
    m_unique->setObjectName(QStringLiteral("unique"));
    Place(m_unique, 51, 142, 39, 10);
    m_modifiable = new QCheckBox(QStringLiteral("Modifiable"), this);
    m_modifiable->setObjectName(QStringLiteral("modifiable"));
    Place(m_modifiable, 51, 157, 48, 10);
    m_notNull = new QCheckBox(QStringLiteral("Not Null"), this);
    m_notNull->setObjectName(QStringLiteral("notNull"));
    Place(m_notNull, 51, 172, 41, 10);

    AddDefaultButton(m_shown ? QStringLiteral("Replace") : QStringLiteral("Create"), 240, 7, 50, 14);
    if (!m_shown)
        return;
    m_indexName->setText(QString::fromStdString(m_shown->m_name));
    m_unique->setChecked(m_shown->m_unique);
    m_modifiable->setChecked(m_shown->m_modifiable);
    m_notNull->setChecked(m_shown->m_notNull);
    AddCancelButton(240, 24, 50, 14);
}

// The drop-down list of the Column Name column opens over the check boxes
// below the grid; it is raised above them whenever it opens.
void CIndexDlg::CreateGrid()
{
    const int nameWidth = m_grid->GetClientRect().width() - kSortColumnWidth - m_grid->GetScrollBarWidth();
    m_columnName = new CGridListColumn(m_grid, QStringLiteral("Column Name"), nameWidth);
    new CGridToggleColumn(m_grid, QStringLiteral("Sort"), kSortColumnWidth, Grid::kArrowDown, Grid::kArrowUp);
    m_grid->SetNotifyHandler([this](const CGridNotification &question) {
        return question.code == GN_ISCELLLOCKED && IsCellLocked(question.item, question.subItem) ? 1 : 0;
    });
    if (m_shown)
        EnterShownSegments();
    else
        EnterSelectedColumns();
    m_grid->InitRows();
    OfferOtherColumns();
}

// The selected columns become the first segments, in the table's order,
// all ascending.
void CIndexDlg::EnterSelectedColumns()
{
    for (int i = 0; const CTableItem *item = m_table->GetItem(i); ++i)
        if (item->m_kind == Column && item->m_selected) {
            m_grid->InsertRow(m_grid->GetItemCount(), QString::fromStdString(item->m_name));
            m_entered.push_back(item->m_name);
        }
}

void CIndexDlg::EnterShownSegments()
{
    for (const CIndexSegment &segment : m_shown->m_segments) {
        const int row = m_grid->GetItemCount();
        m_grid->InsertRow(row, QString::fromStdString(segment.m_column));
        if (segment.m_descending)
            m_grid->SetItemText(row, 1, QStringLiteral("1"));
        m_entered.push_back(segment.m_column);
    }
}

void CIndexDlg::OfferOtherColumns()
{
    for (int i = 0; const CTableItem *item = m_table->GetItem(i); ++i)
        if (item->m_kind == Column
            && std::find(m_entered.begin(), m_entered.end(), item->m_name) == m_entered.end())
            m_columnName->AddString(QString::fromStdString(item->m_name));
}

// Segments are entered from the top without gaps: a row opens once the row
// above names a column, and its sort direction once the row itself does.
bool CIndexDlg::IsCellLocked(int row, int column) const
{
    if (column == 0)
        return row > 0 && m_grid->GetItemText(row - 1, 0).isEmpty();
    return m_grid->GetItemText(row, 0).isEmpty();
}

void CIndexDlg::FinishEditing() { m_grid->CommitEdit(); }

CIndexInput CIndexDlg::Gather() const
{
    CIndexInput input;
    input.m_name = m_indexName->text().toStdString();
    input.m_table = m_table->m_name;
    input.m_unique = m_unique->isChecked();
    input.m_modifiable = m_modifiable->isChecked();
    input.m_notNull = m_notNull->isChecked();
    for (int row = 0; row < m_grid->GetItemCount(); ++row)
        input.m_rows.push_back({m_grid->GetItemText(row, 0).toStdString(),
                                m_grid->GetItemText(row, 1).toStdString()});
    return input;
}

CComposedChange CIndexDlg::Compose()
{
    CComposedChange composed = ComposeCreateIndex(Gather());
    if (composed.m_error != 0)
        return composed;
    m_index = std::get<CCreateIndex>(composed.m_change);
    if (m_shown)
        composed.m_change = CReplaceIndex{CDropIndex{m_table->m_name, m_shown->m_name}, m_index};
    return composed;
}

// The model gains the index as a reload would read it; sort direction,
// Modifiable and Not Null are not shown in rows. The new index becomes the
// selection, and the anchor moves with it, as after a plain click on its
// header.
void CIndexDlg::OnApplied()
{
    CSchemaIndex index{m_index.m_name, m_index.m_unique, {}};
    for (const CIndexSegment &segment : m_index.m_segments)
        index.m_columns.push_back(segment.m_column);
    ShowInModel(std::move(index));
    for (int row = 0; const CTableItem *item = m_table->GetItem(row); ++row) {
        if (item->IsIndexHeader() && item->m_name == m_index.m_name) {
            m_table->m_focus = row;
            m_table->m_anchor = row;
            m_table->SelectRange(row, row);
        }
    }
}

// A replacement takes the place of the index it replaces; a new index
// comes last.
void CIndexDlg::ShowInModel(CSchemaIndex index)
{
    CDoc::Of(m_table->Source())->Schema().ChangeTable(m_table->m_name, [&](CTableSchema &table) {
        auto &indexes = table.m_indexes;
        const auto shown = std::find_if(indexes.begin(), indexes.end(), [this](const CSchemaIndex &old) {
            return m_shown && old.m_name == m_shown->m_name;
        });
        if (shown != indexes.end())
            *shown = std::move(index);
        else
            indexes.push_back(std::move(index));
    });
    m_table->ShowModel();
}
