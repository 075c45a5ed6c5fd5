#include "grid/GridHeaderCtrl.h"

#include "grid/ColumnWidths.h"
#include "grid/GridCtrl.h"

CGridHeaderCtrl::CGridHeaderCtrl(CGridCtrl *grid, QAbstractItemModel *model, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), m_grid(grid)
{
    setModel(model);
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The rules below decide the narrowest width, not the header.
    setMinimumSectionSize(1);
    connect(this, &QHeaderView::sectionResized, this, &CGridHeaderCtrl::OnSectionResized);
}

void CGridHeaderCtrl::SetInitialWidth(int column, int width)
{
    m_guard = true;
    resizeSection(column, width);
    m_guard = false;
}

void CGridHeaderCtrl::FillClientWidth()
{
    ApplyWidths(Grid::FillClientWidth(Widths(), m_grid->GetClientRect().width()));
}

// The header has already taken the new width when it reports it, so a
// change the rules refuse is undone here at once.
void CGridHeaderCtrl::OnSectionResized(int column, int oldWidth, int newWidth)
{
    if (m_guard)
        return;
    std::vector<int> widths = Widths();
    widths[column] = oldWidth;
    ApplyWidths(Grid::ResizeColumn(widths, column, newWidth, m_grid->GetClientRect().width()));
}

std::vector<int> CGridHeaderCtrl::Widths() const
{
    std::vector<int> widths;
    for (int i = 0; i < count(); ++i)
        widths.push_back(sectionSize(i));
    return widths;
}

void CGridHeaderCtrl::ApplyWidths(const std::vector<int> &widths)
{
    const bool wasGuarded = m_guard;
    m_guard = true;
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        resizeSection(i, widths[i]);
    m_guard = wasGuarded;
}
