#pragma once

// Arranging the diagram: where tables go so that related tables stand near
// each other and no two overlap, where a new table finds room, and how a
// diagram whose windows grew is pulled apart again. Pure functions on
// rectangles in diagram coordinates; the view measures the windows and
// moves them.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace Arrange {

// The room left between two tables that were placed here.
constexpr int kGap = 30;
// The room between layers (columns): the lines between parents and
// children run there, so it is wider than the gap within a layer.
constexpr int kLayerGap = 60;

// A foreign key seen as a line between two tables: indexes into the table
// list. A table may refer to itself; such a line does not count.
struct CLink
{
    int m_foreign = 0;
    int m_parent = 0;
};

// The tables' sizes (as drawn in the current view mode) and the keys
// between them.
struct CGraph
{
    std::vector<QSize> m_sizes;
    std::vector<CLink> m_links;
};

// The top-left corner of every table, in the order of the graph's sizes.
// Each group of related tables is laid out in layers by its keys, each
// layer a column, parents left of their children (a cycle is broken at one
// of its keys), since lines join tables at their sides; the order within
// each layer is chosen to cross few lines. The groups then stand
// side by side in rows, the largest first, and the tables related to none
// fill a grid after them. No two tables overlap or come nearer than kGap.
// The whole arrangement's top-left corner is at the origin.
std::vector<QPoint> Tables(const CGraph &graph, const QPoint &origin = QPoint(0, 0));

// The top-left corner for a table of this size that overlaps none of the
// standing tables and keeps kGap from them, as near the area's top-left
// corner as can be: inside the area when there is room there, otherwise
// below or to the right of it.
QPoint FreeSpace(const std::vector<QRect> &standing, const QSize &size, const QRect &area);

// The places of tables after overlapping ones were pulled apart: a table
// that overlaps none of those before it (left to right, then top to
// bottom) keeps its place, the others move right or down, whichever is
// shorter, until they clear those already placed by kGap. Tables that
// only come near each other without overlapping do not move.
std::vector<QPoint> RemoveOverlaps(const std::vector<QRect> &tables);

} // namespace Arrange
