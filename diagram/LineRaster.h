#pragma once

#include <QPoint>
#include <QRgb>

class QImage;
class QPainter;
class QRect;

// Draws one-pixel lines by writing the pixels of a 32-bit image directly.
// A large diagram keeps hundreds of long relationship lines on every
// screen, and Qt's general line rasteriser spent as long on them as on
// everything else a scroll step paints; here each pixel is one store.
//
// A segment sets one pixel in every row it spans when it is steep, in every
// column when it is flat, both end points included. Which pixel depends
// only on the segment, never on the part of it that is drawn, so areas
// painted one at a time join without a seam.
namespace LineRaster {

// The image the painter paints on and the device position of the painter's
// origin, when lines in the painter's pen can be drawn this way: an opaque
// solid pen one pixel wide, no antialiasing and no clip, an image of 32
// bits per pixel painted one pixel per unit. Null otherwise.
QImage *Target(const QPainter &painter, QPoint &origin);

// Draws the polyline through the points, shifted by origin, clipped to the
// image.
void DrawPolyline(QImage &image, const QPoint &origin, const QPoint *points, int count, QRgb color);

// True when DrawPolyline, given the same points, sets a pixel inside the
// area: a click there lands on the line as drawn. Works out only the
// pixels across the area's span, so a long line costs no more than a short
// one.
bool PolylineMeets(const QPoint *points, int count, const QRect &area);

} // namespace LineRaster
