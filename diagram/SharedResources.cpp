#include "diagram/SharedResources.h"

#include "diagram/DragCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <memory>
#include <optional>

namespace Shared {

namespace {

// The row images are drawn in code on a transparent 16x16 canvas, in the
// order of the row kinds: unique index key, table, column, database, index
// key, blank segment, trigger.
using Painter = void (*)(QPainter &);

void DrawKey(QPainter &p, const QColor &fill, const QColor &outline)
{
    QPainterPath key;
    key.setFillRule(Qt::OddEvenFill);
    key.addEllipse(QPointF(4.5, 8), 3.5, 3.5);
    key.addEllipse(QPointF(4, 8), 1.1, 1.1);
    QPainterPath blade;
    blade.addRect(QRectF(7, 6.5, 8, 3));
    blade.addRect(QRectF(10.5, 9, 1.75, 3));
    blade.addRect(QRectF(13.25, 9, 1.75, 2.5));
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawPath(blade.united(key).simplified());
    // The hole of the bow stays transparent: the united path keeps it.
}

void DrawUniqueIndexKey(QPainter &p) { DrawKey(p, QColor(255, 214, 0), QColor(120, 84, 0)); }

void DrawIndexKey(QPainter &p) { DrawKey(p, QColor(0, 214, 220), QColor(0, 96, 110)); }

void DrawTable(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor red(200, 24, 24);
    const QColor darkRed(120, 0, 0);
    p.fillRect(QRect(1, 2, 14, 12), Qt::white);
    p.fillRect(QRect(1, 2, 14, 4), red);
    p.setPen(QPen(darkRed, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(1, 2, 13, 11));
    p.setPen(QPen(red, 1));
    p.drawLine(2, 9, 13, 9);
    p.drawLine(6, 6, 6, 12);
    p.drawLine(10, 6, 10, 12);
}

void DrawPillar(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor body(176, 176, 176);
    const QColor light(224, 224, 224);
    const QColor outline(88, 88, 88);
    p.setPen(QPen(outline, 1));
    p.setBrush(body);
    p.drawRect(QRect(2, 1, 11, 2));   // capital
    p.drawRect(QRect(4, 3, 7, 9));    // shaft
    p.drawRect(QRect(2, 12, 11, 2));  // base
    p.setPen(QPen(light, 1));
    p.drawLine(3, 2, 12, 2);
    p.drawLine(5, 4, 5, 11);
    p.drawLine(8, 4, 8, 11);
    p.drawLine(3, 13, 12, 13);
    p.setPen(QPen(outline.lighter(130), 1));
    p.drawLine(7, 4, 7, 11);
    p.drawLine(10, 4, 10, 11);
}

void DrawCylinder(QPainter &p)
{
    const QColor body(40, 168, 56);
    const QColor top(150, 228, 150);
    const QColor outline(0, 84, 16);
    QPainterPath side;
    side.moveTo(2, 4);
    side.lineTo(2, 12);
    side.arcTo(QRectF(2, 9.5, 12, 5), 180, 180);
    side.lineTo(14, 4);
    side.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(body);
    p.drawPath(side);
    p.setBrush(top);
    p.drawEllipse(QRectF(2, 1.5, 12, 5));
}

void DrawBlank(QPainter &) {}

void DrawExclamation(QPainter &p)
{
    const QColor blue(16, 48, 208);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    QPainterPath bar;
    bar.moveTo(5.5, 1.5);
    bar.lineTo(10.5, 1.5);
    bar.lineTo(9, 10.5);
    bar.lineTo(7, 10.5);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawEllipse(QRectF(6, 11.5, 4, 4));
}

const Painter kPainters[kImageCount] = {DrawUniqueIndexKey, DrawTable, DrawPillar, DrawCylinder,
                                        DrawIndexKey, DrawBlank, DrawExclamation};

QPixmap RenderImage(int index)
{
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    kPainters[index](painter);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

QFont FontOfHeight(const QString &family, int height, QFont::Weight weight)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(weight);
    int size = height;
    font.setPixelSize(size);
    while (size > 1 && QFontMetrics(font).height() > height)
        font.setPixelSize(--size);
    return font;
}

namespace {

struct CResources
{
    // A 15-pixel row holds the whole 14-pixel cell, descenders included.
    QFont m_font = FontOfHeight(QStringLiteral("Arial"), 14, QFont::Normal);
    QPixmap m_images[kImageCount];
    std::optional<QCursor> m_dragCursor;
};

std::unique_ptr<CResources> &Holder()
{
    static std::unique_ptr<CResources> holder;
    return holder;
}

// Called by the application object's destructor while the toolkit is
// still up, so that fonts and pixmaps go before the toolkit does.
void Release() { Holder().reset(); }

CResources &Resources()
{
    std::unique_ptr<CResources> &holder = Holder();
    if (!holder) {
        holder = std::make_unique<CResources>();
        qAddPostRoutine(Release);
    }
    return *holder;
}

} // namespace

const QFont &DiagramFont() { return Resources().m_font; }

const QPixmap &DbImage(int index)
{
    if (index < 0 || index >= kImageCount)
        index = 5;
    QPixmap &image = Resources().m_images[index];
    if (image.isNull())
        image = RenderImage(index);
    return image;
}

const QCursor &DragCursor()
{
    std::optional<QCursor> &cursor = Resources().m_dragCursor;
    if (!cursor)
        cursor.emplace(DrawDragCursor(), 0, 0);
    return *cursor;
}

bool ResourcesHeld() { return Holder() != nullptr; }

} // namespace Shared
