#include "diagram/LineRaster.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace LineRaster {

namespace {

// a / b rounded towards minus infinity, for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Writes the pixels of a segment along its major axis: `major` runs from
// a0 to a0 + length (length >= 0) and the minor coordinate moves by `rise`
// over that length. At step k the minor coordinate is
// b0 + floor((2 k rise + length) / (2 length)): the point of the segment
// there, rounded half up. Plot(a, b) receives major and minor coordinates
// of the steps between first and last only.
template <typename Plot>
void Walk(int a0, int b0, int length, int rise, int first, int last, Plot plot)
{
    if (length == 0) {
        plot(a0, b0);
        return;
    }
    const std::int64_t twice = 2 * std::int64_t(length);
    const std::int64_t step = 2 * std::int64_t(rise);
    // The minor offset of step k is floor(numerator / twice), carried from
    // step to step as a quotient and a remainder in [0, twice).
    std::int64_t numerator = step * (first - a0) + length;
    std::int64_t offset = FloorDiv(numerator, twice);
    std::int64_t remainder = numerator - offset * twice;
    const std::int64_t whole = FloorDiv(step, twice);
    const std::int64_t part = step - whole * twice;
    for (int a = first; a <= last; ++a) {
        plot(a, static_cast<int>(b0 + offset));
        offset += whole;
        remainder += part;
        if (remainder >= twice) {
            remainder -= twice;
            ++offset;
        }
    }
}

// Gives plot(x, y) the pixels of the segment from p to q whose major
// coordinate lies within the bounds' span along that axis; the minor
// coordinate is not limited.
template <typename Plot>
void ForPixels(QPoint p, QPoint q, const QRect &bounds, Plot plot)
{
    if (std::abs(q.y() - p.y()) >= std::abs(q.x() - p.x())) {
        if (q.y() < p.y())
            std::swap(p, q);
        const int first = std::max(p.y(), bounds.top());
        const int last = std::min(q.y(), bounds.bottom());
        if (first <= last)
            Walk(p.y(), p.x(), q.y() - p.y(), q.x() - p.x(), first, last,
                 [&](int y, int x) { plot(x, y); });
    } else {
        if (q.x() < p.x())
            std::swap(p, q);
        const int first = std::max(p.x(), bounds.left());
        const int last = std::min(q.x(), bounds.right());
        if (first <= last)
            Walk(p.x(), p.y(), q.x() - p.x(), q.y() - p.y(), first, last,
                 [&](int x, int y) { plot(x, y); });
    }
}

void DrawSegment(QImage &image, QPoint p, QPoint q, QRgb color)
{
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = image.width();
    const int height = image.height();
    ForPixels(p, q, image.rect(), [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            reinterpret_cast<QRgb *>(bits + y * stride)[x] = color;
    });
}

bool ThirtyTwoBits(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

} // namespace

QImage *Target(const QPainter &painter, QPoint &origin)
{
    if (!painter.isActive() || painter.device()->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(painter.device());
    const QPen &pen = painter.pen();
    const QTransform transform = painter.deviceTransform();
    const bool simplePen = pen.style() == Qt::SolidLine && pen.widthF() <= 1
                           && pen.brush().style() == Qt::SolidPattern && pen.color().alpha() == 255;
    const bool wholePixels = transform.type() <= QTransform::TxTranslate
                             && transform.dx() == int(transform.dx())
                             && transform.dy() == int(transform.dy());
    if (!ThirtyTwoBits(*image) || !simplePen || !wholePixels || painter.hasClipping()
        || painter.testRenderHint(QPainter::Antialiasing)
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    origin = QPoint(int(transform.dx()), int(transform.dy()));
    return image;
}

void DrawPolyline(QImage &image, const QPoint &origin, const QPoint *points, int count, QRgb color)
{
    for (int i = 0; i + 1 < count; ++i)
        DrawSegment(image, points[i] + origin, points[i + 1] + origin, color);
    if (count == 1)
        DrawSegment(image, points[0] + origin, points[0] + origin, color);
}

bool PolylineMeets(const QPoint *points, int count, const QRect &area)
{
    bool met = false;
    const auto meets = [&](int x, int y) { met = met || area.contains(x, y); };
    for (int i = 0; i + 1 < count && !met; ++i)
        ForPixels(points[i], points[i + 1], area, meets);
    if (count == 1)
        ForPixels(points[0], points[0], area, meets);
    return met;
}

} // namespace LineRaster
