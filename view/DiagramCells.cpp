#include "view/DiagramCells.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/DbView.h"
#include "view/RelationshipMap.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using RelationshipGeometry::kPenReach;

// Whether the segment crosses the rectangle (clipped to it as Liang and
// Barsky clip a line).
bool SegmentMeets(const QLineF &segment, const QRectF &rect)
{
    const double dx = segment.dx();
    const double dy = segment.dy();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {segment.x1() - rect.left(), rect.right() - segment.x1(),
                        segment.y1() - rect.top(), rect.bottom() - segment.y1()};
    double enter = 0;
    double leave = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    return enter <= leave;
}

// The line segments of a relationship as drawn: the connector's and the
// crow's foot's.
std::vector<QLineF> SegmentsOf(const CRelationshipRoute &route)
{
    std::vector<QLineF> segments;
    for (size_t i = 1; i < route.m_line.size(); ++i)
        segments.emplace_back(route.m_line[i - 1], route.m_line[i]);
    for (size_t i = 1; i < route.m_marker.size(); ++i)
        segments.emplace_back(route.m_marker[i - 1], route.m_marker[i]);
    return segments;
}

QRectF Widened(const QRectF &rect)
{
    return rect.adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach);
}

// Draws the run of a figure's segments from the first to the last that
// meets the area. A long line crossing a page is mostly its slanted middle
// segment: the page gets that one, not the stubs at tables pages away. The
// points left out lie beyond the area, so their joins and caps, which the
// run's ends now get instead, stay outside it and the area looks the same.
void DrawWithin(QPainter &painter, const QPoint *points, int count, const QRectF &area)
{
    int first = -1;
    int last = -1;
    for (int i = 0; i + 1 < count; ++i) {
        if (!SegmentMeets(QLineF(points[i], points[i + 1]), area))
            continue;
        first = first < 0 ? i : first;
        last = i;
    }
    if (first < 0)
        return;
    // A lone horizontal or vertical segment is one a PDF viewer may snap to
    // whole pixels, which it does not do to the same segment inside a
    // longer line: a stub drawn alone keeps a neighbour.
    const QPoint &from = points[first];
    const QPoint &to = points[first + 1];
    if (first == last && (from.x() == to.x() || from.y() == to.y())) {
        if (last + 2 < count)
            ++last;
        else if (first > 0)
            --first;
    }
    RelationshipGeometry::DrawPolyline(painter, points + first, last - first + 2);
}

} // namespace

CDiagramCells::CDiagramCells(CDbView &view, const QPointF &origin, const QSizeF &cell, int across,
                             int down)
    : m_view(view), m_origin(origin), m_cell(cell), m_across(std::max(0, across)),
      m_down(std::max(0, down))
{
    const size_t count = size_t(m_across) * size_t(m_down);
    m_tablesIn.resize(count);
    m_linesIn.resize(count);
    m_met.assign(count, false);
    const CDoc *doc = view.GetDocument();
    if (!doc || count == 0)
        return;
    for (int i = 0; i < doc->TableCount(); ++i) {
        CTableWnd *table = doc->GetTable(i);
        if (table->parentWidget() != view.Canvas())
            continue;
        m_tables.push_back(table);
        AddTable(static_cast<int>(m_tables.size()) - 1, QRectF(table->DiagramRect()));
    }
    CRelationshipMap::ForEachRoute(view, [this](int i, const CRelationshipRoute &route) {
        m_lines.push_back({i, route});
        AddLine(static_cast<int>(m_lines.size()) - 1, route);
    });
}

QRectF CDiagramCells::CellRect(int cell) const
{
    const int column = cell % std::max(1, m_across);
    const int row = cell / std::max(1, m_across);
    return QRectF(QPointF(m_origin.x() + column * m_cell.width(),
                          m_origin.y() + row * m_cell.height()),
                  m_cell);
}

// The first and last column and row whose cells the bounds may meet,
// limited to the grid.
CDiagramCells::CRange CDiagramCells::CellsUnder(const QRectF &bounds) const
{
    const auto first = [](double from, double size) { return int(std::floor(from / size)); };
    const auto last = [](double to, double size) { return int(std::ceil(to / size)) - 1; };
    const QRectF local = bounds.translated(-m_origin);
    return {std::max(0, first(local.left(), m_cell.width())),
            std::min(m_across - 1, last(local.right(), m_cell.width())),
            std::max(0, first(local.top(), m_cell.height())),
            std::min(m_down - 1, last(local.bottom(), m_cell.height()))};
}

// A window is met where it stands; it is drawn also where its frame's pen
// might reach.
void CDiagramCells::AddTable(int index, const QRectF &window)
{
    const CRange met = CellsUnder(window);
    for (int row = met.top; row <= met.bottom; ++row)
        for (int column = met.left; column <= met.right; ++column)
            m_met[size_t(row) * m_across + column] = true;
    const CRange drawn = CellsUnder(Widened(window));
    for (int row = drawn.top; row <= drawn.bottom; ++row)
        for (int column = drawn.left; column <= drawn.right; ++column)
            m_tablesIn[size_t(row) * m_across + column].push_back(index);
}

// Lines are looked at as drawn, widened by the pen, so that a cell with a
// line's end on it or a line passing through it has the line.
void CDiagramCells::AddLine(int index, const CRelationshipRoute &route)
{
    for (const QLineF &segment : SegmentsOf(route)) {
        const CRange cells = CellsUnder(Widened(QRectF(segment.p1(), segment.p2()).normalized()));
        for (int row = cells.top; row <= cells.bottom; ++row) {
            for (int column = cells.left; column <= cells.right; ++column) {
                const size_t cell = size_t(row) * m_across + column;
                std::vector<int> &lines = m_linesIn[cell];
                if ((!lines.empty() && lines.back() == index)
                    || !SegmentMeets(segment, Widened(CellRect(static_cast<int>(cell)))))
                    continue;
                lines.push_back(index);
                m_met[cell] = true;
            }
        }
    }
}

void CDiagramCells::Draw(QPainter &painter, int cell) const
{
    if (cell < 0 || cell >= Count())
        return;
    const QRectF reach = Widened(CellRect(cell));
    painter.save();
    // A painter passes a pen on to its device only when the pen changes,
    // and a PDF device that has not been given one yet draws hairlines: a
    // new painter's pen is the one the lines use, so on a PDF's first page
    // they came out faint. Starting without a pen makes every page send its
    // pens.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::NoBrush);
    for (const int index : m_linesIn[size_t(cell)]) {
        const CLine &line = m_lines[size_t(index)];
        painter.setPen(QPen(Qt::black, line.id == m_view.m_selRelationship ? 2 : 1));
        DrawWithin(painter, line.route.m_line.data(), int(line.route.m_line.size()), reach);
        DrawWithin(painter, line.route.m_marker.data(), int(line.route.m_marker.size()), reach);
    }
    painter.setPen(QPen(Qt::black, 1));
    for (const int index : m_tablesIn[size_t(cell)])
        m_tables[size_t(index)]->PaintForPrint(painter);
    painter.restore();
}
