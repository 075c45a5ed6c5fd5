#pragma once

class QColor;
class QPainter;
class QPalette;
class QPoint;
class QRect;
class QString;

// The pieces every grid cell is painted from. A cell rectangle is the one
// CGridCtrl::GetCellRect gives; "outline" means the pixels on the
// rectangle's own edges.
namespace GridPaint {

void DrawOutline(QPainter &painter, const QRect &rect, const QColor &colour);
// A grey cell that cannot be edited.
void PaintLockedCell(QPainter &painter, const QRect &cell, const QPalette &palette);
// The white background of an editable cell.
void PaintCellBackground(QPainter &painter, const QRect &cell, const QPalette &palette);
// The text with its top-left corner offset from the cell's, clipped to the
// cell.
void PaintCellText(QPainter &painter, const QRect &cell, const QString &text, const QPoint &offset,
                   const QPalette &palette);
// The black frame of the current cell, drawn last.
void PaintFocusFrame(QPainter &painter, const QRect &cell);

} // namespace GridPaint
