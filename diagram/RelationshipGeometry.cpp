#include "diagram/RelationshipGeometry.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

namespace RelationshipGeometry {

namespace {

// Table rectangles are compared by their outer edges: the right edge is the
// first column past the window, as a window rectangle reports it.
int RightEdge(const QRect &rect) { return rect.left() + rect.width(); }
int Centre(const QRect &rect) { return rect.left() + rect.width() / 2; }

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

bool HitTest(const CRelationshipRoute &route, const QPoint &point)
{
    // One polygon for both figures: the fill polygon joins the subpaths
    // through edges that cancel out under the odd-even rule.
    const QPolygon outline = HitArea(route).toFillPolygon().toPolygon();
    const QRegion area(outline, Qt::OddEvenFill);
    const QRect square(point - QPoint(kHitSlop, kHitSlop), QSize(2 * kHitSlop + 1, 2 * kHitSlop + 1));
    return area.intersects(square);
}

void Draw(QPainter &painter, const CRelationshipRoute &route)
{
    painter.drawPolyline(route.m_line.data(), static_cast<int>(route.m_line.size()));
    painter.drawPolyline(route.m_marker.data(), static_cast<int>(route.m_marker.size()));
}

} // namespace RelationshipGeometry
