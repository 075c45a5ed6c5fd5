#include "grid/GridPaint.h"

#include <QPainter>
#include <QPalette>

namespace GridPaint {

namespace {

// The button-highlight line along the bottom edge and up the right edge,
// which gives every cell its sunken look.
void DrawHighlightEdges(QPainter &painter, const QRect &cell, const QPalette &palette)
{
    const QColor highlight = palette.color(QPalette::Light);
    painter.fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), highlight);
    painter.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), highlight);
}

} // namespace

void DrawOutline(QPainter &painter, const QRect &rect, const QColor &colour)
{
    if (rect.isEmpty())
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

void PaintLockedCell(QPainter &painter, const QRect &cell, const QPalette &palette)
{
    painter.fillRect(cell, palette.color(QPalette::Button));
    DrawHighlightEdges(painter, cell, palette);
}

void PaintCellBackground(QPainter &painter, const QRect &cell, const QPalette &palette)
{
    painter.fillRect(cell, palette.color(QPalette::Base));
    DrawHighlightEdges(painter, cell, palette);
}

void PaintCellText(QPainter &painter, const QRect &cell, const QString &text, const QPoint &offset,
                   const QPalette &palette)
{
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.setPen(palette.color(QPalette::Text));
    const QRect area(cell.topLeft() + offset, cell.bottomRight());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

void PaintFocusFrame(QPainter &painter, const QRect &cell)
{
    DrawOutline(painter, cell, Qt::black);
}

} // namespace GridPaint
