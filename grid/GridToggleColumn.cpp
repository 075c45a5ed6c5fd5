#include "grid/GridToggleColumn.h"

#include "grid/GridCtrl.h"
#include "grid/GridImageList.h"
#include "grid/GridMetrics.h"
#include "grid/GridPaint.h"

#include <QPainter>

CGridToggleColumn::CGridToggleColumn(CGridCtrl *grid, const QString &heading, int width, int imageOn,
                                     int imageOff)
    : CGridColumn(grid, heading, width), m_imageOn(imageOn), m_imageOff(imageOff)
{
}

void CGridToggleColumn::StartEdit(int row)
{
    m_editRow = row;
    SetCellText(row, CellText(row) == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1"));
    Grid()->TakeFocus();
}

// The image is centred across the cell and stands at its top.
void CGridToggleColumn::DrawCell(QPainter &painter, int row, bool focused)
{
    const QRect cell = CellRect(row);
    GridPaint::PaintCellBackground(painter, cell, Grid()->palette());
    const int image = CellText(row) == QLatin1String("1") ? m_imageOn : m_imageOff;
    const QPoint at(cell.left() + cell.width() / 2 - Grid::kImageSize / 2, cell.top());
    Grid()->Images()->Draw(painter, at, image);
    if (focused)
        GridPaint::PaintFocusFrame(painter, cell);
}
