#include "dialogs/ForeignKeyDlg.h"

#include "dialogs/ComposeForeignKey.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "diagram/DiagramSurface.h"

#include <QGroupBox>
#include <QRadioButton>

namespace {

// The names a dragged or target row stands for: an index header stands for
// the columns of its segment rows, in order; any other row for its own
// name. A missing row stands for nothing.
QStringList RowColumnNames(const CTableWnd *table, int row)
{
    QStringList names;
    const CTableItem *item = table ? table->GetItem(row) : nullptr;
    if (!item)
        return names;
    if (!item->IsIndexHeader())
        return {QString::fromStdString(item->m_name)};
    for (int i = row + 1; const CTableItem *segment = table->GetItem(i); ++i) {
        if (segment->m_kind != IndexSegment)
            break;
        names << QString::fromStdString(segment->m_name);
    }
    return names;
}

} // namespace

CForeignKeyDlg::CForeignKeyDlg(CTableWnd *referencing, CTableWnd *referenced,
                               CDiagramSurface *surface)
    : CDesignDialog(surface, CDoc::Of(referencing->Source())->GetSession(),
                    QStringLiteral("Foreign Key"), 364, 141),
      m_referencing(referencing), m_referenced(referenced), m_surface(surface)
{
    CreateControls();
    AddGridColumns();
    m_grid->InitRows();
    Prefill(0, referencing, referencing->FirstSelected());
    Prefill(1, referenced, surface->m_dropRow);
    AddColumnChoices(m_columnA, referencing);
    AddColumnChoices(m_columnB, referenced);
}

// The template's controls in its order, which is the tab order. Both
// Delete Rule buttons start cleared.
void CForeignKeyDlg::CreateControls()
{
    AddDefaultButton(QStringLiteral("OK"), 307, 7, 50, 14);
    AddCancelButton(307, 24, 50, 14);

    m_cascade = new QRadioButton(QStringLiteral("Cascade"), this);
    Place(m_cascade, 46, 104, 44, 10);
    m_restrict = new QRadioButton(QStringLiteral("Restrict"), this);
    Place(m_restrict, 46, 117, 40, 10);
    OfferFeature(m_cascade, CDialect::Feature::DeleteRule);
    OfferFeature(m_restrict, CDialect::Feature::DeleteRule);

    m_grid = new CGridCtrl(this);
    Place(m_grid, 54, 7, 216, 85);
    m_grid->SetNotifyHandler([this](const CGridNotification &question) {
        return question.code == GN_ISCELLLOCKED && IsLocked(question.item, question.subItem) ? 1 : 0;
    });

    // The group box lies under the buttons it frames. A drop-down list
    // opened from the grid is raised above all of them, so neither paints
    // over it.
    auto *deleteRule = new QGroupBox(QStringLiteral("Delete Rule"), this);
    Place(deleteRule, 36, 92, 66, 42);
    deleteRule->lower();
}

// One list column per table, headed by its name; together they fill the
// grid beside the vertical scroll bar, an odd pixel left over. The header
// takes no mouse, so the widths stay.
void CForeignKeyDlg::AddGridColumns()
{
    m_grid->DisableHeader();
    const int width = (m_grid->GetClientRect().width() - m_grid->GetScrollBarWidth()) / 2;
    m_columnA = new CGridListColumn(m_grid, QString::fromStdString(m_referencing->m_name), width);
    m_columnB = new CGridListColumn(m_grid, QString::fromStdString(m_referenced->m_name), width);
}

// Only the grid rows that are there are filled: an index with more
// segments than visible rows gives the first ones.
void CForeignKeyDlg::Prefill(int column, const CTableWnd *table, int row)
{
    const QStringList names = RowColumnNames(table, row);
    for (int i = 0; i < names.size() && i < m_grid->GetItemCount(); ++i)
        m_grid->SetItemText(i, column, names[i]);
}

void CForeignKeyDlg::AddColumnChoices(CGridListColumn *list, const CTableWnd *table)
{
    for (int i = 0; const CTableItem *item = table->GetItem(i); ++i)
        if (item->m_kind == Column)
            list->AddString(QString::fromStdString(item->m_name));
}

// A referencing column follows the one above it; a referenced column
// needs the referencing column of its row.
bool CForeignKeyDlg::IsLocked(int row, int column) const
{
    if (column == 0)
        return row > 0 && m_grid->GetItemText(row - 1, 0).isEmpty();
    return m_grid->GetItemText(row, 0).isEmpty();
}

std::vector<std::string> CForeignKeyDlg::Cells(int column) const
{
    std::vector<std::string> cells;
    for (int row = 0; row < m_grid->GetItemCount(); ++row)
        cells.push_back(m_grid->GetItemText(row, column).toStdString());
    return cells;
}

void CForeignKeyDlg::FinishEditing()
{
    m_grid->CommitEdit();
}

CComposedChange CForeignKeyDlg::Compose()
{
    CForeignKeyInput input;
    input.m_table = m_referencing->m_name;
    input.m_columnCells = Cells(0);
    input.m_referencedTable = m_referenced->m_name;
    input.m_referencedCells = Cells(1);
    input.m_cascade = m_cascade->isChecked();
    input.m_restrict = m_restrict->isChecked();
    return ComposeAddForeignKey(input);
}

// The new line is drawn from the reloaded relationships; then B and A
// show what the engine now holds.
void CForeignKeyDlg::OnApplied()
{
    m_surface->ReloadRelationship(m_referenced, m_referencing);
}
