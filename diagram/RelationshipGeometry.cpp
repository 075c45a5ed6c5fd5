#include "diagram/RelationshipGeometry.h"

#include "diagram/LineRaster.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <vector>

namespace RelationshipGeometry {

namespace {

// Table rectangles are compared by their outer edges: the right edge is the
// first column past the window, as a window rectangle reports it.
int RightEdge(const QRect &rect) { return rect.left() + rect.width(); }
int Centre(const QRect &rect) { return rect.left() + rect.width() / 2; }

// a / b rounded up, for b > 0.
long long CeilDiv(long long a, long long b) { return a >= 0 ? (a + b - 1) / b : -(-a / b); }

// Whether the pixel row y of the polygon, filled with the odd-even rule,
// has a pixel in columns left to right. The row is filled as a region is
// made from a polygon: an edge crosses the rows from its upper end to the
// row above its lower end (a horizontal edge crosses none), each crossing
// is rounded up to a whole column, and the crossings pair off into runs
// that begin at the first crossing and end before the second.
bool RowMeets(const QPolygon &polygon, int y, int left, int right)
{
    std::vector<long long> crossings;
    const int count = static_cast<int>(polygon.size());
    for (int i = 0; i < count; ++i) {
        QPoint a = polygon[i];
        QPoint b = polygon[(i + 1) % count];
        if (a.y() > b.y())
            std::swap(a, b);
        if (y < a.y() || y >= b.y())
            continue;
        const long long rise = static_cast<long long>(y - a.y()) * (b.x() - a.x());
        crossings.push_back(a.x() + CeilDiv(rise, b.y() - a.y()));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2)
        if (std::max<long long>(crossings[i], left) < std::min<long long>(crossings[i + 1], right + 1))
            return true;
    return false;
}

// A crow's foot whose point lies `depth` pixels from the table edge x.
std::array<QPoint, 3> Marker(int edgeX, int y, int depth)
{
    return {QPoint(edgeX, y - kMarkerHalfHeight), QPoint(edgeX + depth, y),
            QPoint(edgeX, y + kMarkerHalfHeight)};
}

} // namespace

CRelationshipRoute Route(const QRect &rf, const QRect &rp, const QPoint &pf, const QPoint &pp)
{
    CRelationshipRoute route;
    if (RightEdge(rf) < Centre(rp)) {
        // Foreign table to the left: leave its right edge, enter the parent's left.
        const int x = RightEdge(rf);
        route.m_line = {QPoint(x, pf.y()), QPoint(x + kStub, pf.y()),
                        QPoint(rp.left() - kStub, pp.y()), QPoint(rp.left(), pp.y())};
        route.m_marker = Marker(x, pf.y(), kMarkerDepth);
    } else if (RightEdge(rp) < Centre(rf)) {
        // Parent table to the left: leave its right edge, enter the foreign's left.
        const int x = RightEdge(rp);
        route.m_line = {QPoint(x, pp.y()), QPoint(x + kStub, pp.y()),
                        QPoint(rf.left() - kStub, pf.y()), QPoint(rf.left(), pf.y())};
        route.m_marker = Marker(rf.left(), pf.y(), -kMarkerDepth);
    } else {
        // The tables overlap horizontally: run around both left edges.
        route.m_line = {QPoint(rf.left(), pf.y()), QPoint(rf.left() - kStub, pf.y()),
                        QPoint(rp.left() - kStub, pp.y()), QPoint(rp.left(), pp.y())};
        route.m_marker = Marker(rf.left(), pf.y(), -kMarkerDepth);
    }
    return route;
}

QPainterPath HitArea(const CRelationshipRoute &route)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(route.m_line.begin(), route.m_line.end()))));
    path.closeSubpath();
    path.addPolygon(
        QPolygonF(QPolygon(QList<QPoint>(route.m_marker.begin(), route.m_marker.end()))));
    path.closeSubpath();
    return path;
}

bool HitsArea(const CRelationshipRoute &route, const QPoint &point)
{
    // One polygon for both figures: the fill polygon joins the subpaths
    // through edges that cancel out under the odd-even rule. Only the
    // square's five rows of the area are worked out: a line between far
    // apart tables spans tens of thousands of rows.
    const QPolygon outline = HitArea(route).toFillPolygon().toPolygon();
    for (int y = point.y() - kHitSlop; y <= point.y() + kHitSlop; ++y)
        if (RowMeets(outline, y, point.x() - kHitSlop, point.x() + kHitSlop))
            return true;
    return false;
}

bool HitsLine(const CRelationshipRoute &route, const QPoint &point)
{
    const QRect square(point - QPoint(kHitSlop, kHitSlop),
                       QSize(2 * kHitSlop + 1, 2 * kHitSlop + 1));
    return LineRaster::PolylineMeets(route.m_line.data(), static_cast<int>(route.m_line.size()),
                                     square)
           || LineRaster::PolylineMeets(route.m_marker.data(),
                                        static_cast<int>(route.m_marker.size()), square);
}

// The drawn pixels first: they are a few steps to work out, where the area
// needs its polygon built.
bool HitTest(const CRelationshipRoute &route, const QPoint &point)
{
    return HitsLine(route, point) || HitsArea(route, point);
}

void Draw(QPainter &painter, const CRelationshipRoute &route, const QRect &exposed)
{
    // A figure entirely outside the exposed area would be clipped away
    // whole; the painter is spared it.
    const auto shows = [&](const QPoint *points, int count) {
        if (exposed.isNull())
            return true;
        int left = points[0].x(), right = left, top = points[0].y(), bottom = top;
        for (int i = 1; i < count; ++i) {
            left = std::min(left, points[i].x());
            right = std::max(right, points[i].x());
            top = std::min(top, points[i].y());
            bottom = std::max(bottom, points[i].y());
        }
        return QRect(QPoint(left, top), QPoint(right, bottom))
            .adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach)
            .intersects(exposed);
    };
    QPoint origin;
    QImage *const image = LineRaster::Target(painter, origin);
    const QRgb color = painter.pen().color().rgba();
    const auto draw = [&](const QPoint *points, int count) {
        if (!shows(points, count))
            return;
        if (image)
            LineRaster::DrawPolyline(*image, origin, points, count, color);
        else
            painter.drawPolyline(points, count);
    };
    draw(route.m_line.data(), static_cast<int>(route.m_line.size()));
    draw(route.m_marker.data(), static_cast<int>(route.m_marker.size()));
}

void DrawPolyline(QPainter &painter, const QPoint *points, int count)
{
    QPoint origin;
    if (QImage *const image = LineRaster::Target(painter, origin))
        LineRaster::DrawPolyline(*image, origin, points, count, painter.pen().color().rgba());
    else
        painter.drawPolyline(points, count);
}

} // namespace RelationshipGeometry
