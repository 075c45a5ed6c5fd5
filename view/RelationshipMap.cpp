#include "view/RelationshipMap.h"

#include "db/DbSession.h"
#include "diagram/TableMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/DbView.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

#include <QPolygon>

CRelationshipRoute CRelationshipMap::RouteBetween(const CTableWnd &foreign, const CTableWnd &parent,
                                                  const CDbRelationship &relationship)
{
    const QPoint pf = foreign.GetIndexAnchor(relationship.m_foreignIndex)
                      + QPoint(0, TableMetrics::kRowHeight);
    const QPoint pp = parent.GetIndexAnchor(relationship.m_parentIndex);
    return RelationshipGeometry::Route(foreign.DiagramRect(), parent.DiagramRect(), pf, pp);
}

void CRelationshipMap::ForEachRoute(const CDbView &view,
                                    const std::function<void(int, const CRelationshipRoute &)> &visit)
{
    const CDoc *doc = view.GetDocument();
    if (!doc)
        return;
    const auto windows = WindowsByName(view);
    const auto find = [&](const std::string &name) -> const CTableWnd * {
        const auto found = windows.find(name);
        return found == windows.end() ? nullptr : found->second;
    };
    for (int i = 0; const CDbRelationship *relationship = doc->Schema().GetRelationship(i); ++i) {
        const CTableWnd *foreign = find(relationship->m_foreignTable);
        const CTableWnd *parent = find(relationship->m_parentTable);
        if (foreign && parent)
            visit(i, RouteBetween(*foreign, *parent, *relationship));
    }
}

std::unordered_map<std::string, const CTableWnd *> CRelationshipMap::WindowsByName(const CDbView &view)
{
    std::unordered_map<std::string, const CTableWnd *> windows;
    const CDoc *doc = view.GetDocument();
    if (!doc)
        return windows;
    windows.reserve(static_cast<size_t>(doc->TableCount()));
    // The first table of a name stands for it even without a window, so
    // that a later namesake with one is not taken instead.
    for (int i = 0; i < doc->TableCount(); ++i) {
        const CTableWnd *table = doc->GetTable(i);
        windows.emplace(table->m_name, table);
    }
    for (auto it = windows.begin(); it != windows.end();) {
        if (it->second->parentWidget() != view.Canvas())
            it = windows.erase(it);
        else
            ++it;
    }
    return windows;
}

QRect CRelationshipMap::BoxOf(const CRelationshipRoute &route)
{
    QPolygon points;
    for (const QPoint &point : route.m_line)
        points << point;
    for (const QPoint &point : route.m_marker)
        points << point;
    using RelationshipGeometry::kPenReach;
    return points.boundingRect().adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach);
}

void CRelationshipMap::EnsureCurrent()
{
    const CDoc *doc = m_view.GetDocument();
    if (!doc) {
        if (!m_lines.empty())
            ++m_changes;
        m_lines.clear();
        m_linesOfTable.clear();
        m_index.Clear();
        return;
    }
    if (!m_current || doc->Schema().RelationshipsVersion() != m_version)
        Rebuild();
}

void CRelationshipMap::Rebuild()
{
    const CSchemaModel &schema = m_view.GetDocument()->Schema();
    const auto windows = WindowsByName(m_view);
    const auto find = [&](const std::string &name) -> const CTableWnd * {
        const auto found = windows.find(name);
        return found == windows.end() ? nullptr : found->second;
    };
    m_lines.assign(static_cast<size_t>(schema.RelationshipCount()), CLine());
    m_linesOfTable.clear();
    m_index.Clear();
    for (int id = 0; const CDbRelationship *relationship = schema.GetRelationship(id); ++id) {
        CLine &line = m_lines[static_cast<size_t>(id)];
        line.foreign = find(relationship->m_foreignTable);
        line.parent = find(relationship->m_parentTable);
        if (!line.foreign || !line.parent) {
            line = CLine();
            continue;
        }
        m_linesOfTable[line.foreign].push_back(id);
        if (line.parent != line.foreign)
            m_linesOfTable[line.parent].push_back(id);
        Place(id);
    }
    m_version = schema.RelationshipsVersion();
    m_current = true;
    ++m_changes;
}

