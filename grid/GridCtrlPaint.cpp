#include "grid/GridColumn.h"
#include "grid/GridCtrl.h"
#include "grid/GridMetrics.h"
#include "grid/GridPaint.h"

#include <QPaintEvent>
#include <QPainter>

void CGridCtrl::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    const int bottom = viewport()->height();
    for (int row = TopRow(); row < GetItemCount() && ItemTop(row) < bottom; ++row) {
        const QRect item(0, ItemTop(row), viewport()->width(), Grid::kRowHeight);
        if (item.intersects(event->rect()))
            PaintRow(painter, row);
    }
}

// The list's own selection and focus states play no part: the only
// highlight is the focus frame of the current cell.
void CGridCtrl::PaintRow(QPainter &painter, int row)
{
    const QColor gridLine = palette().color(QPalette::Dark);
    for (int column = 0; column < GetColumnCount(); ++column) {
        const QRect cell = GetCellRect(row, column);
        GridPaint::DrawOutline(painter, cell.adjusted(-1, -1, 1, 1), gridLine);
        if (IsCellLocked(row, column)) {
            GridPaint::PaintLockedCell(painter, cell, palette());
            continue;
        }
        painter.save();
        m_columns[column]->DrawCell(painter, row, m_focus && row == m_row && column == m_column);
        painter.restore();
    }
}
