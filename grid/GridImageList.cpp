#include "grid/GridImageList.h"

#include "grid/GridMetrics.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

using Grid::kImageSize;

const QColor kBlue(0, 64, 200);
const QColor kDarkBlue(0, 24, 120);

// Every picture keeps to rows 1 to 12: a grid cell is 14 pixels high and
// its first and last rows carry the focus frame.
void DrawCheckMark(QPainter &p)
{
    QPainterPath tick;
    tick.moveTo(2.5, 6.5);
    tick.lineTo(6, 10.5);
    tick.lineTo(13.5, 2.5);
    p.setPen(QPen(kBlue, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

// A 13x12 push button in the classic three-dimensional style with a black
// triangle pointing down; pressed, the edges are flat and the triangle
// moves one pixel down and right.
void DrawDropButton(QPainter &p, bool pressed)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect face(1, 1, 13, 12);
    p.fillRect(face, QColor(192, 192, 192));
    const QColor light = pressed ? QColor(128, 128, 128) : Qt::white;
    const QColor shadow = QColor(128, 128, 128);
    const QColor dark = pressed ? QColor(128, 128, 128) : Qt::black;
    p.setPen(light);
    p.drawLine(face.left(), face.top(), face.right() - 1, face.top());
    p.drawLine(face.left(), face.top(), face.left(), face.bottom() - 1);
    p.setPen(dark);
    p.drawLine(face.left(), face.bottom(), face.right(), face.bottom());
    p.drawLine(face.right(), face.top(), face.right(), face.bottom());
    if (!pressed) {
        p.setPen(shadow);
        p.drawLine(face.left() + 1, face.bottom() - 1, face.right() - 1, face.bottom() - 1);
        p.drawLine(face.right() - 1, face.top() + 1, face.right() - 1, face.bottom() - 1);
    }
    const int shift = pressed ? 1 : 0;
    p.setPen(Qt::black);
    for (int row = 0; row < 4; ++row)
        p.drawLine(5 + row + shift, 5 + row + shift, 11 - row + shift, 5 + row + shift);
}

void DrawRaisedDropButton(QPainter &p) { DrawDropButton(p, false); }
void DrawPressedDropButton(QPainter &p) { DrawDropButton(p, true); }

void DrawArrow(QPainter &p, bool up)
{
    // Pointing down; mirrored about the middle row for up.
    const QPointF points[] = {{6, 1}, {10, 1}, {10, 6.5}, {13.5, 6.5}, {8, 12.5}, {2.5, 6.5}, {6, 6.5}};
    QPolygonF arrow;
    for (const QPointF &point : points)
        arrow << QPointF(point.x(), up ? 13.5 - point.y() : point.y());
    p.setPen(QPen(kDarkBlue, 1));
    p.setBrush(kBlue);
    p.drawPolygon(arrow);
}

void DrawArrowUp(QPainter &p) { DrawArrow(p, true); }
void DrawArrowDown(QPainter &p) { DrawArrow(p, false); }

using Painter = void (*)(QPainter &);
const Painter kPainters[Grid::kImageCount] = {DrawCheckMark, DrawRaisedDropButton, DrawPressedDropButton,
                                              DrawArrowUp, DrawArrowDown};

QImage RenderImage(Painter paint)
{
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paint(painter);
    painter.end();
    return image;
}

} // namespace

CGridImageList::CGridImageList(QObject *application)
    : QObject(application)
{
    for (int i = 0; i < Grid::kImageCount; ++i)
        m_images[i] = RenderImage(kPainters[i]);
}

CGridImageList *CGridImageList::Instance()
{
    QCoreApplication *application = QCoreApplication::instance();
    auto *list = application->findChild<CGridImageList *>(QString(), Qt::FindDirectChildrenOnly);
    return list ? list : new CGridImageList(application);
}

QImage CGridImageList::Image(int index) const
{
    return index >= 0 && index < Grid::kImageCount ? m_images[index] : QImage();
}

void CGridImageList::Draw(QPainter &painter, const QPoint &topLeft, int index) const
{
    if (index >= 0 && index < Grid::kImageCount)
        painter.drawImage(topLeft, m_images[index]);
}