void CRelationshipMap::Place(int id)
{
    CLine &line = m_lines[static_cast<size_t>(id)];
    const CSchemaModel &schema = m_view.GetDocument()->Schema();
    const CDbRelationship *relationship = schema.GetRelationship(id);
    if (!line.foreign || !relationship) {
        ++m_changes;
        m_index.Remove(id);
        return;
    }
    const CRelationshipRoute route = RouteBetween(*line.foreign, *line.parent, *relationship);
    // A window's move event does not always move it.
    if ((route.m_line != line.route.m_line || route.m_marker != line.route.m_marker) && !IsApart(id))
        ++m_changes;
    line.route = route;
    m_index.Set(id, BoxOf(line.route));
}

// Out of date as a whole, the map is rebuilt on its next use anyway.
void CRelationshipMap::TableChanged(const CTableWnd *table)
{
    const CDoc *doc = m_view.GetDocument();
    if (!m_current || !doc || doc->Schema().RelationshipsVersion() != m_version)
        return;
    const auto found = m_linesOfTable.find(table);
    if (found == m_linesOfTable.end())
        return;
    for (int id : found->second)
        Place(id);
}

unsigned long long CRelationshipMap::Changes()
{
    EnsureCurrent();
    return m_changes;
}

void CRelationshipMap::SetApart(const std::vector<const CTableWnd *> &tables)
{
    if (tables == m_apart)
        return;
    m_apart = tables;
    ++m_changes;
}

bool CRelationshipMap::IsApart(int id) const
{
    if (id < 0 || id >= static_cast<int>(m_lines.size()))
        return false;
    const CLine &line = m_lines[static_cast<size_t>(id)];
    const auto apart = [this](const CTableWnd *table) {
        return table && std::find(m_apart.begin(), m_apart.end(), table) != m_apart.end();
    };
    return apart(line.foreign) || apart(line.parent);
}

std::vector<int> CRelationshipMap::LinesOf(const CTableWnd *table)
{
    EnsureCurrent();
    const auto found = m_linesOfTable.find(table);
    return found == m_linesOfTable.end() ? std::vector<int>() : found->second;
}

std::vector<int> CRelationshipMap::LinesIn(const QRect &area)
{
    EnsureCurrent();
    return m_index.Query(area);
}

bool CRelationshipMap::Route(int id, CRelationshipRoute &route)
{
    EnsureCurrent();
    if (id < 0 || id >= static_cast<int>(m_lines.size()) || !m_lines[static_cast<size_t>(id)].foreign)
        return false;
    route = m_lines[static_cast<size_t>(id)].route;
    return true;
}

CRelationshipRoute CRelationshipMap::Scaled(const CRelationshipRoute &route, double zoom)
{
    if (zoom == 1.0)
        return route;
    const auto scale = [zoom](const QPoint &point) {
        return QPoint(qRound(point.x() * zoom), qRound(point.y() * zoom));
    };
    CRelationshipRoute scaled;
    std::transform(route.m_line.begin(), route.m_line.end(), scaled.m_line.begin(), scale);
    std::transform(route.m_marker.begin(), route.m_marker.end(), scaled.m_marker.begin(), scale);
    return scaled;
}

QRect CRelationshipMap::DiagramArea(const QRect &canvasArea, double zoom)
{
    if (zoom == 1.0)
        return canvasArea;
    // A point scaled to the canvas is rounded to the nearest pixel, so a
    // line up to half a canvas pixel outside the area may set a pixel in
    // it: far out that is hundreds of diagram units, and a repaint of a
    // strip of the screen left out the lines ending just beside it.
    const int margin = 1 + int(std::ceil(0.5 / zoom));
    return QRectF(canvasArea.left() / zoom, canvasArea.top() / zoom, canvasArea.width() / zoom,
                  canvasArea.height() / zoom)
        .toAlignedRect()
        .adjusted(-margin, -margin, margin, margin);
}

int CRelationshipMap::HitTest(const QPoint &point, double zoom)
{
    using RelationshipGeometry::kHitSlop;
    const QRect square(point - QPoint(kHitSlop, kHitSlop), QSize(2 * kHitSlop + 1, 2 * kHitSlop + 1));
    const std::vector<int> near = LinesIn(DiagramArea(square, zoom));
    const auto drawn = [&](int id) { return Scaled(m_lines[static_cast<size_t>(id)].route, zoom); };
    // A line drawn at the point wins over another line's area there, so
    // that every drawn pixel of a line selects that line.
    for (auto it = near.rbegin(); it != near.rend(); ++it)
        if (RelationshipGeometry::HitsLine(drawn(*it), point))
            return *it;
    for (auto it = near.rbegin(); it != near.rend(); ++it)
        if (RelationshipGeometry::HitsArea(drawn(*it), point))
            return *it;
    return -1;
}
