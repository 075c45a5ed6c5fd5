#include "diagram/DragCursor.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap DrawDragCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);

    // The arrow, tip at the hot spot.
    QPainterPath arrow;
    arrow.moveTo(0.5, 0.5);
    arrow.lineTo(0.5, 16.5);
    arrow.lineTo(4.5, 12.5);
    arrow.lineTo(7.5, 19.5);
    arrow.lineTo(10.0, 18.5);
    arrow.lineTo(7.0, 11.5);
    arrow.lineTo(12.5, 11.5);
    arrow.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);

    // The dragged row: a small framed row with its key icon and name.
    const QRect row(12, 20, 18, 9);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(row);
    painter.fillRect(QRect(14, 22, 3, 6), QColor(255, 200, 0));
    painter.drawLine(19, 24, 28, 24);
    painter.drawLine(19, 26, 26, 26);
    return pixmap;
}
