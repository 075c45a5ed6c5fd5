#pragma once

#include <QPoint>
#include <QRect>

#include <array>

class QPainter;
class QPainterPath;

// The drawn shape of one relationship: a four-point connector from the
// foreign table's index row to the parent table's index row, and a
// three-point crow's foot at the foreign table's edge.
struct CRelationshipRoute
{
    std::array<QPoint, 4> m_line;
    std::array<QPoint, 3> m_marker;
};

namespace RelationshipGeometry {

// The horizontal offset of the connector's bend points from a table edge
// and the depth and half-height of the crow's foot.
constexpr int kStub = 20;
constexpr int kMarkerDepth = 10;
constexpr int kMarkerHalfHeight = 5;
// A press hits a relationship when the 5 x 5 square centred on it meets
// the relationship's area.
constexpr int kHitSlop = 2;

// Routes a relationship between the foreign table's outer rectangle rf and
// the parent table's outer rectangle rp, attached at the points pf (foreign
// end) and pp (parent end), all in diagram coordinates. The line leaves the
// foreign table on the side facing the parent table; when the tables
// overlap horizontally it runs around their left edges.
CRelationshipRoute Route(const QRect &rf, const QRect &rp, const QPoint &pf, const QPoint &pp);

// Both figures of the route as closed polygons filled with the odd-even
// rule: the area a press can hit.
QPainterPath HitArea(const CRelationshipRoute &route);

// True when the 5 x 5 square centred on point meets the route's area. The
// area is rasterised as a region made from the polygon would be, so a route
// whose points all lie on one line has no area there, and where the
// connector's two slanted edges cross the area thins to nothing.
bool HitsArea(const CRelationshipRoute &route, const QPoint &point);

// True when the 5 x 5 square centred on point meets a pixel that drawing
// the route sets (see LineRaster): a press on any pixel of a drawn line
// hits it, however thin its area is there.
bool HitsLine(const CRelationshipRoute &route, const QPoint &point);

// Either of the two above.
bool HitTest(const CRelationshipRoute &route, const QPoint &point);

// How far the widest line pen (the selected relationship's, 2 pixels) and
// the rasteriser reach beyond a figure's points.
constexpr int kPenReach = 2;

// Draws the connector and the crow's foot with the painter's current pen.
// Given the exposed area, where the painter is clipped, only the figures
// that reach into it are drawn.
void Draw(QPainter &painter, const CRelationshipRoute &route, const QRect &exposed = QRect());

// Draws a polyline of a route, or a run of its points, as Draw draws each
// figure.
void DrawPolyline(QPainter &painter, const QPoint *points, int count);

} // namespace RelationshipGeometry
